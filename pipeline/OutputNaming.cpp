// Output naming and the numbering rule.
#include "pipeline/OutputNaming.h"

#include <QFile>
#include <QFileInfo>
#include <functional>
#include <sys/stat.h>

namespace bitonix {

namespace {

// A path taken apart for numbering.
struct TNameParts {
    QString Folder;    // with its trailing separator; empty when there is none
    QString Stem;      // base name without a trailing "(n)" when n > 0
    QString Extension; // from the last period, including it
    long long Start = 1;
};

TNameParts Split(const QString& filename) {
    TNameParts p;
    const qsizetype slash = filename.lastIndexOf(QLatin1Char('/'));
    p.Folder = filename.left(slash + 1);
    QString name = filename.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        p.Extension = name.mid(dot);
        name.truncate(dot);
    }
    p.Stem = name;
    const qsizetype open = name.lastIndexOf(QLatin1Char('('));
    if (name.endsWith(QLatin1Char(')')) && open >= 0) {
        bool ok = false;
        const long long n = name.mid(open + 1, name.size() - open - 2).toLongLong(&ok);
        p.Start = ok ? n : 0;
        if (p.Start > 0) {
            p.Stem = name.left(open);
        }
    }
    return p;
}

QString FirstFree(const QString& filename, const std::function<bool(const QString&)>& taken) {
    const TNameParts p = Split(filename);
    QString candidate = filename;
    for (long long n = p.Start; taken(candidate); ++n) {
        candidate = p.Folder + p.Stem + QLatin1Char('(') + QString::number(n) + QLatin1Char(')') +
                    p.Extension;
    }
    return candidate;
}

// Every directory entry counts, a dangling link included: the no-replace
// save refuses any of them. A name that cannot be looked at (its folder is
// gone) counts as free; the save then says why it cannot be made.
bool FileExists(const QString& path) {
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

} // namespace

QString OutputNameFromPattern(const QString& inputPath, const QString& pattern) {
    const QFileInfo info(inputPath);
    const QString folder = inputPath.left(inputPath.lastIndexOf(QLatin1Char('/')) + 1);
    QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) {
        name.truncate(dot);
    }
    QString replaced = pattern;
    replaced.replace(QStringLiteral("<filesrc>"), name, Qt::CaseInsensitive);
    return folder + replaced + QStringLiteral(".pdf");
}

QString filemaneprocess(const QString& filename) {
    return FirstFree(filename, FileExists);
}

QString ReserveBatchOutputFile(const QString& filename, const TBatchFileList& files) {
    return FirstFree(filename, [&](const QString& candidate) {
        if (FileExists(candidate)) {
            return true;
        }
        for (const TBatchFileInfo& f : files) {
            if (f.OutputFile.compare(candidate, Qt::CaseInsensitive) == 0) {
                return true;
            }
        }
        return false;
    });
}

} // namespace bitonix
