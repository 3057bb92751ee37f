#include "platform/contentread.h"
#include "support/sandbox.h"
#include "support/timelimit.h"

#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::ContentFile;
using platform::FileResult;

TEST(ContentFile, ReadsRangesOfTheListedFile) {
    SandboxWorld world;
    const QString path = world.makeFile("c/f", "0123456789");
    ContentFile file;
    ASSERT_TRUE(file.open(path, platform::fileStamp(path).identity()).ok());
    char buffer[16] = {};
    EXPECT_EQ(file.read(7, buffer, 16), 3);
    EXPECT_EQ(QByteArray(buffer, 3), "789");
    EXPECT_EQ(file.read(2, buffer, 2), 2);
    EXPECT_EQ(QByteArray(buffer, 2), "23");
    EXPECT_TRUE(file.unchanged());
}

TEST(ContentFile, RefusesLinksFoldersAndFifosWithoutWaiting) {
    SandboxWorld world;
    const QString target = world.makeFile("c/target", "x");
    const QString link = world.path("c/link");
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()),
              0);
    const QString fifo = world.path("c/fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = world.makeDir("c/folder");
    for (const QString& path : {link, fifo, folder}) {
        EXPECT_TRUE(finishesInTime([&] {
            ContentFile file;
            const FileResult r = file.open(path, {});
            return r.status == FileResult::Failed && !r.message.isEmpty();
        })) << path.toStdString();
    }
}

TEST(ContentFile, TellsAFileThatIsNoLongerTheListedOne) {
    SandboxWorld world;
    const QString path = world.makeFile("c/f", "old");
    const platform::FileIdentity id = platform::fileStamp(path).identity();
    ASSERT_TRUE(QFile::remove(path));
    ContentFile file;
    EXPECT_EQ(file.open(path, id).status, FileResult::Changed); // gone
    world.makeFile("c/f", "new");
    EXPECT_EQ(file.open(path, id).status, FileResult::Changed); // another file
}

TEST(ContentFile, TellsAWriteWhileItIsOpen) {
    SandboxWorld world;
    const QString path = world.makeFile("c/f", "abc");
    ContentFile file;
    ASSERT_TRUE(file.open(path, platform::fileStamp(path).identity()).ok());
    QFile writer(path);
    ASSERT_TRUE(writer.open(QIODevice::Append));
    writer.write("d");
    writer.close();
    EXPECT_FALSE(file.unchanged());
}

TEST(ContentFile, ReadFaultFailsTheRead) {
    SandboxWorld world;
    const QString path = world.makeFile("c/f", "abc");
    ContentFile file;
    ASSERT_TRUE(file.open(path, {}).ok());
    platform::setContentReadFault([](const QString&) { return EIO; });
    char buffer[4];
    QString error;
    EXPECT_EQ(file.read(0, buffer, 3, &error), -1);
    platform::setContentReadFault(nullptr);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(file.read(0, buffer, 3, &error), 3);
}
