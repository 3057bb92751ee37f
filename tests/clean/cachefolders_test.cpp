#include "app/inifile.h"
#include "clean/cachefolders.h"
#include "support/entrybuilders.h"
#include "support/sandbox.h"
#include "support/timelimit.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

using namespace cachefolders;

namespace {

// Sets a file's last access (and leaves its last write) without following a link.
void setAccess(const QString& path, qint64 epochSeconds) {
    struct timespec times[2];
    times[0].tv_sec = epochSeconds;
    times[0].tv_nsec = 0;
    times[1].tv_sec = 0;
    times[1].tv_nsec = UTIME_OMIT;
    ASSERT_EQ(
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0)
        << path.toStdString();
}

// Noon of a local date, as epoch seconds.
qint64 noon(const QDate& date) {
    return QDateTime(date, QTime(12, 0)).toSecsSinceEpoch();
}

class CacheFolders : public ::testing::Test {
protected:
    void writeIni(const QByteArray& text) {
        QFile f(settingsFile().path());
        ASSERT_TRUE(QDir().mkpath(QFileInfo(f).path()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    // Files in a cache folder, each accessed `days` days before today.
    QString aged(const QString& relative, int days, const QByteArray& content = "x") {
        const QString path = world.makeFile(relative, content);
        setAccess(path, noon(today.addDays(-days)));
        return path;
    }

    SandboxWorld world;
    const QDate today = QDate::currentDate();
};

} // namespace

TEST_F(CacheFolders, AgeCountsCalendarDaysEitherWay) {
    EXPECT_EQ(ageInDays(0, today), -1);
    EXPECT_EQ(ageInDays(noon(today), today), 0);
    EXPECT_EQ(ageInDays(QDateTime(today, QTime(0, 0, 1)).toSecsSinceEpoch(), today), 0);
    EXPECT_EQ(ageInDays(noon(today.addDays(-10)), today), 10);
    EXPECT_EQ(ageInDays(noon(today.addDays(3)), today), 3);
    // No packed form before 1980.
    EXPECT_EQ(ageInDays(QDateTime(QDate(1975, 5, 1), QTime(12, 0)).toSecsSinceEpoch(), today), -1);
}

TEST_F(CacheFolders, AgeZeroTakesEveryFileButThoseWithoutAccessTime) {
    const QString folder = world.makeDir("cache");
    const QString old = aged("cache/old", 40, "1234");
    const QString fresh = aged("cache/.fresh", 0, "12");
    const QString future = aged("cache/future", -3, "1");
    const QString never = world.makeFile("cache/never", "123456");
    setAccess(never, 0);
    world.makeFile("cache/sub/inside", "123");
    QFile(old).setPermissions(QFileDevice::ReadOwner); // read-only files are taken too

    ClearList all = collect({folder}, 0, today);
    QStringList paths = all.paths();
    paths.sort();
    QStringList expected = {old, fresh, future};
    expected.sort();
    EXPECT_EQ(paths, expected);
    EXPECT_EQ(all.bytes, 7);

    EXPECT_EQ(collect({folder}, 3, today).paths().size(), 2); // old, and 3 days in the future
    EXPECT_EQ(collect({folder}, 4, today).paths(), QStringList({old}));
    EXPECT_TRUE(collect({folder}, 41, today).isEmpty());
}

TEST_F(CacheFolders, FoldersComeInListOrderTwiceWhenListedTwice) {
    const QString a = world.makeDir("a");
    const QString b = world.makeDir("b");
    const QString fileA = aged("a/one", 5, "12");
    const QString fileB = aged("b/two", 5, "123");
    const ClearList clear = collect({b, "", world.path("missing"), a, b}, 0, today);
    EXPECT_EQ(clear.paths(), QStringList({fileB, fileA, fileB}));
    EXPECT_EQ(clear.bytes, 8);
    // Each file is listed with the identity it had when collected.
    ASSERT_EQ(clear.files.size(), 3);
    EXPECT_TRUE(clear.files[0].identity.known());
    EXPECT_EQ(clear.files[0].identity.size, 3);
}

TEST_F(CacheFolders, StoredListAndItsAbsence) {
    world.makeDir("xdg-cache/mozilla/firefox/abc.default/cache2/entries");
    bool fromSources = false;
    EXPECT_EQ(readFolders(&fromSources),
              QStringList({world.path("xdg-cache/mozilla/firefox/abc.default/cache2/entries")}));
    EXPECT_TRUE(fromSources);

    ASSERT_TRUE(writeFolders({"/x/one", "/x/two", "/x/one"}));
    EXPECT_EQ(readFolders(&fromSources), QStringList({"/x/one", "/x/two", "/x/one"}));
    EXPECT_FALSE(fromSources);

    // Number 0: an empty list, and the sources are not read.
    ASSERT_TRUE(writeFolders({}));
    EXPECT_TRUE(readFolders(&fromSources).isEmpty());
    EXPECT_FALSE(fromSources);
    EXPECT_EQ(settingsFile().readString("CacheFiles", "File2", ""), "/x/two"); // left behind
}

TEST_F(CacheFolders, BrowserCachesAreFoundInTheCacheHome) {
    const QString home = world.path("xdg-cache");
    world.makeDir("xdg-cache/mozilla/firefox/b.second/cache2/entries");
    world.makeDir("xdg-cache/mozilla/firefox/a.first/cache2/entries");
    world.makeDir("xdg-cache/mozilla/firefox/c.nocache/cache2");
    world.makeDir("xdg-cache/chromium/Default/Cache/Cache_Data");
    world.makeDir("xdg-cache/chromium/Profile 1/Cache/Cache_Data");
    world.makeDir("xdg-cache/chromium/System Profile/Cache");
    world.makeDir("xdg-cache/BraveSoftware/Brave-Browser/Default/Cache/Cache_Data");
    world.makeDir("xdg-cache/vivaldi/Default/Cache/Cache_Data");
    EXPECT_EQ(registryFolders(),
              QStringList({home + "/mozilla/firefox/a.first/cache2/entries",
                           home + "/mozilla/firefox/b.second/cache2/entries",
                           home + "/chromium/Default/Cache/Cache_Data",
                           home + "/chromium/Profile 1/Cache/Cache_Data",
                           home + "/BraveSoftware/Brave-Browser/Default/Cache/Cache_Data",
                           home + "/vivaldi/Default/Cache/Cache_Data"}));

    // Without XDG_CACHE_HOME the cache home is ~/.cache.
    world.setEnv("XDG_CACHE_HOME", QString());
    EXPECT_EQ(cacheHome(), world.path("home/.cache"));
    EXPECT_TRUE(registryFolders().isEmpty());
    world.makeDir("home/.cache/google-chrome/Default/Cache/Cache_Data");
    EXPECT_EQ(registryFolders(),
              QStringList({world.path("home/.cache/google-chrome/Default/Cache/Cache_Data")}));
}

TEST_F(CacheFolders, RegistryKeysReplaceTheBrowsersTheyStandFor) {
    world.makeDir("xdg-cache/mozilla/firefox/a.first/cache2/entries");
    world.makeDir("xdg-cache/chromium/Default/Cache/Cache_Data");
    // The Netscape key with an empty value, and two of the Internet Explorer keys.
    world.useRegistry("REGEDIT4\r\n\r\n"
                      "[HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\Cache]\r\n"
                      "\"Cache Dir\"=\"\"\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\Main]\r\n"
                      "\"Cache_Directory\"=\"/ie/main\"\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet "
                      "Settings\\Cache\\Paths\\Path3]\r\n"
                      "\"CachePath\"=\"/ie/path3\"\r\n");
    EXPECT_EQ(registryFolders(), QStringList({"/ie/main", "/ie/path3"}));
}

TEST_F(CacheFolders, InitializeAddsTheOnlineServiceCache) {
    world.makeDir("xdg-cache/vivaldi/Default/Cache/Cache_Data");
    const QString app = world.makeDir("aol");
    world.makeFile("config/win.ini", "[waol]\r\napppath=" + app.toUtf8() + "\r\n");
    EXPECT_TRUE(aolCacheFolder().isEmpty()); // no cache folder there yet
    world.makeDir("aol/cache");
    EXPECT_EQ(aolCacheFolder(), app + "/cache");
    EXPECT_EQ(
        initializeFolders(),
        QStringList({world.path("xdg-cache/vivaldi/Default/Cache/Cache_Data"), app + "/cache"}));
    // ReadInFromDisk without a Number key does not take it.
    EXPECT_EQ(readFolders().size(), 1);
}

TEST_F(CacheFolders, AWinIniThatIsAFifoGivesNoOnlineServiceCache) {
    ASSERT_TRUE(scantest::makeFifo(world.path("config/win.ini")));
    EXPECT_TRUE(finishesInTime([] { return aolCacheFolder().isEmpty(); }));
}
