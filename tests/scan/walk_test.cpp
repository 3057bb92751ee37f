#include "platform/dirsearch.h"
#include "platform/names.h"
#include "scan/walk.h"
#include "support/entrybuilders.h"
#include "support/sandbox.h"

#include <QFile>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

using namespace platform;
using scan::Walker;
using scan::WalkFolder;

namespace {

// Records what a walk does as lines "enter F", "file F/name", "leave F" (or "leave! F" for a
// folder left unfinished), F relative to the root ("." for the root itself).
struct Recorder {
    explicit Recorder(Walker& walker, const QString& root) : root(root) {
        auto& cb = walker.callbacks();
        cb.enterFolder = [this](const WalkFolder& f) { events << "enter " + rel(f.path); };
        cb.file = [this](const WalkFolder& f, const DirEntry& e) {
            events << "file " + rel(f.path) + "/" + e.name;
            attributes.insert(rel(f.path) + "/" + e.name, e.attributes);
        };
        cb.leaveFolder = [this](const WalkFolder& f, bool complete) {
            events << (complete ? "leave " : "leave! ") + rel(f.path);
        };
        cb.folderSkipped = [this](const QString& path, const QString& reason) {
            skipped << rel(path) + ": " + reason;
        };
    }

    QString rel(const QString& path) const {
        if (path == root)
            return ".";
        return path.mid(root.size() + 1);
    }

    // The entries after the given prefix ("file ", "enter ").
    QSet<QString> withPrefix(const QString& prefix) const {
        QSet<QString> out;
        for (const QString& e : events) {
            if (e.startsWith(prefix))
                out.insert(e.mid(prefix.size()));
        }
        return out;
    }

    QString root;
    QStringList events;
    QStringList skipped;
    QHash<QString, quint32> attributes;
};

QString parentOf(const QString& rel) {
    const qsizetype slash = rel.lastIndexOf('/');
    return slash < 0 ? QStringLiteral(".") : rel.left(slash);
}

// The walk's order: every folder is entered inside its parent and before the parent's own
// files; a folder's files come after all of its subfolders were left; enter and leave nest.
void expectPostOrder(const QStringList& events) {
    struct Open {
        QString folder;
        bool filesBegun;
    };
    QList<Open> stack;
    for (const QString& e : events) {
        const QString what = e.section(' ', 0, 0);
        const QString arg = e.section(' ', 1);
        if (what == "enter") {
            if (!stack.isEmpty()) {
                ASSERT_EQ(parentOf(arg), stack.last().folder) << e.toStdString();
                ASSERT_FALSE(stack.last().filesBegun)
                    << "subfolder after files: " << e.toStdString();
            }
            stack.append({arg, false});
        } else if (what == "file") {
            ASSERT_FALSE(stack.isEmpty());
            ASSERT_EQ(parentOf(arg), stack.last().folder) << e.toStdString();
            stack.last().filesBegun = true;
        } else {
            ASSERT_FALSE(stack.isEmpty());
            ASSERT_EQ(arg, stack.last().folder) << e.toStdString();
            stack.removeLast();
        }
    }
    EXPECT_TRUE(stack.isEmpty());
}

// A drive C with visible, hidden, read-only and system entries and links that would loop.
// Each test runs with the walk reading in the caller's thread and with threads reading ahead.
class WalkWorld : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        c = world.path("c");
        world.makeFile("c/top.txt", "t");
        world.makeFile("c/.hidden.txt", "h");
        world.makeFile("c/locked.txt", "r");
        QFile::setPermissions(c + "/locked.txt", QFile::ReadOwner);
        world.makeFile("c/a/a1.txt", "1");
        world.makeFile("c/a/A2.TXT", "22");
        world.makeFile("c/a/notes.doc", "333");
        world.makeFile("c/a/aa/deep.txt", "4444");
        world.makeFile("c/a/.cache/inside.txt", "x");
        world.makeFile("c/a/.cache/more/below.txt", "x");
        world.makeFile("c/b/b.txt", "b");
        ASSERT_TRUE(scantest::makeFifo(c + "/b/pipe"));
        ASSERT_TRUE(scantest::makeLink(c + "/top.txt", c + "/b/filelink"));
        ASSERT_TRUE(scantest::makeLink(c, c + "/b/loop")); // back to the root
        ASSERT_TRUE(scantest::makeLink(c + "/a", c + "/b/dirlink"));
        ASSERT_TRUE(scantest::makeLink(c + "/b/y", c + "/b/x")); // x -> y -> x
        ASSERT_TRUE(scantest::makeLink(c + "/b/x", c + "/b/y"));
        world.makeDir("c/empty");
        world.makeFile("c/odd name (1)/x.txt", "x");
    }

    void TearDown() override { clearOpenFaults(); }

    // Every walker of a test reads with the test's threads.
    void use(Walker& walker) const { walker.setThreadCount(GetParam()); }

    SandboxWorld world;
    QString c;
    bool abort = false;
};

const QSet<QString> kVisibleFiles = {"./top.txt", "./locked.txt",      "a/a1.txt",
                                     "a/A2.TXT",  "a/notes.doc",       "a/aa/deep.txt",
                                     "b/b.txt",   "odd name (1)/x.txt"};
const QSet<QString> kWalkedFolders = {".", "a", "a/aa", "b", "empty", "odd name (1)"};

} // namespace

TEST_P(WalkWorld, PostOrderOverVisibleFoldersAndFiles) {
    Walker walker(abort);
    use(walker);
    Recorder rec(walker, c);
    ASSERT_TRUE(walker.walkTree(c));

    expectPostOrder(rec.events);
    EXPECT_EQ(rec.withPrefix("file "), kVisibleFiles);
    EXPECT_EQ(rec.withPrefix("enter "), kWalkedFolders); // no hidden folder, no link followed
    EXPECT_EQ(rec.withPrefix("leave "), kWalkedFolders);
    EXPECT_EQ(rec.events.count("enter b"), 1);
    EXPECT_EQ(rec.events.first(), "enter .");
    EXPECT_EQ(rec.events.last(), "leave .");
    EXPECT_EQ(walker.fileCount(), kVisibleFiles.size());
    EXPECT_EQ(rec.attributes.value("./locked.txt"), quint32(faArchive | faReadOnly));
    EXPECT_EQ(rec.attributes.value("./top.txt"), quint32(faArchive));
    EXPECT_TRUE(rec.skipped.isEmpty());

    // The counter goes on over walks until reset.
    walker.walkTree(c + "/a");
    EXPECT_EQ(walker.fileCount(), kVisibleFiles.size() + 4);
    walker.resetFileCount();
    EXPECT_EQ(walker.fileCount(), 0);
}

TEST_P(WalkWorld, PatternChoosesFilesInFoldersOfAnyName) {
    for (const char* pattern : {"*.txt", "*.TXT"}) {
        Walker walker(abort);
        use(walker);
        walker.setPattern(pattern);
        Recorder rec(walker, c);
        walker.walkTree(c);
        EXPECT_EQ(rec.withPrefix("file "),
                  QSet<QString>(kVisibleFiles) - QSet<QString>{"a/notes.doc"})
            << pattern;
        EXPECT_EQ(rec.withPrefix("enter "), kWalkedFolders) << pattern;
    }
}

TEST_P(WalkWorld, AnyFileMaskShowsEveryEntryButEntersNoHiddenFolder) {
    Walker walker(abort);
    use(walker);
    walker.setFileMask(faAnyFile);
    Recorder rec(walker, c);
    walker.walkTree(c);
    expectPostOrder(rec.events);
    const QSet<QString> files = rec.withPrefix("file ");
    for (const char* seen : {"./.hidden.txt", "./a", "a/.cache", "b/pipe", "b/loop", "b/x"})
        EXPECT_TRUE(files.contains(seen)) << seen;
    EXPECT_EQ(rec.attributes.value("a/.cache"), quint32(faDirectory | faHidden));
    EXPECT_EQ(rec.attributes.value("b/loop"), quint32(faSysFile));
    EXPECT_EQ(rec.attributes.value("b/pipe"), quint32(faSysFile));
    EXPECT_FALSE(files.contains("a/.cache/inside.txt"));
    EXPECT_EQ(rec.withPrefix("enter "), kWalkedFolders);

    // Quick clean's mask: hidden files yes, system entries and folders no.
    Walker clean(abort);
    use(clean);
    clean.setFileMask(faReadOnly | faHidden | faVolumeId | faArchive);
    Recorder cleanRec(clean, c);
    clean.walkTree(c);
    EXPECT_EQ(cleanRec.withPrefix("file "), QSet<QString>(kVisibleFiles) << "./.hidden.txt");
}

TEST_P(WalkWorld, AbortSetByAFileStopsBeforeTheNextFileOrFolder) {
    Walker walker(abort);
    use(walker);
    Recorder rec(walker, c);
    auto record = walker.callbacks().file;
    walker.callbacks().file = [&](const WalkFolder& f, const DirEntry& e) {
        record(f, e);
        abort = true;
    };
    ASSERT_TRUE(walker.walkTree(c));
    expectPostOrder(rec.events);
    EXPECT_EQ(rec.withPrefix("file ").size(), 1);
    EXPECT_EQ(walker.fileCount(), 1);
    // After the file only the open folders are left, each unfinished, innermost first.
    qsizetype at = 0;
    while (at < rec.events.size() && !rec.events[at].startsWith("file "))
        ++at;
    ASSERT_LT(at, rec.events.size());
    for (qsizetype i = at + 1; i < rec.events.size(); ++i)
        EXPECT_TRUE(rec.events[i].startsWith("leave! ")) << rec.events[i].toStdString();
    EXPECT_EQ(rec.events.last(), "leave! .");

    // A new walk with the flag still set does nothing at all.
    rec.events.clear();
    EXPECT_FALSE(walker.walkTree(c));
    EXPECT_TRUE(rec.events.isEmpty());
}

TEST_P(WalkWorld, AbortSetOnEnteringAFolderSkipsItsContent) {
    Walker walker(abort);
    use(walker);
    Recorder rec(walker, c);
    auto record = walker.callbacks().enterFolder;
    walker.callbacks().enterFolder = [&](const WalkFolder& f) {
        record(f);
        if (f.depth == 1)
            abort = true;
    };
    walker.walkTree(c);
    ASSERT_EQ(rec.events.size(), 4) << rec.events.join(" | ").toStdString();
    EXPECT_EQ(rec.events[0], "enter .");
    EXPECT_TRUE(rec.events[1].startsWith("enter "));
    EXPECT_EQ(rec.events[2], "leave! " + rec.events[1].mid(6));
    EXPECT_EQ(rec.events[3], "leave! .");
}

TEST_P(WalkWorld, AbortFromACallbackUnwindsTheBlockingWalk) {
    // Walks drive C with a file callback that calls stop() at the `after`-th file (as a callback
    // that decides the walk is over), and checks that the walk unwinds from there.
    const auto stopAt = [&](Walker& w, int after, const std::function<void()>& stop) {
        Recorder rec(w, c);
        int files = 0;
        w.callbacks().file = [&](const WalkFolder& f, const DirEntry& e) {
            rec.events << "file " + rec.rel(f.path) + "/" + e.name;
            if (++files == after) {
                rec.events << "stop";
                stop();
            }
        };
        w.walkTree(c);
        EXPECT_EQ(files, after);
        // Nothing is entered or examined after the callback that stopped the walk.
        const qsizetype stopped = rec.events.lastIndexOf("stop");
        ASSERT_GE(stopped, 0);
        for (qsizetype i = stopped + 1; i < rec.events.size(); ++i)
            EXPECT_TRUE(rec.events[i].startsWith("leave! ")) << rec.events[i].toStdString();
        EXPECT_EQ(rec.events.last(), "leave! .");
        rec.events.removeAll("stop");
        expectPostOrder(rec.events);
    };

    // The tool's flag, set by the third file's callback.
    Walker walker(abort);
    use(walker);
    stopAt(walker, 3, [&] { abort = true; });

    // The walker's own abort() from a callback unwinds the same way.
    abort = false;
    Walker own;
    use(own);
    stopAt(own, 2, [&] { own.abort(); });
}

TEST_P(WalkWorld, RefusedAndVanishedFoldersAreSkippedAndTheWalkGoesOn) {
    setOpenFault(c + "/a", EACCES);
    setOpenFault(c + "/b", ENOENT);
    Walker walker(abort);
    use(walker);
    Recorder rec(walker, c);
    ASSERT_TRUE(walker.walkTree(c));
    expectPostOrder(rec.events);
    rec.skipped.sort();
    EXPECT_EQ(rec.skipped, QStringList({"a: " + errorText(EACCES), "b: " + errorText(ENOENT)}));
    EXPECT_EQ(errorText(EACCES), QString::fromLocal8Bit(strerror(EACCES)));
    EXPECT_EQ(rec.withPrefix("file "),
              QSet<QString>({"./top.txt", "./locked.txt", "odd name (1)/x.txt"}));
    EXPECT_EQ(rec.withPrefix("enter "), QSet<QString>({".", "empty", "odd name (1)"}));

    // A root that cannot be opened: nothing is called.
    setOpenFault(c, EACCES);
    rec.events.clear();
    EXPECT_FALSE(walker.walkTree(c));
    EXPECT_TRUE(rec.events.isEmpty());
}

TEST_P(WalkWorld, WalkTreeFromAFolderBelowTheRoot) {
    Walker walker(abort);
    use(walker);
    QList<WalkFolder> left;
    walker.callbacks().leaveFolder = [&](const WalkFolder& f, bool complete) {
        EXPECT_TRUE(complete);
        left << f;
    };
    ASSERT_TRUE(walker.walkTree(c + "/a/"));
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[0].path + " " + QString::number(left[0].depth), c + "/a/aa 1");
    EXPECT_EQ(left[1].path + " " + QString::number(left[1].depth), c + "/a 0"); // no "/" at the end
    EXPECT_TRUE(left[1].drive.isNull());
    EXPECT_FALSE(walker.walkTree(c + "/top.txt"));
}

INSTANTIATE_TEST_SUITE_P(Threads, WalkWorld, ::testing::Values(1, 3));

TEST(WalkDrives, ReadyDrivesAreWalkedAndARootThatIsNoFolderIsReported) {
    SandboxWorld world;
    const QString notAFolder = world.makeFile("plainfile", "x");
    const QString d = world.makeDir("d");
    world.makeFile("d/sub/found.txt", "f");
    world.setEnv("VASTEL_DRIVES", "C=" + notAFolder + ";D=" + d + ";E=" + world.path("never-made"));
    bool abort = false;
    Walker walker(abort);
    QStringList failed;
    QStringList files;
    walker.callbacks().driveFailed = [&](QChar letter, const QString& root) {
        failed << QString(letter) + " " + scan::cantOpenDriveMessage(root);
    };
    walker.callbacks().file = [&](const WalkFolder& f, const DirEntry& e) {
        files << QString(f.drive) + " " + f.path + "/" + e.name;
        EXPECT_EQ(f.root, d);
    };
    walker.scanAllDrives({'c', 'D', 'E', 'F'});
    EXPECT_EQ(failed, QStringList({"C Can't open drive " + notAFolder}));
    EXPECT_EQ(files, QStringList({"D " + d + "/sub/found.txt"}));

    // Once aborted, no further drive is looked at (and no error box is asked for).
    abort = true;
    failed.clear();
    files.clear();
    walker.scanAllDrives({'C', 'D'});
    EXPECT_TRUE(failed.isEmpty());
    EXPECT_TRUE(files.isEmpty());
}

TEST(WalkNames, DeeperThanThePathLimit) {
    SandboxWorld world;
    const QString top = world.makeDir("c/deep");
    const QString step = "twenty-characters-nm";
    ASSERT_EQ(step.size(), 20);
    ASSERT_TRUE(scantest::makeDeepChain(top, step, 300, "bottom.txt"));
    bool abort = false;
    Walker walker(abort);
    QString foundIn;
    int deepest = 0;
    walker.callbacks().enterFolder = [&](const WalkFolder& f) { deepest = qMax(deepest, f.depth); };
    walker.callbacks().file = [&](const WalkFolder& f, const DirEntry& e) {
        if (e.name == "bottom.txt")
            foundIn = f.path;
    };
    const bool walked = walker.walkTree(top);
    scantest::removeTree(top);
    ASSERT_TRUE(walked);
    EXPECT_EQ(deepest, 300);
    EXPECT_EQ(walker.fileCount(), 1);
    EXPECT_EQ(foundIn.size(), top.size() + 300 * 21);
    EXPECT_GT(foundIn.size(), 4096);
    EXPECT_TRUE(foundIn.endsWith("/" + step));
}

TEST(WalkNames, NamesThatAreNotUtf8) {
    SandboxWorld world;
    const QString top = world.makeDir("c/raw");
    const QByteArray folderBytes("Gr\xfc\xdf"
                                 "e");                  // Latin-1 "Grüße"
    const QByteArray fileBytes("\xb5sic \x80\xff.TXT"); // bytes no decoder accepts
    ASSERT_TRUE(scantest::makeRawEntry(top, folderBytes, true));
    ASSERT_TRUE(scantest::makeRawEntry(top, folderBytes + "/" + fileBytes));
    bool abort = false;
    Walker walker(abort);
    walker.setPattern("*.txt");
    QStringList paths;
    walker.callbacks().file = [&](const WalkFolder& f, const DirEntry& e) {
        paths << f.path + "/" + e.name;
    };
    walker.walkTree(top);
    DirEntry again;
    const bool foundAgain = paths.size() == 1 && lookUpEntry(paths[0], &again);
    scantest::removeTree(top); // beyond what QDir can remove
    ASSERT_EQ(paths.size(), 1);
    EXPECT_EQ(encodeName(paths[0]), encodeName(top) + "/" + folderBytes + "/" + fileBytes);
    EXPECT_TRUE(foundAgain);
    EXPECT_EQ(encodeName(again.name), fileBytes);
}
