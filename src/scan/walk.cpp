#include "scan/walk.h"

#include "platform/drives.h"
#include "scan/readahead.h"

#include <algorithm>
#include <cerrno>
#include <thread>

namespace scan {

namespace {

constexpr int kMaxThreads = 8;

// Least time between two calls of `progress` in a blocking walk.
constexpr std::chrono::milliseconds kProgressInterval(20);

using Result = ReadAhead::Result;

// Errors of opening an entry that mean "this is no folder of ours to enter": not a folder
// after all, a symbolic link, or the root of another file system.  They are not reported.
bool isQuietSkip(int error) {
    return error == ENOTDIR || error == ELOOP || error == EXDEV;
}

} // namespace

struct Walker::Level {
    WalkFolder folder;
    Stage stage = Stage::Enter;
    platform::DirSearch search; // a one-thread walk reads the folder here
    ReadAhead::Cursor cursor;   // a walk with threads takes what they read from here
};

QString cantOpenDriveMessage(const QString& root) {
    return QStringLiteral("Can't open drive ") + root;
}

Walker::Walker(const bool& abortFlag) : m_abort(abortFlag) {}

Walker::Walker() : m_abort(m_ownAbort) {}

Walker::~Walker() {
    drop();
}

void Walker::setPattern(const QString& pattern) {
    m_pattern = platform::WildcardPattern(pattern);
}

int Walker::threadCount() const {
    if (m_threadCount > 0)
        return std::min(m_threadCount, kMaxThreads);
    return std::clamp(int(std::thread::hardware_concurrency()), 1, kMaxThreads);
}

void Walker::setReadAheadLimits(int folders, int entries) {
    m_maxFolders = std::max(1, folders);
    m_maxEntries = std::max(1, entries);
}

Walker::Level& Walker::levelAt(int depth) {
    while (int(m_levels.size()) <= depth)
        m_levels.push_back(std::make_unique<Level>());
    return *m_levels[size_t(depth)];
}

void Walker::reportProgress(const WalkFolder& folder) {
    if (!m_callbacks.progress || Clock::now() - m_lastProgress < kProgressInterval)
        return;
    m_callbacks.progress(folder.path);
    m_lastProgress = Clock::now();
}

// How long a blocking walk may wait for the workers before the status bar's next turn.
Walker::Clock::time_point Walker::nextProgress() const {
    if (!m_callbacks.progress)
        return Clock::time_point::max();
    return m_lastProgress + kProgressInterval;
}

// Forgets the walk in progress without further callbacks.
void Walker::drop() {
    if (m_readAhead)
        m_readAhead->stop();
    for (; m_depth >= 0; --m_depth) {
        Level& level = *m_levels[size_t(m_depth)];
        if (m_readAhead)
            m_readAhead->close(level.cursor);
        level.search.close();
    }
    m_readAhead.reset();
    m_drives.clear();
    m_nextDrive = 0;
}

void Walker::scanAllDrives(const QList<QChar>& letters) {
    startDrives(letters);
    run(Clock::time_point::max(), true);
}

bool Walker::walkTree(const QString& root) {
    if (!startTree(root))
        return false;
    run(Clock::time_point::max(), true);
    return true;
}

bool Walker::startTree(const QString& root) {
    drop();
    m_ownAbort = false;
    return beginTree(root, QChar());
}

void Walker::startDrives(const QList<QChar>& letters) {
    drop();
    m_ownAbort = false;
    m_drives = letters;
}

bool Walker::step(int budgetMilliseconds) {
    if (m_delivering)
        return true; // called from a callback: the walk in progress goes on
    if (!isWalking())
        return false;
    run(Clock::now() + std::chrono::milliseconds(std::max(0, budgetMilliseconds)), false);
    if (m_depth >= 0 && m_callbacks.progress)
        m_callbacks.progress(m_levels[size_t(m_depth)]->folder.path);
    return isWalking();
}

void Walker::abort() {
    m_ownAbort = true;
    if (m_readAhead)
        m_readAhead->stop();
    if (!m_delivering && isWalking())
        run(Clock::time_point::max(), false); // unwinds at once
}

// Opens the root of a tree; its enterFolder comes with the first advance.
bool Walker::beginTree(const QString& givenRoot, QChar drive) {
    if (aborted())
        return false;
    QString root = givenRoot;
    while (root.size() > 1 && root.endsWith(QLatin1Char('/')))
        root.chop(1);
    Level& top = levelAt(0);
    const int threads = threadCount();
    if (threads > 1) {
        // The caller's thread reads too, whenever it would otherwise wait for the workers.
        auto readAhead = std::make_unique<ReadAhead>(threads - 1, m_maxFolders, m_maxEntries,
                                                     m_pattern, m_fileMask);
        int error = 0;
        if (!readAhead->start(root, &top.cursor, &error))
            return false;
        m_readAhead = std::move(readAhead);
    } else if (!top.search.open(root)) {
        return false;
    }
    top.folder.path = root;
    top.folder.depth = 0;
    top.folder.drive = drive;
    top.folder.root = root;
    top.stage = Stage::Enter;
    m_depth = 0;
    m_lastProgress = Clock::now();
    return true;
}

// Starts the walk of the next drive that is ready and can be opened; false when none is left.
bool Walker::beginNextDrive() {
    while (m_nextDrive < m_drives.size()) {
        if (aborted())
            break;
        const QChar letter = m_drives[m_nextDrive++];
        if (!platform::isDriveReady(letter))
            continue;
        const auto drive = platform::driveByLetter(letter);
        if (!drive)
            continue;
        if (beginTree(drive->root, drive->letter))
            return true;
        if (!aborted() && m_callbacks.driveFailed)
            m_callbacks.driveFailed(drive->letter, drive->root);
    }
    m_drives.clear();
    m_nextDrive = 0;
    return false;
}

void Walker::endTree() {
    m_readAhead.reset();
}

// Delivers until the walk is over or the deadline passed.  A blocking walk reports its progress
// while it waits for the workers too.
void Walker::run(Clock::time_point deadline, bool blocking) {
    struct Delivering {
        bool& flag;
        explicit Delivering(bool& f) : flag(f) { flag = true; }
        ~Delivering() { flag = false; }
    } delivering(m_delivering);

    const bool timed = deadline != Clock::time_point::max();
    for (;;) {
        if (m_depth < 0 && !beginNextDrive())
            return;
        const Clock::time_point waitUntil =
            blocking ? std::min(deadline, nextProgress()) : deadline;
        if (advance(waitUntil, blocking) == Outcome::Waiting && blocking && m_depth >= 0)
            reportProgress(m_levels[size_t(m_depth)]->folder);
        if (timed && Clock::now() >= deadline)
            return;
    }
}

// One move of the walk: a folder entered, a subfolder taken or opened, a file delivered or a
// folder left.  Waiting when the workers have not read what comes next by waitUntil.
Walker::Outcome Walker::advance(Clock::time_point waitUntil, bool blocking) {
    Level& level = *m_levels[size_t(m_depth)];
    ReadAhead* const readAhead = m_readAhead.get();

    if (aborted()) {
        // Unwinding: the folder is left unfinished (or, not entered yet, just forgotten).
        if (readAhead) {
            readAhead->stop();
            readAhead->close(level.cursor);
        }
        level.search.close();
        if (--m_depth < 0)
            endTree();
        if (level.stage != Stage::Enter && m_callbacks.leaveFolder)
            m_callbacks.leaveFolder(level.folder, false);
        return Outcome::Delivered;
    }

    switch (level.stage) {
    case Stage::Enter:
        level.stage = Stage::Subfolders;
        if (m_callbacks.enterFolder)
            m_callbacks.enterFolder(level.folder);
        return Outcome::Delivered;

    case Stage::Subfolders: {
        const Result r = readAhead ? readAhead->nextSubfolder(level.cursor, waitUntil)
                         : level.search.nextFolder() ? Result::Yes
                                                     : Result::No;
        if (r == Result::NotYet)
            return Outcome::Waiting;
        if (r == Result::No) {
            level.stage = Stage::Files;
            if (!readAhead)
                level.search.start(m_pattern, m_fileMask);
            return Outcome::Delivered;
        }
        level.stage = Stage::Opening;
        if (blocking)
            reportProgress(level.folder);
        return Outcome::Delivered;
    }

    case Stage::Opening: {
        Level& child = levelAt(m_depth + 1);
        QString path;
        int error = 0;
        Result r;
        if (readAhead) {
            r = readAhead->openSubfolder(level.cursor, &child.cursor, &path, &error, waitUntil);
            if (r == Result::NotYet)
                return Outcome::Waiting;
        } else {
            r = child.search.openSubfolder(level.search) ? Result::Yes : Result::No;
            path = child.search.folder();
            error = child.search.error();
        }
        level.stage = Stage::Subfolders;
        if (r == Result::No) {
            if (!isQuietSkip(error) && m_callbacks.folderSkipped)
                m_callbacks.folderSkipped(path, platform::errorText(error));
            return Outcome::Delivered;
        }
        child.folder.path = path;
        child.folder.depth = m_depth + 1;
        child.folder.drive = level.folder.drive;
        child.folder.root = level.folder.root;
        child.stage = Stage::Subfolders;
        ++m_depth;
        if (m_callbacks.enterFolder)
            m_callbacks.enterFolder(child.folder);
        return Outcome::Delivered;
    }

    case Stage::Files: {
        const platform::DirEntry* entry = &m_entry;
        const Result r = readAhead ? readAhead->nextFile(level.cursor, &entry, waitUntil)
                         : level.search.next(&m_entry) ? Result::Yes
                                                       : Result::No;
        if (r == Result::NotYet)
            return Outcome::Waiting;
        if (r == Result::Yes) {
            if (m_callbacks.file)
                m_callbacks.file(level.folder, *entry);
            ++m_fileCount;
            if (blocking)
                reportProgress(level.folder);
            return Outcome::Delivered;
        }
        if (readAhead)
            readAhead->close(level.cursor);
        level.search.close();
        if (--m_depth < 0)
            endTree();
        if (m_callbacks.leaveFolder)
            m_callbacks.leaveFolder(level.folder, true);
        return Outcome::Delivered;
    }
    }
    return Outcome::Delivered;
}

} // namespace scan
