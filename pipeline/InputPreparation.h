// Bringing every input into one shape: a temporary folder of page JPEGs plus
// the run's file, page and correction records.
//
// Operations: PrepareInputPages, UpdateBatchCorrectionTotals,
// EditBatchCorrections, CleanupBatchTempDirs.
#pragma once

#include "pipeline/BatchRecords.h"
#include "pipeline/RunContext.h"

namespace bitonix {

// Prepares input `inputPath` (file-list row `listIndex`, output `outputPath`)
// into a new folder inside the run's temporary folder and appends one file
// record, and one page and one correction record per page. The kind is
// chosen by extension: .pdf is rendered, .tif/.tiff split, anything else
// re-encoded. In pmAuto/pmSemi each page's corners are detected when the
// detector is loaded. Throws TError "Brak stron do przetworzenia: <path>"
// when the input yields no page, "Nie mozna odczytac wymiarow obrazu:
// <jpeg>" when a page cannot be measured, and the errors of rendering,
// splitting or decoding; the file's folder is removed before the error
// leaves. A stop (host.Cancelled()) before the first page is extracted
// appends nothing.
void PrepareInputPages(TRunContext& ctx, const QString& inputPath, const QString& outputPath,
                       int listIndex, TBatchFileList& files, TBatchPageList& pages,
                       TPageCorrectionList& corrections);

// GlobalPageNo = index + 1 and GlobalPageCount = length on every entry.
void UpdateBatchCorrectionTotals(TPageCorrectionList& corrections);

// True when processing may go on. Only in pmSemi with pages is the corner
// editor shown; it returns false when the user dismissed it (the list is
// then unchanged).
bool EditBatchCorrections(TPerspMode mode, TPageCorrectionList& corrections, TRunHost& host);

// Removes every file's temporary folder that still exists.
void CleanupBatchTempDirs(const TBatchFileList& files);

} // namespace bitonix
