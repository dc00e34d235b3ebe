// The command line of bitonix-cli: its options, their help text, and the
// parsed result.
#pragma once

#include "pipeline/RunContext.h"

#include <QStringList>

namespace bitonix {

// The argument that stands for standard input (as an input) and standard
// output (as the value of -o).
inline const QString KStdStream = QStringLiteral("-");

struct TCliOptions {
    TRunSettings Run;   // processing settings; Files, Merged and MergedOutput stay unset
    QStringList Inputs; // the input arguments as given: files, folders, "-"
    QString Output;     // the value of -o as given; empty without -o
    bool Quiet = false;
    bool Verbose = false;
    bool Help = false;
    bool Version = false;
    QString Error; // a usage error (no trailing period); empty when the line was fine

    bool Merged() const { return !Output.isEmpty(); }
    bool ToStdout() const { return Output == KStdStream; }
};

// Parses `arguments` (argv without the program name). Short options may be
// grouped (-qv) and take their value joined, after '=' or as the next
// argument (-oFILE, -o=FILE, -o FILE); long ones after '=' or as the next
// argument. Everything after "--" is an input. An option given twice keeps
// its last value. Values are checked here; paths are left as given.
TCliOptions ParseCliOptions(const QStringList& arguments);

// The --help text, ending in a newline.
QString CliUsage();

// The one line of help printed under a usage error.
QString CliUsageHint();

} // namespace bitonix
