// The conversion run: from the list of input files to finished PDF files.
#pragma once

#include "pipeline/RunContext.h"

#include <QStringList>
#include <cstdint>

namespace bitonix {

struct TRunResult {
    bool Completed = false;       // every file was converted (and written)
    bool Cancelled = false;       // stopped by the host's stop flag before its last PDF was written
    bool EditorDismissed = false; // the corner editor was closed without confirming
    QString MergedOutput;         // merged mode: the (possibly numbered) name written
    QStringList Written;          // PDFs written, in order
    std::uint32_t ElapsedMs = 0;  // whole run, wrapping 32-bit milliseconds
};

// Message shown once when the image library cannot be loaded.
inline const char* const KLeptonicaLoadMessage = "Blad ladowania leptonica.dll";

// Runs one conversion. Binds Leptonica and the detector for the run,
// prepares every input into page JPEGs (all before any page is binarised),
// shows the corner editor in pmSemi, binarises and writes the PDFs (one per
// input beside it, or one merged), polls host.Cancelled() between files,
// between extracted pages and after every page, and sets the final status
// text ("Cancelled", or the duration; a stop asked for once the last PDF is
// written cancels nothing). A name taken while the run went on gets the next
// free number when its PDF is saved. Whatever way the run ends, the open
// PDF is discarded, every temporary file and folder is removed and the
// libraries are released before this returns or throws.
//
// Throws TError with the user-visible text when the run fails; PDFs finished
// before the failure stay.
TRunResult RunBatch(const TRunSettings& settings, const TLangStrings& strings, TRunHost& host);

// Milliseconds of a steady clock as a wrapping 32-bit counter.
std::uint32_t TickCount();

} // namespace bitonix
