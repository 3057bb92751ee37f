// The non-delete list from the folder references of the registry.
#include "delete/nodeletelist.h"
#include "platform/registry.h"
#include "support/sandbox.h"

#include <gtest/gtest.h>

using nodelete::referencedFolder;
using platform::RegistryKey;
using platform::RegistryRoot;
using platform::RegistryView;

TEST(NonDeleteList, WhichValuesReferToAFolder) {
    EXPECT_EQ(referencedFolder("/usr/bin/notepad %1"), "/usr/bin/");
    EXPECT_EQ(referencedFolder("/opt/data"), "/opt/"); // a folder names the folder above it
    EXPECT_EQ(referencedFolder("/opt/data/"), "/opt/data/");
    EXPECT_EQ(referencedFolder("/usr"), "/");
    EXPECT_EQ(referencedFolder("/ab"), "");               // too short
    EXPECT_EQ(referencedFolder("usr/bin/x"), "");         // not absolute
    EXPECT_EQ(referencedFolder("\"/usr/bin/x\" %1"), ""); // quoted
    EXPECT_EQ(referencedFolder("/usr/bin:/bin"), "");     // a second path
    EXPECT_EQ(referencedFolder("/usr/bin/x --url=http://host/"), "");
    EXPECT_EQ(referencedFolder("/usr/bin;/bin"), ""); // a list
    EXPECT_EQ(referencedFolder("file:///usr/bin/"), "");
    EXPECT_EQ(referencedFolder(""), "");
}

TEST(NonDeleteList, BuildKeepsExistingFoldersOnceSorted) {
    SandboxWorld world;
    const QString apps = world.makeDir("c/Apps");
    const QString bin = world.makeDir("c/bin");
    const QString lower = world.makeDir("c/apps");
    world.makeFile("c/bin/tool");
    RegistryView view;
    RegistryKey& lm = view.mutableRoot(RegistryRoot::LocalMachine);
    lm.addPath("SOFTWARE").setValue("Own", bin + "/not-read-at-the-top"); // depth 0: not read
    lm.addPath("SOFTWARE\\Tool").setValue("Exec", bin + "/tool %f");
    lm.addPath("SOFTWARE\\Tool").setValue("", bin + "/tool"); // the same folder again
    lm.addPath("SOFTWARE\\Tool\\Sub").setValue("Icon", lower + "/x.png");
    lm.addPath("SOFTWARE\\Gone").setValue("Exec", world.path("c/missing/run"));
    lm.addPath("SOFTWARE\\File").setValue("Exec", bin + "/tool/inside"); // a file, not a folder
    lm.addPath("SOFTWARE\\Colon").setValue("Exec", bin + "/tool:" + apps + "/");
    lm.addPath("SOFTWARE\\Semi").setValue("Exec", apps + "/x;" + apps + "/y");
    lm.addPath("Other\\Key").setValue("Exec", world.path("c/") + "outside");
    RegistryKey& cu = view.mutableRoot(RegistryRoot::CurrentUser);
    cu.addPath("SOFTWARE\\Mine").setValue("Path", apps + "/");
    cu.addPath("SOFTWARE\\Again").setValue("Exec", bin + "/other");

    // Ignoring case in the order, but "Apps" and "apps" are two folders.
    EXPECT_EQ(nodelete::buildFromRegistry(view), QStringList({apps + "/", lower + "/", bin + "/"}));

    // A root without \SOFTWARE gives nothing.
    RegistryView empty;
    EXPECT_TRUE(nodelete::buildFromRegistry(empty).isEmpty());
}

TEST(NonDeleteList, ValuesAreReadAtMostTwentyFiveLevelsDown) {
    SandboxWorld world;
    RegistryKey software("SOFTWARE");
    RegistryKey* key = &software;
    QStringList expected;
    for (int level = 1; level <= 27; ++level) {
        key = &key->addSubkey(QStringLiteral("k%1").arg(level));
        const QString folder = world.makeDir(QStringLiteral("c/level%1").arg(level)) + "/";
        key->setValue("Path", folder + "file");
        if (level <= nodelete::FolderReferenceScan::kMaxDepth)
            expected << folder;
    }
    nodelete::FolderReferenceScan scan;
    scan.findpaths(software);
    EXPECT_EQ(scan.folders(), expected);
    EXPECT_EQ(scan.folders().size(), 25);
    EXPECT_TRUE(scan.folders().last().endsWith("/level25/"));
}
