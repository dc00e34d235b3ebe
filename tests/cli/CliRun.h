// Running the real bitonix-cli (or another program) as a script would, and
// what it left behind.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace bitonix::test {

struct TCliResult {
    int Code = -1; // exit status; -1 when the process crashed or hung
    QByteArray Out;
    QString Err;
};

// Runs `program` with `args` in `cwd` (empty: this process's), feeding
// `input` to its standard input, with TMPDIR set to `tmpdir` when given.
inline TCliResult RunProgram(const QString& program, const QStringList& args,
                             const QString& cwd = {}, const QByteArray& input = {},
                             const QString& tmpdir = {}) {
    QProcess p;
    if (!cwd.isEmpty()) {
        p.setWorkingDirectory(cwd);
    }
    if (!tmpdir.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), tmpdir);
        p.setProcessEnvironment(env);
    }
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(300000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
}

inline TCliResult Cli(const QStringList& args, const QString& cwd = {},
                      const QByteArray& input = {}, const QString& tmpdir = {}) {
    return RunProgram(QStringLiteral(BITONIX_BIN_DIR "/bitonix-cli"), args, cwd, input, tmpdir);
}

} // namespace bitonix::test
