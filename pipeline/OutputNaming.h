// Output file names: the name pattern, and the numbering that makes a name
// unique so that a run never overwrites a file.
#pragma once

#include "pipeline/BatchRecords.h"

#include <QString>

namespace bitonix {

// The output path for `inputPath` from the name pattern: the input's folder,
// the pattern with every "<filesrc>" (any letter case) replaced by the
// input's name without folder and extension, and ".pdf".
QString OutputNameFromPattern(const QString& inputPath, const QString& pattern);

// The first name derived from `filename` under which no directory entry
// exists (a file, a folder, a link even when it leads nowhere):
// report.pdf -> report(1).pdf, report(2).pdf ...; report(3).pdf -> report(4).pdf;
// report(x).pdf -> report(x)(0).pdf. A free name comes back unchanged.
QString filemaneprocess(const QString& filename);

// As filemaneprocess, but also skipping names that a record of `files` holds
// as its OutputFile (compared without regard to letter case). Nothing is
// created on disk.
QString ReserveBatchOutputFile(const QString& filename, const TBatchFileList& files);

} // namespace bitonix
