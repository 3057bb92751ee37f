#pragma once

#include "delete/lastcopy.h"
#include "delete/reallydelete.h"

#include <QString>
#include <functional>

// A whole disposal without a window, for the command line: the files handed over are sorted
// into those that may go and those held back in protected folders (each reported with its
// reason), the user is asked once, and the same run as the deletion window's disposes of the
// rest, adding to the running totals.

struct BatchDisposalRequest {
    DisposalKind kind = DisposalKind::Delete;
    ListedFiles files;      // as the search listed them
    qint64 savings = 0;     // bytes the files take, as the search counted them
    QString tag;            // part of every archive name ("Duplicates", "TempClean", ...)
    QString zipFolder;      // folder of the archives of a zip run
    bool assumeYes = false; // no question asked

    // The program's own archives in its zip folders are disposed of too; without it they are
    // held back, each named through warn.
    bool includeArchives = false;

    // The groups of duplicates the files come from, if they do: then the last copy of every
    // content stays (lastcopy::Guard), each such file named through warn.
    lastcopy::CopyGroups copies;
};

struct BatchDisposalIo {
    // A line for the user's report (standard output).
    std::function<void(const QString& line)> say;
    // A line about a refusal or failure (standard error).
    std::function<void(const QString& line)> warn;
    // Asks the question and answers true for yes; only asked when assumeYes is false.  An
    // empty function answers no.
    std::function<bool(const QString& question)> confirm;
    // Asked during a zip run: true abandons the batch being written (its files stay).
    std::function<bool()> abortRequested;
};

struct BatchDisposalResult {
    qsizetype disposed = 0; // files gone from their folders
    qsizetype refused = 0;  // files held back in protected folders or as last copies
    qsizetype failed = 0;   // files reported with an error (changed, locked, not stored)
    bool declined = false;  // the user said no: nothing was touched
    QString error;          // why the run could not start at all; empty when it could
};

BatchDisposalResult disposeInBatch(const BatchDisposalRequest& request, const BatchDisposalIo& io);
