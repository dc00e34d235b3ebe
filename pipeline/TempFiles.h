// The run's private temporary folder (names from generaternd, support/RandomText.h).
#pragma once

#include "support/RandomText.h"

#include <QString>

namespace bitonix {

// The system temporary folder with a trailing separator.
QString GetTempDirectory();

// A folder only this user can enter (mode 0700), made fresh under `parent`
// with a random name, never by following an existing link, and removed with
// everything in it when the object goes. Everything a run writes for itself
// lives inside it.
class TRunTempDir {
public:
    // Throws TError when the folder cannot be made.
    explicit TRunTempDir(const QString& parent = GetTempDirectory());
    ~TRunTempDir();
    TRunTempDir(const TRunTempDir&) = delete;
    TRunTempDir& operator=(const TRunTempDir&) = delete;

    // The folder with a trailing separator.
    const QString& Path() const { return FPath; }

private:
    QString FPath;
};

// Removes a folder tree; a link is removed as a link, never followed.
void RemoveTree(const QString& path);

} // namespace bitonix
