// Output names: the pattern and the numbering that never overwrites.
#include "pipeline/OutputNaming.h"
#include "QtPrint.h"
#include "TestPdf.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace bitonix;
using namespace bitonix::test;

TEST(OutputNaming, PatternReplacesThePlaceholderInAnyCase) {
    EXPECT_EQ(OutputNameFromPattern("/scans/page.jpg", "[BW]<filesrc>"), "/scans/[BW]page.pdf");
    EXPECT_EQ(OutputNameFromPattern("/scans/a.b.png", "<FILESRC>-bw"), "/scans/a.b-bw.pdf");
    EXPECT_EQ(OutputNameFromPattern("/scans/a.b.png", "<FileSrc>-<filesrc>"), "/scans/a.b-a.b.pdf");
    EXPECT_EQ(OutputNameFromPattern("/scans/noext", "fixed"), "/scans/fixed.pdf");
}

TEST(OutputNaming, FirstFreeNameFollowsTheNumberingRule) {
    QTemporaryDir tmp;
    const QString d = tmp.path() + "/";
    for (const char* existing : {"report.pdf", "report(1).pdf", "scan(3).pdf", "memo(x).pdf"}) {
        WriteFile(d + existing, "x");
    }
    QDir().mkdir(d + "folder.pdf");
    QFile::link(d + "nowhere.pdf", d + "dangling.pdf");
    QFile::link(d + "gone(2).pdf", d + "gone(2).pdf"); // a link to itself
    const struct {
        QString in, out;
    } cases[] = {
        {"report.pdf", "report(2).pdf"},     {"scan(3).pdf", "scan(4).pdf"},
        {"memo(x).pdf", "memo(x)(0).pdf"},   {"new.pdf", "new.pdf"},
        {"folder.pdf", "folder(1).pdf"},     {"scan(7).pdf", "scan(7).pdf"},
        {"dangling.pdf", "dangling(1).pdf"}, {"gone(2).pdf", "gone(3).pdf"},
        {"missing/x.pdf", "missing/x.pdf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(filemaneprocess(d + c.in), d + c.out);
    }
}

TEST(OutputNaming, ReservationsCountLikeExistingFilesWithoutRegardToCase) {
    QTemporaryDir tmp;
    const QString d = tmp.path() + "/";
    TBatchFileList files;
    const QString first = ReserveBatchOutputFile(d + "[BW]a.pdf", files);
    files.append({d + "a.jpg", first, {}, 0, 1, 0});
    const QString second = ReserveBatchOutputFile(d + "[BW]A.pdf", files);
    files.append({d + "A.png", second, {}, 1, 1, 1});
    EXPECT_EQ(first, d + "[BW]a.pdf");
    EXPECT_EQ(second, d + "[BW]A(1).pdf");
    EXPECT_EQ(ReserveBatchOutputFile(d + "[bw]a(1).pdf", files), d + "[bw]a(2).pdf");
    EXPECT_TRUE(QDir(d).entryList(QDir::Files).isEmpty()); // nothing created
}
