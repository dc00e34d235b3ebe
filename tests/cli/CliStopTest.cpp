// bitonix-cli ended from outside however it can be: SIGINT, SIGTERM, SIGHUP
// and closed pipes at random points of a run, a second signal while it
// cleans up, SIGKILL; and names taken while it runs.
#include "ChildProcess.h"
#include "CliRun.h"
#include "RunLeftovers.h"
#include "TestImages.h"
#include "TestPdf.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace bitonix::test;

namespace {

const QString KCli = QStringLiteral(BITONIX_BIN_DIR "/bitonix-cli");
constexpr int KStopped = 130;

// How a run is asked to stop.
enum class TStop { skInt, skTerm, skHup, skStdoutClosed, skStderrClosed };
constexpr TStop KStops[] = {TStop::skInt, TStop::skTerm, TStop::skHup, TStop::skStdoutClosed,
                            TStop::skStderrClosed};
constexpr int KSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Where the run's PDF goes.
enum class TMode { omSeparate, omMerged, omStdout };
constexpr TMode KModes[] = {TMode::omSeparate, TMode::omMerged, TMode::omStdout};

const char* const KStopNames[] = {"SIGINT", "SIGTERM", "SIGHUP", "stdout closed", "stderr closed"};
const char* const KModeNames[] = {"separate", "merged", "to standard output"};

const char* Name(TStop stop) {
    return KStopNames[static_cast<int>(stop)];
}
const char* Name(TMode mode) {
    return KModeNames[static_cast<int>(mode)];
}

// The inputs every run converts: a three-page PDF and two photos.
class TInputs {
public:
    TInputs() {
        WritePdf(Dir.filePath("doc.pdf"), {{595, 842}, {595, 842}, {842, 595}});
        MakeDocumentImage(500, 700).save(Dir.filePath("a.png"));
        MakeDocumentImage(700, 500).save(Dir.filePath("b.png"));
    }
    QTemporaryDir Dir;
    const QStringList Names = {"doc.pdf", "a.png", "b.png"};
};

// One run's folders: its own copy of the inputs in in/ (separate PDFs land
// beside them), the merged PDF in out/, TMPDIR tmp/.
class TRunFolder {
public:
    TRunFolder(const TInputs& inputs, TMode mode) : FMode(mode), FNames(inputs.Names) {
        QDir(Dir.path()).mkpath("in");
        QDir(Dir.path()).mkpath("out");
        QDir(Dir.path()).mkpath("tmp");
        for (const QString& name : FNames) {
            QFile::copy(inputs.Dir.filePath(name), In(name));
        }
    }
    QString In(const QString& name) const { return Dir.filePath("in/" + name); }
    QString Temp() const { return Dir.filePath("tmp"); }
    QStringList Env() const { return {"TMPDIR=" + Temp()}; }
    QStringList Args() const {
        QStringList args = {"-v", "-r", "75"};
        if (FMode == TMode::omMerged) {
            args << "-o" << Dir.filePath("out/all.pdf");
        } else if (FMode == TMode::omStdout) {
            args << "-o"
                 << "-";
        }
        for (const QString& name : FNames) {
            args << In(name);
        }
        return args;
    }
    // The PDFs a whole run writes, in the order they are finished.
    QStringList Outputs() const {
        if (FMode == TMode::omMerged) {
            return {Dir.filePath("out/all.pdf")};
        }
        if (FMode == TMode::omStdout) {
            return {};
        }
        QStringList outputs;
        for (const QString& name : FNames) {
            outputs << In("[BW]" + name.section('.', 0, 0) + ".pdf");
        }
        return outputs;
    }
    QStringList Leftovers() const {
        return EntriesIn(Temp()) + SaveTempFilesIn(Dir.filePath("in")) +
               SaveTempFilesIn(Dir.filePath("out"));
    }

    QTemporaryDir Dir;

private:
    TMode FMode;
    QStringList FNames;
};

// Checks what a run that ended with `child`'s status left: nothing in its
// temporary folder, no save file, every PDF whole, the finished ones a
// prefix of the run's outputs and listed on standard output (when it was
// read to the end), and the status: 0 when every PDF was written, 130 when
// it stopped before.
void ExpectCleanEnd(const TRunFolder& run, TMode mode, const TChildProcess& child, bool outRead,
                    bool errRead) {
    EXPECT_EQ(child.KilledBy(), 0);
    EXPECT_TRUE(child.ExitCode() == 0 || child.ExitCode() == KStopped)
        << child.ExitCode() << " " << child.Err.toStdString();
    EXPECT_TRUE(run.Leftovers().isEmpty()) << run.Leftovers().join(' ').toStdString();

    const QStringList outputs = run.Outputs();
    QStringList written;
    for (const QString& pdf : outputs) {
        if (QFile::exists(pdf)) {
            EXPECT_EQ(written.size(), outputs.indexOf(pdf)) << "written out of order";
            EXPECT_TRUE(WholePdf(pdf)) << pdf.toStdString();
            written << pdf;
        }
    }
    if (child.ExitCode() == 0) {
        EXPECT_EQ(written, outputs);
    } else if (mode == TMode::omMerged) {
        EXPECT_TRUE(written.isEmpty());
    }
    if (mode == TMode::omStdout && outRead) {
        if (child.ExitCode() == 0) {
            QTemporaryDir scratch;
            EXPECT_TRUE(WholePdf(WriteFile(scratch.filePath("piped.pdf"), child.Out)));
        } else {
            EXPECT_TRUE(child.Out.isEmpty()) << "a stopped run writes no PDF to standard output";
        }
    } else if (outRead) {
        const QString listed = written.isEmpty() ? QString() : written.join('\n') + '\n';
        EXPECT_EQ(QString::fromUtf8(child.Out), listed);
    }
    if (errRead && child.ExitCode() == KStopped) {
        EXPECT_TRUE(child.Err.trimmed().endsWith("Cancelled")) << child.Err.toStdString();
    }
}

} // namespace

// Every kind of stop, at random points of a run in every output mode (the
// point drawn as the progress line after which it comes, plus a few
// milliseconds), sometimes followed by a second signal while the run cleans
// up. A fixed seed makes every failure repeatable.
TEST(CliStop, EveryKindOfStopAtRandomPointsLeavesNothingBehind) {
    const TInputs inputs;
    // A whole run tells how many progress lines each mode writes.
    int lines[3] = {};
    for (const TMode mode : KModes) {
        const TRunFolder run(inputs, mode);
        TChildProcess child(KCli, run.Args(), run.Dir.path(), run.Env());
        ASSERT_TRUE(child.Wait(120000));
        ASSERT_EQ(child.ExitCode(), 0) << child.Err.toStdString();
        lines[static_cast<int>(mode)] = child.ErrLines();
        ExpectCleanEnd(run, mode, child, true, true);
    }

    TSeededDraw draw(14);
    constexpr int KRepeats = 6;
    int tried = 0;
    int stopped = 0;
    int left = 0;
    int twice = 0;
    for (int repeat = 0; repeat < KRepeats; ++repeat) {
        for (const TStop stop : KStops) {
            for (const TMode mode : KModes) {
                // The first line comes once the handlers are in place.
                const int afterLine = draw(1, lines[static_cast<int>(mode)]);
                const int delayMs = draw(0, 30);
                const bool second = stop != TStop::skStdoutClosed &&
                                    stop != TStop::skStderrClosed && draw(0, 1) == 1;
                SCOPED_TRACE(testing::Message()
                             << Name(stop) << ", " << Name(mode) << ", after line " << afterLine
                             << " + " << delayMs << " ms" << (second ? ", twice" : ""));
                const TRunFolder run(inputs, mode);
                TChildProcess child(KCli, run.Args(), run.Dir.path(), run.Env());
                ASSERT_TRUE(child.Started());
                child.ReadUntil([&] { return child.ErrLines() >= afterLine; }, 60000);
                child.ReadFor(delayMs);
                switch (stop) {
                case TStop::skStdoutClosed:
                    child.CloseStdout();
                    break;
                case TStop::skStderrClosed:
                    child.CloseStderr();
                    break;
                default:
                    child.Signal(KSignals[static_cast<int>(stop)]);
                    break;
                }
                if (second) {
                    child.ReadFor(draw(0, 150));
                    child.Signal(KSignals[draw(0, 2)]);
                    ++twice;
                }
                ASSERT_TRUE(child.Wait(120000)) << "the run did not end";
                ++tried;
                stopped += child.ExitCode() == KStopped ? 1 : 0;
                left += static_cast<int>(EntriesIn(run.Temp()).size());
                ExpectCleanEnd(run, mode, child, stop != TStop::skStdoutClosed,
                               stop != TStop::skStderrClosed);
            }
        }
    }
    std::printf("stopped runs: %d tried (%d with a second signal), %d stopped before their last "
                "PDF, temporary entries left: %d\n",
                tried, twice, stopped, left);
    EXPECT_EQ(left, 0);
    EXPECT_GT(stopped, tried / 3); // the draws do reach into the runs
}

namespace {

// The private folders (without their locks) in `tmp`.
QStringList RunFolders(const QString& tmp) {
    return QDir(tmp).entryList({"bitonix-*"}, QDir::Dirs | QDir::NoDotAndDotDot);
}

} // namespace

// A SIGKILLed run cannot clean up; the next start of bitonix-cli removes its
// folder, while the folder of a run still going on stays.
TEST(CliStop, AKilledRunsFolderGoesAtTheNextStartALiveRunsStays) {
    const TInputs inputs;
    const QString tmp = inputs.Dir.filePath("tmp");
    QDir().mkdir(tmp);
    const QStringList env = {"TMPDIR=" + tmp};

    // Live: its folder for standard input is made, and it waits for data.
    TChildProcess live(KCli, {"-o", "live.pdf", "-"}, inputs.Dir.path(), env);
    ASSERT_TRUE(live.ReadUntil([&] { return RunFolders(tmp).size() == 1; }, 30000));
    const QStringList liveEntries = EntriesIn(tmp);
    ASSERT_EQ(liveEntries.size(), 2) << liveEntries.join(' ').toStdString(); // folder and lock

    TChildProcess killed(KCli, {"-v", "-r", "75", "-o", "killed.pdf", "doc.pdf", "a.png"},
                         inputs.Dir.path(), env);
    ASSERT_TRUE(killed.ReadUntil([&] { return killed.ErrLines() >= 2; }, 60000));
    killed.Signal(SIGKILL);
    ASSERT_TRUE(killed.Wait(30000));
    EXPECT_EQ(killed.KilledBy(), SIGKILL);
    ASSERT_EQ(RunFolders(tmp).size(), 2u) << EntriesIn(tmp).join(' ').toStdString();

    const TCliResult next = Cli({"-q", "-o", "next.pdf", "a.png"}, inputs.Dir.path(), {}, tmp);
    EXPECT_EQ(next.Code, 0) << next.Err.toStdString();
    EXPECT_EQ(EntriesIn(tmp), liveEntries);

    // The live run still ends cleanly: a stop ends its wait for data at once.
    live.Signal(SIGTERM);
    ASSERT_TRUE(live.Wait(30000));
    EXPECT_EQ(live.ExitCode(), KStopped) << live.Err.toStdString();
    EXPECT_TRUE(EntriesIn(tmp).isEmpty()) << EntriesIn(tmp).join(' ').toStdString();
    EXPECT_FALSE(QFile::exists(inputs.Dir.filePath("killed.pdf")));
}

// Two runs on one name, or a name another program takes while a run goes
// on: the run that saves second takes the next number, and says so. The
// first run is held (SIGSTOP) after it chose its name, so that the other
// side always comes first.
TEST(CliStop, ANameTakenWhileTheRunGoesOnGetsTheNextNumber) {
    const struct {
        const char* Name;
        bool Merged;
        bool OtherRun; // else a dangling link appears at the name
    } cases[] = {
        {"merged, another run", true, true},
        {"merged, a dangling link", true, false},
        {"separate, another run", false, true},
        {"separate, a dangling link", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TInputs inputs;
        const QString d = inputs.Dir.path() + "/";
        const QStringList args = c.Merged ? QStringList{"-r", "75", "-o", "same.pdf", "doc.pdf"}
                                          : QStringList{"-r", "75", "doc.pdf"};
        const QString name = d + (c.Merged ? "same" : "[BW]doc");

        TChildProcess held(KCli, QStringList{"-v"} + args, d, {"TMPDIR=" + d});
        ASSERT_TRUE(held.ReadUntil([&] { return held.Err.contains("Preparing"); }, 60000));
        held.Signal(SIGSTOP);
        if (c.OtherRun) {
            const TCliResult other = Cli(args, d, {}, d);
            EXPECT_EQ(other.Code, 0) << other.Err.toStdString();
            EXPECT_EQ(QString::fromUtf8(other.Out), name + ".pdf\n");
        } else {
            ASSERT_TRUE(QFile::link(d + "nowhere.pdf", name + ".pdf"));
        }
        held.Signal(SIGCONT);
        ASSERT_TRUE(held.Wait(120000));
        EXPECT_EQ(held.ExitCode(), 0) << held.Err.toStdString();
        EXPECT_EQ(QString::fromUtf8(held.Out), name + "(1).pdf\n");
        EXPECT_TRUE(WholePdf(name + "(1).pdf"));
        EXPECT_EQ(WholePdf(name + ".pdf"), c.OtherRun);
        EXPECT_TRUE(RunFolders(d).isEmpty());
        EXPECT_TRUE(SaveTempFilesIn(d).isEmpty());
    }
}

// Naming counts a dangling link as taken from the start, so the inputs
// after it are converted too.
TEST(CliStop, ADanglingLinkAtTheOutputNameGetsTheNextNumber) {
    const TInputs inputs;
    const QString d = inputs.Dir.path() + "/";
    ASSERT_TRUE(QFile::link(d + "nowhere.pdf", d + "out.pdf"));
    ASSERT_TRUE(QFile::link(d + "nowhere.pdf", d + "[BW]a.pdf"));
    TCliResult r = Cli({"-q", "-r", "75", "-o", "out.pdf", "a.png"}, d);
    EXPECT_EQ(r.Code, 0) << r.Err.toStdString();
    EXPECT_EQ(QString::fromUtf8(r.Out), d + "out(1).pdf\n");
    r = Cli({"-q", "-r", "75", "a.png", "b.png"}, d);
    EXPECT_EQ(r.Code, 0) << r.Err.toStdString();
    EXPECT_EQ(QString::fromUtf8(r.Out), d + "[BW]a(1).pdf\n" + d + "[BW]b.pdf\n");
    for (const char* pdf : {"out(1).pdf", "[BW]a(1).pdf", "[BW]b.pdf"}) {
        EXPECT_TRUE(WholePdf(d + pdf)) << pdf;
    }
    EXPECT_FALSE(QFile::exists(d + "nowhere.pdf"));
}

// A TMPDIR that names no usable folder stops the run before anything is
// read or written, with a message naming it; nothing goes to the root.
TEST(CliStop, ATemporaryFolderThatCannotBeUsedIsNamedBeforeAnyWork) {
    const TInputs inputs;
    const QString d = inputs.Dir.path() + "/";
    const QStringList rootBefore = QDir("/").entryList({"bitonix-*"}, QDir::AllEntries);
    WriteFile(d + "plain", "a file");
    const struct {
        QString Tmpdir;
        QString Problem;
    } cases[] = {
        {d + "missing", "does not exist."},
        {d + "plain", "is no folder."},
    };
    for (const auto& c : cases) {
        for (const QStringList& args :
             {QStringList{"-o", "out.pdf", "a.png"}, QStringList{"-o", "out.pdf", "-"}}) {
            SCOPED_TRACE((c.Tmpdir + " " + args.join(' ')).toStdString());
            const TCliResult r = Cli(args, d, MakePdf({{595, 842}}), c.Tmpdir);
            EXPECT_EQ(r.Code, 1);
            EXPECT_TRUE(r.Err.contains("bitonix-cli: The temporary folder \"" + c.Tmpdir + "/\" " +
                                       c.Problem +
                                       " It is named by the environment variable TMPDIR.\n"))
                << r.Err.toStdString();
            EXPECT_FALSE(r.Err.contains("Preparing")) << r.Err.toStdString();
            EXPECT_TRUE(r.Out.isEmpty());
            EXPECT_FALSE(QFile::exists(d + "out.pdf"));
        }
    }
    EXPECT_EQ(QDir("/").entryList({"bitonix-*"}, QDir::AllEntries), rootBefore);
}

// Each path is printed when its PDF is complete: a run that fails on a later
// input still lists the PDFs it wrote. Here the second input's folder goes
// away once every input is prepared, so its PDF cannot be saved.
TEST(CliStop, PdfsOfARunThatFailsLaterAreListed) {
    const TInputs inputs;
    const QString d = inputs.Dir.path() + "/";
    QDir().mkpath(d + "first");
    QDir().mkpath(d + "second");
    QFile::copy(d + "a.png", d + "first/a.png");
    QFile::copy(d + "b.png", d + "second/b.png");
    QDir().mkpath(d + "tmp");
    TChildProcess run(KCli, {"first/a.png", "second/b.png"}, d, {"TMPDIR=" + d + "tmp"});
    ASSERT_TRUE(run.ReadUntil([&] { return run.Err.contains("Converting: a.png"); }, 60000));
    run.Signal(SIGSTOP);
    QDir(d + "second").removeRecursively();
    run.Signal(SIGCONT);
    ASSERT_TRUE(run.Wait(60000));
    EXPECT_EQ(run.ExitCode(), 1);
    // The system's text follows in the user's language.
    EXPECT_TRUE(
        QString::fromUtf8(run.Err).contains("Cannot create file \"" + d + "second/[BW]b.pdf\". "))
        << run.Err.toStdString();
    EXPECT_EQ(QString::fromUtf8(run.Out), d + "first/[BW]a.pdf\n");
    EXPECT_TRUE(WholePdf(d + "first/[BW]a.pdf"));
    EXPECT_TRUE(EntriesIn(d + "tmp").isEmpty());
}
