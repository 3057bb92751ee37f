// A search that could not read a folder below its target says so and ends with its own status.
#include "cli/app.h"
#include "platform/dirsearch.h"
#include "support/sandbox.h"

#include <QBuffer>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the command in this process, so that the open faults of the platform layer apply.
CliRun runHere(const QStringList& arguments) {
    QBuffer out, err, in;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    in.open(QIODevice::ReadOnly);
    cli::Streams streams;
    streams.out = &out;
    streams.err = &err;
    streams.in = &in;
    CliRun run;
    run.status = cli::run(arguments, streams);
    run.out = out.data();
    run.err = err.data();
    return run;
}

class CliSkipped : public ::testing::Test {
protected:
    void TearDown() override { platform::clearOpenFaults(); }
    SandboxWorld world;
};

} // namespace

TEST_F(CliSkipped, AnUnreadableFolderNamesItselfAndEndsWithStatusThree) {
    world.makeFile(QStringLiteral("c/big.dat"), QByteArray(2000, 'x'));
    world.makeFile(QStringLiteral("c/locked/hidden.dat"), QByteArray(3000, 'x'));
    const QString tree = world.path(QStringLiteral("c"));
    const QStringList hogs{QStringLiteral("hogs"),  QStringLiteral("--larger"),
                           QStringLiteral("1"),     QStringLiteral("--unit"),
                           QStringLiteral("bytes"), tree};

    const CliRun whole = runHere(hogs);
    EXPECT_EQ(whole.status, cli::exFound) << whole.err.constData();
    EXPECT_TRUE(whole.out.contains("hidden.dat"));

    platform::setOpenFault(tree + QStringLiteral("/locked"), EACCES);
    const CliRun partial = runHere(hogs);
    EXPECT_EQ(partial.status, cli::exIncomplete);
    EXPECT_TRUE(partial.out.contains("big.dat"));
    EXPECT_FALSE(partial.out.contains("hidden.dat"));
    const QString err = QString::fromUtf8(partial.err);
    EXPECT_TRUE(err.contains(QStringLiteral("cannot read ") + tree + QStringLiteral("/locked: ") +
                             platform::errorText(EACCES)))
        << partial.err.constData();
    EXPECT_TRUE(err.contains(QStringLiteral("1 folder could not be read")))
        << partial.err.constData();

    // Nothing found and a folder skipped: the skip still tells, since the answer may be wrong.
    const CliRun nothing = runHere(
        {QStringLiteral("hogs"), QStringLiteral("--larger"), QStringLiteral("1000000"), tree});
    EXPECT_EQ(nothing.status, cli::exIncomplete);

    // Every search walks through the same count (statistics, dates, folder hogs, clean, dups).
    for (const QString& command :
         {QStringLiteral("stats"), QStringLiteral("folder-hogs"), QStringLiteral("dups")}) {
        const CliRun run = runHere({command, tree});
        EXPECT_EQ(run.status, cli::exIncomplete) << command.toStdString();
    }

    // A usage error still wins.
    const CliRun bad = runHere({QStringLiteral("hogs"), QStringLiteral("--bogus"), tree});
    EXPECT_EQ(bad.status, cli::exError);
}
