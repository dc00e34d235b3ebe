// The program's name, desktop file and icon.
#include "app/AppIdentity.h"

#include "support/Version.h"

#include <QApplication>
#include <QIcon>

namespace bitonix {

void SetApplicationIdentity() {
    QApplication::setApplicationName(KAppTitle);
    // Names the desktop entry (packaging/org.example.bitonix.desktop), which
    // gives the window its icon and name in the task bar.
    QApplication::setDesktopFileName(QStringLiteral("org.example.bitonix"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/bitonix.svg")));
}

} // namespace bitonix
