#pragma once

#include "cli/options.h"
#include "cli/table.h"
#include "cli/walking.h"
#include "delete/lastcopy.h"
#include "delete/reallydelete.h"

#include <QString>
#include <QStringList>

// Each command's search, run through the same search classes as the windows, and its result
// as a plain table.
namespace cli {

// What a disposal after the search would take: the files (with the identities the search saw),
// the bytes they free and the tag of their archives.
struct Disposable {
    ListedFiles files;
    qint64 savings = 0;
    QString tag;
    lastcopy::CopyGroups copies; // the groups of duplicates the files come from, if they do
};

struct SearchOutcome {
    ResultTable table;
    qsizetype found = 0; // results (rows; for the statistics the files counted)
    Disposable disposable;
    QString error;      // why the search could not run or read a target; empty otherwise
    qint64 skipped = 0; // folders below a target that could not be read
};

// Runs the command's search over the arguments' targets.
SearchOutcome runSearch(const Options& options, Progress& progress);

} // namespace cli
