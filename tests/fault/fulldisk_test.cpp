// Archives that cannot be written whole: a run over a full device deletes nothing.
#include "delete/folderclean.h"
#include "fault/faultworld.h"

#include <csignal>
#include <sys/resource.h>

namespace {

using namespace fault;

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C"});
        zips = world.makeDir("zips");
        files = makeOriginals(world, 120, 11);
    }

    // Runs the work in a child whose files cannot grow past 16 KiB (writes beyond fail with
    // EFBIG), and returns the number of errors it reported.
    int reportedInSmallDevice(const std::function<int()>& work) {
        const QString out = world.path("reported");
        const int status = inChild([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{16 * 1024, 16 * 1024};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                return 3;
            const int errors = work();
            QFile f(out);
            return f.open(QIODevice::WriteOnly) && f.write(QByteArray::number(errors)) > 0 ? 0 : 4;
        });
        EXPECT_EQ(status, 0);
        return SandboxWorld::readBytes(out).toInt();
    }

    ZipRunSettings zipSettings() const {
        ZipRunSettings zip;
        zip.tag = QStringLiteral("Full");
        zip.zipFolder = zips;
        return zip;
    }

    SandboxWorld world;
    QString zips;
    std::vector<Original> files;
};

TEST_F(FullDisk, AZipRunKeepsAndReportsEveryFile) {
    const int reported = reportedInSmallDevice([this] {
        int errors = 0;
        DisposalHooks hooks;
        hooks.error = [&errors](const QString&) { ++errors; };
        zipFiles(listed(files), 0, zipSettings(), hooks);
        return errors;
    });
    for (const Original& f : files)
        EXPECT_EQ(SandboxWorld::readBytes(f.path), f.bytes) << f.path.toStdString();
    EXPECT_EQ(reported, int(files.size()));
}

TEST_F(FullDisk, AFolderZipRunKeepsEveryFileAndSaysSo) {
    const int reported = reportedInSmallDevice([this] {
        int errors = 0;
        FolderCleanSettings settings;
        settings.folder = world.path("c/data");
        settings.mode = FolderMode::Zip;
        settings.zip = zipSettings();
        FolderCleanHooks hooks;
        hooks.error = [&errors](const QString&) { ++errors; };
        hooks.confirm = [](const QString&) { return true; };
        FolderClean clean(settings, hooks);
        if (!clean.start())
            return 1000;
        while (clean.step(16)) {
        }
        return errors;
    });
    for (const Original& f : files)
        EXPECT_EQ(SandboxWorld::readBytes(f.path), f.bytes) << f.path.toStdString();
    EXPECT_GT(reported, 0);
    EXPECT_LT(reported, 1000);
}

} // namespace
