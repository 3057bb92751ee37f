#pragma once

#include "platform/dirsearch.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

// Reading ahead of a walk: worker threads open, list and examine the folders of one tree
// before the walk gets to them, and the walk (in its own thread) takes what they found folder
// by folder, in the order it would have read it itself.
//
// Every folder is a node.  Reading a node is cut into tasks of at most a few hundred entries:
// opening it in its parent together with the first of its subfolders, more subfolders, and its
// files (the entries that pass the walk's pattern and mask) a chunk at a time.  One task of a
// node runs at a time, in any thread.  Waiting tasks are taken in the walk's order: a node's
// position is the list of subfolder numbers from the root, so the folders the walk enters
// first and the files it reaches first are read first, and a folder's files (which the walk
// reaches after everything below it) rank after its last subfolder.
//
// Two limits bound the work done ahead, whatever the size of the tree: the folders held open
// (a folder stays open until its entries are read and its subfolders opened in it) and the
// entries read but not yet taken by the walk.  Workers wait when either is reached.  The walk
// itself never waits for a task that no worker has taken: it runs that task in its own thread,
// so it always gets on, with no limit applying to it.  While a worker reads what the walk needs,
// the walk's thread takes the next task that may run (a short one) rather than sleep.
//
// Nothing is shared but the queue: the workers touch no callback and no tool state, and the
// walk's abort flag stays in the walk's thread, which calls stop().
namespace scan {

class ReadAhead {
public:
    struct Node;
    struct Chunk;

    // What the walk holds of one folder it delivers.
    struct Cursor {
        Cursor();
        ~Cursor();
        Cursor(const Cursor&) = delete;
        Cursor& operator=(const Cursor&) = delete;

        std::shared_ptr<Node> node;   // the folder
        std::shared_ptr<Node> child;  // the subfolder taken last, until it is opened
        std::unique_ptr<Chunk> chunk; // the files being delivered
        int index = 0;                // the next of them
    };

    enum class Result { Yes, No, NotYet };
    using Clock = std::chrono::steady_clock;

    // `workers` threads besides the walk's own (0: the walk reads everything itself).
    ReadAhead(int workers, int maxFolders, int maxEntries, const platform::WildcardPattern& pattern,
              quint32 mask);
    // Stops the workers and waits for them.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Opens the root of the tree in the calling thread and sets the workers going.  False (with
    // the system's error number) when it cannot be opened.
    bool start(const QString& root, Cursor* cursor, int* error);

    // The calls of the walk, in the order a one-thread walk reads a folder: the subfolders one by
    // one, each opened right after it was taken, then the files.  Each waits at most until the
    // deadline (NotYet when it passed with nothing to deliver).
    //
    // The next subfolder of the folder; No after the last.
    Result nextSubfolder(Cursor& cursor, Clock::time_point deadline);
    // Opens the subfolder taken last: Yes with the child's cursor, or No with the system's error
    // number.  The path is the subfolder's either way.
    Result openSubfolder(Cursor& parent, Cursor* child, QString* path, int* error,
                         Clock::time_point deadline);
    // The next file of the folder; valid until the next call on this cursor.
    Result nextFile(Cursor& cursor, const platform::DirEntry** entry, Clock::time_point deadline);
    // The walk is done with the folder.
    void close(Cursor& cursor);

    // Stops the workers and waits for them; nothing is read after that.  The walk then only
    // closes its cursors.  Returns within one system call of each worker.
    void stop();

private:
    struct ByTaskKey {
        bool operator()(const Node* a, const Node* b) const;
    };
    using Lock = std::unique_lock<std::mutex>;

    void work();
    bool run(Node* node, int entries, std::unique_ptr<Chunk>& spare, Lock& lock);
    bool waitFor(Node* node, Lock& lock, Clock::time_point deadline);
    void release(Node* node);
    void recycle(std::unique_ptr<Chunk> chunk);
    void wakeWorkers(int below);
    bool mayRun(const Node* node, int entryLimit) const;
    bool stopping() const { return m_stop.load(std::memory_order_relaxed); }

    const int m_maxFolders;
    const int m_maxEntries;
    const platform::WildcardPattern m_pattern;
    const quint32 m_mask;

    std::mutex m_lock;
    std::condition_variable m_work;      // workers wait here for a task or for room
    std::condition_variable m_delivered; // the walk waits here for m_awaited
    std::set<Node*, ByTaskKey> m_queue;  // tasks waiting, in the walk's order
    std::vector<std::unique_ptr<Chunk>> m_spare;
    std::unique_ptr<Chunk> m_walkSpare; // the chunk for tasks the walk runs itself
    Node* m_awaited = nullptr;
    int m_openFolders = 0;
    int m_bufferedEntries = 0;
    int m_idle = 0;
    std::atomic<bool> m_stop{false};
    int m_workerCount;
    std::vector<std::thread> m_threads;
};

} // namespace scan
