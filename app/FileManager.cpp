// The file manager over D-Bus, with the plain folder as fallback.
#include "app/FileManager.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace bitonix {

bool ShowFileInFileManager(const QString& path) {
    const QFileInfo info(path);
    QDBusInterface manager(QStringLiteral("org.freedesktop.FileManager1"),
                           QStringLiteral("/org/freedesktop/FileManager1"),
                           QStringLiteral("org.freedesktop.FileManager1"),
                           QDBusConnection::sessionBus());
    if (manager.isValid()) {
        const QDBusReply<void> reply = manager.call(
            QStringLiteral("ShowItems"),
            QStringList{QUrl::fromLocalFile(info.absoluteFilePath()).toString()}, QString());
        if (reply.isValid()) {
            return true;
        }
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absolutePath()));
}

} // namespace bitonix
