// The folder of the running program, where its language files, the corner
// detector plugin and a private Leptonica lie.
#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>

namespace bitonix {

// Folder of the executable, without a trailing separator, reached through
// the real path of the program file: started through a link such as
// /usr/bin/bitonix -> ../lib/bitonix/bitonix it is /usr/lib/bitonix, never
// the link's own folder. Needs the application object.
//  1. When the program file cannot be resolved (it was deleted while
//     running), the folder Qt reports is used as it is.
inline QString GetProgramDir() {
    const QString real = QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath();
    return real.isEmpty() ? QCoreApplication::applicationDirPath() : real;
}

} // namespace bitonix
