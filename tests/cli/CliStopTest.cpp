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
#include <random>
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

const char* Name(TStop stop) {
    switch (stop) {
    case TStop::skInt:
        return "SIGINT";
    case TStop::skTerm:
        return "SIGTERM";
    case TStop::skHup:
        return "SIGHUP";
    case TStop::skStdoutClosed:
        return "stdout closed";
    case TStop::skStderrClosed:
        return "stderr closed";
    }
    return "";
}

const char* Name(TMode mode) {
    switch (mode) {
    case TMode::omSeparate:
        return "separate";
    case TMode::omMerged:
        return "merged";
    case TMode::omStdout:
        return "to standard output";
    }
    return "";
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
            args << "-o" << "-";
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

    std::mt19937 random(14);
    const auto draw = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    constexpr int KRepeats = 3;
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
                SCOPED_TRACE(testing::Message() << Name(stop) << ", " << Name(mode) << ", after line "
                                                << afterLine << " + " << delayMs << " ms"
                                                << (second ? ", twice" : ""));
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
