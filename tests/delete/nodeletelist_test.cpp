// The non-delete list from the folder references of the registry.
#include "delete/nodeletelist.h"
#include "platform/registry.h"
#include "support/sandbox.h"

#include <gtest/gtest.h>

using nodelete::referencedFolder;
using platform::RegistryKey;
using platform::RegistryRoot;

TEST(NonDeleteList, WhichValuesReferToAFolder) {
    EXPECT_EQ(referencedFolder("/usr/bin/notepad %1"), "/usr/bin/");
    EXPECT_EQ(referencedFolder("/opt/data"), "/opt/"); // a folder names the folder above it
    EXPECT_EQ(referencedFolder("/usr"), "/");
    for (const char* none : {"/ab", "usr/bin/x", "\"/usr/bin/x\"", "/usr/bin:/bin",
                             "/usr/bin/x --url=http://h/", "/usr/bin;/bin"})
        EXPECT_EQ(referencedFolder(none), "") << none;
}

TEST(NonDeleteList, BuildKeepsExistingFoldersOnceSorted) {
    SandboxWorld world;
    const QString apps = world.makeDir("c/Apps"), lower = world.makeDir("c/apps");
    const QString bin = world.makeDir("c/bin");
    world.makeFile("c/bin/tool");
    platform::RegistryView view;
    RegistryKey& lm = view.mutableRoot(RegistryRoot::LocalMachine);
    lm.addPath("SOFTWARE").setValue("Own", world.path("c/x")); // the key itself: not read
    lm.addPath("SOFTWARE\\Tool").setValue("Exec", bin + "/tool %f");
    lm.addPath("SOFTWARE\\Tool\\Sub").setValue("Icon", lower + "/x.png");
    lm.addPath("SOFTWARE\\Gone").setValue("Exec", world.path("c/missing/run"));
    lm.addPath("SOFTWARE\\File").setValue("Exec", bin + "/tool/inside"); // not a folder
    lm.addPath("SOFTWARE\\Two").setValue("Exec", bin + "/tool:" + apps + "/;");
    lm.addPath("Other").setValue("Exec", world.path("c/outside"));
    RegistryKey& cu = view.mutableRoot(RegistryRoot::CurrentUser);
    cu.addPath("SOFTWARE\\Mine").setValue("Path", apps + "/");
    cu.addPath("SOFTWARE\\Again").setValue("Exec", bin + "/other"); // listed already

    // In order ignoring case, but "Apps" and "apps" are two folders.
    EXPECT_EQ(nodelete::buildFromRegistry(view), QStringList({apps + "/", lower + "/", bin + "/"}));
}

TEST(NonDeleteList, ValuesAreReadAtMostTwentyFiveLevelsDown) {
    SandboxWorld world;
    RegistryKey software("SOFTWARE");
    RegistryKey* key = &software;
    for (int level = 1; level <= 27; ++level) {
        key = &key->addSubkey(QStringLiteral("k%1").arg(level));
        key->setValue("Path", world.makeDir(QStringLiteral("c/%1").arg(level)) + "/file");
    }
    nodelete::FolderReferenceScan scan;
    scan.findpaths(software);
    ASSERT_EQ(scan.folders().size(), 25);
    EXPECT_EQ(scan.folders().last(), world.path("c/25/"));
}
