// Expanding bitonix-cli's input arguments and checking its outputs.
#include "cli/CliInputs.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace bitonix {

namespace {

// Extensions of the files a folder argument contributes.
const QStringList KSupportedSuffixes = {
    QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jfif"),
    QStringLiteral("png"), QStringLiteral("bmp"),  QStringLiteral("gif"),
    QStringLiteral("tif"), QStringLiteral("tiff"), QStringLiteral("pdf")};

// Empty when this process may access `path` as `mode` asks (R_OK, W_OK ...),
// else the system's reason.
QString AccessProblem(const QString& path, int mode) {
    if (::access(QFile::encodeName(path).constData(), mode) == 0) {
        return {};
    }
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString Quoted(const QString& text) {
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// The readable supported files directly inside `folder`, in name order.
void AddFolder(const QString& folder, TCliInputs& out) {
    const QString problem = AccessProblem(folder, R_OK | X_OK);
    if (!problem.isEmpty()) {
        out.Skipped << QStringLiteral("skipping folder %1: %2").arg(Quoted(folder), problem);
        return;
    }
    QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(entries.begin(), entries.end(),
                     [&collator](const QFileInfo& a, const QFileInfo& b) {
                         return collator.compare(a.fileName(), b.fileName()) < 0;
                     });
    int added = 0;
    for (const QFileInfo& entry : entries) {
        if (!KSupportedSuffixes.contains(entry.suffix().toLower())) {
            continue;
        }
        const QString unreadable = AccessProblem(entry.filePath(), R_OK);
        if (!unreadable.isEmpty()) {
            out.Skipped
                << QStringLiteral("skipping %1: %2").arg(Quoted(entry.filePath()), unreadable);
            continue;
        }
        out.Files << entry.absoluteFilePath();
        out.Names << entry.fileName();
        ++added;
    }
    if (added == 0 && out.Skipped.isEmpty()) {
        out.Skipped
            << QStringLiteral("skipping folder %1: no supported files in it").arg(Quoted(folder));
    }
}

// The folder a path's PDF goes into, as the run names it: up to the last '/'.
QString FolderOf(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// Empty when a new file can be made in `folder`, else the usage error.
QString FolderProblem(const QString& folder, const QString& what) {
    // Without its trailing '/', so that a file in the folder's place is seen as one.
    const QFileInfo info(folder.size() > 1 && folder.endsWith(QLatin1Char('/')) ? folder.chopped(1)
                                                                                : folder);
    if (!info.exists()) {
        return QStringLiteral("%1 %2 does not exist").arg(what, Quoted(folder));
    }
    if (!info.isDir()) {
        return QStringLiteral("%1 %2 is no folder").arg(what, Quoted(folder));
    }
    const QString problem = AccessProblem(folder, W_OK | X_OK);
    if (!problem.isEmpty()) {
        return QStringLiteral("cannot write into %1 %2: %3").arg(what, Quoted(folder), problem);
    }
    return {};
}

} // namespace

TCliInputs CollectInputs(const QStringList& arguments) {
    TCliInputs out;
    for (const QString& argument : arguments) {
        if (argument == KStdStream) {
            out.StdinIndex = static_cast<int>(out.Files.size());
            out.Files << QString();
            out.Names << QStringLiteral("standard input");
            continue;
        }
        const QFileInfo info(argument);
        if (!info.exists()) {
            out.Skipped
                << QStringLiteral("skipping %1: no such file or folder").arg(Quoted(argument));
        } else if (info.isDir()) {
            TCliInputs folder;
            AddFolder(argument, folder);
            out.Files << folder.Files;
            out.Names << folder.Names;
            out.Skipped << folder.Skipped;
        } else if (!info.isFile()) {
            out.Skipped
                << QStringLiteral("skipping %1: not a file or folder").arg(Quoted(argument));
        } else if (const QString problem = AccessProblem(argument, R_OK); !problem.isEmpty()) {
            out.Skipped << QStringLiteral("skipping %1: %2").arg(Quoted(argument), problem);
        } else {
            out.Files << info.absoluteFilePath();
            out.Names << info.fileName();
        }
    }
    return out;
}

QString CheckBeforeRun(const TCliOptions& options, const TCliInputs& inputs) {
    if (inputs.StdinIndex >= 0 && ::isatty(STDIN_FILENO) == 1) {
        return QStringLiteral("standard input (-) is a terminal; pipe or redirect a file into it");
    }
    if (options.ToStdout()) {
        if (::isatty(STDOUT_FILENO) == 1) {
            return QStringLiteral("standard output is a terminal; redirect or pipe the PDF of "
                                  "-o - into a file or program");
        }
        return {};
    }
    if (options.Merged()) {
        const QString& output = options.Output;
        if (output.endsWith(QLatin1Char('/')) || QFileInfo(output).isDir()) {
            return QStringLiteral("the output %1 is a folder; -o takes the PDF's file name")
                .arg(Quoted(output));
        }
        return FolderProblem(FolderOf(QFileInfo(output).absoluteFilePath()),
                             QStringLiteral("the output folder"));
    }
    QSet<QString> checked;
    for (const QString& file : inputs.Files) {
        const QString folder = FolderOf(file);
        if (file.isEmpty() || checked.contains(folder)) {
            continue;
        }
        checked.insert(folder);
        const QString problem = FolderProblem(folder, QStringLiteral("the folder"));
        if (!problem.isEmpty()) {
            return problem + QStringLiteral(" (without -o each PDF goes beside its input)");
        }
    }
    return {};
}

} // namespace bitonix
