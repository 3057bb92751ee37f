#pragma once

#include "platform/fileidentity.h"

#include <QList>
#include <QString>
#include <QtGlobal>
#include <atomic>
#include <functional>

// The content engine: which of the given files have identical contents.  It narrows the files
// down the way fast duplicate finders do - by size, then by a hash of a small sample (the first
// and last few KiB), then by a hash of the whole file (XXH3-128) - so that a file is read whole
// only while another file still looks the same.  Reads run in worker threads, each reading its
// file sequentially in chunks of 1 MiB; memory is those buffers plus a few words per file.
namespace dups {

// One file to compare: its path and the identity it had when it was listed.  A file whose
// identity is unknown is looked at first (without following a final link).
struct ContentFile {
    QString path;
    platform::FileIdentity identity;
};

// A file left out of every group, and why.
struct ContentProblem {
    enum Reason {
        Unreadable,         // it could not be opened or read, or is not a regular file
        ChangedWhileRead,   // it was written to (or its times changed) while it was read
        ChangedSinceListed, // the path no longer names the listed file, or it changed since
    };
    qsizetype file = -1; // index into the input
    Reason reason = Unreadable;
    QString message; // the system's message for Unreadable; empty otherwise
};

struct ContentGroups {
    // Groups of two or more indexes into the input whose files hold the same bytes; indexes
    // ascend within a group, groups by their first index.  Names of one file (hard links) fall
    // into one group without being read twice.
    QList<QList<qsizetype>> groups;
    QList<ContentProblem> problems; // by index; a file with several names once per name
    bool aborted = false;           // stopped early: `groups` is empty then
};

struct ContentProgress {
    qint64 filesDone = 0; // files opened and finished (once per stage that reads them)
    qint64 bytesDone = 0; // bytes read so far
};

struct ContentOptions {
    int threads = 4; // reads in flight at once
    // Called on the calling thread every few tens of milliseconds while the work runs.
    std::function<void(const ContentProgress&)> progress;
    // Polled on the calling thread as often; true stops the work within 100 ms.
    std::function<bool()> abort;
    // Or a flag set from any thread; either stops it.
    const std::atomic<bool>* abortFlag = nullptr;
};

// Splits the files into groups of identical contents.  With candidate groups (lists of indexes,
// e.g. the groups of a duplicate search's criterion) only files within one candidate group are
// compared with each other, and files in no candidate group are left alone; without, all files
// are.  An index belongs to one candidate group at most (later mentions are ignored).  Empty
// files are equal to each other and never to a non-empty one.  Blocks until done or aborted.
ContentGroups groupByContents(const QList<ContentFile>& files,
                              const QList<QList<qsizetype>>& candidates = {},
                              const ContentOptions& options = {});

// Whether two files hold the same bytes, proven as above (each as it was listed, checked before
// and after the read); false when they differ, or when either cannot be read or has changed.
bool sameContents(const ContentFile& a, const ContentFile& b);

} // namespace dups
