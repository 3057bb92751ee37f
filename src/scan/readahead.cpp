#include "scan/readahead.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <system_error>

namespace scan {

namespace {

// Entries one task reads: subfolders found, or files that pass the pattern and mask.  Tasks the
// walk's own thread runs are shorter, so that it gets back to delivering soon even when every
// entry costs a trip to the disk.
constexpr int kTaskEntries = 256;
constexpr int kWalkTaskEntries = 32;
// What a chunk of files counts against the limit of entries however few it holds, so that the
// limit bounds the chunks too.
constexpr int kChunkWeight = 32;
// Chunks kept for reuse, with their entries' name buffers.
constexpr size_t kSpareChunks = 32;
// The rank of a folder's files among its subfolders: after the last.
constexpr int kFilesRank = std::numeric_limits<int>::max();

enum class Phase { Open, Subfolders, Files, Done };
enum class State { Queued, Running, Finished };

} // namespace

struct ReadAhead::Chunk {
    std::vector<platform::DirEntry> entries; // reused with their name buffers
    int count = 0;

    int weight() const { return std::max(count, kChunkWeight); }
};

struct ReadAhead::Node {
    // Set when the node is made.
    Node* parent = nullptr; // the folder to open this one in, until it is opened
    QByteArray name;        // its name there
    std::vector<int> key;   // subfolder numbers from the root: the walk's order

    // Used by the node's running task only.
    platform::DirSearch search;
    Phase phase = Phase::Open;
    int subfoldersFound = 0;

    // Under the engine's lock.
    State state = State::Queued;
    std::vector<int> taskKey; // the rank of the task waiting in the queue
    bool opened = false;      // the open was tried: error and path are known
    int error = 0;
    QString path;
    std::deque<std::shared_ptr<Node>> subfolders;
    bool subfoldersDone = false;
    std::deque<std::unique_ptr<Chunk>> files;
    bool filesDone = false;
    int unopenedChildren = 0; // subfolders found and not yet opened in this folder
    bool holdsFolder = false; // the folder is open and counted in m_openFolders
};

ReadAhead::Cursor::Cursor() = default;
ReadAhead::Cursor::~Cursor() = default;

bool ReadAhead::ByTaskKey::operator()(const Node* a, const Node* b) const {
    if (a->taskKey != b->taskKey)
        return a->taskKey < b->taskKey;
    return a < b;
}

ReadAhead::ReadAhead(int workers, int maxFolders, int maxEntries,
                     const platform::WildcardPattern& pattern, quint32 mask)
    : m_maxFolders(std::max(1, maxFolders)), m_maxEntries(std::max(1, maxEntries)),
      m_pattern(pattern), m_mask(mask), m_workerCount(std::max(0, workers)) {}

ReadAhead::~ReadAhead() {
    stop();
}

bool ReadAhead::start(const QString& root, Cursor* cursor, int* error) {
    auto node = std::make_shared<Node>();
    if (!node->search.open(root)) {
        *error = node->search.error();
        return false;
    }
    node->phase = Phase::Subfolders;
    node->opened = true;
    node->path = root;
    node->holdsFolder = true;
    {
        Lock lock(m_lock);
        m_openFolders = 1;
        node->taskKey = {0};
        m_queue.insert(node.get());
    }
    cursor->node = std::move(node);
    // Without threads (none could be made) the walk runs every task itself.
    for (int i = 0; i < m_workerCount; ++i) {
        try {
            m_threads.emplace_back([this] { work(); });
        } catch (const std::system_error&) {
            // Translated here: a thread that cannot be made means fewer workers, not a failure.
            break;
        }
    }
    return true;
}

void ReadAhead::stop() {
    {
        Lock lock(m_lock);
        m_stop.store(true, std::memory_order_relaxed);
    }
    m_work.notify_all();
    for (std::thread& t : m_threads)
        t.join();
    m_threads.clear();
    Lock lock(m_lock);
    m_queue.clear(); // the nodes belong to their parents and the walk's cursors
}

bool ReadAhead::mayRun(const Node* node, int entryLimit) const {
    if (m_bufferedEntries >= entryLimit)
        return false;
    return node->phase != Phase::Open || m_openFolders < m_maxFolders;
}

void ReadAhead::wakeWorkers(int entryLimit) {
    if (m_idle > 0 && !m_queue.empty() && mayRun(*m_queue.begin(), entryLimit))
        m_work.notify_all();
}

void ReadAhead::work() {
    std::unique_ptr<Chunk> spare;
    bool wakeWalk = false; // the task delivered what the walk waits for
    Lock lock(m_lock);
    while (!stopping()) {
        Node* node = m_queue.empty() ? nullptr : *m_queue.begin();
        if (!node || !mayRun(node, m_maxEntries)) {
            if (wakeWalk) {
                wakeWalk = false;
                lock.unlock();
                m_delivered.notify_one();
                lock.lock();
                continue;
            }
            ++m_idle;
            m_work.wait(lock);
            --m_idle;
            continue;
        }
        m_queue.erase(m_queue.begin());
        node->state = State::Running;
        lock.unlock();
        // Woken after the lock is free, the walk does not stop again at once to wait for it.
        if (wakeWalk)
            m_delivered.notify_one();
        wakeWalk = run(node, kTaskEntries, spare, lock);
    }
}

// One task of a node, started without the lock; returns with it held, and true when the walk
// waits for this node.
bool ReadAhead::run(Node* node, int entries, std::unique_ptr<Chunk>& spare, Lock& lock) {
    const Phase began = node->phase;
    if (began == Phase::Open) {
        const bool opened = node->search.openSubfolder(node->parent->search, node->name);
        node->phase = opened ? Phase::Subfolders : Phase::Done;
    }

    std::vector<std::shared_ptr<Node>> found;
    if (node->phase == Phase::Subfolders) {
        while (int(found.size()) < entries && !stopping()) {
            if (!node->search.nextFolder()) {
                node->phase = Phase::Files;
                node->search.start(m_pattern, m_mask);
                break;
            }
            auto child = std::make_shared<Node>();
            child->parent = node;
            child->name = node->search.currentName();
            child->key.reserve(node->key.size() + 1);
            child->key = node->key;
            child->key.push_back(node->subfoldersFound++);
            found.push_back(std::move(child));
        }
    }

    // The files follow at once when they began this task or when the folder has no subfolders
    // (nothing ranks between its opening and its files); otherwise the subfolders go first.
    const bool readFiles =
        node->phase == Phase::Files && (began == Phase::Files || node->subfoldersFound == 0);
    if (readFiles) {
        if (!spare)
            spare = std::make_unique<Chunk>();
        Chunk& chunk = *spare;
        chunk.count = 0;
        while (chunk.count < entries && !stopping()) {
            if (int(chunk.entries.size()) == chunk.count)
                chunk.entries.emplace_back();
            if (!node->search.next(&chunk.entries[size_t(chunk.count)])) {
                node->phase = Phase::Done;
                break;
            }
            ++chunk.count;
        }
    }
    // A folder without subfolders is needed by nobody once read.
    const bool closeNow = node->phase == Phase::Done && node->subfoldersFound == 0;
    if (closeNow)
        node->search.release();

    lock.lock();
    if (stopping())
        return false; // the walk is ending: nothing more is delivered

    if (began == Phase::Open) {
        node->opened = true;
        node->error = node->search.error();
        node->path = node->search.folder();
        node->holdsFolder = node->error == 0 && !closeNow;
        if (node->holdsFolder)
            ++m_openFolders;
        Node* parent = node->parent;
        node->parent = nullptr;
        --parent->unopenedChildren;
        release(parent);
    } else if (closeNow && node->holdsFolder) {
        node->holdsFolder = false;
        --m_openFolders;
    }

    node->unopenedChildren += int(found.size());
    m_bufferedEntries += int(found.size());
    for (std::shared_ptr<Node>& child : found) {
        child->taskKey = child->key;
        m_queue.insert(child.get());
        node->subfolders.push_back(std::move(child));
    }
    if (node->phase == Phase::Files || node->phase == Phase::Done)
        node->subfoldersDone = true;
    if (readFiles && spare->count > 0) {
        m_bufferedEntries += spare->weight();
        node->files.push_back(std::move(spare));
        if (!m_spare.empty()) {
            spare = std::move(m_spare.back());
            m_spare.pop_back();
        }
    }

    if (node->phase == Phase::Done) {
        node->filesDone = true;
        node->state = State::Finished;
        release(node);
    } else {
        node->taskKey = node->key;
        node->taskKey.push_back(node->phase == Phase::Files ? kFilesRank : node->subfoldersFound);
        node->state = State::Queued;
        m_queue.insert(node);
    }
    wakeWorkers(m_maxEntries);
    return m_awaited == node;
}

// Closes a folder that is read to the end and has all its subfolders opened.
void ReadAhead::release(Node* node) {
    if (!node->holdsFolder || node->state != State::Finished || node->unopenedChildren > 0)
        return;
    node->search.release();
    node->holdsFolder = false;
    --m_openFolders;
}

void ReadAhead::recycle(std::unique_ptr<Chunk> chunk) {
    m_bufferedEntries -= chunk->weight();
    if (m_spare.size() < kSpareChunks)
        m_spare.push_back(std::move(chunk));
    // Workers waiting for room get going again once a quarter of it is free.
    wakeWorkers(m_maxEntries - m_maxEntries / 4);
}

// Makes progress on the node the walk needs: runs its task here when no worker has taken it.
// While a worker runs it, the walk reads for the next task that may run rather than sleep, and
// waits only when there is none.  False when the deadline passed.
bool ReadAhead::waitFor(Node* node, Lock& lock, Clock::time_point deadline) {
    Node* task = node;
    if (node->state != State::Queued) {
        task = m_queue.empty() ? nullptr : *m_queue.begin();
        if (task && !mayRun(task, m_maxEntries))
            task = nullptr;
        if (task && deadline != Clock::time_point::max() && Clock::now() >= deadline)
            return false;
    }
    if (task) {
        m_queue.erase(task);
        task->state = State::Running;
        lock.unlock();
        run(task, kWalkTaskEntries, m_walkSpare, lock);
        return true;
    }
    m_awaited = node;
    bool inTime = true;
    if (deadline == Clock::time_point::max())
        m_delivered.wait(lock);
    else
        inTime = m_delivered.wait_until(lock, deadline) == std::cv_status::no_timeout;
    m_awaited = nullptr;
    return inTime;
}

ReadAhead::Result ReadAhead::nextSubfolder(Cursor& cursor, Clock::time_point deadline) {
    Lock lock(m_lock);
    Node* node = cursor.node.get();
    for (;;) {
        if (!node->subfolders.empty()) {
            cursor.child = std::move(node->subfolders.front());
            node->subfolders.pop_front();
            --m_bufferedEntries;
            wakeWorkers(m_maxEntries - m_maxEntries / 4);
            return Result::Yes;
        }
        if (node->subfoldersDone)
            return Result::No;
        if (!waitFor(node, lock, deadline))
            return Result::NotYet;
    }
}

ReadAhead::Result ReadAhead::openSubfolder(Cursor& parent, Cursor* child, QString* path, int* error,
                                           Clock::time_point deadline) {
    std::shared_ptr<Node> taken;
    Lock lock(m_lock);
    Node* node = parent.child.get();
    while (!node->opened) {
        if (!waitFor(node, lock, deadline))
            return Result::NotYet;
    }
    *path = node->path;
    *error = node->error;
    taken = std::move(parent.child);
    if (node->error != 0) {
        lock.unlock();
        return Result::No; // the node goes with `taken`
    }
    child->node = std::move(taken);
    child->index = 0;
    return Result::Yes;
}

ReadAhead::Result ReadAhead::nextFile(Cursor& cursor, const platform::DirEntry** entry,
                                      Clock::time_point deadline) {
    if (cursor.chunk && cursor.index < cursor.chunk->count) {
        *entry = &cursor.chunk->entries[size_t(cursor.index++)];
        return Result::Yes;
    }
    Lock lock(m_lock);
    if (cursor.chunk)
        recycle(std::move(cursor.chunk));
    Node* node = cursor.node.get();
    for (;;) {
        if (!node->files.empty()) {
            cursor.chunk = std::move(node->files.front());
            node->files.pop_front();
            cursor.index = 1;
            *entry = &cursor.chunk->entries[0];
            return Result::Yes;
        }
        if (node->filesDone)
            return Result::No;
        if (!waitFor(node, lock, deadline))
            return Result::NotYet;
    }
}

void ReadAhead::close(Cursor& cursor) {
    std::shared_ptr<Node> node;
    std::shared_ptr<Node> child;
    {
        Lock lock(m_lock);
        if (cursor.chunk)
            recycle(std::move(cursor.chunk));
        node = std::move(cursor.node);
        child = std::move(cursor.child);
    }
    // Dropped here, outside the lock: after stop() a node may still hold what was read ahead
    // below it.
}

} // namespace scan
