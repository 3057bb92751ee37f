// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER from the desktop entries of installed programs.
#include "platform/environment.h"
#include "platform/registry.h"
#include "support/entrybuilders.h"
#include "support/sandbox.h"
#include "support/timelimit.h"

#include <gtest/gtest.h>

TEST(DesktopEntries, OneKeyPerEntryBelowSoftwareTheFirstOfAnIdWins) {
    SandboxWorld world;
    const QByteArray head = "# comment\n[Desktop Entry]\nType=Application\n";
    world.makeFile("one/applications/edit.desktop",
                   head + "Exec = /opt/edit/bin/edit %F\nExec=/second/ignored\n"
                          "Icon[de]=/localised.png\nIcon=/opt/edit/edit.png\n"
                          "Path=/srv/a\\sb\\\\c\r\n[Desktop Action New]\nTryExec=/other/group\n");
    world.makeFile("one/applications/kde/tools/view.desktop", head + "Exec=/opt/view %u\n");
    world.makeFile("one/applications/gone.desktop", head + "Exec=/hidden\nHidden=true\n");
    world.makeFile("one/applications/nogroup.desktop", "Exec=/no/group\n");
    world.makeFile("two/applications/edit.desktop", head + "Exec=/shadowed\n");
    world.makeFile("two/applications/kde-tools-view.desktop", head + "Exec=/shadowed\n");
    world.makeFile("two/applications/gone.desktop", head + "Exec=/shadowed\n");
    world.makeFile("two/applications/nogroup.desktop", head + "Exec=/second/nogroup\n");
    world.makeFile("xdg-data/applications/mine.desktop", head + "Exec=/home/me/mine\n");
    world.setEnv("XDG_DATA_DIRS", world.path("one") + ":relative::" + world.path("two/"));
    EXPECT_EQ(platform::places().xdgDataDirs, QStringList({world.path("one"), world.path("two")}));

    const platform::RegistryKey* lm = platform::registry().key("HKEY_LOCAL_MACHINE\\SOFTWARE");
    ASSERT_NE(lm, nullptr);
    QStringList ids = lm->subkeyNames();
    ids.sort();
    EXPECT_EQ(ids, QStringList({"edit.desktop", "kde-tools-view.desktop", "nogroup.desktop"}));
    const platform::RegistryKey* edit = lm->subkey("edit.desktop");
    EXPECT_EQ(edit->valueNames(), QStringList({"Exec", "Icon", "Path"}));
    EXPECT_EQ(edit->value("Exec"), "/opt/edit/bin/edit %F");
    EXPECT_EQ(edit->value("Icon"), "/opt/edit/edit.png");
    EXPECT_EQ(edit->value("Path"), "/srv/a b\\c");
    EXPECT_EQ(lm->subkey("kde-tools-view.desktop")->value("Exec"), "/opt/view %u");
    EXPECT_EQ(lm->subkey("nogroup.desktop")->value("Exec"), "/second/nogroup");
    EXPECT_EQ(platform::registry().key("HKCU\\SOFTWARE\\mine.desktop")->value("Exec"),
              "/home/me/mine");

    // Read anew on request: a program installed since is seen.
    world.makeFile("two/applications/new.desktop", head + "Exec=/opt/new\n");
    EXPECT_EQ(platform::registry().key("HKLM\\SOFTWARE\\new.desktop"), nullptr);
    platform::reloadRegistry();
    EXPECT_NE(platform::registry().key("HKLM\\SOFTWARE\\new.desktop"), nullptr);

    // A registry file pins the whole view.
    world.useRegistry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Pinned]\n");
    EXPECT_EQ(platform::registry().key("HKLM\\SOFTWARE")->subkeyNames(), QStringList({"Pinned"}));
    EXPECT_EQ(platform::registry().key("HKCU\\SOFTWARE"), nullptr);
}

TEST(DesktopEntries, AnEntryThatIsAFifoIsPassedOverWithoutWaiting) {
    SandboxWorld world;
    world.makeFile("one/applications/edit.desktop", "[Desktop Entry]\nExec=/opt/edit\n");
    ASSERT_TRUE(scantest::makeFifo(world.path("one/applications/pipe.desktop")));
    world.setEnv("XDG_DATA_DIRS", world.path("one"));
    EXPECT_TRUE(finishesInTime([] {
        const platform::RegistryKey* lm = platform::registry().key("HKEY_LOCAL_MACHINE\\SOFTWARE");
        return lm && lm->subkeyNames() == QStringList({"edit.desktop"});
    }));
}
