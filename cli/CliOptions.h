// The command line of bitonix-cli, turned into the settings of a run.
#pragma once

#include "pipeline/RunContext.h"

#include <QStringList>

namespace bitonix {

struct TCliOptions {
    TRunSettings Run;    // Files holds the existing inputs only
    QStringList Missing; // inputs that do not exist or are folders
    bool Quiet = false;
    bool Help = false;
    bool Version = false;
    QString Error; // a usage error; empty when the line was fine
};

// Parses `arguments` (argv without the program name). Relative input and
// output paths are made absolute against the current folder.
TCliOptions ParseCliOptions(const QStringList& arguments);

// The --help text.
QString CliUsage();

} // namespace bitonix
