// Private temporary folders.
#include "pipeline/TempFiles.h"

#include "support/Error.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace bitonix {

QString GetTempDirectory() {
    QString dir = QDir::tempPath();
    if (!dir.endsWith(QLatin1Char('/'))) {
        dir += QLatin1Char('/');
    }
    return dir;
}

TRunTempDir::TRunTempDir(const QString& parent) {
    QString base = parent;
    if (!base.endsWith(QLatin1Char('/'))) {
        base += QLatin1Char('/');
    }
    // mkdir never follows or reuses an existing entry: a taken name just fails.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString candidate = base + QStringLiteral("bitonix-") + generaternd(12);
        if (::mkdir(QFile::encodeName(candidate).constData(), S_IRWXU) == 0) {
            FPath = candidate + QLatin1Char('/');
            return;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    throw TError(QStringLiteral("Cannot create a temporary folder in \"%1\". %2")
                     .arg(parent, QString::fromLocal8Bit(std::strerror(errno))));
}

TRunTempDir::~TRunTempDir() {
    RemoveTree(FPath);
}

void RemoveTree(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    const QFileInfo info(path.endsWith(QLatin1Char('/')) ? path.chopped(1) : path);
    if (info.isSymLink()) {
        QFile::remove(info.filePath());
    } else if (info.isDir()) {
        // removeRecursively deletes links inside as links.
        QDir(info.filePath()).removeRecursively();
    }
}

} // namespace bitonix
