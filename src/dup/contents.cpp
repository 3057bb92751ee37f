#include "dup/contents.h"

#include "platform/contentread.h"
#include "platform/filesync.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>
#include <xxhash.h>

namespace dups {

namespace {

// The sample of a file: this many bytes from its start and as many from its end.  A file of no
// more than kWholeSample bytes is read whole at once, and its sample hash is its full hash.
constexpr qint64 kSampleBytes = 4 * 1024;
constexpr qint64 kWholeSample = 4 * kSampleBytes;
// Chunk of a full read; each worker has one such buffer.
constexpr qint64 kChunkBytes = 1024 * 1024;
// How often the calling thread reports progress and polls the abort callback.
constexpr auto kPollInterval = std::chrono::milliseconds(20);

// How far a file must be read.
enum Need : quint8 { NoNeed, CheckOnly, Sample, Full };
enum State : quint8 { Fine, Failed };

// One file on disk (its names share it): what is still to be done and what is known of it.
struct Unit {
    qsizetype firstName = -1; // the input it is read through
    platform::FileIdentity identity;
    Need need = NoNeed;
    State state = Fine;
    ContentProblem::Reason reason = ContentProblem::Unreadable;
    XXH128_hash_t sample{0, 0};
    XXH128_hash_t full{0, 0};
};

using IdentityKey = std::tuple<quint64, quint64, qint64, qint64, qint64>;

IdentityKey keyOf(const platform::FileIdentity& id) {
    return {id.device, id.inode, id.size, id.modified, id.changed};
}

bool operator<(const XXH128_hash_t& a, const XXH128_hash_t& b) {
    return a.high64 != b.high64 ? a.high64 < b.high64 : a.low64 < b.low64;
}

class Engine {
public:
    Engine(const QList<ContentFile>& files, const ContentOptions& options)
        : m_files(files), m_options(options) {}

    ContentGroups run(const QList<QList<qsizetype>>& candidates);

private:
    void buildUnits(const QList<QList<qsizetype>>& candidates);
    // Splits every class by a value of its files' units; drops classes left with one name.
    template <typename Key> void split(Key key);
    void dropFailed();
    qsizetype distinctUnits(const QList<qsizetype>& names) const;
    // Reads the files the stage needs in worker threads; false when aborted.
    bool runStage(Need need);
    void readUnit(Unit& unit, Need need, std::vector<char>& buffer, XXH3_state_t* state);
    void fail(Unit& unit, ContentProblem::Reason reason, const QString& message = QString());
    bool stopping() const { return m_stop.load(std::memory_order_relaxed); }

    const QList<ContentFile>& m_files;
    const ContentOptions& m_options;
    std::vector<Unit> m_units;
    std::vector<int> m_unitOf;         // per input: its unit, or -1
    QList<QList<qsizetype>> m_classes; // names that may still hold the same bytes
    std::vector<QString> m_messages;   // per unit, only for failures
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_filesDone{0};
    std::atomic<qint64> m_bytesDone{0};
};

void Engine::buildUnits(const QList<QList<qsizetype>>& candidates) {
    const qsizetype n = m_files.size();
    m_unitOf.assign(size_t(n), -1);
    std::vector<bool> placed(size_t(n), false);
    QList<QList<qsizetype>> classes;
    if (candidates.isEmpty()) {
        QList<qsizetype> all;
        for (qsizetype i = 0; i < n; ++i)
            all.append(i);
        classes.append(all);
    } else {
        for (const QList<qsizetype>& group : candidates) {
            QList<qsizetype> names;
            for (qsizetype i : group)
                if (i >= 0 && i < n && !placed[size_t(i)]) {
                    placed[size_t(i)] = true;
                    names.append(i);
                }
            if (names.size() > 1)
                classes.append(names);
        }
    }
    std::map<IdentityKey, int> unitOfKey;
    for (const QList<qsizetype>& names : classes) {
        QList<qsizetype> kept;
        for (qsizetype i : names) {
            platform::FileIdentity id = m_files[i].identity;
            Unit unit;
            unit.firstName = i;
            if (!id.known()) {
                const platform::FileStamp stamp = platform::fileStamp(m_files[i].path);
                id = stamp.identity();
                if (!id.known() || stamp.kind != platform::FileKind::Regular) {
                    // Not a regular file: reported once, through a unit of its own.
                    unit.state = Failed;
                    unit.reason = ContentProblem::Unreadable;
                    m_unitOf[size_t(i)] = int(m_units.size());
                    m_units.push_back(unit);
                    m_messages.emplace_back(stamp.kind == platform::FileKind::Missing
                                                ? QStringLiteral("No such file or directory")
                                                : QStringLiteral("not a regular file"));
                    continue;
                }
            }
            unit.identity = id;
            const auto [it, added] = unitOfKey.emplace(keyOf(id), int(m_units.size()));
            if (added) {
                m_units.push_back(unit);
                m_messages.emplace_back();
            }
            m_unitOf[size_t(i)] = it->second;
            kept.append(i);
        }
        if (kept.size() > 1)
            m_classes.append(kept);
    }
}

template <typename Key> void Engine::split(Key key) {
    QList<QList<qsizetype>> out;
    for (QList<qsizetype>& names : m_classes) {
        std::stable_sort(names.begin(), names.end(), [&](qsizetype a, qsizetype b) {
            return key(m_units[size_t(m_unitOf[size_t(a)])]) <
                   key(m_units[size_t(m_unitOf[size_t(b)])]);
        });
        qsizetype start = 0;
        for (qsizetype i = 1; i <= names.size(); ++i) {
            const auto& first = m_units[size_t(m_unitOf[size_t(names[start])])];
            if (i < names.size()) {
                const auto& here = m_units[size_t(m_unitOf[size_t(names[i])])];
                if (!(key(first) < key(here)) && !(key(here) < key(first)))
                    continue;
            }
            if (i - start > 1)
                out.append(names.mid(start, i - start));
            start = i;
        }
    }
    m_classes = std::move(out);
}

void Engine::dropFailed() {
    QList<QList<qsizetype>> out;
    for (const QList<qsizetype>& names : m_classes) {
        QList<qsizetype> kept;
        for (qsizetype i : names)
            if (m_units[size_t(m_unitOf[size_t(i)])].state == Fine)
                kept.append(i);
        if (kept.size() > 1)
            out.append(kept);
    }
    m_classes = std::move(out);
}

qsizetype Engine::distinctUnits(const QList<qsizetype>& names) const {
    std::vector<int> units;
    units.reserve(size_t(names.size()));
    for (qsizetype i : names)
        units.push_back(m_unitOf[size_t(i)]);
    std::sort(units.begin(), units.end());
    return std::unique(units.begin(), units.end()) - units.begin();
}

void Engine::fail(Unit& unit, ContentProblem::Reason reason, const QString& message) {
    unit.state = Failed;
    unit.reason = reason;
    m_messages[size_t(&unit - m_units.data())] = message;
}

void Engine::readUnit(Unit& unit, Need need, std::vector<char>& buffer, XXH3_state_t* state) {
    platform::ContentFile file;
    const QString& path = m_files[unit.firstName].path;
    const platform::FileResult opened = file.open(path, unit.identity);
    if (!opened) {
        fail(unit,
             opened.status == platform::FileResult::Changed ? ContentProblem::ChangedSinceListed
                                                            : ContentProblem::Unreadable,
             opened.message);
        return;
    }
    const qint64 size = unit.identity.size;
    QString error;
    qint64 expected = 0, got = 0;
    if (need == Sample) {
        if (size <= kWholeSample) {
            expected = size;
            got = size > 0 ? file.read(0, buffer.data(), size, &error) : 0;
        } else {
            expected = 2 * kSampleBytes;
            got = file.read(0, buffer.data(), kSampleBytes, &error);
            if (got == kSampleBytes) {
                const qint64 tail = file.read(size - kSampleBytes, buffer.data() + kSampleBytes,
                                              kSampleBytes, &error);
                got = tail < 0 ? -1 : got + tail;
            }
        }
        if (got >= 0)
            m_bytesDone += got;
        if (got == expected) {
            unit.sample = XXH3_128bits(buffer.data(), size_t(got));
            if (size <= kWholeSample)
                unit.full = unit.sample;
        }
    } else if (need == Full) {
        file.readsSequentially();
        XXH3_128bits_reset(state);
        expected = size;
        while (got < size && !stopping()) {
            const qint64 part =
                file.read(got, buffer.data(), std::min(kChunkBytes, size - got), &error);
            if (part <= 0) {
                if (part == 0)
                    break;
                got = -1;
                break;
            }
            XXH3_128bits_update(state, buffer.data(), size_t(part));
            got += part;
            m_bytesDone += part;
        }
        if (stopping())
            return;
        if (got == expected)
            unit.full = XXH3_128bits_digest(state);
    }
    // Identity after the read: a file written to meanwhile has new times (or a new size), and
    // what was read of it may be a mix of old and new bytes.
    if (!file.unchanged())
        fail(unit, ContentProblem::ChangedWhileRead);
    else if (got < 0)
        fail(unit, ContentProblem::Unreadable, error);
    else if (got != expected)
        fail(unit, ContentProblem::Unreadable,
             QStringLiteral("only %1 of its %2 bytes could be read").arg(got).arg(size));
    ++m_filesDone;
}

bool Engine::runStage(Need need) {
    // The sample stage also checks files that only need checking; the full stage reads the
    // files that still look like others after their samples.
    std::vector<size_t> jobs;
    for (size_t u = 0; u < m_units.size(); ++u)
        if (m_units[u].state == Fine &&
            (need == Full ? m_units[u].need == Full : m_units[u].need >= CheckOnly))
            jobs.push_back(u);
    // In the order of the disk as far as the inode numbers tell it.
    std::sort(jobs.begin(), jobs.end(), [this](size_t a, size_t b) {
        return std::make_pair(m_units[a].identity.device, m_units[a].identity.inode) <
               std::make_pair(m_units[b].identity.device, m_units[b].identity.inode);
    });
    const auto poll = [this] {
        if ((m_options.abort && m_options.abort()) ||
            (m_options.abortFlag && m_options.abortFlag->load()))
            m_stop = true;
        if (m_options.progress)
            m_options.progress({m_filesDone.load(), m_bytesDone.load()});
    };
    poll();
    if (stopping())
        return false;
    std::atomic<size_t> next{0};
    std::mutex mutex;
    std::condition_variable done;
    int running = std::max(1, std::min<int>(m_options.threads, int(jobs.size())));
    const int workers = running;
    std::vector<std::thread> threads;
    for (int t = 0; t < workers; ++t)
        threads.emplace_back([&, need] {
            std::vector<char> buffer(size_t(need == Full ? kChunkBytes : kWholeSample));
            XXH3_state_t* state = need == Full ? XXH3_createState() : nullptr;
            for (size_t j; !stopping() && (j = next++) < jobs.size();) {
                Unit& unit = m_units[jobs[j]];
                readUnit(unit, unit.need == CheckOnly ? CheckOnly : need, buffer, state);
            }
            if (state)
                XXH3_freeState(state);
            std::lock_guard<std::mutex> lock(mutex);
            --running;
            done.notify_all();
        });
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (running > 0) {
            done.wait_for(lock, kPollInterval);
            lock.unlock();
            poll();
            lock.lock();
        }
    }
    for (std::thread& t : threads)
        t.join();
    return !stopping();
}

ContentGroups Engine::run(const QList<QList<qsizetype>>& candidates) {
    ContentGroups out;
    buildUnits(candidates);
    split([](const Unit& u) { return u.identity.size; });

    // A class of names of one file only needs the file checked; others need samples.
    const auto mark = [this](Need need) {
        for (const QList<qsizetype>& names : m_classes) {
            const Need here = distinctUnits(names) > 1 ? need : CheckOnly;
            for (qsizetype i : names) {
                Unit& unit = m_units[size_t(m_unitOf[size_t(i)])];
                unit.need = std::max(unit.need, here);
            }
        }
    };
    mark(Sample);
    bool finished = runStage(Sample);
    if (finished) {
        dropFailed();
        split([](const Unit& u) { return u.sample; });
        for (Unit& unit : m_units)
            if (unit.need == Sample && unit.identity.size > kWholeSample)
                unit.need = NoNeed; // may become Full below
        for (const QList<qsizetype>& names : m_classes) {
            if (distinctUnits(names) < 2)
                continue;
            for (qsizetype i : names) {
                Unit& unit = m_units[size_t(m_unitOf[size_t(i)])];
                if (unit.identity.size > kWholeSample)
                    unit.need = Full;
            }
        }
        finished = runStage(Full);
    }
    if (finished) {
        dropFailed();
        // Equal XXH3-128 hashes of equal-sized files are taken as equal contents: a chance
        // collision of a 128-bit hash is far less likely than a fault of the disk or memory.
        split([](const Unit& u) { return u.full; });
        for (QList<qsizetype>& names : m_classes) {
            std::sort(names.begin(), names.end());
            out.groups.append(names);
        }
        std::sort(out.groups.begin(), out.groups.end(),
                  [](const QList<qsizetype>& a, const QList<qsizetype>& b) {
                      return a.first() < b.first();
                  });
    }
    out.aborted = !finished;
    for (qsizetype i = 0; i < m_files.size(); ++i) {
        const int u = m_unitOf[size_t(i)];
        if (u >= 0 && m_units[size_t(u)].state == Failed)
            out.problems.append({i, m_units[size_t(u)].reason, m_messages[size_t(u)]});
    }
    return out;
}

} // namespace

ContentGroups groupByContents(const QList<ContentFile>& files,
                              const QList<QList<qsizetype>>& candidates,
                              const ContentOptions& options) {
    Engine engine(files, options);
    return engine.run(candidates);
}

bool sameContents(const ContentFile& a, const ContentFile& b) {
    ContentOptions options;
    options.threads = 2;
    const ContentGroups result = groupByContents({a, b}, {}, options);
    return result.problems.isEmpty() && result.groups.size() == 1;
}

} // namespace dups
