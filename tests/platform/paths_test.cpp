#include "platform/paths.h"
#include "support/sandbox.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace platform;

TEST(Paths, CanonicalPathResolvesLinksAndKeepsMissingText) {
    SandboxWorld world;
    world.makeFile("real/f.txt");
    ASSERT_TRUE(QFile::link(world.path("real"), world.path("link")));
    const QString real = world.path("real");

    EXPECT_EQ(canonicalPath(world.path("link/f.txt")), real + "/f.txt");
    EXPECT_EQ(canonicalPath(world.path("link/./../real/")), real);
    EXPECT_EQ(canonicalPath("/"), "/");
    EXPECT_EQ(canonicalPath(""), "");

    // Missing paths: the existing part is resolved, the rest cleaned as text.
    EXPECT_EQ(canonicalPath(world.path("link/new/./a/../b/")), real + "/new/b");
    EXPECT_EQ(canonicalPath(world.path("gone/../link/f.txt")), real + "/f.txt");
    EXPECT_EQ(canonicalPath("/no-such-top/x/../y"), "/no-such-top/y");
    EXPECT_EQ(canonicalPath("/.."), "/");

    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(world.path("link")));
    EXPECT_EQ(currentFolder(), real);
    EXPECT_EQ(canonicalPath("f.txt"), real + "/f.txt");
    EXPECT_EQ(canonicalPath("missing/../other"), real + "/other");
    QDir::setCurrent(saved);
}

TEST(Paths, KindsOfPaths) {
    SandboxWorld world;
    const QString file = world.makeFile("dir/file");
    const QString dir = world.path("dir");
    QFile::link(dir, world.path("dirlink"));
    QFile::link(world.path("nothing"), world.path("dangling"));

    EXPECT_TRUE(pathExists(file) && !isDirectory(file) && !isSymLink(file));
    EXPECT_TRUE(pathExists(dir) && isDirectory(dir) && !isSymLink(dir));
    EXPECT_TRUE(isDirectory(world.path("dirlink")) && isSymLink(world.path("dirlink")));
    EXPECT_FALSE(pathExists(world.path("dangling")));
    EXPECT_TRUE(isSymLink(world.path("dangling")));
    for (const QString& p : {world.path("nothing"), QString()})
        EXPECT_FALSE(pathExists(p) || isDirectory(p) || isSymLink(p));
}
