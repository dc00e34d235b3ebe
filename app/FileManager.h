// Showing a finished file to the user in the desktop's file manager.
#pragma once

#include <QString>

namespace bitonix {

// Asks the file manager to open the folder of `path` with the file selected
// (org.freedesktop.FileManager1.ShowItems over the session bus); when no file
// manager answers, opens the folder itself. Returns false when neither worked.
bool ShowFileInFileManager(const QString& path);

} // namespace bitonix
