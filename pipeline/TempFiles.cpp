// Private temporary folders with their locks, and the removal of folders
// that dead runs left behind.
#include "pipeline/TempFiles.h"

#include "support/Error.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bitonix {

namespace {

constexpr int KRandomChars = 12;
constexpr std::time_t KUnlockedAge = 24 * 60 * 60; // seconds a folder without a lock is kept
const QString KPrefix = QStringLiteral("bitonix-");
const QString KLockSuffix = QStringLiteral(".lock");

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString WithSlash(const QString& folder) {
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// Why no folder can be made in `parent`; empty when one can.
QString ParentProblem(const QString& parent) {
    // Without its trailing separator, so that a file in its place is seen as one.
    const QByteArray name = QFile::encodeName(
        parent.size() > 1 && parent.endsWith(QLatin1Char('/')) ? parent.chopped(1) : parent);
    struct stat info = {};
    QString problem;
    if (::stat(name.constData(), &info) != 0) {
        problem = errno == ENOENT
                      ? QStringLiteral("The temporary folder \"%1\" does not exist.").arg(parent)
                      : QStringLiteral("The temporary folder \"%1\" cannot be used. %2")
                            .arg(parent, SystemError(errno));
    } else if (!S_ISDIR(info.st_mode)) {
        problem = QStringLiteral("The temporary folder \"%1\" is no folder.").arg(parent);
    } else if (::access(name.constData(), W_OK | X_OK) != 0) {
        problem = QStringLiteral("The temporary folder \"%1\" cannot be written. %2")
                      .arg(parent, SystemError(errno));
    }
    if (!problem.isEmpty() && qEnvironmentVariableIsSet("TMPDIR") &&
        WithSlash(parent) == GetTempDirectory()) {
        problem += QStringLiteral(" It is named by the environment variable TMPDIR.");
    }
    return problem;
}

// Whether the open `fd` is still the file at `path` (not removed or replaced).
bool SameFile(int fd, const QByteArray& path) {
    struct stat open = {};
    struct stat named = {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.constData(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// A real folder (no link) of this user; *modified gets its last change.
bool IsOwnFolder(const QByteArray& path, std::time_t* modified = nullptr) {
    struct stat info = {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid()) {
        return false;
    }
    if (modified != nullptr) {
        *modified = info.st_mtime;
    }
    return true;
}

// Removes the folder `stem` of `parent` and its lock when nobody holds the
// lock. Returns whether a folder went.
bool RemoveIfStale(const QString& parent, const QString& stem) {
    const QString folder = parent + stem;
    const QByteArray folderName = QFile::encodeName(folder);
    const QByteArray lockName = QFile::encodeName(folder + KLockSuffix);
    const int fd = ::open(lockName.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        // A folder is made only after its lock and removed before it, so a
        // folder without one comes from a program that made no locks. Its
        // run may still be going on: only a folder untouched for a day goes.
        std::time_t modified = 0;
        if (errno != ENOENT || !IsOwnFolder(folderName, &modified) ||
            std::time(nullptr) - modified < KUnlockedAge) {
            return false;
        }
        RemoveTree(folder);
        return true;
    }
    struct stat info = {};
    bool removed = false;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // Held by this process now: no run owns the folder, and none can
        // take its name while the lock exists.
        if (IsOwnFolder(folderName)) {
            RemoveTree(folder);
            removed = true;
        }
        if (SameFile(fd, lockName)) {
            ::unlink(lockName.constData());
        }
    }
    ::close(fd);
    return removed;
}

} // namespace

QString GetTempDirectory() {
    QString dir = QDir::tempPath();
    if (dir.isEmpty()) {
        // Qt gives nothing for a TMPDIR that does not resolve to a folder;
        // keep its text so the error names it.
        dir = QDir::cleanPath(qEnvironmentVariable("TMPDIR"));
    }
    return WithSlash(dir);
}

TRunTempDir::TRunTempDir(const QString& parent) {
    const QString base = WithSlash(parent);
    if (const QString problem = ParentProblem(base); !problem.isEmpty()) {
        throw TError(problem);
    }
    int error = EEXIST;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString folder = base + KPrefix + generaternd(KRandomChars);
        const QByteArray lockName = QFile::encodeName(folder + KLockSuffix);
        // The lock first, held before the folder exists: a folder never
        // looks abandoned while its run lives. Neither is made through an
        // existing entry.
        const int fd =
            ::open(lockName.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                   S_IRUSR | S_IWUSR);
        if (fd < 0) {
            error = errno;
            if (error == EEXIST) {
                continue;
            }
            break;
        }
        // Another start may have found the new lock free and removed it in
        // between: then it is no lock any more, and a fresh name is taken.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !SameFile(fd, lockName)) {
            ::close(fd);
            error = EEXIST;
            continue;
        }
        if (::mkdir(QFile::encodeName(folder).constData(), S_IRWXU) == 0) {
            FPath = folder + QLatin1Char('/');
            FLockPath = folder + KLockSuffix;
            FLockFd = fd;
            return;
        }
        error = errno;
        ::unlink(lockName.constData());
        ::close(fd);
        if (error != EEXIST) {
            break;
        }
    }
    throw TError(QStringLiteral("Cannot create a temporary folder in \"%1\". %2")
                     .arg(parent, SystemError(error)));
}

TRunTempDir::~TRunTempDir() {
    // The folder goes before its lock: a folder without a held lock is free
    // to be removed by anybody.
    RemoveTree(FPath);
    ::unlink(QFile::encodeName(FLockPath).constData());
    ::close(FLockFd);
}

int RemoveStaleRunTempDirs(const QString& parent) {
    const QString base = WithSlash(parent);
    static const QRegularExpression KName(
        QStringLiteral("^bitonix-[a-z0-9]{%1}(\\.lock)?$").arg(KRandomChars));
    QSet<QString> stems;
    const QStringList entries =
        QDir(base).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (KName.match(entry).hasMatch()) {
            stems.insert(entry.endsWith(KLockSuffix) ? entry.chopped(KLockSuffix.size()) : entry);
        }
    }
    int removed = 0;
    for (const QString& stem : stems) {
        removed += RemoveIfStale(base, stem) ? 1 : 0;
    }
    return removed;
}

void RemoveTree(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    const QFileInfo info(path.endsWith(QLatin1Char('/')) ? path.chopped(1) : path);
    if (info.isSymLink()) {
        QFile::remove(info.filePath());
    } else if (info.isDir()) {
        // removeRecursively deletes links inside as links.
        QDir(info.filePath()).removeRecursively();
    }
}

} // namespace bitonix
