// Filtering and ordering of a batch of input paths.
#include "app/InputFiles.h"

#include <QCollator>
#include <QFileInfo>
#include <algorithm>

namespace bitonix {

QStringList FilterAndSortFiles(const QStringList& paths) {
    QStringList kept;
    for (const QString& path : paths) {
        if (!path.isEmpty() && QFileInfo(path).isFile()) {
            kept.append(path);
        }
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(kept.begin(), kept.end(), [&collator](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    return kept;
}

} // namespace bitonix
