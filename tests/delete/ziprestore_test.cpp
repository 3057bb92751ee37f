#include "delete/reallydelete.h"
#include "platform/drives.h"
#include "support/listedfiles.h"
#include "support/sandbox.h"
#include "zip/zipreader.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

// Archives made by a zip run hold each file under its path below its drive's root, so that
// extracting them into those roots puts every file back where it was.
TEST(ZipRestore, ArchivesOfARunExtractIntoTheDriveRootsByteForByte) {
    SandboxWorld world;
    world.setDrives({"C", "D"});
    const QString zipFolder = world.makeDir("zips");

    QMap<QString, QByteArray> originals;
    QByteArray big;
    for (int i = 0; i < 50000; ++i)
        big.append(char((i * 7919) % 251));
    originals.insert(world.makeFile("c/docs/report.txt", "quarterly figures\r\n"), {});
    originals.insert(world.makeFile("c/docs/deep/er/still.bin", big), {});
    originals.insert(world.makeFile("c/empty.dat", QByteArray()), {});
    originals.insert(world.makeFile("d/music/song one.mp3", big.left(777)), {});
    for (auto it = originals.begin(); it != originals.end(); ++it)
        it.value() = SandboxWorld::readBytes(it.key());

    ZipRunSettings settings;
    settings.tag = QStringLiteral("Duplicates");
    settings.zipFolder = zipFolder;
    settings.moment = QDateTime(QDate(2026, 12, 8), QTime(15, 30));
    settings.locale = QLocale(QLocale::English);
    QStringList errors;
    DisposalHooks hooks;
    hooks.error = [&](const QString& m) { errors << m; };
    const DisposalOutcome out = zipFiles(listedNow(originals.keys()), 0, settings, hooks);
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    ASSERT_EQ(out.disposed, originals.size());
    for (const QString& path : originals.keys())
        ASSERT_FALSE(QFileInfo::exists(path)) << path.toStdString();

    for (const QChar letter : {QChar('C'), QChar('D')}) {
        zip::ZipReader reader;
        const QString archive = zipFolder + "/Drive-" + letter + "-Duplicates08Dec261530.zip";
        ASSERT_TRUE(reader.open(archive)) << archive.toStdString();
        int failures = 0;
        reader.setFailure([&](const zip::ExtractFailure&) { ++failures; });
        reader.extract(platform::driveByLetter(letter)->root);
        EXPECT_EQ(failures, 0);
    }
    for (auto it = originals.cbegin(); it != originals.cend(); ++it) {
        ASSERT_TRUE(QFileInfo::exists(it.key())) << it.key().toStdString();
        EXPECT_EQ(SandboxWorld::readBytes(it.key()), it.value()) << it.key().toStdString();
    }
}
