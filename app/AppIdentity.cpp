// The program's name, desktop file and icon.
#include "app/AppIdentity.h"

#include "support/Version.h"

#include <QApplication>
#include <QIcon>

namespace bitonix {

void SetApplicationIdentity() {
    QApplication::setApplicationName(KAppTitle);
    QApplication::setDesktopFileName(QStringLiteral("bitonix"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/bitonix.svg")));
}

} // namespace bitonix
