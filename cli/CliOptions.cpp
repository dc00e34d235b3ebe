// bitonix-cli's options: one table gives the parser its options and --help
// its lines; the values are checked here.
#include "cli/CliOptions.h"

#include "cli/ExitStatus.h"
#include "settings/SettingsFile.h"

#include <QCommandLineParser>

namespace bitonix {

namespace {

const QStringList KRotateChoices = {QStringLiteral("none"), QStringLiteral("left"),
                                    QStringLiteral("right"), QStringLiteral("180")};
constexpr int KMinWHSize = 8;
constexpr int KMaxWHSize = 10000;
constexpr int KHelpIndent = 25; // column where an option's description starts
constexpr int KHelpWidth = 79;

// Every option, in the order --help lists them. The description is the help
// text, wrapped when printed.
struct TOptionTable {
    QCommandLineOption Output{{"o", "output"},
                              "merge all inputs into the PDF FILE; with FILE - the PDF goes to "
                              "standard output (which may not be a terminal)",
                              "FILE"};
    QCommandLineOption Pattern{{"p", "pattern"},
                               "without -o: the name of each PDF, beside its input: TEXT with "
                               "<filesrc> replaced by the input's name without its extension, "
                               "then .pdf; default \"[BW]<filesrc>\"",
                               "TEXT"};
    QCommandLineOption Dpi{{"r", "dpi"},
                           "the resolution PDF pages are rendered at, in dots per inch: " +
                               DpiItems().mid(0, DpiItems().size() - 1).join(", ") + " or " +
                               DpiItems().last() +
                               "; default 300. Applies to PDF inputs only: images and TIFF "
                               "pages keep their own pixels",
                           "N"};
    QCommandLineOption Rotate{QStringList{"rotate"},
                              "turn every page: none, left (90 degrees counter-clockwise), right "
                              "(90 degrees clockwise) or 180; default none",
                              "WHICH"};
    QCommandLineOption Contrast{{"c", "contrast"},
                                QStringLiteral("black intensity, %1 to %2; default 21. A higher "
                                               "value gives a lighter page (fewer black pixels), "
                                               "a lower value a darker one")
                                    .arg(ContrastMin)
                                    .arg(ContrastMax),
                                "N"};
    QCommandLineOption Straighten{{"s", "straighten"},
                                  "off, or auto: find the corners of a photographed page and "
                                  "straighten it (needs the corner detector plugin "
                                  "libdocdetect.so beside the program; without it pages stay as "
                                  "they are); default off",
                                  "MODE"};
    QCommandLineOption WHSize{QStringList{"whsize"},
                              QStringLiteral("half size of the threshold window in pixels (the "
                                             "window is 2N+1 pixels wide), %1 to %2; default 8")
                                  .arg(KMinWHSize)
                                  .arg(KMaxWHSize),
                              "N"};
    QCommandLineOption Quiet{{"q", "quiet"}, "print nothing on standard error but errors"};
    QCommandLineOption Verbose{{"v", "verbose"},
                               "a progress line for every page, also on a terminal"};
    QCommandLineOption Help{{"h", "help"}, "show this help and exit"};
    QCommandLineOption Version{QStringList{"version"}, "show the version and exit"};

    QList<QCommandLineOption> All() const {
        return {Output, Pattern, Dpi,     Rotate, Contrast, Straighten,
                WHSize, Quiet,   Verbose, Help,   Version};
    }
};

// "-o, --output FILE" or "    --rotate WHICH".
QString OptionSynopsis(const QCommandLineOption& option) {
    QString shortName;
    QString longName;
    for (const QString& name : option.names()) {
        if (name.size() == 1) {
            shortName = QLatin1Char('-') + name;
        } else {
            longName = QStringLiteral("--") + name;
        }
    }
    QString text = shortName.isEmpty() ? QStringLiteral("    ") : shortName + QStringLiteral(", ");
    text += longName;
    if (!option.valueName().isEmpty()) {
        text += QLatin1Char(' ') + option.valueName();
    }
    return text;
}

// `text` broken into lines of at most `width` columns at spaces, every line
// after the first indented by `indent`.
QString Wrap(const QString& text, int indent, int width) {
    QString out;
    int column = indent;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int length = static_cast<int>(word.size());
        if (column > indent && column + 1 + length > width) {
            out += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            column = indent;
        } else if (column > indent) {
            out += QLatin1Char(' ');
            ++column;
        }
        out += word;
        column += length;
    }
    return out;
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

// The checked values of the options into `out`; the first fault sets out.Error.
void TakeValues(const QCommandLineParser& parser, const TOptionTable& t, TCliOptions& out) {
    TRunSettings& run = out.Run;
    out.Quiet = parser.isSet(t.Quiet);
    out.Verbose = parser.isSet(t.Verbose);
    if (parser.isSet(t.Output)) {
        out.Output = parser.value(t.Output);
        if (out.Output.isEmpty()) {
            out.Error = QStringLiteral("the output file name (-o) is empty");
            return;
        }
    }
    if (parser.isSet(t.Pattern)) {
        run.Pattern = parser.value(t.Pattern);
        if (run.Pattern.isEmpty() || run.Pattern.contains(QLatin1Char('/'))) {
            out.Error = QStringLiteral("the pattern (-p) must be a file name: not empty and "
                                       "without '/'");
            return;
        }
    }
    if (parser.isSet(t.Dpi)) {
        run.DpiText = parser.value(t.Dpi);
        if (!DpiItems().contains(run.DpiText)) {
            out.Error = QStringLiteral("--dpi must be one of %1, not '%2'")
                            .arg(DpiItems().join(QStringLiteral(", ")), run.DpiText);
            return;
        }
    }
    if (parser.isSet(t.Rotate)) {
        run.RotationIndex = static_cast<int>(KRotateChoices.indexOf(parser.value(t.Rotate)));
        if (run.RotationIndex < 0) {
            out.Error = QStringLiteral("--rotate must be none, left, right or 180, not '%1'")
                            .arg(parser.value(t.Rotate));
            return;
        }
    }
    if (parser.isSet(t.Contrast) &&
        !ParseInt(parser.value(t.Contrast), ContrastMin, ContrastMax, run.Contrast)) {
        out.Error = QStringLiteral("--contrast must be a number from %1 to %2, not '%3'")
                        .arg(ContrastMin)
                        .arg(ContrastMax)
                        .arg(parser.value(t.Contrast));
        return;
    }
    if (parser.isSet(t.Straighten)) {
        const QString mode = parser.value(t.Straighten);
        if (mode == QLatin1String("off")) {
            run.PerspMode = TPerspMode::pmNone;
        } else if (mode == QLatin1String("auto")) {
            run.PerspMode = TPerspMode::pmAuto;
        } else {
            out.Error = QStringLiteral("--straighten must be off or auto, not '%1'").arg(mode);
            return;
        }
    }
    if (parser.isSet(t.WHSize) &&
        !ParseInt(parser.value(t.WHSize), KMinWHSize, KMaxWHSize, run.WHSize)) {
        out.Error = QStringLiteral("--whsize must be a number from %1 to %2, not '%3'")
                        .arg(KMinWHSize)
                        .arg(KMaxWHSize)
                        .arg(parser.value(t.WHSize));
    }
}

// The parser's complaint in the program's words: "unknown option '--bogus'".
QString ParserError(const QCommandLineParser& parser) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString& name = unknown.first();
        return QStringLiteral("unknown option '%1%2'")
            .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
    }
    QString text = parser.errorText();
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    if (!text.isEmpty()) {
        text[0] = text.at(0).toLower();
    }
    return text;
}

} // namespace

QString CliUsage() {
    QString text = QStringLiteral(
        "Usage: bitonix-cli [OPTION]... INPUT...\n"
        "Converts images (JPEG, PNG, BMP, GIF), TIFF files and PDF files into compact\n"
        "black-and-white PDF files: every page is binarised and stored as a one-bit\n"
        "CCITT G4 image on an A4 page.\n"
        "\n"
        "An INPUT is\n"
        "  FILE    a PDF (.pdf), TIFF (.tif, .tiff) or image file (any other name;\n"
        "          decoded by its content)\n"
        "  FOLDER  the files directly inside it named .jpg, .jpeg, .jfif, .png, .bmp,\n"
        "          .gif, .tif, .tiff or .pdf (any letter case), in case-insensitive\n"
        "          name order; subfolders are not entered\n"
        "  -       one file read from standard input, its kind told by its content;\n"
        "          needs -o, since there is no folder to put its PDF in\n"
        "\n"
        "Without -o every input becomes its own PDF beside it, named by the pattern\n"
        "(-p). With -o all inputs go into one PDF, in the order given. An existing\n"
        "file is never overwritten: a number is added instead (out.pdf becomes\n"
        "out(1).pdf). The output folders are checked before any work starts.\n"
        "\n"
        "Options:\n");
    const TOptionTable table;
    for (const QCommandLineOption& option : table.All()) {
        QString line = QStringLiteral("  ") + OptionSynopsis(option);
        if (line.size() > KHelpIndent - 2) {
            line += QLatin1Char('\n') + QString(KHelpIndent, QLatin1Char(' '));
        } else {
            line = line.leftJustified(KHelpIndent);
        }
        text += line + Wrap(option.description(), KHelpIndent, KHelpWidth) + QLatin1Char('\n');
    }
    text +=
        QStringLiteral("\n"
                       "The path of every PDF written goes to standard output, one a line (none\n"
                       "with -o -). Progress goes to standard error: on a terminal one line that\n"
                       "updates in place (file, page, percentage, pages per second, time left);\n"
                       "otherwise a line per file, and with -v a line per page.\n"
                       "\n"
                       "Exit status:\n"
                       "  %1    every input was converted\n"
                       "  %2    the run failed (its message says why); in separate mode the PDFs\n"
                       "       finished before the failure stay\n"
                       "  %3    usage error: a bad option or value, or an output that cannot be\n"
                       "       written; nothing was done\n"
                       "  %4    some inputs were skipped (missing, unreadable, a folder without\n"
                       "       supported files); all the others were converted\n"
                       "  %5  stopped by Ctrl-C or SIGTERM; in separate mode the PDFs finished so\n"
                       "       far stay, in merged mode nothing is written\n")
            .arg(KExitDone)
            .arg(KExitFailed)
            .arg(KExitUsage)
            .arg(KExitSkipped)
            .arg(KExitStopped);
    return text;
}

QString CliUsageHint() {
    return QStringLiteral("Try 'bitonix-cli --help' for more information.");
}

TCliOptions ParseCliOptions(const QStringList& arguments) {
    TCliOptions out;
    const TOptionTable table;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOptions(table.All());
    // The parser expects the program's name first.
    if (!parser.parse(QStringList{QStringLiteral("bitonix-cli")} + arguments)) {
        out.Error = ParserError(parser);
        return out;
    }
    out.Help = parser.isSet(table.Help);
    out.Version = parser.isSet(table.Version);
    if (out.Help || out.Version) {
        return out;
    }
    TakeValues(parser, table, out);
    if (!out.Error.isEmpty()) {
        return out;
    }
    out.Inputs = parser.positionalArguments();
    if (out.Inputs.isEmpty()) {
        out.Error = QStringLiteral("no input given");
    } else if (out.Inputs.count(KStdStream) > 1) {
        out.Error = QStringLiteral("standard input (-) can be read only once");
    } else if (out.Inputs.contains(KStdStream) && !out.Merged()) {
        out.Error = QStringLiteral("standard input (-) needs -o FILE or -o -: there is no folder "
                                   "to put its PDF in");
    }
    return out;
}

} // namespace bitonix
