// Deletion runs killed at many points: every file must still be in place, in an archive that
// opens, or in the trash.
#include "delete/folderclean.h"
#include "fault/faultworld.h"

#include <climits>
#include <csignal>
#include <cstdio>
#include <sys/time.h>

namespace {

using namespace fault;

// Counts the run's events (a file begun, a step of an archive written, a flush, a close, a
// rename) and ends the process at the n-th: at once with SIGKILL, or `delayUs` microseconds
// later by the timer, which lands in the middle of whatever the run does then.
class Killer {
public:
    Killer(long at, long delayUs) : m_at(at), m_delayUs(delayUs) {
        const platform::FaultHook hook = [this](const QString&) {
            tick();
            return 0;
        };
        for (platform::FileStep step : {platform::FileStep::SyncFile, platform::FileStep::CloseFile,
                                        platform::FileStep::SyncFolder, platform::FileStep::Replace,
                                        platform::FileStep::SetTimes})
            platform::setFileFault(step, hook);
    }
    ~Killer() { platform::clearFileFaults(); }

    void tick() {
        if (++m_seen != m_at)
            return;
        if (m_delayUs == 0)
            std::raise(SIGKILL);
        std::signal(SIGALRM, SIG_DFL);
        itimerval timer{};
        timer.it_value.tv_usec = m_delayUs;
        ::setitimer(ITIMER_REAL, &timer, nullptr);
    }
    long seen() const { return m_seen; }

private:
    long m_at;
    long m_delayUs;
    long m_seen = 0;
};

enum class RunKind { ZipFiles, TrashFiles, ZipFolder };

class KillPoints : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C"});
        zips = world.makeDir("zips");
    }

    // A fresh tree and empty archive and trash folders.  Each file of a trash run is flushed to
    // the device on its own, so that run gets fewer files.
    void reset(RunKind kind) {
        for (const QString& folder : {world.path("c/data"), zips, world.path("xdg-data/Trash")})
            QDir(folder).removeRecursively();
        world.makeDir("zips");
        files = makeOriginals(world, kind == RunKind::TrashFiles ? kFiles / 5 : kFiles, 7);
    }

    // The run in a child killed at event `at`; returns the number of events it saw, or -1 when
    // it was killed.
    long runChild(RunKind kind, long at, long delayUs) {
        const QString counted = world.path("events");
        QFile::remove(counted);
        const int status = inChild([&] {
            Killer killer(at, delayUs);
            DisposalHooks hooks;
            hooks.fileStarted = [&killer](qsizetype, const QString&) { killer.tick(); };
            hooks.gauge = [&killer](int) { killer.tick(); };
            ZipRunSettings zip;
            zip.tag = QStringLiteral("Fault");
            zip.zipFolder = zips;
            if (kind == RunKind::ZipFiles)
                zipFiles(listed(files), 0, zip, hooks);
            else if (kind == RunKind::TrashFiles)
                recycleFiles(listed(files), 0, hooks);
            else
                zipFolder(killer, zip);
            QFile out(counted);
            if (!out.open(QIODevice::WriteOnly))
                return 3;
            out.write(QByteArray::number(qint64(killer.seen())));
            return 0;
        });
        if (status == 0)
            return SandboxWorld::readBytes(counted).toLong();
        EXPECT_TRUE(status == 128 + SIGKILL || status == 128 + SIGALRM) << "status " << status;
        return -1;
    }

    void zipFolder(Killer& killer, const ZipRunSettings& zip) {
        FolderCleanSettings settings;
        settings.folder = world.path("c/data");
        settings.mode = FolderMode::Zip;
        settings.zip = zip;
        FolderCleanHooks hooks;
        hooks.counted = [&killer](qint64, const QString&) { killer.tick(); };
        hooks.gauge = [&killer](int) { killer.tick(); };
        hooks.confirm = [](const QString&) { return true; };
        FolderClean clean(settings, hooks);
        if (clean.start())
            while (clean.step(16)) {
            }
    }

    // Kills the run at points spread over all its events, and a few times shortly after its
    // last ones (while it deletes); returns the kill points tried.
    int killThroughout(RunKind kind, int* lost, QStringList* which) {
        reset(kind);
        const long events = runChild(kind, LONG_MAX, 0);
        EXPECT_GT(events, long(files.size())) << "the run reported too few events to be killed in";
        std::vector<std::pair<long, long>> points;
        for (long i = 1; i <= kSpread; ++i)
            points.push_back({std::max(1L, events * i / kSpread), 0});
        for (long delay : {30L, 150L, 600L, 2500L})
            points.push_back({events, delay});
        for (const auto& [at, delay] : points) {
            reset(kind);
            runChild(kind, at, delay);
            const int l =
                Copies(zips, world.path("c"), world.path("xdg-data/Trash")).lost(files, which);
            if (l > 0)
                ADD_FAILURE() << "killed at event " << at << " + " << delay << " us: lost " << l;
            *lost += l;
        }
        return int(points.size());
    }

    static constexpr int kFiles = 300;
    static constexpr long kSpread = 24;
    SandboxWorld world;
    QString zips;
    std::vector<Original> files;
};

TEST_F(KillPoints, NoRunLosesAFileWhereverItIsKilled) {
    int points = 0, lost = 0, total = 0;
    QStringList which;
    for (RunKind kind : {RunKind::ZipFiles, RunKind::TrashFiles, RunKind::ZipFolder}) {
        points += killThroughout(kind, &lost, &which);
        total += int(files.size());
    }
    std::printf("fault suite: %d kill points, %d files, lost %d\n", points, total, lost);
    EXPECT_EQ(lost, 0) << which.mid(0, 10).join('\n').toStdString();
}

} // namespace
