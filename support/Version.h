// The program's version and title, from the build.
#pragma once

#include <QString>

namespace bitonix {

// The application title: taskbar text and caption of the error box.
inline const QString KAppTitle = QStringLiteral("Bitonix");

// "1.0.0"
inline QString GetAppVersionStr() {
    return QStringLiteral(BITONIX_VERSION);
}
// The title written into every PDF and shown as the window caption.
inline QString ProgramTitle() {
    return QStringLiteral("Bitonix v") + GetAppVersionStr();
}

} // namespace bitonix
