// vastel-cli zip runs stopped by SIGINT or SIGTERM, and killed outright: no file is lost, and
// no temporary file or empty archive stays behind (a killed run's are removed by the next run).
#include "fault/faultworld.h"

#include <QProcess>
#include <QThread>
#include <csignal>

namespace {

using namespace fault;

class Interrupts : public ::testing::Test {
protected:
    void SetUp() override {
        world.setDrives({"C"});
        zips = world.makeDir("zips");
        // The non-delete list protects nothing of the tree.
        world.makeFile("data/folders.txt", (world.path("windows") + "\r\n").toUtf8());
    }

    // A fresh tree with one big file, so that writing its archive takes a while.
    void makeTree(quint32 seed) {
        QDir(world.path("c/data")).removeRecursively();
        files = makeOriginals(world, 120, seed);
        const QByteArray big = randomBytes(24 * 1024 * 1024, seed);
        files.push_back({world.makeFile("c/data/big.bin", big), big});
    }

    static QByteArray randomBytes(qsizetype size, quint32 seed) {
        QRandomGenerator random(seed);
        QByteArray bytes(size, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
        return bytes;
    }

    // Runs a zip of every file and sends the signal once the run has claimed its archive (and
    // `delayMs` later); the exit status, or 128 plus the signal that ended it.
    int zipAndSignal(int signal, int delayMs, QByteArray* err) {
        QProcess cli;
        cli.start(QStringLiteral(VASTEL_CLI_PATH),
                  {"clean", "--pattern", "*.bin", "--zip", zips, "--yes", "C"});
        cli.closeWriteChannel();
        EXPECT_TRUE(cli.waitForStarted());
        bool sent = false;
        for (int waited = 0; waited < 30000 && cli.state() != QProcess::NotRunning; ++waited) {
            if (!QDir(zips).entryList({"Drive*"}, QDir::Files).isEmpty()) {
                QThread::msleep(delayMs);
                ::kill(pid_t(cli.processId()), signal);
                sent = true;
                break;
            }
            QThread::msleep(1);
        }
        EXPECT_TRUE(cli.waitForFinished(60000));
        *err = cli.readAllStandardError();
        EXPECT_TRUE(sent || cli.exitCode() == 0);
        return cli.exitStatus() == QProcess::CrashExit ? 128 + signal : cli.exitCode();
    }

    // What must never stay in the zip folder: an empty archive or a temporary file of one.
    QStringList litter() const {
        QStringList out;
        for (const QFileInfo& f : QDir(zips).entryInfoList(QDir::Files | QDir::Hidden))
            if (f.size() == 0 || !f.fileName().endsWith(".zip"))
                out << f.fileName();
        return out;
    }

    int lost() const {
        return Copies(zips, world.path("c"), world.path("xdg-data/Trash")).lost(files);
    }

    SandboxWorld world;
    QString zips;
    std::vector<Original> files;
};

TEST_F(Interrupts, AStoppedZipRunLeavesNoLitterAndLosesNothing) {
    int stopped = 0;
    quint32 seed = 1;
    for (int signal : {SIGINT, SIGTERM}) {
        for (int delayMs : {0, 20, 200}) {
            makeTree(seed++);
            QByteArray err;
            const int status = zipAndSignal(signal, delayMs, &err);
            EXPECT_TRUE(status == 0 || status == 128 + signal) << status << err.constData();
            if (status == 128 + signal) {
                ++stopped;
                EXPECT_TRUE(err.contains(QByteArray("stopped by ") +
                                         (signal == SIGINT ? "SIGINT" : "SIGTERM")))
                    << err.constData();
            }
            EXPECT_EQ(litter(), QStringList()) << signal << " after " << delayMs << " ms";
            EXPECT_EQ(lost(), 0);
        }
    }
    // The signals landed while the archive was being written, at least most of the time.
    EXPECT_GE(stopped, 2);
}

TEST_F(Interrupts, TheLitterOfAKilledRunIsRemovedByTheNextOne) {
    makeTree(7);
    QByteArray err;
    zipAndSignal(SIGKILL, 50, &err);
    EXPECT_EQ(lost(), 0);
    const QStringList left = litter();
    ASSERT_FALSE(left.isEmpty()); // the claimed archive at least, killed while being written
    // A foreign empty file and a file of the user's are left alone.
    world.makeFile("zips/Drive-notes.txt", "");
    world.makeFile("zips/mine.zip", "");

    QProcess next;
    next.start(QStringLiteral(VASTEL_CLI_PATH),
               {"clean", "--pattern", "*.bin", "--zip", zips, "--yes", "C"});
    next.closeWriteChannel();
    ASSERT_TRUE(next.waitForFinished(60000));
    const QByteArray said = next.readAllStandardError();
    for (const QString& name : left)
        EXPECT_TRUE(said.contains(name.toUtf8())) << name.toStdString() << said.constData();
    EXPECT_EQ(litter(), QStringList({"Drive-notes.txt", "mine.zip"}));
    EXPECT_EQ(lost(), 0);
}

} // namespace
