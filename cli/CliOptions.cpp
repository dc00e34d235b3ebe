// bitonix-cli's options: one table gives the parser its options and --help
// its lines; the values are checked here.
#include "cli/CliOptions.h"

#include "support/ProcessorCores.h"

#include "cli/ExitStatus.h"
#include "settings/SettingsFile.h"

#include <QCommandLineParser>

namespace bitonix {

namespace {

const QStringList KRotateChoices = {QStringLiteral("none"), QStringLiteral("left"),
                                    QStringLiteral("right"), QStringLiteral("180")};
const QStringList KStraightenChoices = {QStringLiteral("off"), QStringLiteral("auto")};
constexpr int KMinWHSize = 8;
constexpr int KMaxWHSize = 10000;
constexpr int KHelpIndent = 25; // column where an option's description starts
constexpr int KHelpWidth = 79;

// "a, b or c".
QString OrList(const QStringList& items) {
    return items.size() < 2 ? items.join(QString())
                            : items.mid(0, items.size() - 1).join(QStringLiteral(", ")) +
                                  QStringLiteral(" or ") + items.last();
}

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
    QCommandLineOption Dpi{
        {"r", "dpi"},
        "the resolution PDF pages are rendered at, in dots per inch: " + OrList(DpiItems()) +
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
    QCommandLineOption Jobs{{"j", "jobs"},
                            QStringLiteral("pages prepared and binarised at once, 1 to %1; "
                                           "default: the number of processor cores (%2). 1 "
                                           "converts one page at a time; more pages at once "
                                           "take more memory. The PDFs are the same")
                                .arg(KMaxPageWorkers)
                                .arg(ProcessorCores()),
                            "N"};
    QCommandLineOption Quiet{{"q", "quiet"}, "print nothing on standard error but errors"};
    QCommandLineOption Verbose{{"v", "verbose"},
                               "a progress line for every page, also on a terminal"};
    QCommandLineOption Help{{"h", "help"}, "show this help and exit"};
    QCommandLineOption Version{QStringList{"version"}, "show the version and exit"};

    QList<QCommandLineOption> All() const {
        return {Output, Pattern, Dpi,   Rotate,  Contrast, Straighten,
                WHSize, Jobs,    Quiet, Verbose, Help,     Version};
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

QString LongName(const QCommandLineOption& option) {
    return QStringLiteral("--") + option.names().last();
}

// The value of `option`, when given, as a number from `low` to `high` into
// `value`. False, with `error` set, when it is no such number.
bool TakeNumber(const QCommandLineParser& parser, const QCommandLineOption& option, int low,
                int high, int& value, QString& error) {
    if (!parser.isSet(option)) {
        return true;
    }
    const QString text = parser.value(option);
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok && v >= low && v <= high) {
        value = v;
        return true;
    }
    error = QStringLiteral("%1 must be a number from %2 to %3, not '%4'")
                .arg(LongName(option))
                .arg(low)
                .arg(high)
                .arg(text);
    return false;
}

// The value of `option`, when given, as its index in `choices` into `index`.
// False, with `error` set, when it is none of them.
bool TakeChoice(const QCommandLineParser& parser, const QCommandLineOption& option,
                const QStringList& choices, int& index, QString& error) {
    if (!parser.isSet(option)) {
        return true;
    }
    const QString text = parser.value(option);
    const qsizetype i = choices.indexOf(text);
    if (i >= 0) {
        index = static_cast<int>(i);
        return true;
    }
    error = QStringLiteral("%1 must be %2, not '%3'").arg(LongName(option), OrList(choices), text);
    return false;
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
    const QStringList dpis = DpiItems();
    int dpi = static_cast<int>(dpis.indexOf(run.DpiText));
    int straighten = run.PerspMode == TPerspMode::pmAuto ? 1 : 0;
    if (TakeChoice(parser, t.Dpi, dpis, dpi, out.Error) &&
        TakeChoice(parser, t.Rotate, KRotateChoices, run.RotationIndex, out.Error) &&
        TakeNumber(parser, t.Contrast, ContrastMin, ContrastMax, run.Contrast, out.Error) &&
        TakeChoice(parser, t.Straighten, KStraightenChoices, straighten, out.Error) &&
        TakeNumber(parser, t.WHSize, KMinWHSize, KMaxWHSize, run.WHSize, out.Error) &&
        TakeNumber(parser, t.Jobs, 1, KMaxPageWorkers, run.PageWorkers, out.Error)) {
        run.DpiText = dpis.value(dpi);
        run.PerspMode = straighten == 1 ? TPerspMode::pmAuto : TPerspMode::pmNone;
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
        "out(1).pdf), also when the name is taken while the run goes on. The output\n"
        "folders are checked before any work starts.\n"
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
                       "The path of every PDF goes to standard output as soon as the PDF is\n"
                       "complete, one a line (none with -o -). Progress goes to standard error:\n"
                       "on a terminal one line that updates in place (file, page, percentage,\n"
                       "pages per second, time left); otherwise a line per file, and with -v a\n"
                       "line per page.\n"
                       "\n"
                       "Exit status:\n"
                       "  %1    every input was converted\n"
                       "  %2    the run failed (its message says why); in separate mode the PDFs\n"
                       "       finished before the failure stay\n"
                       "  %3    usage error: a bad option or value, or an output that cannot be\n"
                       "       written; nothing was done\n"
                       "  %4    some inputs were skipped (missing, unreadable, a folder without\n"
                       "       supported files); all the others were converted\n"
                       "  %5  stopped before the last PDF was written: by SIGINT (Ctrl-C),\n"
                       "       SIGTERM or SIGHUP, or because standard output or error could not\n"
                       "       be written (a closed pipe); the run cleans up first; in separate\n"
                       "       mode the PDFs finished so far stay, in merged mode nothing is\n"
                       "       written\n")
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
    out.Run.PageWorkers = ProcessorCores();
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
