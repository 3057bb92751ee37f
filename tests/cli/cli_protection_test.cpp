// vastel-cli disposals where a protected folder is reached through a bind mount: the mount is
// made in a mount namespace of the run's own (unshare), so nothing outside the test sees it.
#include "support/sandbox.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct CliOutcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs vastel-cli with the world's variables after bind-mounting `source` on `target` in a
// mount namespace of its own.  Status 77 when mounts cannot be made here.
CliOutcome cliInBindMount(const QString& source, const QString& target,
                          const QStringList& arguments) {
    QProcess process;
    QStringList args = {
        QStringLiteral("--mount"),
        QStringLiteral("--propagation"),
        QStringLiteral("private"),
        QStringLiteral("sh"),
        QStringLiteral("-c"),
        QStringLiteral("mount --bind \"$1\" \"$2\" || exit 77; shift 2; exec \"$@\""),
        QStringLiteral("sh"),
        source,
        target,
        QStringLiteral(VASTEL_CLI_PATH)};
    args += arguments;
    process.start(QStringLiteral("unshare"), args);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        return {};
    if (process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

bool canMount() {
    QProcess probe;
    probe.start(QStringLiteral("unshare"),
                {QStringLiteral("--mount"), QStringLiteral("--propagation"),
                 QStringLiteral("private"), QStringLiteral("true")});
    return probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit &&
           probe.exitCode() == 0;
}

class BindWorld : public ::testing::Test {
protected:
    void SetUp() override {
        if (!canMount())
            GTEST_SKIP() << "no privilege to make bind mounts here";
        world.makeFile(QStringLiteral("data/folders.txt"),
                       (world.path(QStringLiteral("windows")) + QStringLiteral("\r\n")).toUtf8());
        key = world.makeFile(QStringLiteral("system/key.conf"), QByteArray(5000, 'k'));
        own = world.makeFile(QStringLiteral("c/data/own.bin"), QByteArray(5000, 'o'));
        mountPoint = world.makeDir(QStringLiteral("c/data/sysbind"));
    }

    SandboxWorld world;
    QString key, own, mountPoint;
};

TEST_F(BindWorld, ASearchDoesNotEnterABindMountOfAProtectedFolder) {
    const CliOutcome run =
        cliInBindMount(world.path(QStringLiteral("system")), mountPoint,
                       {QStringLiteral("hogs"), QStringLiteral("--delete"), QStringLiteral("--yes"),
                        QStringLiteral("--larger"), QStringLiteral("0"), QStringLiteral("--unit"),
                        QStringLiteral("bytes"), QStringLiteral("C")});
    if (run.status == 77)
        GTEST_SKIP() << "the bind mount could not be made here";
    EXPECT_FALSE(run.out.contains("sysbind")) << run.out.constData();
    EXPECT_TRUE(QFileInfo::exists(key));
    EXPECT_FALSE(QFileInfo::exists(own)); // the rest of the drive was disposed of
}

TEST_F(BindWorld, ATargetInsideABindMountOfAProtectedFolderIsHeldBack) {
    const CliOutcome run =
        cliInBindMount(world.path(QStringLiteral("system")), mountPoint,
                       {QStringLiteral("hogs"), QStringLiteral("--delete"), QStringLiteral("--yes"),
                        QStringLiteral("--larger"), QStringLiteral("0"), QStringLiteral("--unit"),
                        QStringLiteral("bytes"), mountPoint});
    if (run.status == 77)
        GTEST_SKIP() << "the bind mount could not be made here";
    EXPECT_TRUE(run.out.contains("sysbind/key.conf")) << run.out.constData(); // listed
    EXPECT_TRUE(run.err.contains("DO NOT DELETE")) << run.err.constData();    // held back
    EXPECT_TRUE(QFileInfo::exists(key));
}

} // namespace
