// bitonix-cli as a script sees it: option forms, output paths, messages,
// exit statuses, folders and the standard streams.
#include "CliRun.h"
#include "TestImages.h"
#include "TestPdf.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace bitonix::test;

namespace {

const QString KHint = QStringLiteral("Try 'bitonix-cli --help' for more information.\n");

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Pages of a PDF as pdfinfo reads it; -1 when it cannot.
int PdfPages(const QString& path) {
    QByteArray info;
    if (RunTool(PDFINFO_EXECUTABLE, {path}, &info) != 0) {
        return -1;
    }
    for (const QByteArray& line : info.split('\n')) {
        if (line.startsWith("Pages:")) {
            return line.mid(6).trimmed().toInt();
        }
    }
    return -1;
}

// Widths of the PDF's images in page order, as pdfimages lists them: "100 200 620".
QString ImageWidths(const QString& path) {
    QByteArray list;
    RunTool(PDFIMAGES_EXECUTABLE, {"-list", path}, &list);
    QStringList widths;
    const QList<QByteArray> lines = list.split('\n');
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QList<QByteArray> columns = lines.at(i).simplified().split(' ');
        if (columns.size() > 3) {
            widths << QString::fromLatin1(columns.at(3));
        }
    }
    return widths.join(' ');
}

// One command line and what it must do.
struct TCase {
    const char* Name;
    QStringList Args;
    int Code;
    QString ErrHas;           // text standard error contains
    QStringList Written = {}; // PDFs listed on standard output, relative to the folder
    QString Widths = {};      // image widths of the first written PDF (or of standard output)
    QByteArray Stdin = {};    // fed to standard input
    bool PdfOnStdout = false; // standard output is the PDF itself
};

class CliTable : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid() && Tmp.isValid());
        MakeDocumentImage(100, 140).save(Dir.filePath("a.png"));
        WritePdf(Dir.filePath("b.pdf"), {{595, 842}, {595, 842}});
        WritePdf(Dir.filePath("empty.pdf"), {});
        QDir(Dir.path()).mkpath("scans/sub");
        QDir(Dir.path()).mkpath("emptydir");
        MakeDocumentImage(100, 140).save(Dir.filePath("scans/a.PNG"));
        MakeDocumentImage(200, 280).save(Dir.filePath("scans/B.png"));
        WritePdf(Dir.filePath("scans/c.pdf"), {{595, 842}});
        MakeDocumentImage(300, 420).save(Dir.filePath("scans/.hidden.png"));
        MakeDocumentImage(300, 420).save(Dir.filePath("scans/sub/x.png"));
        WriteFile(Dir.filePath("scans/notes.txt"), "not a page");
    }

    QTemporaryDir Dir;
    QTemporaryDir Tmp; // TMPDIR of every run: must be empty after each
};

} // namespace

TEST_F(CliTable, OptionFormsExitStatusesFoldersAndStreams) {
    const QByteArray pdf = ReadAll(Dir.filePath("b.pdf"));
    const QByteArray png = ReadAll(Dir.filePath("scans/B.png"));
    const QByteArray tiff = ReadAll(WriteColourTiff(Dir.filePath("t.tif"), 3, 60, 40));
    // At 75 DPI an A4 page is 620 pixels wide; images keep their width.
    const TCase cases[] = {
        // Every form of an option with a value; a.png must not be lost.
        {"-o FILE",
         {"-o", "m1.pdf", "-r", "75", "a.png", "b.pdf"},
         0,
         "",
         {"m1.pdf"},
         "100 620 620"},
        {"-oFILE", {"-om2.pdf", "-r75", "a.png", "b.pdf"}, 0, "", {"m2.pdf"}, "100 620 620"},
        {"-o=FILE", {"-o=m3.pdf", "-r=75", "a.png", "b.pdf"}, 0, "", {"m3.pdf"}, "100 620 620"},
        {"--output FILE",
         {"--output", "m4.pdf", "--dpi", "75", "a.png", "b.pdf"},
         0,
         "",
         {"m4.pdf"},
         "100 620 620"},
        {"--output=FILE",
         {"--output=m5.pdf", "--dpi=75", "a.png", "b.pdf"},
         0,
         "",
         {"m5.pdf"},
         "100 620 620"},
        {"grouped flags with a value",
         {"-qvom6.pdf", "-r", "75", "b.pdf"},
         0,
         "",
         {"m6.pdf"},
         "620 620"},
        {"options after inputs",
         {"a.png", "-o", "m7.pdf", "b.pdf", "-r", "75"},
         0,
         "",
         {"m7.pdf"},
         "100 620 620"},
        {"-- ends the options", {"-o", "m8.pdf", "--", "a.png"}, 0, "", {"m8.pdf"}, "100"},
        {"the last value counts",
         {"-r", "300", "-r", "75", "-o", "m9.pdf", "b.pdf"},
         0,
         "",
         {"m9.pdf"},
         "620 620"},
        {"separate PDFs beside the inputs",
         {"-r", "75", "-p", "<filesrc>-bw", "a.png", "b.pdf"},
         0,
         "",
         {"a-bw.pdf", "b-bw.pdf"},
         "100"},
        {"other settings",
         {"--rotate=left", "-c", "30", "-s", "off", "--whsize=20", "-o", "r.pdf", "a.png"},
         0,
         "",
         {"r.pdf"},
         "140"},

        // Usage errors: one message and one line of help, nothing done.
        {"no input", {}, 2, "no input given"},
        {"unknown long option", {"--bogus", "a.png"}, 2, "unknown option '--bogus'"},
        {"unknown short option", {"-x", "a.png"}, 2, "unknown option '-x'"},
        {"unknown option in a group", {"-qx", "a.png"}, 2, "unknown option '-x'"},
        {"missing value", {"a.png", "-o"}, 2, "missing value after '-o'"},
        {"value for a flag", {"--quiet=yes", "a.png"}, 2, "unexpected value after '--quiet'"},
        {"empty output name", {"--output=", "a.png"}, 2, "the output file name (-o) is empty"},
        {"DPI not in the list",
         {"-r=400", "a.png"},
         2,
         "--dpi must be 75, 100, 150, 200, 300, 600 or 1200, not '400'"},
        {"bad rotation",
         {"--rotate", "sideways", "a.png"},
         2,
         "--rotate must be none, left, right or 180, not 'sideways'"},
        {"contrast too low",
         {"-c", "0", "a.png"},
         2,
         "--contrast must be a number from 1 to 100, not '0'"},
        {"contrast no number",
         {"-c12x", "a.png"},
         2,
         "--contrast must be a number from 1 to 100, not '12x'"},
        {"window too small",
         {"--whsize", "7", "a.png"},
         2,
         "--whsize must be a number from 8 to 10000, not '7'"},
        {"manual straightening",
         {"-s", "manual", "a.png"},
         2,
         "--straighten must be off or auto, not 'manual'"},
        {"pattern with a folder",
         {"-p", "x/<filesrc>", "a.png"},
         2,
         "the pattern (-p) must be a file name: not empty and without '/'"},
        {"standard input without -o",
         {"-"},
         2,
         "standard input (-) needs -o FILE or -o -: there is no folder to put its PDF in"},
        {"standard input twice",
         {"-o", "x.pdf", "-", "-"},
         2,
         "standard input (-) can be read only once"},
        // The output is checked before any work.
        {"output folder missing",
         {"-o", "nothere/x.pdf", "b.pdf"},
         2,
         "the output folder '" + Dir.filePath("nothere") + "/' does not exist"},
        {"output is a folder",
         {"-o", "scans", "b.pdf"},
         2,
         "the output 'scans' is a folder; -o takes the PDF's file name"},
        {"output names a folder",
         {"-o", "new/", "b.pdf"},
         2,
         "the output 'new/' is a folder; -o takes the PDF's file name"},
        {"output folder is a file",
         {"-o", "a.png/x.pdf", "b.pdf"},
         2,
         "the output folder '" + Dir.filePath("a.png") + "/' is no folder"},

        // Exit statuses of runs.
        {"some inputs missing",
         {"-o", "s1.pdf", "a.png", "gone.png"},
         3,
         "skipping 'gone.png': no such file or folder",
         {"s1.pdf"},
         "100"},
        {"a folder without supported files",
         {"-o", "s2.pdf", "emptydir", "a.png"},
         3,
         "skipping folder 'emptydir': no supported files in it",
         {"s2.pdf"},
         "100"},
        {"every input missing",
         {"gone.png", "gone.pdf"},
         1,
         "nothing to convert: every input was skipped"},
        {"the run fails",
         {"-o", "f.pdf", "a.png", "empty.pdf"},
         1,
         "Brak stron do przetworzenia: " + Dir.filePath("empty.pdf")},

        // Folders: supported files directly inside, in case-insensitive name order.
        {"folder merged", {"-r", "75", "-o", "d.pdf", "scans"}, 0, "", {"d.pdf"}, "100 200 620"},
        {"folder separate",
         {"-r", "75", "scans/"},
         0,
         "",
         {"scans/[BW]a.pdf", "scans/[BW]B.pdf", "scans/[BW]c.pdf"},
         "100"},

        // Standard input and output.
        {"PDF through a pipe", {"-r", "75", "-o", "-", "-"}, 0, "", {}, "620 620", pdf, true},
        {"PNG through a pipe", {"-o", "-", "-"}, 0, "", {}, "200", png, true},
        {"TIFF through a pipe", {"-o", "-", "-"}, 0, "", {}, "60 60 60", tiff, true},
        {"standard input among files",
         {"-o", "p.pdf", "a.png", "-"},
         0,
         "",
         {"p.pdf"},
         "100 200",
         png},
        {"several inputs to standard output",
         {"-r", "75", "-o", "-", "a.png", "b.pdf"},
         0,
         "",
         {},
         "100 620 620",
         {},
         true},
        {"empty standard input",
         {"-o", "e.pdf", "a.png", "-"},
         3,
         "skipping standard input: standard input is empty",
         {"e.pdf"},
         "100"},
        {"no page on standard input",
         {"-o", "-", "-"},
         1,
         "standard input holds no PDF, TIFF, JPEG, PNG, BMP or GIF file",
         {},
         {},
         "hello\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TCliResult r = Cli(c.Args, Dir.path(), c.Stdin, Tmp.path());
        EXPECT_EQ(r.Code, c.Code) << r.Err.toStdString();
        EXPECT_TRUE(r.Err.contains(c.ErrHas)) << r.Err.toStdString();
        EXPECT_TRUE(QDir(Tmp.path()).isEmpty()); // no temporary file left behind
        if (c.Code == 2) {
            EXPECT_EQ(r.Err, "bitonix-cli: " + c.ErrHas + "\n" + KHint);
            EXPECT_TRUE(r.Out.isEmpty());
            continue;
        }
        QString listed;
        for (const QString& name : c.Written) {
            listed += Dir.filePath(name) + "\n";
        }
        if (c.PdfOnStdout) {
            EXPECT_TRUE(r.Out.startsWith("%PDF-"));
            const QString piped = WriteFile(Tmp.filePath("piped.pdf"), r.Out);
            EXPECT_EQ(PdfPages(piped), static_cast<int>(c.Widths.count(' ') + 1));
            EXPECT_EQ(ImageWidths(piped), c.Widths);
            QFile::remove(piped);
        } else {
            EXPECT_EQ(QString::fromUtf8(r.Out), listed);
        }
        if (!c.Written.isEmpty()) {
            const QString first = Dir.filePath(c.Written.first());
            EXPECT_EQ(PdfPages(first), static_cast<int>(c.Widths.count(' ') + 1));
            EXPECT_EQ(ImageWidths(first), c.Widths);
        }
        if (c.Code == 1) {
            EXPECT_TRUE(r.Out.isEmpty());
        }
    }
    EXPECT_FALSE(QFile::exists(Dir.filePath("f.pdf")));
    EXPECT_FALSE(QFile::exists(Dir.filePath("scans/[BW]notes.pdf")));
    EXPECT_FALSE(QFile::exists(Dir.filePath("scans/[BW].hidden.pdf")));
    EXPECT_FALSE(QFile::exists(Dir.filePath("scans/[BW]x.pdf")));
    EXPECT_FALSE(QFile::exists(Dir.filePath("scans/sub/[BW]x.pdf")));

    EXPECT_EQ(Cli({"--help"}).Code, 0);
    EXPECT_TRUE(Cli({"--version"}).Out.startsWith("bitonix-cli "));
}

TEST_F(CliTable, UnwritableOrUnreadablePathsAreCaughtBeforeWork) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the super-user";
    }
    QDir(Dir.path()).mkdir("locked");
    QFile::copy(Dir.filePath("b.pdf"), Dir.filePath("locked/b.pdf"));
    QFile::copy(Dir.filePath("b.pdf"), Dir.filePath("secret.pdf"));
    QFile::setPermissions(Dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(Dir.filePath("secret.pdf"), QFile::WriteOwner);

    TCliResult r = Cli({"-o", "locked/x.pdf", "b.pdf"}, Dir.path());
    EXPECT_EQ(r.Code, 2);
    EXPECT_TRUE(r.Err.contains("cannot write into the output folder")) << r.Err.toStdString();
    r = Cli({"locked/b.pdf"}, Dir.path());
    EXPECT_EQ(r.Code, 2);
    EXPECT_TRUE(r.Err.contains("each PDF goes beside its input")) << r.Err.toStdString();
    r = Cli({"-r", "75", "-o", "ok.pdf", "secret.pdf", "b.pdf"}, Dir.path());
    EXPECT_EQ(r.Code, 3);
    EXPECT_TRUE(r.Err.contains("skipping 'secret.pdf': Permission denied")) << r.Err.toStdString();
    EXPECT_EQ(PdfPages(Dir.filePath("ok.pdf")), 2);
    QFile::setPermissions(Dir.filePath("locked"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(Cli, MergedOutputIsMadeUniqueAndQuietPrintsNothing) {
    QTemporaryDir dir;
    MakeDocumentImage(100, 140).save(dir.filePath("a.jpg"));
    WriteFile(dir.filePath("out.pdf"), "mine");
    const TCliResult r = Cli({"-q", "-o", "out.pdf", "a.jpg", "a.jpg"}, dir.path());
    EXPECT_EQ(r.Code, 0);
    EXPECT_EQ(QString::fromUtf8(r.Out), dir.filePath("out(1).pdf") + "\n");
    EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
    EXPECT_EQ(ReadAll(dir.filePath("out.pdf")), "mine");
}

TEST(Cli, HigherContrastGivesALighterPage) {
    QTemporaryDir dir;
    // Grey noise around mid-grey: how much of it turns black depends on the factor.
    QImage noise(120, 120, QImage::Format_Grayscale8);
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x) {
            noise.scanLine(y)[x] = static_cast<uchar>(100 + (x * 7919 + y * 104729) % 56);
        }
    }
    noise.save(dir.filePath("grey.png"));
    auto blackPixels = [&](const QString& contrast) {
        const QString pdf = dir.filePath("c" + contrast + ".pdf");
        EXPECT_EQ(Cli({"-q", "-c", contrast, "-o", pdf, "grey.png"}, dir.path()).Code, 0);
        RunTool(PDFIMAGES_EXECUTABLE, {pdf, dir.filePath("c" + contrast)});
        const QImage page(dir.filePath("c" + contrast + "-000.pbm"));
        EXPECT_FALSE(page.isNull());
        int black = 0;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                black += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
            }
        }
        return black;
    };
    const int dark = blackPixels("5");
    const int light = blackPixels("90");
    EXPECT_GT(dark, light);
    EXPECT_GT(dark, 0);
}

// The program folder is the real one behind a link, as when started through
// /usr/bin/bitonix-cli; a copy elsewhere has no plugin beside it and says so.
TEST(Cli, StraighteningFindsThePluginThroughALinkAndWarnsWithoutOne) {
    QTemporaryDir dir;
    MakeDocumentImage(200, 280).save(dir.filePath("a.jpg"));
    const QString cli = QStringLiteral(BITONIX_BIN_DIR "/bitonix-cli");
    const QString linked = dir.filePath("linked-cli");
    const QString copied = dir.filePath("copied-cli");
    ASSERT_TRUE(QFile::link(cli, linked));
    ASSERT_TRUE(QFile::copy(cli, copied));
    const QString warning = "bitonix-cli: warning: the corner detector ";

    TCliResult r =
        RunProgram(linked, {"-q", "-s", "auto", "-o", "linked.pdf", "a.jpg"}, dir.path());
    EXPECT_EQ(r.Code, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Err.contains(warning), !BITONIX_HAVE_DOCDETECT) << r.Err.toStdString();

    r = RunProgram(copied, {"-q", "-s", "auto", "-o", "copied.pdf", "a.jpg"}, dir.path());
    EXPECT_EQ(r.Code, 0) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains(warning + dir.filePath("libdocdetect.so") +
                               " could not be loaded; pages are not straightened"))
        << r.Err.toStdString();
    EXPECT_EQ(QString::fromUtf8(r.Out), dir.filePath("copied.pdf") + "\n");

    r = RunProgram(copied, {"-q", "-o", "plain.pdf", "a.jpg"}, dir.path()); // none asked
    EXPECT_FALSE(r.Err.contains(warning)) << r.Err.toStdString();
}

TEST(Cli, InterruptStopsCleanlyWithStatus130) {
    QTemporaryDir dir;
    QStringList inputs;
    for (int i = 0; i < 12; ++i) {
        const QString path = dir.filePath(QString("p%1.jpg").arg(i));
        MakeDocumentImage(2400, 3360).save(path);
        inputs << path;
    }
    QDir().mkdir(dir.filePath("tmp"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", dir.filePath("tmp"));
    p.setProcessEnvironment(env);
    p.setReadChannel(QProcess::StandardError);
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(BITONIX_BIN_DIR "/bitonix-cli"),
            QStringList{"-v", "-o", "all.pdf"} + inputs);
    QByteArray err;
    while (!err.contains("Preparing") && p.waitForReadyRead(60000)) {
        err += p.readAllStandardError();
    }
    ASSERT_TRUE(err.contains("Preparing")) << err.toStdString();
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(120000));
    err += p.readAllStandardError();
    EXPECT_EQ(p.exitCode(), 130);
    EXPECT_TRUE(err.trimmed().endsWith("Cancelled")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("all.pdf")));
    EXPECT_TRUE(QDir(dir.filePath("tmp")).isEmpty()); // the run's temporary folder is gone
}
