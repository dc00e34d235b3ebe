// The program's version, title and web site.
#pragma once

#include <QString>

namespace bitonix {

// The application title: taskbar text and caption of the error box.
inline const QString KAppTitle = QStringLiteral("Bitonix");

// The maker's web site, opened by the links of the main window and the About
// box.
inline const QString KWebSiteUrl = QStringLiteral("https://bitonix.example.org");

// "1.0.0"
inline QString GetAppVersionStr() {
    return QStringLiteral(BITONIX_VERSION);
}
// The title written into every PDF and shown as the window caption.
inline QString ProgramTitle() {
    return QStringLiteral("Bitonix v") + GetAppVersionStr();
}

} // namespace bitonix
