// Records of one run: the prepared input files and their pages.
#pragma once

#include <QString>
#include <QVector>

namespace bitonix {

struct TBatchFileInfo {
    QString InputFile;      // full path as listed
    QString OutputFile;     // PDF this file produces in separate mode
    QString TempDir;        // the file's temporary folder with its page JPEGs
    int FirstPageIndex = 0; // index of the first page in the run's page list
    int PageCount = 0;      // pages prepared from the file; at least 1
    int ListIndex = 0;      // 0-based row in the file list
    friend bool operator==(const TBatchFileInfo&, const TBatchFileInfo&) = default;
};

struct TBatchPageInfo {
    int FileIndex = 0;       // index of the page's file in the run's file list
    int LocalPageIndex = 0;  // 0-based index within its file
    QString PageJpgFile;     // same path as in its correction
    int CorrectionIndex = 0; // index in the run's correction list
    friend bool operator==(const TBatchPageInfo&, const TBatchPageInfo&) = default;
};

using TBatchFileList = QVector<TBatchFileInfo>;
using TBatchPageList = QVector<TBatchPageInfo>;

} // namespace bitonix
