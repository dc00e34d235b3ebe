// The window program ended by signals: at random points of a run in both
// output modes, with a second signal while the run cleans up, while the
// corner editor is open, and by SIGKILL (whose folder goes when the program
// starts again). The program runs as a child process: window_run_child for
// runs, the real bitonix for a start.
#include "ChildProcess.h"
#include "RunLeftovers.h"
#include "TestImages.h"
#include "TestPdf.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>

namespace bitonix::test {
namespace {

const QString KChild = QStringLiteral(BITONIX_BIN_DIR "/window_run_child");
const QString KProgram = QStringLiteral(BITONIX_BIN_DIR "/bitonix");
constexpr int KStopped = 130;
constexpr int KSignals[] = {SIGINT, SIGTERM, SIGHUP};

// One window program's scratch: inputs (separate PDFs land beside them),
// its settings folder, TMPDIR.
class TWindowRun {
public:
    explicit TWindowRun(bool merged) : FMerged(merged) {
        for (const char* folder : {"in", "config", "tmp", "runtime"}) {
            QDir(Dir.path()).mkpath(folder);
        }
        // Qt's runtime folder would otherwise go into TMPDIR.
        QFile::setPermissions(Dir.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        WritePdf(In("doc.pdf"), {{595, 842}, {842, 595}});
        MakeDocumentImage(500, 700).save(In("a.png"));
        MakeDocumentImage(700, 500).save(In("b.png"));
    }
    QString In(const QString& name) const { return Dir.filePath("in/" + name); }
    QString Temp() const { return Dir.filePath("tmp"); }
    QStringList Env() const {
        return {"TMPDIR=" + Temp(), "XDG_CONFIG_HOME=" + Dir.filePath("config"),
                "XDG_RUNTIME_DIR=" + Dir.filePath("runtime"), "QT_QPA_PLATFORM=offscreen"};
    }
    QStringList Args() const {
        QStringList args;
        if (FMerged) {
            args << "--merged" << In("all.pdf");
        }
        return args << In("doc.pdf") << In("a.png") << In("b.png");
    }
    // The run's PDFs in the order they are written (the file list sorts its
    // entries by name).
    QStringList Outputs() const {
        if (FMerged) {
            return {In("all.pdf")};
        }
        return {In("[BW]a.pdf"), In("[BW]b.pdf"), In("[BW]doc.pdf")};
    }

    QTemporaryDir Dir;

private:
    bool FMerged;
};

// What a window program ended by a stop request leaves: status 130, no
// temporary entry, no save file, no error box, and of the run's PDFs (all
// whole) either all or, stopped before its end, a prefix in separate mode
// and none in merged mode.
void ExpectClosedCleanly(const TWindowRun& run, const TChildProcess& child) {
    EXPECT_EQ(child.KilledBy(), 0);
    EXPECT_EQ(child.ExitCode(), KStopped) << child.Err.toStdString();
    EXPECT_TRUE(EntriesIn(run.Temp()).isEmpty()) << EntriesIn(run.Temp()).join(' ').toStdString();
    EXPECT_TRUE(SaveTempFilesIn(run.Dir.filePath("in")).isEmpty());
    EXPECT_FALSE(child.Err.contains("box: ")) << child.Err.toStdString();
    const QStringList outputs = run.Outputs();
    int written = 0;
    for (const QString& pdf : outputs) {
        if (QFile::exists(pdf)) {
            EXPECT_EQ(written, outputs.indexOf(pdf)) << "written out of order";
            EXPECT_TRUE(WholePdf(pdf)) << pdf.toStdString();
            ++written;
        }
    }
}

int Pumps(const TChildProcess& child) {
    return static_cast<int>(child.Err.count("pump\n"));
}

TEST(WindowStop, SignalsAtRandomPointsCloseTheWindowAfterTheCleanUp) {
    // A whole run tells how often each mode pumps.
    int pumps[2] = {};
    for (const bool merged : {false, true}) {
        const TWindowRun run(merged);
        TChildProcess child(KChild, run.Args(), run.Dir.path(), run.Env());
        ASSERT_TRUE(child.ReadUntil([&] { return child.Err.contains("run ended"); }, 120000))
            << child.Err.toStdString();
        pumps[merged ? 1 : 0] = Pumps(child);
        for (const QString& pdf : run.Outputs()) {
            EXPECT_TRUE(WholePdf(pdf)) << pdf.toStdString();
        }
        child.Signal(SIGTERM); // an idle window closes at once
        ASSERT_TRUE(child.Wait(60000));
        ExpectClosedCleanly(run, child);
    }

    TSeededDraw draw(14);
    constexpr int KRepeats = 4;
    int tried = 0;
    int left = 0;
    for (int repeat = 0; repeat < KRepeats; ++repeat) {
        for (const int signal : KSignals) {
            for (const bool merged : {false, true}) {
                const int afterPump = draw(1, pumps[merged ? 1 : 0]);
                const int delayMs = draw(0, 30);
                const bool second = draw(0, 1) == 1;
                SCOPED_TRACE(testing::Message()
                             << strsignal(signal) << (merged ? ", merged" : ", separate")
                             << ", after pump " << afterPump << " + " << delayMs << " ms"
                             << (second ? ", twice" : ""));
                const TWindowRun run(merged);
                TChildProcess child(KChild, run.Args(), run.Dir.path(), run.Env());
                ASSERT_TRUE(child.Started());
                child.ReadUntil([&] { return Pumps(child) >= afterPump; }, 60000);
                child.ReadFor(delayMs);
                child.Signal(signal);
                if (second) {
                    child.ReadFor(draw(0, 150));
                    child.Signal(KSignals[draw(0, 2)]);
                }
                ASSERT_TRUE(child.Wait(120000)) << "the window did not close";
                ++tried;
                left += static_cast<int>(EntriesIn(run.Temp()).size());
                ExpectClosedCleanly(run, child);
            }
        }
    }
    std::printf("window runs ended by signals: %d tried, temporary entries left: %d\n", tried,
                left);
    EXPECT_EQ(left, 0);
}

// A dialog a run waits on (here the corner editor) is dismissed, so the run
// can end and clean up.
TEST(WindowStop, ASignalWhileTheCornerEditorIsOpenEndsTheRun) {
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        const TWindowRun run(false);
        TChildProcess child(KChild, QStringList{"--manual"} + run.Args(), run.Dir.path(),
                            run.Env());
        ASSERT_TRUE(child.ReadUntil([&] { return child.Err.contains("editor"); }, 120000))
            << child.Err.toStdString();
        child.ReadFor(100);
        child.Signal(signal);
        ASSERT_TRUE(child.Wait(60000));
        ExpectClosedCleanly(run, child);
        EXPECT_TRUE(child.Err.contains("run ended"));
        for (const QString& pdf : run.Outputs()) {
            EXPECT_FALSE(QFile::exists(pdf)) << pdf.toStdString();
        }
    }
}

// A SIGKILLed window leaves its run's folder; the next start of the window
// program removes it, but not the folder of a run still going on.
TEST(WindowStop, AKilledWindowsFolderGoesWhenTheProgramStartsAgain) {
    const TWindowRun run(false);
    const QString tmp = run.Temp();
    const auto folders = [&tmp] {
        return QDir(tmp).entryList({"bitonix-*"}, QDir::Dirs | QDir::NoDotAndDotDot);
    };
    // Live: waiting in the corner editor.
    TChildProcess live(KChild, QStringList{"--manual"} + run.Args(), run.Dir.path(), run.Env());
    ASSERT_TRUE(live.ReadUntil([&] { return live.Err.contains("editor"); }, 120000));
    const QStringList liveEntries = EntriesIn(tmp);
    ASSERT_EQ(liveEntries.size(), 2) << liveEntries.join(' ').toStdString();

    TChildProcess killed(KChild, run.Args(), run.Dir.path(), run.Env());
    ASSERT_TRUE(killed.ReadUntil([&] { return Pumps(killed) >= 2; }, 120000));
    killed.Signal(SIGKILL);
    ASSERT_TRUE(killed.Wait(30000));
    EXPECT_EQ(killed.KilledBy(), SIGKILL);
    ASSERT_EQ(folders().size(), 2u);

    TChildProcess program(KProgram, {}, run.Dir.path(), run.Env());
    EXPECT_TRUE(program.ReadUntil([&] { return folders().size() == 1; }, 60000));
    program.ReadFor(200);
    program.Signal(SIGTERM);
    ASSERT_TRUE(program.Wait(60000));
    EXPECT_EQ(program.ExitCode(), KStopped) << program.Err.toStdString();
    EXPECT_EQ(EntriesIn(tmp), liveEntries);

    live.Signal(SIGINT);
    ASSERT_TRUE(live.Wait(60000));
    EXPECT_EQ(live.ExitCode(), KStopped);
    EXPECT_TRUE(EntriesIn(tmp).isEmpty()) << EntriesIn(tmp).join(' ').toStdString();
}

} // namespace
} // namespace bitonix::test
