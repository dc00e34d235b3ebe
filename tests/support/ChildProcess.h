// A program run as a child process the way a terminal, a script or a session
// manager runs it, watched closely: its standard output and error read as
// they come, signals sent and its pipes closed at chosen moments, its end
// told apart from a death by signal.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <random>
#include <sys/types.h>

namespace bitonix::test {

class TChildProcess {
public:
    // Starts `program` with `args` in the folder `cwd`, with this process's
    // environment plus `env` ("NAME=value" entries, replacing a variable of
    // that name). Standard input, output and error are pipes; every signal
    // has its default action and none is blocked in the child.
    TChildProcess(const QString& program, const QStringList& args, const QString& cwd,
                  const QStringList& env = {});
    // A child still running is killed (SIGKILL) and reaped.
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    pid_t Pid() const { return FPid; }
    bool Started() const { return FPid > 0; }

    // Reads the child's output until `done()` holds, the child has ended or
    // `timeoutMs` passed; returns whether `done()` held.
    bool ReadUntil(const std::function<bool()>& done, int timeoutMs);
    // Reads the child's output for `ms` milliseconds (less when it ends).
    void ReadFor(int ms);
    // Lines the child wrote to standard error so far.
    int ErrLines() const { return static_cast<int>(Err.count('\n')); }

    void Signal(int signal);
    void WriteStdin(const QByteArray& bytes);
    void CloseStdin();
    // Closes the test's end of the pipe: the child's next write there fails.
    void CloseStdout();
    void CloseStderr();

    // Waits for the end, reading all output; false when `timeoutMs` passed
    // first (the child is then killed).
    bool Wait(int timeoutMs);
    // After Wait: the exit status, or -1 when a signal ended the child.
    int ExitCode() const { return FExitCode; }
    // After Wait: the signal that ended the child, 0 when it exited.
    int KilledBy() const { return FKilledBy; }

    QByteArray Out;
    QByteArray Err;

private:
    // Reads what is ready for up to `ms` milliseconds; reaps the child when it
    // ended. Returns false once the child has ended and both pipes are done.
    bool Poll(int ms);
    void Reap(bool block);

    pid_t FPid = -1;
    int FIn = -1;
    int FOut = -1;
    int FErr = -1;
    bool FEnded = false;
    int FExitCode = -1;
    int FKilledBy = 0;
};

// Whole numbers for the points at which tests stop their children, from a
// fixed seed so that every failure repeats.
class TSeededDraw {
public:
    explicit TSeededDraw(unsigned seed) : FEngine(seed) {}
    // A number from `low` to `high`, both included.
    int operator()(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(FEngine);
    }

private:
    std::mt19937 FEngine;
};

} // namespace bitonix::test
