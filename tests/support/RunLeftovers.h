// What a run left behind, as the tests of stopped, killed and racing runs
// look at it: entries of its temporary folder, save files in its output
// folders, and whether a PDF is whole.
#pragma once

#include "TestImages.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace bitonix::test {

// Every entry of `folder`, hidden ones included.
inline QStringList EntriesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// The save's temporary files (".bitonix-*.tmp") in `folder`.
inline QStringList SaveTempFilesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral(".bitonix-*")},
                                  QDir::AllEntries | QDir::Hidden | QDir::System);
}

// Whether `path` is a whole PDF: qpdf checks it without a complaint.
inline bool WholePdf(const QString& path) {
    return QFile::exists(path) &&
           RunTool(QStringLiteral(QPDF_EXECUTABLE), {QStringLiteral("--check"), path}) == 0;
}

} // namespace bitonix::test
