// bitonix-cli: the conversion run without a window, for scripts and batches.
#include "cli/CliHost.h"
#include "cli/CliInputs.h"
#include "cli/CliOptions.h"
#include "cli/ExitStatus.h"
#include "cli/StdStreams.h"
#include "correction/DocCorrection.h"
#include "pipeline/BatchRun.h"
#include "pipeline/TempFiles.h"
#include "support/Error.h"
#include "support/MemoryPolicy.h"
#include "support/ProgramDir.h"
#include "support/Version.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <memory>

using namespace bitonix;

namespace {

void Print(FILE* to, const QString& text) {
    std::fprintf(to, "%s\n", text.toLocal8Bit().constData());
}

void PrintError(const QString& text) {
    Print(stderr, QStringLiteral("bitonix-cli: ") + text);
}

int UsageError(const QString& text) {
    PrintError(text);
    Print(stderr, CliUsageHint());
    return KExitUsage;
}

// Runs the conversion of the checked inputs and reports it. `streams` is the
// private folder for standard input and output, when either is used.
int Convert(const TCliOptions& options, TCliInputs& inputs, const TRunTempDir* streams) {
    if (inputs.StdinIndex >= 0) {
        const TSpoolResult spool =
            SpoolStandardInput(streams->Path(), [] { return TCliHost::StopRequested(); });
        if (spool.Stopped) {
            if (!options.Quiet) {
                Print(stderr, TLangStrings().SPrgCancelled);
            }
            return KExitStopped;
        }
        if (spool.Path.isEmpty()) {
            inputs.Skipped << QStringLiteral("skipping standard input: ") + spool.Problem;
            PrintError(inputs.Skipped.last());
            inputs.Files.removeAt(inputs.StdinIndex);
            inputs.Names.removeAt(inputs.StdinIndex);
        } else {
            inputs.Files[inputs.StdinIndex] = spool.Path;
        }
    }
    if (inputs.Files.isEmpty()) {
        PrintError(QStringLiteral("nothing to convert: every input was skipped"));
        return KExitFailed;
    }

    TRunSettings settings = options.Run;
    settings.Files = inputs.Files;
    settings.Merged = options.Merged();
    if (options.ToStdout()) {
        settings.MergedOutput = streams->Path() + QStringLiteral("stdout.pdf");
    } else if (settings.Merged) {
        settings.MergedOutput = QFileInfo(options.Output).absoluteFilePath();
    }
    settings.ProgramDir = GetProgramDir() + QLatin1Char('/');
    settings.Progname = ProgramTitle();
    // The run goes on without the plugin, as the window does, but a script
    // asking for straightening learns why nothing was straightened.
    if (settings.PerspMode == TPerspMode::pmAuto && !LoadDocDetect(settings.ProgramDir)) {
        Print(stderr, QStringLiteral("bitonix-cli: warning: the corner detector %1 could not be "
                                     "loaded; pages are not straightened")
                          .arg(settings.ProgramDir + DocDetectLibraryName()));
    }

    TCliHost host(TCliHost::StyleFor(options.Quiet, options.Verbose), inputs.Names);
    const TLangStrings strings;
    TRunResult result;
    try {
        result = RunBatch(settings, strings, host);
    } catch (...) {
        host.Message(QStringLiteral("bitonix-cli: ") + ExceptionText());
        return KExitFailed;
    }
    host.Finish();
    if (result.Cancelled) {
        return KExitStopped;
    }
    if (options.ToStdout()) {
        CopyToStandardOutput(result.MergedOutput);
    } else {
        for (const QString& written : result.Written) {
            Print(stdout, written);
        }
        std::fflush(stdout);
    }
    if (!inputs.Skipped.isEmpty()) {
        if (!options.Quiet) {
            const qsizetype n = inputs.Skipped.size();
            PrintError(n == 1 ? QStringLiteral("1 input was skipped (see above)")
                              : QStringLiteral("%1 inputs were skipped (see above)").arg(n));
        }
        return KExitSkipped;
    }
    return KExitDone;
}

} // namespace

int main(int argc, char* argv[]) {
    KeepFreedMemoryForReuse(); // before any thread exists
    // Image decoding needs Qt's GUI library, but never a display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Bitonix"));

    const TCliOptions options = ParseCliOptions(QCoreApplication::arguments().mid(1));
    if (options.Help) {
        std::fputs(CliUsage().toLocal8Bit().constData(), stdout);
        return KExitDone;
    }
    if (options.Version) {
        Print(stdout, QStringLiteral("bitonix-cli ") + GetAppVersionStr());
        return KExitDone;
    }
    if (!options.Error.isEmpty()) {
        return UsageError(options.Error);
    }
    TCliInputs inputs = CollectInputs(options.Inputs);
    if (const QString problem = CheckBeforeRun(options, inputs); !problem.isEmpty()) {
        return UsageError(problem);
    }
    for (const QString& skipped : inputs.Skipped) {
        PrintError(skipped);
    }

    TCliHost::InstallStopSignals();
    try {
        std::unique_ptr<TRunTempDir> streams;
        if (inputs.StdinIndex >= 0 || options.ToStdout()) {
            streams = std::make_unique<TRunTempDir>();
        }
        return Convert(options, inputs, streams.get());
    } catch (...) {
        PrintError(ExceptionText());
    }
    return KExitFailed;
}
