// Parsing bitonix-cli's options.
#include "cli/CliOptions.h"

#include <QDir>
#include <QFileInfo>

namespace bitonix {

namespace {

const QStringList KDpiChoices = {"75", "100", "150", "200", "300", "600", "1200"};
const QStringList KRotateChoices = {"none", "left", "right", "180"};

// The value after an option, or an error when there is none.
bool TakeValue(const QStringList& args, qsizetype& i, QString& value, TCliOptions& out) {
    const QString& arg = args.at(i);
    const qsizetype eq = arg.indexOf(QLatin1Char('='));
    if (arg.startsWith(QLatin1String("--")) && eq > 0) {
        value = arg.mid(eq + 1);
        return true;
    }
    if (i + 1 >= args.size()) {
        out.Error = QStringLiteral("option %1 needs a value").arg(arg);
        return false;
    }
    value = args.at(++i);
    return true;
}

bool ParseInt(const QString& text, int low, int high, int& value) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high) {
        return false;
    }
    value = v;
    return true;
}

} // namespace

QString CliUsage() {
    return QStringLiteral(
        "Usage: bitonix-cli [options] FILE...\n"
        "Converts images (JPEG, PNG, BMP, GIF, TIFF) and PDF files into compact\n"
        "black-and-white PDF files.\n"
        "\n"
        "Without -o every input becomes its own PDF beside it, named by the pattern;\n"
        "an existing file is never overwritten (a number is added instead).\n"
        "\n"
        "Options:\n"
        "  -o, --output FILE        merge all inputs into FILE (numbered if it exists)\n"
        "  -p, --pattern TEXT       name pattern, default \"[BW]<filesrc>\"\n"
        "  -r, --dpi N              resolution for PDF inputs: 75, 100, 150, 200, 300,\n"
        "                           600 or 1200; default 300\n"
        "      --rotate WHICH       none, left, right or 180; default none\n"
        "  -c, --contrast N         black intensity 1 to 100; default 21\n"
        "  -s, --straighten MODE    off or auto; default off\n"
        "      --whsize N           threshold half window in pixels, at least 8; default 8\n"
        "  -q, --quiet              print only the written files\n"
        "  -h, --help               show this help\n"
        "      --version            show the version\n"
        "\n"
        "Prints the path of every PDF written on standard output, progress on standard\n"
        "error. Exit status: 0 done, 1 the run failed, 2 usage error, 130 interrupted.\n");
}

TCliOptions ParseCliOptions(const QStringList& args) {
    TCliOptions out;
    bool onlyFiles = false;
    QStringList inputs;
    for (qsizetype i = 0; i < args.size() && out.Error.isEmpty(); ++i) {
        const QString& arg = args.at(i);
        const QString name = arg.section(QLatin1Char('='), 0, 0);
        QString value;
        if (onlyFiles || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            inputs << arg;
        } else if (arg == QLatin1String("--")) {
            onlyFiles = true;
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            out.Help = true;
        } else if (arg == QLatin1String("--version")) {
            out.Version = true;
        } else if (arg == QLatin1String("-q") || arg == QLatin1String("--quiet")) {
            out.Quiet = true;
        } else if (name == QLatin1String("-o") || name == QLatin1String("--output")) {
            if (TakeValue(args, i, value, out)) {
                if (value.isEmpty()) {
                    out.Error = QStringLiteral("the output file name is empty");
                }
                out.Run.Merged = true;
                out.Run.MergedOutput = QFileInfo(value).absoluteFilePath();
            }
        } else if (name == QLatin1String("-p") || name == QLatin1String("--pattern")) {
            if (TakeValue(args, i, value, out)) {
                if (value.contains(QLatin1Char('/'))) {
                    out.Error = QStringLiteral("the pattern may not contain a folder");
                }
                out.Run.Pattern = value;
            }
        } else if (name == QLatin1String("-r") || name == QLatin1String("--dpi")) {
            if (TakeValue(args, i, value, out)) {
                if (!KDpiChoices.contains(value)) {
                    out.Error =
                        QStringLiteral("--dpi must be one of %1").arg(KDpiChoices.join(", "));
                }
                out.Run.DpiText = value;
            }
        } else if (name == QLatin1String("--rotate")) {
            if (TakeValue(args, i, value, out)) {
                out.Run.RotationIndex = static_cast<int>(KRotateChoices.indexOf(value));
                if (out.Run.RotationIndex < 0) {
                    out.Error = QStringLiteral("--rotate must be none, left, right or 180");
                }
            }
        } else if (name == QLatin1String("-c") || name == QLatin1String("--contrast")) {
            if (TakeValue(args, i, value, out) && !ParseInt(value, 1, 100, out.Run.Contrast)) {
                out.Error = QStringLiteral("--contrast must be a number from 1 to 100");
            }
        } else if (name == QLatin1String("-s") || name == QLatin1String("--straighten")) {
            if (TakeValue(args, i, value, out)) {
                if (value == QLatin1String("off")) {
                    out.Run.PerspMode = TPerspMode::pmNone;
                } else if (value == QLatin1String("auto")) {
                    out.Run.PerspMode = TPerspMode::pmAuto;
                } else {
                    out.Error = QStringLiteral("--straighten must be off or auto");
                }
            }
        } else if (name == QLatin1String("--whsize")) {
            if (TakeValue(args, i, value, out) && !ParseInt(value, 8, 10000, out.Run.WHSize)) {
                out.Error = QStringLiteral("--whsize must be a number of at least 8");
            }
        } else {
            out.Error = QStringLiteral("unknown option %1").arg(arg);
        }
    }
    if (!out.Error.isEmpty() || out.Help || out.Version) {
        return out;
    }
    for (const QString& input : inputs) {
        const QFileInfo info(input);
        if (info.isFile()) {
            out.Run.Files << info.absoluteFilePath();
        } else {
            out.Missing << input;
        }
    }
    if (inputs.isEmpty()) {
        out.Error = QStringLiteral("no input files");
    }
    return out;
}

} // namespace bitonix
