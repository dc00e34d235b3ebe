// bitonix-cli's inputs as a run takes them, and the check of where its PDFs
// go, both before any work starts.
#pragma once

#include "cli/CliOptions.h"

#include <QStringList>

namespace bitonix {

struct TCliInputs {
    QStringList Files;   // absolute paths in argument order; the entry of "-" is empty
    QStringList Names;   // what progress lines call each entry of Files
    int StdinIndex = -1; // index of "-" in Files, -1 without it
    QStringList Skipped; // one message per argument that gives nothing to convert
};

// Expands the input arguments: a file stays as it is, a folder gives the
// supported files directly inside it (by extension, any letter case; hidden
// files left out) in case-insensitive name order, "-" keeps its place for
// standard input. A missing or unreadable argument, anything else that is
// no file or folder, and a folder without supported files are skipped with
// a message. Unreadable files found in a folder are skipped the same way.
TCliInputs CollectInputs(const QStringList& arguments);

// Whether the run can write every PDF and read its streams: with -o FILE,
// FILE names no folder and its folder exists and can be written into;
// without -o, every input's folder can be written into (the PDF goes beside
// the input); with -o -, standard output is no terminal; with "-", standard
// input is no terminal. Returns the usage error, or an empty text when all is
// well. Only looks, never creates anything.
QString CheckBeforeRun(const TCliOptions& options, const TCliInputs& inputs);

} // namespace bitonix
