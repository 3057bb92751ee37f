// The registry view: REGEDIT4 text, key lookup rules, lazy roots and where the view comes from.
#include "platform/environment.h"
#include "platform/registry.h"
#include "support/entrybuilders.h"
#include "support/sandbox.h"
#include "support/timelimit.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using platform::RegistryKey;
using platform::RegistryRoot;
using platform::RegistryView;

TEST(RegistryText, ReadsSectionsValuesAndEscapes) {
    const QByteArray text = "REGEDIT4\r\n"
                            "\r\n"
                            "; a comment line\r\n"
                            "[HKEY_CLASSES_ROOT\\.doc]\r\n"
                            "@=\"Word.Document.8\"\r\n"
                            "\"Content Type\"=\"application/msword\"\r\n"
                            "\r\n"
                            "[HKEY_CLASSES_ROOT\\Word.Document.8]\r\n"
                            "@ = \"Microsoft \\\"Word\\\" Document\"\r\n"
                            "\"Path\"=\"C:\\\\Office\\\\winword.exe\"\r\n"
                            "\"Loose\"=\"C:\\Temp\"\r\n"
                            "\"Empty\"=\"\"\r\n"
                            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker\\Tool]\r\n"
                            "\"Folder\"=\"/opt/tool\"\r\n";
    RegistryView view;
    ASSERT_TRUE(platform::parseRegistryText(text, view));

    const RegistryKey* doc = view.key("HKEY_CLASSES_ROOT\\.doc");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->defaultValue(), "Word.Document.8");
    EXPECT_EQ(doc->value("content type"), "application/msword");
    EXPECT_EQ(doc->valueNames(), QStringList({"", "Content Type"}));

    const RegistryKey* word = view.key("HKEY_CLASSES_ROOT\\Word.Document.8");
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word->defaultValue(), "Microsoft \"Word\" Document");
    EXPECT_EQ(word->value("Path"), "C:\\Office\\winword.exe");
    EXPECT_EQ(word->value("Loose"), "C:\\Temp"); // a lone backslash stands for itself
    EXPECT_TRUE(word->hasValue("Empty"));
    EXPECT_FALSE(word->hasValue("Missing"));

    // Roots by long or short name; paths in any case; every level is a key of its own.
    EXPECT_EQ(view.key("hklm\\software\\MAKER\\tool")->value("folder"), "/opt/tool");
    EXPECT_EQ(view.key("HKLM\\SOFTWARE\\Maker")->subkeyNames(), QStringList({"Tool"}));
    EXPECT_EQ(view.key("HKEY_CLASSES_ROOT")->subkeyNames(),
              QStringList({".doc", "Word.Document.8"}));
    EXPECT_EQ(view.key("HKEY_CLASSES_ROOT\\.xls"), nullptr);
    EXPECT_EQ(view.key("HKEY_NOWHERE\\.doc"), nullptr);
    EXPECT_EQ(view.root(RegistryRoot::CurrentUser).subkeyCount(), 0);
}

TEST(RegistryText, SkipsOtherTypesRemovalsAndBrokenLines) {
    const QByteArray text = "REGEDIT4\n"
                            "[HKEY_CLASSES_ROOT\\.a]\n"
                            "\"Flags\"=dword:00000001\n"
                            "\"Blob\"=hex:00,01,02,\\\n"
                            "  03,04,\\\n"
                            "  05\n"
                            "\"After\"=\"kept\"\n"
                            "\"Gone\"=\"x\"\n"
                            "\"Gone\"=-\n"
                            "\"Open\"=\"no closing quote\n"
                            "garbage line\n"
                            "[HKEY_CLASSES_ROOT\\.A]\n" // the same key again, other case
                            "@=\"a.class\"\n"
                            "[HKEY_UNKNOWN\\x]\n"
                            "\"Lost\"=\"y\"\n"
                            "[HKEY_CLASSES_ROOT\\.b\\deep]\n"
                            "@=\"z\"\n"
                            "[-HKEY_CLASSES_ROOT\\.b]\n"
                            "\"AfterRemoval\"=\"nowhere\"\n"
                            "[HKEY_CLASSES_ROOT\\.c]\n"
                            "\"Overwritten\"=\"1\"\n"
                            "\"OVERWRITTEN\"=\"2\"\n";
    RegistryView view;
    ASSERT_TRUE(platform::parseRegistryText(text, view));
    const RegistryKey& classes = view.root(RegistryRoot::ClassesRoot);
    EXPECT_EQ(classes.subkeyNames(), QStringList({".a", ".c"}));
    const RegistryKey* a = classes.subkey(".a");
    EXPECT_EQ(a->valueNames(), QStringList({"After", ""}));
    EXPECT_EQ(a->value("After"), "kept");
    EXPECT_EQ(a->defaultValue(), "a.class");
    EXPECT_EQ(classes.subkey(".c")->valueNames(), QStringList({"Overwritten"}));
    EXPECT_EQ(classes.subkey(".c")->value("Overwritten"), "2");
}

TEST(RegistryText, HeaderAndEncodings) {
    RegistryView none;
    EXPECT_FALSE(platform::parseRegistryText("[HKEY_CLASSES_ROOT\\.a]\n@=\"x\"\n", none));
    EXPECT_EQ(none.root(RegistryRoot::ClassesRoot).subkeyCount(), 0);
    EXPECT_FALSE(platform::parseRegistryText("", none));

    // UTF-8 names and values; the newer header in UTF-16 with its byte order mark.
    RegistryView utf8;
    ASSERT_TRUE(platform::parseRegistryText(
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\.\xc3\xa9t\xc3\xa9]\n@=\"\xc3\xa9t\xc3\xa9 file\"\n", utf8));
    EXPECT_EQ(utf8.key(QString::fromUtf8("HKCR\\.\xc3\xa9t\xc3\xa9"))->defaultValue(),
              QString::fromUtf8("\xc3\xa9t\xc3\xa9 file"));

    QStringEncoder toUtf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray wide = toUtf16(QStringLiteral(
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n"
        "\"Cache\"=\"C:\\\\cache\"\r\n"));
    RegistryView utf16;
    ASSERT_TRUE(platform::parseRegistryText(wide, utf16));
    EXPECT_EQ(utf16.key("HKEY_CURRENT_USER\\Software\\X")->value("Cache"), "C:\\cache");
}

TEST(RegistryKeys, ExactSpellingWinsOverOtherCase) {
    RegistryKey root;
    root.addSubkey(".c").setValue({}, "text/x-csrc");
    root.addSubkey(".C").setValue({}, "text/x-c++src");
    root.addSubkey(".txt").setValue({}, "text/plain");
    EXPECT_EQ(root.subkeyCount(), 3);
    EXPECT_EQ(root.subkey(".c")->defaultValue(), "text/x-csrc");
    EXPECT_EQ(root.subkey(".C")->defaultValue(), "text/x-c++src");
    EXPECT_EQ(root.subkey(".TXT")->defaultValue(), "text/plain");
    // A backslash in a name given to subkey() is part of the name, not a path.
    root.addPath("a\\b");
    EXPECT_EQ(root.subkey("a\\b"), nullptr);
    EXPECT_NE(root.find("A\\B"), nullptr);
    EXPECT_EQ(root.find(""), &root);

    // Removing keeps the lookups of the remaining keys right.
    EXPECT_TRUE(root.removePath(".c"));
    EXPECT_FALSE(root.removePath(".nothing"));
    EXPECT_EQ(root.subkey(".c")->defaultValue(), "text/x-c++src"); // only ".C" is left
    EXPECT_EQ(root.subkey(".txt")->defaultValue(), "text/plain");
}

TEST(RegistryView, FillsEachRootOnceWhenFirstAskedFor) {
    QList<RegistryRoot> filled;
    RegistryView view([&filled](RegistryRoot which, RegistryKey& root) {
        filled << which;
        root.addSubkey(RegistryView::rootName(which) + "-child");
    });
    EXPECT_TRUE(filled.isEmpty());
    EXPECT_NE(view.key("HKLM\\HKEY_LOCAL_MACHINE-child"), nullptr);
    EXPECT_NE(view.key("HKEY_LOCAL_MACHINE\\hkey_local_machine-CHILD"), nullptr);
    EXPECT_EQ(view.root(RegistryRoot::ClassesRoot).subkeyNames(),
              QStringList({"HKEY_CLASSES_ROOT-child"}));
    EXPECT_EQ(filled, QList<RegistryRoot>({RegistryRoot::LocalMachine, RegistryRoot::ClassesRoot}));
}

TEST(RegistrySource, FileReplacesTheWholeViewAndIsKeptUntilReload) {
    SandboxWorld world;
    const QString file = world.useRegistry("REGEDIT4\n[HKEY_CLASSES_ROOT\\.abc]\n"
                                           "@=\"abc.class\"\n");
    const RegistryView& view = platform::registry();
    EXPECT_EQ(view.key("HKCR\\.abc")->defaultValue(), "abc.class");
    EXPECT_EQ(view.key("HKCR\\.txt"), nullptr); // the MIME database is not consulted
    EXPECT_EQ(view.root(RegistryRoot::ClassesRoot).subkeyCount(), 1);

    // Built once: a change of the file is seen only after a reload, with a new generation.
    world.makeFile("registry.reg", "REGEDIT4\n[HKEY_CLASSES_ROOT\\.xyz]\n");
    const quint64 before = platform::registryGeneration();
    EXPECT_NE(platform::registry().key("HKCR\\.abc"), nullptr);
    world.reload();
    EXPECT_NE(platform::registryGeneration(), before);
    EXPECT_EQ(platform::registry().key("HKCR\\.abc"), nullptr);
    EXPECT_NE(platform::registry().key("HKCR\\.xyz"), nullptr);

    // A file that cannot be read is an empty registry, not the machine's.
    world.setEnv("VASTEL_REGISTRY", world.path("missing.reg"));
    EXPECT_EQ(platform::registry().root(RegistryRoot::ClassesRoot).subkeyCount(), 0);
}

TEST(RegistrySource, ClassesRootFromTheMimeDatabase) {
    SandboxWorld world; // VASTEL_REGISTRY unset
    const RegistryView& view = platform::registry();
    const RegistryKey* txt = view.key("HKEY_CLASSES_ROOT\\.txt");
    ASSERT_NE(txt, nullptr) << "shared MIME database missing";
    EXPECT_EQ(txt->defaultValue(), "text/plain");
    EXPECT_EQ(view.key("HKEY_CLASSES_ROOT\\text/plain")->defaultValue(), "plain text document");
    // Several types claim "*.htm" (HTML and XHTML); the database's own choice wins.
    EXPECT_EQ(view.key("HKCR\\.htm")->defaultValue(), "text/html");
    EXPECT_EQ(view.key("HKCR\\.mod")->defaultValue(), "audio/x-mod");
    // Case-sensitive globs stay apart: "*.C" is C++, "*.c" is C.
    EXPECT_EQ(view.key("HKCR\\.c")->defaultValue(), "text/x-csrc");
    EXPECT_EQ(view.key("HKCR\\.C")->defaultValue(), "text/x-c++src");
    // Only plain extensions become keys: no wildcard or literal-name globs.
    for (const QString& name : view.root(RegistryRoot::ClassesRoot).subkeyNames()) {
        if (name.startsWith('.')) {
            EXPECT_FALSE(name.contains('*') || name.contains('?') || name.contains('['))
                << qPrintable(name);
        }
    }
    EXPECT_EQ(view.key("HKCR\\Makefile"), nullptr);
}

TEST(RegistrySource, AFifoForTheFileIsRefusedAtOnceWithItsReason) {
    SandboxWorld world;
    const QString fifo = world.path("registry.fifo");
    ASSERT_TRUE(scantest::makeFifo(fifo));
    world.setEnv("VASTEL_REGISTRY", fifo);
    EXPECT_TRUE(finishesInTime([&] {
        return platform::registry().root(RegistryRoot::ClassesRoot).subkeyCount() == 0 &&
               platform::registryProblem() ==
                   "The registry file " + fifo + " cannot be read: not a regular file";
    }));

    // A file that is read leaves no problem behind.
    world.useRegistry("REGEDIT4\n");
    EXPECT_EQ(platform::registryProblem(), QString());
}
