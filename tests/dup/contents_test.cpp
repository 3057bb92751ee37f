#include "dup/contents.h"
#include "dup/contentsearch.h"
#include "platform/contentread.h"
#include "platform/filesync.h"
#include "support/sandbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QThread>
#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace dups;

namespace {

// Removes the read fault when a test ends, however it ends.
struct ReadFault {
    explicit ReadFault(platform::FaultHook hook) { platform::setContentReadFault(std::move(hook)); }
    ~ReadFault() { platform::setContentReadFault(nullptr); }
};

ContentFile listed(const QString& path) {
    return {path, platform::fileStamp(path).identity()};
}

// Equal files of 256 MiB, sparse so that nothing is written, to be read slowly.
QList<ContentFile> bigEqualFiles(SandboxWorld& world, int count) {
    QList<ContentFile> files;
    for (int i = 0; i < count; ++i) {
        const QString path = world.makeFile(QStringLiteral("c/big%1").arg(i));
        QFile f(path);
        EXPECT_TRUE(f.resize(256LL * 1024 * 1024));
        files.append(listed(path));
    }
    return files;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

void appendByte(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    ASSERT_EQ(f.write("!", 1), 1);
}

QByteArray randomBytes(std::mt19937& rng, qsizetype size) {
    QByteArray out(size, '\0');
    for (char& c : out)
        c = char(rng() & 0xff);
    return out;
}

using Groups = QList<QList<qsizetype>>;

QSet<qsizetype> problemFiles(const ContentGroups& result) {
    QSet<qsizetype> out;
    for (const ContentProblem& p : result.problems)
        out.insert(p.file);
    return out;
}

const ContentProblem* problemOf(const ContentGroups& result, qsizetype file) {
    for (const ContentProblem& p : result.problems)
        if (p.file == file)
            return &p;
    return nullptr;
}

} // namespace

// Random trees of files that look alike in every way the engine narrows by - equal sizes with
// different bytes, equal first and last blocks with a different middle, copies, hard links,
// empty files, FIFOs, files rewritten after they were listed and files written to while they
// are read - grouped by the engine and by a plain comparison of the bytes.
TEST(ContentGroups, MatchPlainByteComparisonOnRandomTrees) {
    int changedWhileRead = 0, changedSinceListed = 0, unreadable = 0, links = 0;
    for (unsigned seed = 1; seed <= 24; ++seed) {
        SCOPED_TRACE(seed);
        SandboxWorld world;
        std::mt19937 rng(seed);
        const QString dir = world.makeDir("c/tree");
        const qsizetype sizes[] = {0, 1, 7, 4096, 8191, 8192, 16384, 16385, 40000, 1200000};
        enum Kind { Plain, Fifo, ChangeAfterListing, ChangeWhileReading };
        struct Made {
            QString path;
            Kind kind = Plain;
        };
        QList<Made> made;
        QList<qsizetype> plain; // files whose bytes later files may copy
        const int count = 12 + int(rng() % 30);
        for (int i = 0; i < count; ++i) {
            const QString path = dir + QStringLiteral("/f%1").arg(i);
            const unsigned roll = rng() % 100;
            Made m{path, Plain};
            if (roll < 5) {
                ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
                m.kind = Fifo;
            } else if (roll < 15 && !plain.isEmpty()) {
                const QString from = made[plain[qsizetype(rng() % plain.size())]].path;
                ASSERT_EQ(::link(QFile::encodeName(from).constData(),
                                 QFile::encodeName(path).constData()),
                          0);
                ++links;
            } else if (roll < 55 && !plain.isEmpty()) {
                // A copy of an earlier file, maybe with one byte changed: at the start, the end
                // or in the middle (where no sample looks).
                QByteArray bytes =
                    SandboxWorld::readBytes(made[plain[qsizetype(rng() % plain.size())]].path);
                if (!bytes.isEmpty() && rng() % 2) {
                    const unsigned where = rng() % 3;
                    const qsizetype at = where == 0   ? 0
                                         : where == 1 ? bytes.size() - 1
                                                      : bytes.size() / 2;
                    bytes[at] = char(bytes[at] ^ (1 + rng() % 255));
                }
                writeBytes(path, bytes);
                const unsigned twist = rng() % 10;
                m.kind = twist == 0 ? ChangeAfterListing : twist == 1 ? ChangeWhileReading : Plain;
            } else {
                writeBytes(path, randomBytes(rng, sizes[rng() % std::size(sizes)]));
            }
            if (m.kind == Plain && roll >= 5)
                plain.append(made.size());
            made.append(m);
        }
        // The listing, after every name exists (a new link changes its file's change time).
        QList<ContentFile> files;
        for (const Made& m : made)
            files.append(listed(m.path));
        for (const Made& m : made)
            if (m.kind == ChangeAfterListing) {
                // Either another size, or the same size with a time put back as cp -p would.
                const QByteArray old = SandboxWorld::readBytes(m.path);
                if (old.isEmpty() || rng() % 2) {
                    appendByte(m.path);
                } else {
                    QByteArray bytes = old;
                    bytes[0] = char(bytes[0] ^ 1);
                    writeBytes(m.path, bytes);
                    ASSERT_TRUE(platform::setFileTimes(m.path, 1600000000));
                }
            }
        // Candidate groups now and then: a random partition, as a criterion would give.
        Groups candidates;
        if (seed % 3 == 0) {
            candidates.resize(3);
            for (qsizetype i = 0; i < files.size(); ++i)
                if (rng() % 8)
                    candidates[qsizetype(rng() % 3)].append(i);
        }
        // The model: the bytes of every file that stays as it was, compared whole.
        QMap<qsizetype, QByteArray> bytes;
        for (qsizetype i = 0; i < made.size(); ++i)
            if (made[i].kind == Plain)
                bytes[i] = SandboxWorld::readBytes(made[i].path);
        Groups expected;
        const Groups classes = candidates.isEmpty() ? Groups{bytes.keys()} : candidates;
        for (const QList<qsizetype>& names : classes) {
            QMap<QByteArray, QList<qsizetype>> byContent;
            for (qsizetype i : names)
                if (bytes.contains(i))
                    byContent[bytes[i]].append(i);
            for (QList<qsizetype>& g : byContent)
                if (g.size() > 1) {
                    std::sort(g.begin(), g.end());
                    expected.append(g);
                }
        }
        std::sort(expected.begin(), expected.end(),
                  [](const auto& a, const auto& b) { return a.first() < b.first(); });

        std::mutex mutex;
        QSet<QString> rewritten;
        QSet<QString> toRewrite;
        for (const Made& m : made)
            if (m.kind == ChangeWhileReading)
                toRewrite.insert(m.path);
        ReadFault fault([&](const QString& path) {
            std::lock_guard<std::mutex> lock(mutex);
            if (toRewrite.contains(path) && !rewritten.contains(path)) {
                rewritten.insert(path);
                appendByte(path);
            }
            return 0;
        });
        ContentOptions options;
        options.threads = 1 + int(seed % 4);
        const ContentGroups result = groupByContents(files, candidates, options);

        EXPECT_FALSE(result.aborted);
        EXPECT_EQ(result.groups, expected);
        for (const ContentProblem& p : result.problems) {
            ASSERT_GE(p.file, 0);
            ASSERT_LT(p.file, made.size());
            const Kind kind = made[p.file].kind;
            EXPECT_NE(kind, Plain) << p.file << " " << p.message.toStdString();
            if (kind == Fifo) {
                EXPECT_EQ(p.reason, ContentProblem::Unreadable);
                ++unreadable;
            } else if (kind == ChangeAfterListing) {
                EXPECT_EQ(p.reason, ContentProblem::ChangedSinceListed);
                ++changedSinceListed;
            } else if (kind == ChangeWhileReading) {
                EXPECT_EQ(p.reason, ContentProblem::ChangedWhileRead);
                ++changedWhileRead;
            }
        }
        // A file that was read while it changed is reported.
        for (qsizetype i = 0; i < made.size(); ++i)
            if (rewritten.contains(made[i].path)) {
                EXPECT_TRUE(problemFiles(result).contains(i)) << i;
            }
    }
    // Every kind of trouble came up somewhere.
    EXPECT_GT(changedWhileRead, 0);
    EXPECT_GT(changedSinceListed, 0);
    EXPECT_GT(unreadable, 0);
    EXPECT_GT(links, 0);
}

TEST(ContentGroups, EmptyFilesAreEqualOnlyToEmptyFiles) {
    SandboxWorld world;
    const QList<ContentFile> files = {listed(world.makeFile("c/a")), listed(world.makeFile("c/b")),
                                      listed(world.makeFile("c/c", "x")),
                                      listed(world.makeFile("c/d", "y")),
                                      listed(world.makeFile("c/e"))};
    std::atomic<int> reads{0};
    ReadFault fault([&](const QString&) {
        ++reads;
        return 0;
    });
    const ContentGroups result = groupByContents(files, {}, {});
    EXPECT_EQ(result.groups, (Groups{{0, 1, 4}}));
    EXPECT_TRUE(result.problems.isEmpty());
    // "x" and "y" are sampled; the empty files are not read at all.
    EXPECT_EQ(reads, 2);
}

TEST(ContentGroups, NamesOfOneFileAreReadOnce) {
    SandboxWorld world;
    std::mt19937 rng(7);
    const QByteArray big = randomBytes(rng, 3 * 1024 * 1024 + 5);
    const QString a = world.makeFile("c/a", big);
    const QString b = world.path("c/b");
    ASSERT_EQ(::link(QFile::encodeName(a).constData(), QFile::encodeName(b).constData()), 0);
    const QString c = world.makeFile("c/c", big);
    const QList<ContentFile> files = {listed(a), listed(b), listed(c)};
    QStringList readPaths;
    std::mutex mutex;
    ReadFault fault([&](const QString& path) {
        std::lock_guard<std::mutex> lock(mutex);
        readPaths.append(path);
        return 0;
    });
    const ContentGroups result = groupByContents(files, {}, {});
    EXPECT_EQ(result.groups, (Groups{{0, 1, 2}}));
    EXPECT_FALSE(readPaths.contains(b));
    EXPECT_TRUE(readPaths.contains(a));
    EXPECT_TRUE(readPaths.contains(c));
}

TEST(ContentGroups, FileRewrittenAfterListingIsReportedAndInNoGroup) {
    SandboxWorld world;
    const QByteArray bytes(50000, 'q');
    const QList<ContentFile> files = {listed(world.makeFile("c/a", bytes)),
                                      listed(world.makeFile("c/b", bytes)),
                                      listed(world.makeFile("c/c", bytes))};
    // Same size and same bytes, its time of last write put back: only the change time tells.
    const qint64 modified = files[1].identity.modified / 1000000000;
    ASSERT_TRUE(platform::setFileTimes(files[1].path, modified));
    writeBytes(files[1].path, bytes);
    ASSERT_TRUE(platform::setFileTimes(files[1].path, modified));
    ContentFile missing = listed(world.makeFile("c/d", bytes));
    QFile::remove(missing.path);
    QList<ContentFile> all = files;
    all.append(missing);
    const ContentGroups result = groupByContents(all, {}, {});
    EXPECT_EQ(result.groups, (Groups{{0, 2}}));
    ASSERT_EQ(result.problems.size(), 2);
    EXPECT_EQ(problemOf(result, 1)->reason, ContentProblem::ChangedSinceListed);
    EXPECT_EQ(problemOf(result, 3)->reason, ContentProblem::ChangedSinceListed);
}

TEST(ContentGroups, UnreadableFilesAreReportedAndEqualToNothing) {
    SandboxWorld world;
    const QByteArray bytes(30000, 'u');
    const QString fifo = world.path("c/fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = world.makeDir("c/folder");
    const QList<ContentFile> files = {listed(world.makeFile("c/a", bytes)),
                                      listed(world.makeFile("c/b", bytes)),
                                      listed(world.makeFile("c/bad", bytes)),
                                      {fifo, {}},
                                      {folder, {}},
                                      listed(world.makeFile("c/e")),
                                      {world.path("c/none"), {}}};
    ReadFault fault([](const QString& path) { return path.endsWith("/bad") ? EIO : 0; });
    const ContentGroups result = groupByContents(files, {}, {});
    EXPECT_EQ(result.groups, (Groups{{0, 1}}));
    ASSERT_EQ(problemFiles(result), (QSet<qsizetype>{2, 3, 4, 6}));
    for (const ContentProblem& p : result.problems)
        EXPECT_EQ(p.reason, ContentProblem::Unreadable) << p.file;
    EXPECT_FALSE(problemOf(result, 2)->message.isEmpty());
}

TEST(ContentGroups, CandidateGroupsAreComparedApart) {
    SandboxWorld world;
    const QList<ContentFile> files = {
        listed(world.makeFile("c/a", "same")), listed(world.makeFile("c/b", "same")),
        listed(world.makeFile("c/c", "same")), listed(world.makeFile("c/d", "same"))};
    const ContentGroups result = groupByContents(files, {{0, 2}, {1}, {3, 1}}, {});
    EXPECT_EQ(result.groups, (Groups{{0, 2}}));
}

TEST(ContentGroups, AbortStopsQuicklyAndClaimsNoGroups) {
    SandboxWorld world;
    const QList<ContentFile> files = bigEqualFiles(world, 4);
    // Every chunk takes 50 ms: read to the end, the files would take over ten seconds.
    ReadFault fault([](const QString&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return 0;
    });
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::time_point asked{};
    ContentOptions options;
    qint64 bytesSeen = 0;
    options.progress = [&](const ContentProgress& p) { bytesSeen = p.bytesDone; };
    options.abort = [&] {
        if (asked == Clock::time_point{} && Clock::now() - start > std::chrono::milliseconds(300))
            asked = Clock::now();
        return asked != Clock::time_point{};
    };
    const ContentGroups result = groupByContents(files, {}, options);
    const auto late = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked);
    EXPECT_TRUE(result.aborted);
    EXPECT_TRUE(result.groups.isEmpty());
    EXPECT_TRUE(result.problems.isEmpty());
    EXPECT_GT(bytesSeen, 0);
    // The engine stops between chunks; the bound is loose on purpose (a loaded or instrumented
    // build is slow), and still far below a run read to its end.
    EXPECT_LT(late.count(), 3000);
}

TEST(ContentGroups, AbortFlagSetBeforehandStopsAtOnce) {
    SandboxWorld world;
    const QList<ContentFile> files = {listed(world.makeFile("c/a", "1")),
                                      listed(world.makeFile("c/b", "1"))};
    std::atomic<bool> stop{true};
    ContentOptions options;
    options.abortFlag = &stop;
    const ContentGroups result = groupByContents(files, {}, options);
    EXPECT_TRUE(result.aborted);
    EXPECT_TRUE(result.groups.isEmpty());
}

TEST(ContentSearch, ReportsBySignalsOnItsThread) {
    SandboxWorld world;
    const QList<ContentFile> files = {listed(world.makeFile("c/a", "same")),
                                      listed(world.makeFile("c/b", "same")),
                                      listed(world.makeFile("c/c", "else"))};
    ContentSearch search;
    bool done = false;
    ContentGroups got;
    QObject::connect(&search, &ContentSearch::finished, [&](const ContentGroups& result) {
        EXPECT_EQ(QThread::currentThread(), search.thread());
        got = result;
        done = true;
    });
    ASSERT_TRUE(search.start(files));
    EXPECT_FALSE(search.start(files));
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(done);
    EXPECT_FALSE(search.running());
    EXPECT_EQ(got.groups, (Groups{{0, 1}}));
    EXPECT_TRUE(search.start(files)); // again, then destroyed while it may still run
}

TEST(ContentSearch, AbortEndsTheRunWithFinished) {
    SandboxWorld world;
    const QList<ContentFile> files = bigEqualFiles(world, 2);
    ReadFault fault([](const QString&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return 0;
    });
    ContentSearch search;
    int progressed = 0;
    std::optional<ContentGroups> got;
    QObject::connect(&search, &ContentSearch::progress, [&] { ++progressed; });
    QObject::connect(&search, &ContentSearch::finished,
                     [&](const ContentGroups& result) { got = result; });
    ASSERT_TRUE(search.start(files));
    QElapsedTimer timer;
    timer.start();
    while (progressed < 3 && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    search.abort();
    while (!got && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(got.has_value());
    EXPECT_TRUE(got->aborted);
    EXPECT_TRUE(got->groups.isEmpty());
}
