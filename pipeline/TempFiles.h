// The run's private temporary folder (names from generaternd, support/RandomText.h).
//
// Operations: GetTempDirectory, TRunTempDir, RemoveStaleRunTempDirs, RemoveTree.
#pragma once

#include "support/RandomText.h"

#include <QString>

namespace bitonix {

// The system temporary folder with a trailing separator: TMPDIR, or /tmp
// when it is not set. A TMPDIR that names no existing folder comes back as
// given (never as the root folder), so that TRunTempDir can say so.
QString GetTempDirectory();

// A folder only this user can enter (mode 0700), made fresh under `parent`
// with a random name "bitonix-" + 12 letters and digits, never by following
// an existing link, and removed with everything in it when the object goes.
// Everything a run writes for itself lives inside it.
//
// Notes:
//  1. Beside the folder lies its lock, the empty file "<folder>.lock", made
//     and locked (flock) before the folder exists and held open until the
//     folder is gone. A folder whose lock is not held belongs to a process
//     that ended without cleaning up; RemoveStaleRunTempDirs removes it.
//  2. The lock's descriptor is close-on-exec: a program started meanwhile
//     never keeps a dead run's folder alive.
class TRunTempDir {
public:
    // Throws TError when `parent` does not exist, is no folder or cannot be
    // written, or the folder cannot be made.
    explicit TRunTempDir(const QString& parent = GetTempDirectory());
    ~TRunTempDir();
    TRunTempDir(const TRunTempDir&) = delete;
    TRunTempDir& operator=(const TRunTempDir&) = delete;

    // The folder with a trailing separator.
    const QString& Path() const { return FPath; }

private:
    QString FPath;
    QString FLockPath;
    int FLockFd = -1;
};

// Removes from `parent` the private folders (and their locks) that runs of
// this user left behind when their process ended without cleaning up
// (killed, a power loss): every folder named as TRunTempDir names them,
// owned by this user, whose lock is held by nobody. Folders of live runs,
// of other users, links and every other entry stay. Best effort: never
// throws; returns the number of folders removed.
//
// Notes:
//  1. A folder without a lock was made by a program that made none; its run
//     may still be going on, so it goes only once it was left unchanged for
//     a day.
int RemoveStaleRunTempDirs(const QString& parent = GetTempDirectory());

// Removes a folder tree; a link is removed as a link, never followed.
void RemoveTree(const QString& path);

} // namespace bitonix
