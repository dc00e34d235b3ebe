// The whole run on small inputs of every kind, in both modes, with its
// failures and stops.
#include "pipeline/BatchRun.h"
#include "RecordingHost.h"
#include "TestImages.h"
#include "TestPdf.h"
#include "imaging/Leptonica.h"
#include "imaging/PageThumbnailFile.h"
#include "support/Error.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <map>

using namespace bitonix;
using namespace bitonix::test;

namespace {

std::tm FixedTime() {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 9;
    return t;
}

class BatchRun : public ::testing::Test {
protected:
    void SetUp() override {
        In = Dir.path() + QString::fromUtf8("/wej ście ż/");
        ASSERT_TRUE(QDir().mkpath(In));
        ASSERT_TRUE(QDir().mkpath(Dir.path() + "/tmp"));
        Settings.ProgramDir = QStringLiteral(BITONIX_BIN_DIR) + "/";
        Settings.TempParent = Dir.path() + "/tmp";
        Settings.DpiText = "75";
        Settings.Clock = FixedTime;
    }

    // An image file of a distinct width, so its page can be told in the PDF.
    QString Image(const QString& name, int w, const char* format = nullptr) {
        const QImage img = MakeDocumentImage(w, 160);
        const QString path = In + name;
        EXPECT_TRUE(img.save(path, format));
        return path;
    }

    // The inputs of every kind: 1 + 1 + 1 + 1 + 3 + 2 + 1 pages.
    QStringList AllKinds() {
        QImage alpha(130, 160, QImage::Format_ARGB32);
        alpha.fill(Qt::transparent);
        alpha.save(In + "alpha.png");
        const QByteArray gif = QByteArray::fromHex(
            "47494638396101000100800000000000ffffff21f90401000000002c000000000100010000020144003b");
        return {Image("photo.jpg", 120),
                In + "alpha.png",
                Image("pic.bmp", 140, "BMP"),
                WriteFile(In + "anim.gif", gif),
                WriteColourTiff(In + "three.tiff", 3, 150, 100),
                WritePdf(In + "SCAN.PDF", {{595, 842}, {842, 595}}),
                Image(QString::fromUtf8("zażółć gęślą.jpg"), 170)};
    }

    TRunResult Run() { return RunBatch(Settings, Strings, Host); }

    static int Pages(const QString& pdf) {
        QByteArray out;
        RunTool(PDFINFO_EXECUTABLE, {pdf}, &out);
        const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(QString::fromUtf8(out));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    // Widths of the page images in page order, checked with real readers.
    static QList<int> ImageWidths(const QString& pdf) {
        QByteArray out;
        EXPECT_EQ(RunTool(QPDF_EXECUTABLE, {"--check", pdf}, &out), 0) << out.toStdString();
        EXPECT_EQ(RunTool(PDFIMAGES_EXECUTABLE, {"-list", pdf}, &out), 0);
        QList<int> widths;
        for (const QString& line : QString::fromUtf8(out).split('\n').mid(2)) {
            const QStringList f = line.simplified().split(' ');
            if (f.size() > 9) {
                EXPECT_EQ(f.at(8), "ccitt");
                EXPECT_EQ(f.at(7), "1");
                widths << f.at(3).toInt();
            }
        }
        return widths;
    }
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QStringList LeftInTemp() const {
        return QDir(Dir.path() + "/tmp")
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    // The PDFs the runs wrote (inputs named *.PDF or *.pdf are not outputs).
    QStringList Pdfs() const {
        QStringList out;
        for (const QString& name : QDir(In).entryList(QDir::Files, QDir::Name)) {
            if (name.endsWith(".pdf") && (name.startsWith("[BW]") || name.startsWith("out") ||
                                          name.startsWith("merged") || name.startsWith("all"))) {
                out << name;
            }
        }
        return out;
    }

    QTemporaryDir Dir;
    QString In;
    TRunSettings Settings;
    TLangStrings Strings;
    TRecordingHost Host;
};

} // namespace

TEST_F(BatchRun, SeparateModeWritesOnePdfPerInputBesideIt) {
    Settings.Files = AllKinds();
    const TRunResult r = Run();
    EXPECT_TRUE(r.Completed);
    EXPECT_EQ(r.Written.size(), 7);
    EXPECT_EQ(Pdfs(), QStringList({"[BW]SCAN.pdf", "[BW]alpha.pdf", "[BW]anim.pdf", "[BW]photo.pdf",
                                   "[BW]pic.pdf", "[BW]three.pdf",
                                   QString::fromUtf8("[BW]zażółć gęślą.pdf")}));
    EXPECT_EQ(ImageWidths(In + "[BW]three.pdf"), QList<int>({150, 150, 150}));
    EXPECT_EQ(ImageWidths(In + "[BW]SCAN.pdf"), QList<int>({620, 620}));
    EXPECT_EQ(ImageWidths(In + "[BW]anim.pdf"), QList<int>({1}));
    EXPECT_EQ(Pages(In + "[BW]photo.pdf"), 1);
    // Image names start again in every PDF.
    const QByteArray three = Bytes(In + "[BW]three.pdf");
    EXPECT_TRUE(three.contains("/Name/img_3/") && !three.contains("img_4"));
    EXPECT_EQ(Host.Status.last(), QRegularExpression("^The duration of the last task  \\d+ ms$")
                                      .match(Host.Status.last())
                                      .captured(0));
    EXPECT_EQ(Host.Previews, 10);
    EXPECT_TRUE(LeftInTemp().isEmpty()) << LeftInTemp().join(",").toStdString();
}

// Pages prepared and binarised ahead on several workers change nothing the
// surroundings see: the same PDFs to the byte (the clock is fixed) and the
// same host calls in the same order, also when the run is stopped.
TEST_F(BatchRun, ManyWorkersGiveTheSameBytesAndHostCallsAsOne) {
    Settings.Files = AllKinds();
    const auto edit = [](TPageCorrectionList& list) {
        // A smaller outline on the first page and a turn on the second.
        TPageCorrection& first = list[0];
        first.Corners = {TPointF{10, 12}, TPointF{100, 10}, TPointF{105, 150}, TPointF{8, 140}};
        list[1].Rotation = 90;
    };
    struct TCase {
        bool Merged;
        TPerspMode Mode;
        int StopAfter;
    };
    const TCase cases[] = {
        {false, TPerspMode::pmNone, -1}, {true, TPerspMode::pmNone, -1},
        {true, TPerspMode::pmSemi, -1},  {false, TPerspMode::pmAuto, -1},
        {false, TPerspMode::pmNone, 4},  {true, TPerspMode::pmSemi, 3},
    };
    for (const TCase& c : cases) {
        std::map<QString, QByteArray> written[2];
        QStringList calls[2];
        for (int run = 0; run < 2; ++run) {
            TRecordingHost host;
            host.StopAfterPages = c.StopAfter;
            host.Edit = edit;
            TRunSettings settings = Settings;
            settings.Merged = c.Merged;
            settings.MergedOutput = In + "merged.pdf";
            settings.PerspMode = c.Mode;
            settings.RotationIndex = 3;
            settings.PageWorkers = run == 0 ? 1 : 3;
            RunBatch(settings, Strings, host);
            for (const QString& name : Pdfs()) {
                written[run][name] = Bytes(In + name);
                QFile::remove(In + name);
            }
            calls[run] = host.Calls;
            // The durations differ from run to run.
            calls[run].replaceInStrings(QRegularExpression("\\d+ ms$"), "ms");
        }
        const std::string what = QString("merged %1 mode %2 stop %3")
                                     .arg(c.Merged)
                                     .arg(static_cast<int>(c.Mode))
                                     .arg(c.StopAfter)
                                     .toStdString();
        EXPECT_FALSE(written[0].empty() && c.StopAfter < 0) << what;
        EXPECT_EQ(written[0], written[1]) << what;
        EXPECT_EQ(calls[0], calls[1]) << what;
        EXPECT_TRUE(LeftInTemp().isEmpty()) << what;
    }
}

// The image library is the run's: nothing of it stays loaded once the run is
// over, however it ended.
TEST_F(BatchRun, NothingOfTheImageLibraryStaysLoadedAfterARun) {
    const auto loaded = [] {
        for (const QString& name : TLeptonica::LibraryNames()) {
            if (void* handle =
                    dlopen(QFile::encodeName(name).constData(), RTLD_LAZY | RTLD_NOLOAD)) {
                dlclose(handle);
                return true;
            }
        }
        return false;
    };
    ASSERT_FALSE(loaded());
    Settings.Files = {Image("a.jpg", 120)};
    Settings.PerspMode = TPerspMode::pmAuto;
    bool loadedDuringRun = false;
    Host.OnProgress = [&] { loadedDuringRun = loaded(); };
    EXPECT_TRUE(Run().Completed);
    EXPECT_TRUE(loadedDuringRun) << "the check sees a loaded library";
    EXPECT_FALSE(loaded());
    Settings.Files = {In + "missing.jpg"};
    EXPECT_THROW(Run(), TError);
    EXPECT_FALSE(loaded());
}

TEST_F(BatchRun, MergedModeWritesAllPagesInOrderIntoOnePdf) {
    Settings.Files = AllKinds();
    Settings.Merged = true;
    Settings.MergedOutput = In + "out.pdf";
    WriteFile(In + "out.pdf", "keep me");
    const TRunResult r = Run();
    EXPECT_TRUE(r.Completed);
    EXPECT_EQ(r.MergedOutput, In + "out(1).pdf");
    EXPECT_EQ(Host.Merged, In + "out(1).pdf");
    EXPECT_EQ(r.Written, QStringList({In + "out(1).pdf"}));
    EXPECT_EQ(Bytes(In + "out.pdf"), "keep me");
    EXPECT_EQ(ImageWidths(In + "out(1).pdf"),
              QList<int>({120, 130, 140, 1, 150, 150, 150, 620, 620, 170}));
    const QByteArray merged = Bytes(In + "out(1).pdf");
    EXPECT_TRUE(merged.contains("/Name/img_10/"));
    EXPECT_EQ(Host.Labels.last(),
              QString::fromUtf8("File 7/7: zażółć gęślą.jpg - page 1/1  (100%)"));
    EXPECT_EQ(Pdfs(), QStringList({"out(1).pdf", "out.pdf"}));
    EXPECT_TRUE(LeftInTemp().isEmpty());
}

TEST_F(BatchRun, ExistingOutputsAreNeverOverwritten) {
    const QString a = Image("a.jpg", 100);
    const QString b = Image("a.png", 100);
    WriteFile(In + "[BW]a.pdf", "old");
    Settings.Files = {a, b, a};
    EXPECT_TRUE(Run().Completed);
    EXPECT_EQ(Bytes(In + "[BW]a.pdf"), "old");
    EXPECT_EQ(Pdfs(), QStringList({"[BW]a(1).pdf", "[BW]a(2).pdf", "[BW]a(3).pdf", "[BW]a.pdf"}));
}

// Another run or program takes a name between naming and saving, or leaves a
// dangling link there: the PDF goes under the next free number (past the
// names the run keeps for its other files), and the host hears that name.
TEST_F(BatchRun, NamesTakenMeanwhileGetTheNextFreeNumber) {
    const QString jpg = Image("a.jpg", 100);
    const QString png = Image("a.png", 110);
    Settings.Files = {jpg, png}; // [BW]a.pdf and [BW]a(1).pdf
    Host.OnProgress = [&] {
        if (Host.Processed == 0) {
            QFile::link(In + "nowhere", In + "[BW]a.pdf");
        }
    };
    TRunResult r = Run();
    EXPECT_TRUE(r.Completed);
    EXPECT_EQ(r.Written, QStringList({In + "[BW]a(2).pdf", In + "[BW]a(1).pdf"}));
    EXPECT_EQ(Host.Written, r.Written);
    EXPECT_EQ(ImageWidths(In + "[BW]a(2).pdf"), QList<int>({100}));
    EXPECT_EQ(ImageWidths(In + "[BW]a(1).pdf"), QList<int>({110}));

    Settings.Merged = true;
    Settings.MergedOutput = In + "out.pdf";
    Host.Written.clear();
    Host.OnProgress = [&] {
        if (Host.Processed == 1) {
            WriteFile(In + "out.pdf", "another run's");
        }
    };
    r = Run();
    EXPECT_TRUE(r.Completed);
    EXPECT_EQ(r.MergedOutput, In + "out(1).pdf");
    EXPECT_EQ(Host.Merged, In + "out(1).pdf");
    EXPECT_EQ(Host.Written, QStringList({In + "out(1).pdf"}));
    EXPECT_EQ(Bytes(In + "out.pdf"), "another run's");
    EXPECT_EQ(ImageWidths(In + "out(1).pdf"), QList<int>({100, 110}));
    EXPECT_TRUE(LeftInTemp().isEmpty());
}

// A stop asked for once the last PDF is on disk cancels nothing; one asked
// for before it does.
TEST_F(BatchRun, AStopAfterTheLastWriteIsNoCancel) {
    Settings.Files = {Image("1.jpg", 100), Image("2.jpg", 110)};
    const struct {
        bool Merged;
        int StopAfterWritten;
        int StopAfterPages;
        bool Completed;
        QStringList Pdfs;
    } cases[] = {
        {false, 2, -1, true, {"[BW]1.pdf", "[BW]2.pdf"}},
        {false, 1, -1, false, {"[BW]1.pdf"}},
        {true, 1, -1, true, {"all.pdf"}},
        {true, -1, 2, false, {}}, // every page in, the save not yet made
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Merged << " " << c.StopAfterWritten);
        for (const QString& pdf : Pdfs()) {
            QFile::remove(In + pdf);
        }
        Settings.Merged = c.Merged;
        Settings.MergedOutput = In + "all.pdf";
        Host.Written.clear();
        Host.StopAfterWritten = c.StopAfterWritten;
        Host.StopAfterPages = c.StopAfterPages;
        const TRunResult r = Run();
        EXPECT_EQ(r.Completed, c.Completed);
        EXPECT_EQ(r.Cancelled, !c.Completed);
        EXPECT_EQ(Host.Status.last().startsWith("The duration"), c.Completed)
            << Host.Status.last().toStdString();
        EXPECT_EQ(Pdfs(), c.Pdfs);
        EXPECT_TRUE(LeftInTemp().isEmpty());
    }
}

TEST_F(BatchRun, FailuresStopTheRunBeforeAnyPageWithTheirMessage) {
    const QString good = Image("good.jpg", 100);
    const QString noPages = WritePdf(In + "empty.pdf", {});
    const QString damaged = WriteFile(In + "bad.pdf", "%PDF-1.4\nbroken");
    const QString notImage = WriteFile(In + "text.png", "hello");
    const struct {
        QString input;
        QString message;
    } cases[] = {
        {noPages, "Brak stron do przetworzenia: " + noPages},
        {damaged, "PDFium: nie mozna otworzyc pliku PDF: " + damaged},
        {notImage, ""},
    };
    for (const bool merged : {false, true}) {
        for (const auto& c : cases) {
            Settings.Files = {good, c.input};
            Settings.Merged = merged;
            Settings.MergedOutput = In + "merged.pdf";
            try {
                Run();
                ADD_FAILURE() << "no error for " << c.input.toStdString();
            } catch (const TError& e) {
                if (!c.message.isEmpty()) {
                    EXPECT_EQ(e.Text(), c.message);
                } else {
                    EXPECT_TRUE(e.Text().contains(c.input)) << e.Text().toStdString();
                }
            }
            EXPECT_TRUE(Pdfs().isEmpty()) << Pdfs().join(",").toStdString();
            EXPECT_TRUE(LeftInTemp().isEmpty());
        }
    }
}

TEST_F(BatchRun, UnwritableOutputIsAnErrorAndLeavesNothing) {
    Settings.Files = {Image("a.jpg", 100)};
    Settings.Merged = true;
    Settings.MergedOutput = Dir.path() + "/no such folder/out.pdf";
    try {
        Run();
        FAIL() << "no error";
    } catch (const TError& e) {
        EXPECT_TRUE(e.Text().startsWith("Cannot create file")) << e.Text().toStdString();
    }
    EXPECT_TRUE(LeftInTemp().isEmpty());
}

TEST_F(BatchRun, AMissingTemporaryFolderStopsTheRunBeforeAnyInputIsRead) {
    Settings.Files = {Image("a.jpg", 100)};
    Settings.TempParent = Dir.path() + "/gone";
    try {
        Run();
        FAIL() << "no error";
    } catch (const TError& e) {
        EXPECT_EQ(e.Text(), "The temporary folder \"" + Dir.path() + "/gone/\" does not exist.");
    }
    EXPECT_TRUE(Host.Status.isEmpty()) << Host.Status.join('|').toStdString();
    EXPECT_TRUE(Pdfs().isEmpty());
    EXPECT_FALSE(QFile::exists(Dir.path() + "/gone"));
}

TEST_F(BatchRun, StopInSeparateModeKeepsOnlyFinishedFiles) {
    Settings.Files = {Image("1.jpg", 100), Image("2.jpg", 110), Image("3.jpg", 120)};
    Host.StopAfterPages = 2; // raised while the second file's page is processed
    const TRunResult r = Run();
    EXPECT_TRUE(r.Cancelled);
    EXPECT_FALSE(r.Completed);
    EXPECT_EQ(Pdfs(), QStringList({"[BW]1.pdf"}));
    EXPECT_EQ(Host.Status.last(), "Cancelled");
    EXPECT_TRUE(LeftInTemp().isEmpty());
}

// A stop while a PDF or TIFF is split, before its first page, is a stop and
// no input without pages.
TEST_F(BatchRun, StopBeforeAnInputsFirstPageIsNoError) {
    for (const QString& input : {WritePdf(In + "doc.pdf", {{595, 842}, {595, 842}}),
                                 WriteColourTiff(In + "t.tif", 2, 60, 40)}) {
        SCOPED_TRACE(input.toStdString());
        Settings.Files = {input};
        Host.Status.clear();
        Host.StopAfterStatus = 1; // raised by "Preparing: <name>"
        const TRunResult r = Run();
        EXPECT_TRUE(r.Cancelled);
        EXPECT_EQ(Host.Status.last(), "Cancelled");
        EXPECT_TRUE(Pdfs().isEmpty());
        EXPECT_TRUE(LeftInTemp().isEmpty());
    }
}

TEST_F(BatchRun, StopInMergedModeWritesNothing) {
    Settings.Files = {Image("1.jpg", 100), Image("2.jpg", 110)};
    Settings.Merged = true;
    Settings.MergedOutput = In + "all.pdf";
    Host.StopAfterPages = 1;
    EXPECT_TRUE(Run().Cancelled);
    EXPECT_TRUE(Pdfs().isEmpty());
    EXPECT_TRUE(LeftInTemp().isEmpty());
}

TEST_F(BatchRun, ManualModeShowsTheEditorOverAllPages) {
    Settings.Files = {Image("1.jpg", 100), WriteColourTiff(In + "t.tif", 2, 90, 60)};
    Settings.PerspMode = TPerspMode::pmSemi;
    Settings.RotationIndex = 1; // ignored in the manual mode
    Host.Edit = [](TPageCorrectionList& list) {
        ASSERT_EQ(list.size(), 3);
        EXPECT_EQ(list[2].GlobalPageNo, 3);
        EXPECT_EQ(list[2].GlobalPageCount, 3);
        EXPECT_EQ(list[2].SourcePageNo, 2);
        list[0].Rotation = 90;
        // Outline the inner part of the TIFF's first page.
        list[1].Corners = {TPointF{10, 10}, TPointF{69, 10}, TPointF{69, 49}, TPointF{10, 49}};
    };
    EXPECT_TRUE(Run().Completed);
    EXPECT_EQ(Host.EditorCalls, 1);
    EXPECT_EQ(ImageWidths(In + "[BW]1.pdf"), QList<int>({160})); // turned: 160 x 100
    EXPECT_EQ(ImageWidths(In + "[BW]t.pdf"), QList<int>({59, 90}));

    Host.ConfirmEditor = false;
    QFile::remove(In + "[BW]1.pdf");
    QFile::remove(In + "[BW]t.pdf");
    Host.Status.clear();
    const TRunResult r = Run();
    EXPECT_TRUE(r.EditorDismissed);
    EXPECT_TRUE(Pdfs().isEmpty());
    // The status keeps the last preparation text.
    EXPECT_TRUE(Host.Status.last().startsWith("Preparing: t.tif"))
        << Host.Status.last().toStdString();
    EXPECT_TRUE(LeftInTemp().isEmpty());
}

TEST_F(BatchRun, OnlyTheManualModeMakesAThumbnailOfEveryPage) {
    // Thumbnail files anywhere in the run's temporary folder.
    const auto thumbnails = [this] {
        QStringList found;
        QDirIterator it(Dir.path() + "/tmp", {"*.thumb.png"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            found << it.next();
        }
        return found;
    };
    for (const TPerspMode mode : {TPerspMode::pmNone, TPerspMode::pmAuto, TPerspMode::pmSemi}) {
        SCOPED_TRACE(static_cast<int>(mode));
        Settings.Files = AllKinds();
        Settings.PerspMode = mode;
        // Counted when processing starts, after preparation and the editor.
        qsizetype atStart = -1;
        Host.OnProgress = [&] {
            if (atStart < 0) {
                atStart = thumbnails().size();
            }
        };
        Host.EditorCalls = 0;
        Host.Edit = [&](TPageCorrectionList& list) {
            ASSERT_EQ(list.size(), 10);
            for (const TPageCorrection& page : list) {
                const QImage thumb(ThumbnailFileFor(page.PageJpgFile));
                EXPECT_EQ(thumb.size(), ThumbnailSize(page.ImgW, page.ImgH))
                    << page.PageJpgFile.toStdString();
            }
        };
        EXPECT_TRUE(Run().Completed);
        EXPECT_EQ(Host.EditorCalls, mode == TPerspMode::pmSemi ? 1 : 0);
        EXPECT_EQ(atStart, mode == TPerspMode::pmSemi ? 10 : 0);
        EXPECT_TRUE(LeftInTemp().isEmpty());
    }
}
