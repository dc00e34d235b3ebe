// bitonix-cli: the conversion run without a window, for scripts and batches.
#include "cli/CliHost.h"
#include "cli/CliOptions.h"
#include "correction/DocCorrection.h"
#include "pipeline/BatchRun.h"
#include "support/Error.h"
#include "support/ProgramDir.h"
#include "support/Version.h"

#include <QCoreApplication>
#include <cstdio>

using namespace bitonix;

namespace {

void Print(FILE* to, const QString& text) {
    std::fprintf(to, "%s\n", text.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char* argv[]) {
    // Image decoding needs Qt's GUI library, but never a display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Bitonix"));

    TCliOptions options = ParseCliOptions(QCoreApplication::arguments().mid(1));
    if (options.Help) {
        std::fputs(CliUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options.Version) {
        Print(stdout, QStringLiteral("bitonix-cli ") + GetAppVersionStr());
        return 0;
    }
    if (!options.Error.isEmpty()) {
        Print(stderr, QStringLiteral("bitonix-cli: ") + options.Error);
        Print(stderr, QStringLiteral("Try 'bitonix-cli --help' for more information."));
        return 2;
    }
    for (const QString& missing : options.Missing) {
        Print(stderr,
              QStringLiteral("bitonix-cli: warning: skipping '%1': no such file").arg(missing));
    }
    const TLangStrings strings;
    if (options.Run.Files.isEmpty()) {
        Print(stderr, QStringLiteral("bitonix-cli: ") + strings.SMsgNoFiles);
        return 2;
    }
    options.Run.ProgramDir = GetProgramDir() + QLatin1Char('/');
    // The run goes on without the plugin, as the window does, but a script
    // asking for straightening learns why nothing was straightened.
    if (options.Run.PerspMode == TPerspMode::pmAuto && !LoadDocDetect(options.Run.ProgramDir)) {
        Print(stderr, QStringLiteral("bitonix-cli: warning: the corner detector %1 could not be "
                                     "loaded; pages are not straightened")
                          .arg(options.Run.ProgramDir + DocDetectLibraryName()));
    }
    options.Run.Progname = ProgramTitle();

    TCliHost::InstallStopSignals();
    TCliHost host(options.Quiet);
    try {
        const TRunResult result = RunBatch(options.Run, strings, host);
        for (const QString& written : result.Written) {
            Print(stdout, written);
        }
        std::fflush(stdout);
        return result.Cancelled ? 130 : 0;
    } catch (const TError& e) {
        Print(stderr, QStringLiteral("bitonix-cli: ") + e.Text());
    } catch (const std::exception& e) {
        Print(stderr, QStringLiteral("bitonix-cli: ") + QString::fromUtf8(e.what()));
    }
    return 1;
}
