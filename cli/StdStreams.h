// Standard input as an input file and standard output as the merged PDF:
// both pass through a file in a private folder, since the run reads and
// writes files by name.
#pragma once

#include <QString>

namespace bitonix {

struct TSpoolResult {
    QString Path;         // the spooled file; empty when it was not kept
    QString Problem;      // why nothing was kept (empty stream, unknown kind); empty otherwise
    bool Stopped = false; // a stop request (StopRequested) arrived before the end
};

// Reads standard input to its end into a new file (mode 0600, never through
// an existing entry) in `folder`, which must be private to this process
// (TRunTempDir). The file is named "stdin" plus the extension its first
// bytes call for: .pdf, .tif, .jpg, .png, .bmp or .gif, since the run tells
// the kind of an input by its name. A stop request ends the wait for data at
// once (the wait watches StopNotifyFd()).
//
// Throws TError when the file cannot be made or written, or standard input
// cannot be read.
TSpoolResult SpoolStandardInput(const QString& folder);

// Copies the file `path` to standard output. Throws TError when it cannot be
// read or standard output cannot be written.
void CopyToStandardOutput(const QString& path);

} // namespace bitonix
