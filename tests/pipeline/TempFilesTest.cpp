// The run's private temporary folder: its lock, its removal, the clear
// error for a temporary folder that cannot be used, and the removal of the
// folders that dead runs left behind.
#include "pipeline/TempFiles.h"
#include "QtPrint.h"
#include "TestPdf.h"
#include "support/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace bitonix;
using namespace bitonix::test;

namespace {

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// Whether somebody holds the lock on `path`, tried through a descriptor of
// its own (flock locks belong to an open file, so this process conflicts
// with itself too).
bool LockHeld(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

// A folder as a run that was killed leaves it: pages inside, the lock file
// beside it held by nobody.
QString DeadRunFolder(const QString& parent, const QString& name, bool withLock = true) {
    const QString folder = parent + "/" + name;
    EXPECT_TRUE(QDir().mkpath(folder + "/btx.abcdefgh"));
    WriteFile(folder + "/btx.abcdefgh/00001.jpg", "page");
    if (withLock) {
        WriteFile(folder + ".lock", "");
    }
    return folder;
}

// Sets an environment variable for as long as the object lives.
class TEnvironment {
public:
    TEnvironment(const char* name, const QByteArray& value)
        : FName(name), FOld(qgetenv(name)), FWasSet(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~TEnvironment() {
        if (FWasSet) {
            qputenv(FName, FOld);
        } else {
            qunsetenv(FName);
        }
    }
    TEnvironment(const TEnvironment&) = delete;
    TEnvironment& operator=(const TEnvironment&) = delete;

private:
    const char* FName;
    QByteArray FOld;
    bool FWasSet;
};

} // namespace

TEST(RunTempDir, IsPrivateHoldsItsLockAndLeavesNothing) {
    QTemporaryDir parent;
    QString folder;
    {
        const TRunTempDir dir(parent.path());
        folder = dir.Path();
        ASSERT_TRUE(folder.endsWith('/'));
        const QString name = QDir(folder).dirName();
        EXPECT_TRUE(name.startsWith("bitonix-") && name.size() == 20) << name.toStdString();
        struct stat info = {};
        ASSERT_EQ(::lstat(QFile::encodeName(folder.chopped(1)).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        EXPECT_EQ(Entries(parent.path()), QStringList({name, name + ".lock"}));
        EXPECT_TRUE(LockHeld(folder.chopped(1) + ".lock"));
        WriteFile(folder + "page.jpg", "x");
        QDir().mkpath(folder + "sub/deeper");
    }
    EXPECT_TRUE(Entries(parent.path()).isEmpty()) << Entries(parent.path()).join(' ').toStdString();
}

TEST(RunTempDir, ATemporaryFolderThatCannotBeUsedIsAClearError) {
    QTemporaryDir scratch;
    const QString missing = scratch.filePath("missing");
    const QString file = WriteFile(scratch.filePath("file"), "x");
    const QString locked = scratch.filePath("locked");
    QDir().mkdir(locked);
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    struct {
        QString Parent;
        QString Message;
    } cases[] = {
        {missing, "The temporary folder \"" + missing + "/\" does not exist."},
        {file, "The temporary folder \"" + file + "/\" is no folder."},
        {locked, "The temporary folder \"" + locked + "/\" cannot be written. Permission denied"},
    };
    for (const auto& c : cases) {
        if (c.Parent == locked && ::geteuid() == 0) {
            continue; // permissions do not bind the super-user
        }
        try {
            TRunTempDir dir(c.Parent);
            ADD_FAILURE() << "made a folder in " << c.Parent.toStdString();
        } catch (const TError& e) {
            EXPECT_EQ(e.Text(), c.Message);
        }
    }
    EXPECT_EQ(Entries(scratch.path()), QStringList({"file", "locked"}));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // A TMPDIR naming no folder stays what it names: never the root folder.
    const TEnvironment tmpdir("TMPDIR", QFile::encodeName(missing));
    EXPECT_EQ(GetTempDirectory(), missing + "/");
    try {
        TRunTempDir dir;
        ADD_FAILURE() << "made a folder under a missing TMPDIR";
    } catch (const TError& e) {
        EXPECT_EQ(e.Text(), "The temporary folder \"" + missing +
                                "/\" does not exist. It is named by the environment variable "
                                "TMPDIR.");
    }
}

TEST(RunTempDir, FoldersOfDeadRunsGoOthersStay) {
    QTemporaryDir parent;
    QTemporaryDir elsewhere;
    const QString p = parent.path();
    const auto live = std::make_unique<TRunTempDir>(p);
    const QString liveName = QDir(live->Path()).dirName();
    DeadRunFolder(p, "bitonix-deadrun00001");
    // Without a lock, from a program that made none: left for a day, or new.
    const QString old = DeadRunFolder(p, "bitonix-deadrun00002", /*withLock=*/false);
    const timeval twoDaysAgo[2] = {{std::time(nullptr) - 2 * 86400, 0},
                                   {std::time(nullptr) - 2 * 86400, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(old).constData(), twoDaysAgo), 0);
    DeadRunFolder(p, "bitonix-maybelive007", /*withLock=*/false);
    WriteFile(p + "/bitonix-deadrun00003.lock", ""); // killed before its folder
    DeadRunFolder(p, "bitonix-short");               // not a run's name
    DeadRunFolder(p, "other-deadrun00004");
    WriteFile(elsewhere.filePath("keep"), "x");
    QFile::link(elsewhere.path(), p + "/bitonix-linkedaway05"); // a link is never followed
    QStringList kept = {liveName,
                        liveName + ".lock",
                        "bitonix-short",
                        "bitonix-short.lock",
                        "other-deadrun00004",
                        "other-deadrun00004.lock",
                        "bitonix-linkedaway05",
                        "bitonix-maybelive007"};
    if (::geteuid() == 0) {
        // Another user's folder, lock or not, is theirs to clean.
        const QString theirs = DeadRunFolder(p, "bitonix-theirs000006");
        ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
        ASSERT_EQ(::chown(QFile::encodeName(theirs + ".lock").constData(), 65534, 65534), 0);
        DeadRunFolder(p, "bitonix-theirs000007", /*withLock=*/false);
        ASSERT_EQ(::chown(QFile::encodeName(p + "/bitonix-theirs000007").constData(), 65534, 65534),
                  0);
        kept << "bitonix-theirs000006"
             << "bitonix-theirs000006.lock"
             << "bitonix-theirs000007";
    }

    EXPECT_EQ(RemoveStaleRunTempDirs(p), 2);
    kept.sort();
    EXPECT_EQ(Entries(p), kept);
    EXPECT_TRUE(QFile::exists(elsewhere.filePath("keep")));
    EXPECT_TRUE(LockHeld(live->Path().chopped(1) + ".lock"));
    EXPECT_TRUE(QFile::exists(live->Path()));
    EXPECT_EQ(RemoveStaleRunTempDirs(p), 0);
}
