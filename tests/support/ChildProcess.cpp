// Child processes with pipes, signals and closed ends under the test's control.
#include "ChildProcess.h"

#include <QFile>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace bitonix::test {

namespace {

using TClock = std::chrono::steady_clock;

int MsLeft(TClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

} // namespace

TChildProcess::TChildProcess(const QString& program, const QStringList& args, const QString& cwd,
                             const QStringList& env) {
    int in[2];
    int out[2];
    int err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
        ::pipe2(err, O_CLOEXEC) != 0) {
        return;
    }
    std::vector<std::string> argStore{QFile::encodeName(program).toStdString()};
    for (const QString& a : args) {
        argStore.push_back(QFile::encodeName(a).toStdString());
    }
    std::vector<std::string> envStore;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const QString& extra : env) {
            replaced = replaced || extra.section('=', 0, 0).toStdString() == name;
        }
        if (!replaced) {
            envStore.push_back(entry);
        }
    }
    for (const QString& extra : env) {
        envStore.push_back(extra.toStdString());
    }
    std::vector<char*> argv;
    for (std::string& a : argStore) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : envStore) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    const std::string dir = QFile::encodeName(cwd).toStdString();
    if (!cwd.isEmpty()) {
        posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    }
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), envp.data()) == 0) {
        FPid = pid;
    }
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    FIn = in[1];
    FOut = out[0];
    FErr = err[0];
    ::fcntl(FOut, F_SETFL, O_NONBLOCK);
    ::fcntl(FErr, F_SETFL, O_NONBLOCK);
}

TChildProcess::~TChildProcess() {
    if (FPid > 0 && !FEnded) {
        ::kill(FPid, SIGKILL);
        Reap(/*block=*/true);
    }
    CloseFd(FIn);
    CloseFd(FOut);
    CloseFd(FErr);
}

void TChildProcess::Reap(bool block) {
    if (FPid <= 0 || FEnded) {
        return;
    }
    int status = 0;
    pid_t got = -1;
    do {
        got = ::waitpid(FPid, &status, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == FPid) {
        FEnded = true;
        FExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        FKilledBy = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
}

bool TChildProcess::Poll(int ms) {
    pollfd fds[2] = {{FOut, POLLIN, 0}, {FErr, POLLIN, 0}};
    if (FOut >= 0 || FErr >= 0) {
        ::poll(fds, 2, ms);
    } else if (!FEnded) {
        ::usleep(static_cast<useconds_t>(std::min(ms, 5)) * 1000);
    }
    char buffer[65536];
    int* ends[2] = {&FOut, &FErr};
    QByteArray* into[2] = {&Out, &Err};
    for (int i = 0; i < 2; ++i) {
        if (*ends[i] < 0 || fds[i].revents == 0) {
            continue;
        }
        const ssize_t n = ::read(*ends[i], buffer, sizeof buffer);
        if (n > 0) {
            into[i]->append(buffer, n);
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            CloseFd(*ends[i]);
        }
    }
    Reap(/*block=*/false);
    return !(FEnded && FOut < 0 && FErr < 0);
}

bool TChildProcess::ReadUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = TClock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (MsLeft(deadline) == 0 || !Poll(std::min(MsLeft(deadline), 20))) {
            return done();
        }
    }
    return true;
}

void TChildProcess::ReadFor(int ms) {
    const auto deadline = TClock::now() + std::chrono::milliseconds(ms);
    while (MsLeft(deadline) > 0 && Poll(MsLeft(deadline))) {
    }
}

void TChildProcess::Signal(int signal) {
    if (FPid > 0 && !FEnded) {
        ::kill(FPid, signal);
    }
}

void TChildProcess::WriteStdin(const QByteArray& bytes) {
    qsizetype done = 0;
    while (FIn >= 0 && done < bytes.size()) {
        const ssize_t n =
            ::write(FIn, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (n <= 0) {
            return;
        }
        done += n;
    }
}

void TChildProcess::CloseStdin() {
    CloseFd(FIn);
}

void TChildProcess::CloseStdout() {
    CloseFd(FOut);
}

void TChildProcess::CloseStderr() {
    CloseFd(FErr);
}

bool TChildProcess::Wait(int timeoutMs) {
    if (FPid <= 0) {
        return false;
    }
    const auto deadline = TClock::now() + std::chrono::milliseconds(timeoutMs);
    while (MsLeft(deadline) > 0 && Poll(std::min(MsLeft(deadline), 50))) {
    }
    if (!FEnded) {
        ::kill(FPid, SIGKILL);
        Reap(/*block=*/true);
        return false;
    }
    return true;
}

} // namespace bitonix::test
