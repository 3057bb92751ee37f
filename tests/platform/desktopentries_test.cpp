// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER from the desktop entries of installed programs.
#include "platform/environment.h"
#include "platform/registry.h"
#include "support/sandbox.h"

#include <gtest/gtest.h>

using platform::RegistryKey;
using platform::RegistryRoot;

namespace {

QByteArray entry(const QByteArray& body) {
    return "# made by a test\n[Desktop Entry]\nType=Application\n" + body;
}

} // namespace

TEST(DesktopEntries, KeysBelowSoftwareFromEveryDataFolderFirstIdWins) {
    SandboxWorld world;
    world.makeFile("one/applications/editor.desktop",
                   entry("Name=Editor\n"
                         "Exec = /opt/editor/bin/edit %F\n"
                         "Exec=/second/exec/is/ignored\n"
                         "TryExec=/opt/editor/bin/edit\n"
                         "Icon[de]=/lokal/icon.png\n"
                         "Icon=/opt/editor/share/edit.png\n"
                         "Path=/srv/with\\sblank\\\\back\\qslash\r\n"
                         "[Desktop Action New]\n"
                         "Exec=/opt/editor/bin/edit --new\n"
                         "Icon=/not/of/the/main/group.png\n"));
    world.makeFile("one/applications/kde/tools/viewer.desktop", entry("Exec=/opt/kde/view %u\n"));
    world.makeFile("one/applications/notes.txt", "Exec=/not/a/desktop/file\n");
    world.makeFile("one/applications/broken.desktop", "Exec=/no/group/at/all\n");
    world.makeFile("one/applications/gone.desktop", entry("Exec=/hidden/here\nHidden=true\n"));
    // The second folder's entries lose against the first one's of the same id.
    world.makeFile("two/applications/editor.desktop", entry("Exec=/shadowed/edit\n"));
    world.makeFile("two/applications/kde-tools-viewer.desktop", entry("Exec=/shadowed/view\n"));
    world.makeFile("two/applications/gone.desktop", entry("Exec=/shadowed/gone\n"));
    world.makeFile("two/applications/broken.desktop", entry("Exec=/second/broken\n"));
    world.makeFile("two/applications/plain.desktop", entry("Exec=plain\n"));
    // The user's own entries make HKEY_CURRENT_USER.
    world.makeFile("xdg-data/applications/mine.desktop", entry("Exec=/home/me/bin/mine\n"));

    world.setEnv("XDG_DATA_DIRS", world.path("one") + ":relative/share::" + world.path("two/"));
    EXPECT_EQ(platform::places().xdgDataDirs, QStringList({world.path("one"), world.path("two")}));
    const platform::RegistryView& view = platform::registry();

    const RegistryKey* software = view.key("HKEY_LOCAL_MACHINE\\SOFTWARE");
    ASSERT_NE(software, nullptr);
    QStringList ids = software->subkeyNames();
    ids.sort();
    EXPECT_EQ(ids, QStringList({"broken.desktop", "editor.desktop", "kde-tools-viewer.desktop",
                                "plain.desktop"}));

    const RegistryKey* editor = software->subkey("editor.desktop");
    EXPECT_EQ(editor->valueNames(), QStringList({"Exec", "TryExec", "Icon", "Path"}));
    EXPECT_EQ(editor->value("Exec"), "/opt/editor/bin/edit %F");
    EXPECT_EQ(editor->value("TryExec"), "/opt/editor/bin/edit");
    EXPECT_EQ(editor->value("Icon"), "/opt/editor/share/edit.png");
    EXPECT_EQ(editor->value("Path"), "/srv/with blank\\back\\qslash");
    EXPECT_EQ(software->subkey("kde-tools-viewer.desktop")->value("Exec"), "/opt/kde/view %u");
    EXPECT_EQ(software->subkey("broken.desktop")->value("Exec"), "/second/broken");

    const RegistryKey* user = view.key("HKCU\\SOFTWARE");
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->subkeyNames(), QStringList({"mine.desktop"}));
    EXPECT_EQ(user->subkey("mine.desktop")->value("Exec"), "/home/me/bin/mine");

    // A registry file pins the whole view: no desktop entries then.
    world.useRegistry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Pinned]\n\"Exec\"=\"/pinned\"\n");
    EXPECT_EQ(platform::registry().key("HKLM\\SOFTWARE")->subkeyNames(), QStringList({"Pinned"}));
    EXPECT_EQ(platform::registry().root(RegistryRoot::CurrentUser).subkeyCount(), 0);
}

TEST(DesktopEntries, DefaultDataFoldersAndReadingAnew) {
    SandboxWorld world;
    world.setEnv("XDG_DATA_DIRS", QString());
    EXPECT_EQ(platform::places().xdgDataDirs, QStringList({"/usr/local/share", "/usr/share"}));
    world.setEnv("XDG_DATA_HOME", "relative");
    EXPECT_EQ(platform::places().xdgDataHome, world.path("home/.local/share"));

    // A program installed after the view was built is seen once the view is read anew.
    world.setEnv("XDG_DATA_DIRS", world.path("sys"));
    EXPECT_EQ(platform::registry().key("HKLM\\SOFTWARE")->subkeyCount(), 0);
    world.makeFile("sys/applications/new.desktop", entry("Exec=/opt/new/run\n"));
    EXPECT_EQ(platform::registry().key("HKLM\\SOFTWARE")->subkeyCount(), 0);
    platform::reloadRegistry();
    EXPECT_NE(platform::registry().key("HKLM\\SOFTWARE\\new.desktop"), nullptr);
}
