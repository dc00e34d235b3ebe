// Which of the paths handed to the file list become entries, and in what order.
#pragma once

#include <QStringList>

namespace bitonix {

// One batch of paths (a dialog selection, a drop or the command line) as it
// enters the file list: only paths naming an existing file (links followed)
// are kept, folders and missing names are dropped silently, and the kept
// paths are sorted by full path, case-insensitively in the user's locale.
// Duplicates stay. Paths are returned exactly as given.
QStringList FilterAndSortFiles(const QStringList& paths);

} // namespace bitonix
