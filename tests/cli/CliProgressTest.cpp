// bitonix-cli's progress on standard error: per page with -v, per file in a
// pipe, nothing with -q, one line rewritten in place on a terminal.
#include "CliRun.h"
#include "TestPdf.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bitonix::test;

namespace {

class CliProgress : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        WritePdf(Dir.filePath("five.pdf"), std::vector<TTestPage>(5));
    }
    QTemporaryDir Dir;
};

// The lines of `text` that report a converted page, in order.
QStringList PageLines(const QString& text) {
    QStringList pages;
    for (const QString& line : text.split('\n')) {
        if (line.contains(", page ")) {
            pages << line;
        }
    }
    return pages;
}

} // namespace

TEST_F(CliProgress, VerboseGivesALinePerPage) {
    const TCliResult r = Cli({"-v", "-r", "75", "-o", "out.pdf", "five.pdf"}, Dir.path());
    ASSERT_EQ(r.Code, 0) << r.Err.toStdString();
    const QStringList pages = PageLines(r.Err);
    ASSERT_EQ(pages.size(), 5) << r.Err.toStdString();
    const QRegularExpression shape(
        R"(^\[1/1\] (\d)/5 pages, (\d+)% \| [0-9.]+ pages/s( \| \d+:\d\d left)? \| five\.pdf, page (\d)$)");
    for (int k = 1; k <= 5; ++k) {
        const QRegularExpressionMatch m = shape.match(pages.at(k - 1));
        ASSERT_TRUE(m.hasMatch()) << pages.at(k - 1).toStdString();
        EXPECT_EQ(m.captured(1).toInt(), k);
        EXPECT_EQ(m.captured(2).toInt(), 20 * k);
        EXPECT_EQ(m.captured(4).toInt(), k);
        EXPECT_EQ(m.captured(3).isEmpty(), k == 5); // no time left after the last page
    }
    EXPECT_TRUE(r.Err.contains("[1/1] Preparing: five.pdf (page 5/5)\n"));
    EXPECT_TRUE(r.Err.contains("[1/1] Converting: five.pdf\n"));
}

TEST_F(CliProgress, APipeGetsALinePerFileAndQuietNothing) {
    WritePdf(Dir.filePath("two.pdf"), std::vector<TTestPage>(2));
    TCliResult r = Cli({"-r", "75", "five.pdf", "two.pdf"}, Dir.path());
    ASSERT_EQ(r.Code, 0) << r.Err.toStdString();
    const QStringList lines = r.Err.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3) << r.Err.toStdString();
    EXPECT_EQ(lines.at(0), "[1/2] Converting: five.pdf");
    EXPECT_EQ(lines.at(1), "[2/2] Converting: two.pdf");
    EXPECT_TRUE(lines.at(2).startsWith("The duration of the last task  "));

    r = Cli({"-q", "-r", "75", "-o", "q.pdf", "five.pdf", "gone.pdf"}, Dir.path());
    EXPECT_EQ(r.Code, 3);
    EXPECT_EQ(r.Err, "bitonix-cli: skipping 'gone.pdf': no such file or folder\n");
}

TEST_F(CliProgress, ATerminalGetsOneLineRewrittenInPlace) {
    // script(1) gives the program a terminal and copies what it shows.
    const QString command = QStringLiteral(BITONIX_BIN_DIR "/bitonix-cli -r 75 -o t.pdf five.pdf");
    const TCliResult r = RunProgram("script", {"-qec", command, "/dev/null"}, Dir.path());
    ASSERT_EQ(r.Code, 0) << r.Out.toStdString();
    const QString shown = QString::fromUtf8(r.Out);
    const qsizetype first = shown.indexOf("\r[1/1] 1/5 pages, 20% | ");
    const qsizetype last = shown.indexOf("\r[1/1] 5/5 pages, 100% | ");
    ASSERT_GE(first, 0) << shown.toStdString();
    ASSERT_GT(last, first) << shown.toStdString();
    EXPECT_FALSE(shown.mid(first, last - first).contains('\n')); // one line, rewritten
    EXPECT_TRUE(shown.mid(first, last - first).contains(" left | five.pdf, page 4"));
    EXPECT_TRUE(shown.contains("The duration of the last task  "));
}
