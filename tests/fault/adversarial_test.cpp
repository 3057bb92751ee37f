// Every tool's search over a hostile tree: loops of folder links, a folder that cannot be read,
// odd names, a path deeper than the system's limit, a FIFO and a socket, and a file that goes
// while the walk runs.  Each search must finish, list what it should and change nothing.
#include "clean/quickclean.h"
#include "dup/dupsearch.h"
#include "platform/names.h"
#include "search/filedates.h"
#include "search/folderhogs.h"
#include "stats/statscan.h"
#include "support/entrybuilders.h"
#include "support/sandbox.h"

#include <QDirIterator>
#include <QSet>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace scantest;

// What lstat says of every entry below a folder, followed or not: a change to any shows.
QStringList snapshot(const QString& root) {
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        out << QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(path)
                   .arg(st.st_mode)
                   .arg(st.st_size)
                   .arg(st.st_mtim.tv_sec)
                   .arg(st.st_mtim.tv_nsec);
    }
    out.sort();
    return out;
}

bool makeSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || size_t(name.size()) >= sizeof(address.sun_path))
        return false;
    std::copy(name.begin(), name.end(), address.sun_path);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

class Adversarial : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C"});
        c = world.path("c");
        expected << world.makeFile("c/plain/ok.txt", QByteArray(100, 'o'))
                 << world.makeFile("c/plain/old.tmp", QByteArray(50, 't'))
                 << world.makeFile("c/odd/new\nline.txt", "n")
                 << world.makeFile("c/odd/" + QString(251, 'n') + ".txt", "l");
        world.makeFile("c/.hidden/unseen.txt", "h");
        world.makeFile("c/locked/secret.txt", "s");
        ASSERT_TRUE(makeRawEntry(world.makeDir("c/odd"), QByteArray("bad\xff\xfe name")));
        expected << c + "/odd/" + platform::decodeName(QByteArray("bad\xff\xfe name"));
        ASSERT_TRUE(makeDeepChain(c, QString(60, 'd'), 80, "bottom.txt"));
        ASSERT_TRUE(makeLink(c + "/loop", world.makeDir("c/loop") + "/self"));
        ASSERT_TRUE(makeLink("..", c + "/loop/up"));
        ASSERT_TRUE(makeLink(c + "/plain/ok.txt", c + "/plain/link.txt"));
        ASSERT_TRUE(makeFifo(world.makeDir("c/special") + "/pipe"));
        ASSERT_TRUE(makeSocket(c + "/special/sock"));
        world.makeFile("c/zzz/vanishes.txt", "v");
        // Everyone may look at the world, but nobody but root may open "locked".
        for (const QString& folder : {world.root(), c})
            ::chmod(QFile::encodeName(folder).constData(), 0755);
        ::chmod(QFile::encodeName(c + "/zzz").constData(), 0777);
        ::chmod(QFile::encodeName(c + "/locked").constData(), 0);
    }
    void TearDown() override {
        ::chmod(QFile::encodeName(c + "/locked").constData(), 0755);
        removeTree(c);
    }

    // The files a search for every regular, visible file must list (the deep one by its name).
    bool listsExpected(const QStringList& listed, const char* tool) {
        QSet<QString> got(listed.begin(), listed.end());
        bool ok = got.contains(QSet<QString>(expected.begin(), expected.end()));
        ok = ok && !got.contains(c + "/locked/secret.txt") && !got.contains(c + "/special/pipe");
        bool deep = false;
        for (const QString& path : listed) {
            ok = ok && !path.contains("/loop/") && !path.contains("/.hidden/");
            deep = deep || path.endsWith(QString(60, 'd') + "/bottom.txt");
        }
        if (!ok || !deep)
            std::fprintf(stderr, "%s listed:\n%s\n", tool, qPrintable(listed.join('\n')));
        return ok && deep;
    }

    // Runs every tool's search; true when each lists what it should.
    bool everyToolListsWhatItShould() {
        bool ok = true;
        TextGrid grid(dups::columnCount(dups::Mode::FileHogs));
        dups::SortDirections directions;

        dups::SearchSettings hogs;
        hogs.mode = dups::Mode::FileHogs;
        hogs.criterion = dups::SizeOnly;
        dups::Search hogSearch(hogs);
        // A file goes while the walk runs: listed or not, the walk goes on.
        hogSearch.walker().callbacks().enterFolder = [this](const scan::WalkFolder& f) {
            if (f.path == c + "/plain")
                QFile::remove(c + "/zzz/vanishes.txt");
        };
        hogSearch.scanDrives({'C'});
        hogSearch.fillGrid(grid, directions);
        QStringList listed;
        for (int r = 1; r < grid.rowCount(); ++r)
            listed << dups::rowPath(grid, r, dups::Mode::FileHogs);
        ok = listsExpected(listed, "file hogs") && ok;

        dates::SearchSettings range;
        range.kind = dates::Kind::Modified;
        range.test = {dates::When::Between, QDate(1980, 1, 1), QDate(2100, 12, 31)};
        dates::Search dateSearch(range, grid);
        dateSearch.walker().scanAllDrives({'C'});
        listed.clear();
        for (int r = 1; r < grid.rowCount(); ++r)
            listed << dates::rowPath(grid, r);
        ok = listsExpected(listed, "files accessed") && ok;

        folderhogs::Search folders(folderhogs::Mode::AllFolders);
        folders.walker().scanAllDrives({'C'});
        listed.clear();
        for (const QString& row : folders.rows())
            listed << row.section(TextGrid::cellSeparator(), folderhogs::hcName);
        const bool foldersOk = listed.contains(c + "/odd") && !listed.contains(c + "/locked") &&
                               !listed.contains(c + "/loop/self") && listed.size() == 6 + 80;
        if (!foldersOk)
            std::fprintf(stderr, "folder hogs listed:\n%s\n", qPrintable(listed.join('\n')));
        ok = foldersOk && ok;

        quickclean::Search temp({QStringLiteral("*.tmp\tTMP File")});
        temp.scanDrives({'C'});
        ok = temp.foundCount() == 1 && ok;

        stats::Collector collector(stats::TypeFilter(), QDate(2026, 12, 9));
        collector.collectDrive('C');
        return ok;
    }

    SandboxWorld world;
    QString c;
    QStringList expected;
};

TEST_F(Adversarial, EverySearchFinishesListsWhatItShouldAndChangesNothing) {
    const QStringList before = snapshot(c);
    if (::geteuid() == 0) {
        // Root reads any folder, so the searches run as nobody in a child.
        EXPECT_EXIT(
            {
                const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
                std::_Exit(dropped && everyToolListsWhatItShould() ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    } else {
        EXPECT_TRUE(everyToolListsWhatItShould());
    }
    // Only the file that went, and so its folder, may differ.
    const auto outsideZzz = [this](QStringList lines) {
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                                   [this](const QString& l) { return l.startsWith(c + "/zzz"); }),
                    lines.end());
        return lines;
    };
    EXPECT_EQ(outsideZzz(snapshot(c)), outsideZzz(before));
}

} // namespace
