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
#include "support/StopSignals.h"
#include "support/Version.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <memory>

using namespace bitonix;

namespace {

void PrintError(const QString& text) {
    PrintLine(stderr, QStringLiteral("bitonix-cli: ") + text);
}

int UsageError(const QString& text) {
    PrintError(text);
    PrintLine(stderr, CliUsageHint());
    return KExitUsage;
}

int Stopped(const TCliOptions& options) {
    if (!options.Quiet) {
        PrintLine(stderr, TLangStrings().SPrgCancelled);
    }
    return KExitStopped;
}

// Runs the conversion of the checked inputs and reports it. `streams` is the
// private folder for standard input and output, when either is used.
int Convert(const TCliOptions& options, TCliInputs& inputs, const TRunTempDir* streams) {
    if (inputs.StdinIndex >= 0) {
        const TSpoolResult spool = SpoolStandardInput(streams->Path());
        if (spool.Stopped) {
            return Stopped(options);
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
        PrintLine(stderr,
                  QStringLiteral("bitonix-cli: warning: the corner detector %1 could not be "
                                 "loaded; pages are not straightened")
                      .arg(settings.ProgramDir + DocDetectLibraryName()));
    }

    // Each PDF's path is printed as soon as it is complete, so the PDFs of a
    // run that fails or stops later are listed too.
    TCliHost host(TCliHost::StyleFor(options.Quiet, options.Verbose), inputs.Names,
                  /*printWritten=*/!options.ToStdout());
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
        // Standard output is the last write of the run: a stop asked for
        // before it still cancels the run, one during it comes too late.
        if (StopRequested()) {
            return Stopped(options);
        }
        try {
            CopyToStandardOutput(result.MergedOutput);
        } catch (...) {
            // The reader went away (or the disk is full): a stop request.
            PrintError(ExceptionText());
            return Stopped(options);
        }
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
    // Before any thread starts: every thread then inherits the handling.
    InstallStopSignals();
    // Image decoding needs Qt's GUI library, but never a display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Bitonix"));

    const TCliOptions options = ParseCliOptions(QCoreApplication::arguments().mid(1));
    if (options.Help) {
        std::fputs(CliUsage().toLocal8Bit().constData(), stdout);
        return KExitDone;
    }
    if (options.Version) {
        PrintLine(stdout, QStringLiteral("bitonix-cli ") + GetAppVersionStr());
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

    try {
        // Folders that killed runs left behind go before this run makes its own.
        RemoveStaleRunTempDirs();
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
