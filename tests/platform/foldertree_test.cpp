#include "platform/foldertree.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Removes everything the walk hands out; returns how many entries it met.
int removeAll(platform::FolderTree& tree) {
    int met = 0;
    platform::FolderTree::Entry entry;
    while (tree.next(&entry)) {
        ++met;
        EXPECT_TRUE(tree.removeEntry().ok()) << entry.path.toStdString();
    }
    return met;
}

TEST(FolderTree, RemovesATreeDeeperThanAnyPath) {
    SandboxWorld world;
    const QString top = world.makeDir("deep");
    // 5,000 levels, made through descriptors since no path reaches the bottom.
    int fd = ::open(top.toUtf8().constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < 5000; ++level) {
        ASSERT_EQ(::mkdirat(fd, "dd", 0755), 0);
        const int child = ::openat(fd, "dd", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(child, 0);
        fd = child;
    }
    const int file = ::openat(fd, "bottom.txt", O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    ::close(file);
    ::close(fd);
    // A name that is no UTF-8 at the top.
    const int odd = ::open(top.toUtf8() + "/\xff\xfe.txt", O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(odd, 0);
    ::close(odd);

    platform::FolderTree tree(top);
    ASSERT_TRUE(tree.open());
    tree.setRemoveFolders(true);
    EXPECT_EQ(removeAll(tree), 2);
    EXPECT_TRUE(tree.error().isEmpty());
    EXPECT_TRUE(tree.removeFolder());
    EXPECT_FALSE(QFileInfo::exists(top));
}

TEST(FolderTree, AFolderSwappedForALinkLeadsNowhereElse) {
    SandboxWorld world;
    const QString keep1 = world.makeFile("outside/keep1.txt", "1");
    const QString keep2 = world.makeFile("outside/keep2.txt", "2");
    world.makeFile("victim/early/a.txt", "a");
    world.makeFile("victim/late/b.txt", "b");

    platform::FolderTree tree(world.path("victim"));
    ASSERT_TRUE(tree.open());
    tree.setRemoveFolders(true);
    platform::FolderTree::Entry entry;
    ASSERT_TRUE(tree.next(&entry));
    const QString inside = QFileInfo(entry.path).path(); // the folder being walked
    const QString other =
        inside.endsWith("early") ? world.path("victim/late") : world.path("victim/early");
    // The folder in hand and the one still to come both become links to the outside.
    ASSERT_TRUE(QDir().rename(inside, inside + "-moved"));
    ASSERT_TRUE(QFile::link(world.path("outside"), inside));
    ASSERT_TRUE(QDir().rename(other, other + "-moved"));
    ASSERT_TRUE(QFile::link(world.path("outside"), other));

    EXPECT_TRUE(tree.removeEntry().ok()); // through the folder that was opened
    while (tree.next(&entry))
        tree.removeEntry();
    EXPECT_EQ(SandboxWorld::readBytes(keep1), "1");
    EXPECT_EQ(SandboxWorld::readBytes(keep2), "2");
    EXPECT_FALSE(QFileInfo::exists(inside + "-moved/a.txt") ||
                 QFileInfo::exists(inside + "-moved/b.txt"));
}

} // namespace
