// Type names of extensions, the registered extensions, the stored type lists and typed patterns.
#include "app/inifile.h"
#include "app/lists.h"
#include "stats/filetypes.h"
#include "support/sandbox.h"

#include <QMimeDatabase>
#include <gtest/gtest.h>

namespace {

const QByteArray kRegistry = "REGEDIT4\r\n"
                             "[HKEY_CLASSES_ROOT\\.doc]\r\n"
                             "@=\"Word.Document.8\"\r\n"
                             "[HKEY_CLASSES_ROOT\\Word.Document.8]\r\n"
                             "@=\"Microsoft Word Document\"\r\n"
                             "[HKEY_CLASSES_ROOT\\.exe]\r\n"
                             "@=\"exefile\"\r\n"
                             "[HKEY_CLASSES_ROOT\\exefile]\r\n"
                             "@=\"Application\"\r\n"
                             // a class without a key of its own
                             "[HKEY_CLASSES_ROOT\\.cls]\r\n"
                             "@=\"Bare.Class\"\r\n"
                             // a class whose description is empty
                             "[HKEY_CLASSES_ROOT\\.emp]\r\n"
                             "@=\"Empty.Class\"\r\n"
                             "[HKEY_CLASSES_ROOT\\Empty.Class]\r\n"
                             "@=\"\"\r\n"
                             // the value named like the key comes before the default value
                             "[HKEY_CLASSES_ROOT\\.nam]\r\n"
                             "\".nam\"=\"Named.Class\"\r\n"
                             "@=\"Default.Class\"\r\n"
                             "[HKEY_CLASSES_ROOT\\Named.Class]\r\n"
                             "\"Named.Class\"=\"Named description\"\r\n"
                             "@=\"Default description\"\r\n"
                             "[HKEY_CLASSES_ROOT\\Default.Class]\r\n"
                             "@=\"Wrong description\"\r\n"
                             // ... unless it is empty
                             "[HKEY_CLASSES_ROOT\\.emn]\r\n"
                             "\".emn\"=\"\"\r\n"
                             "@=\"Default.Class\"\r\n"
                             // extensions for the list of registered ones
                             "[HKEY_CLASSES_ROOT\\.B]\r\n"
                             "[HKEY_CLASSES_ROOT\\.a]\r\n"
                             "[HKEY_CLASSES_ROOT\\.abcd]\r\n"
                             "[HKEY_CLASSES_ROOT\\.abcde]\r\n"
                             "[HKEY_CLASSES_ROOT\\.c]\r\n";

class FileTypes : public ::testing::Test {
protected:
    void SetUp() override { world.useRegistry(kRegistry); }
    SandboxWorld world;
};

} // namespace

TEST_F(FileTypes, DescriptionsAndTheirFallbacks) {
    EXPECT_EQ(fileTypeDescription(".doc"), "Microsoft Word Document");
    EXPECT_EQ(fileTypeDescription(".DOC"), "Microsoft Word Document");
    EXPECT_EQ(fileTypeDescription(".exe"), "Application");
    EXPECT_EQ(fileTypeDescription(".cls"), "Bare.Class");  // class name without description
    EXPECT_EQ(fileTypeDescription(".emp"), "Empty.Class"); // empty description
    EXPECT_EQ(fileTypeDescription(".nam"), "Named description");
    EXPECT_EQ(fileTypeDescription(".emn"), "Wrong description");
    // Not registered: the extension in upper case.
    EXPECT_EQ(fileTypeDescription(".xyz"), "XYZ File");
    EXPECT_EQ(fileTypeDescription(".txt"), "TXT File"); // the file is the whole registry
    EXPECT_EQ(fileTypeDescription(".Tar"), "TAR File");
    EXPECT_EQ(fileTypeDescription("*."), "No extension");
    EXPECT_EQ(fileTypeDescription("*.xyz"), "");
    EXPECT_EQ(fileTypeDescription(""), "");
}

// A file's type: its registered extension's description, else the MIME type its whole name
// matches, else the fallback of its extension.
TEST_F(FileTypes, DescriptionsOfFileNames) {
    const QMimeDatabase mime;
    const auto comment = [&](const char* type) { return mime.mimeTypeForName(type).comment(); };
    ASSERT_FALSE(comment("application/x-sharedlib").isEmpty());
    EXPECT_EQ(fileTypeDescriptionOfName("libfoo.so.5"), comment("application/x-sharedlib"));
    EXPECT_EQ(fileTypeDescriptionOfName("Makefile"), comment("text/x-makefile"));
    // A registered extension keeps its description, whatever the whole name matches.
    EXPECT_EQ(fileTypeDescriptionOfName("README.doc"), "Microsoft Word Document");
    EXPECT_EQ(fileTypeDescriptionOfName("libfoo.so.cls"), "Bare.Class");
    // Nothing matches: the extension's fallback, and nothing for a name without one.
    EXPECT_EQ(fileTypeDescriptionOfName("data.qqqzz"), "QQQZZ File");
    EXPECT_EQ(fileTypeDescriptionOfName("plainname"), "");
    EXPECT_EQ(fileTypeDescriptionOfName("archive.tar.gz"), comment("application/x-compressed-tar"));
}

TEST_F(FileTypes, RememberedAnswersAreDroppedOnReload) {
    EXPECT_EQ(fileTypeDescription(".doc"), "Microsoft Word Document");
    world.makeFile("registry.reg", "REGEDIT4\n[HKEY_CLASSES_ROOT\\.doc]\n@=\"Letter\"\n");
    EXPECT_EQ(fileTypeDescription(".doc"), "Microsoft Word Document");
    world.reload();
    EXPECT_EQ(fileTypeDescription(".doc"), "Letter");
    EXPECT_EQ(fileTypeDescription(".exe"), "EXE File");
}

TEST_F(FileTypes, RegisteredExtensionsSortedAndShort) {
    // Keys that begin with "." and are shorter than 6 characters, ignoring case in the order.
    const QStringList expected = {"*.a",   "*.abcd", "*.B",   "*.c",   "*.cls",
                                  "*.doc", "*.emn",  "*.emp", "*.exe", "*.nam"};
    EXPECT_EQ(listRegisteredExtensions(false), expected);
    EXPECT_EQ(listRegisteredExtensions(true), QStringList{"*.*"} + expected);

    world.useRegistry("REGEDIT4\n");
    EXPECT_EQ(listRegisteredExtensions(true), QStringList({"*.*"}));
    EXPECT_TRUE(listRegisteredExtensions(false).isEmpty());
}

TEST(FileTypesFromMime, RealDescriptionsWithoutARegistryFile) {
    SandboxWorld world; // VASTEL_REGISTRY unset: the shared MIME database
    EXPECT_EQ(fileTypeDescription(".txt"), "plain text document");
    EXPECT_EQ(fileTypeDescription(".doc"), "Word document");
    EXPECT_EQ(fileTypeDescription(".no-such-ext"), "NO-SUCH-EXT File");
    const QStringList registered = listRegisteredExtensions(false);
    EXPECT_TRUE(registered.contains("*.txt"));
    EXPECT_TRUE(registered.contains("*.doc"));
    EXPECT_FALSE(registered.contains("*.*"));
    for (qsizetype i = 0; i < registered.size(); ++i) {
        EXPECT_LT(registered[i].size(), 7) << qPrintable(registered[i]);
        if (i > 0) {
            EXPECT_LE(registered[i - 1].compare(registered[i], Qt::CaseInsensitive), 0);
        }
    }
}

TEST_F(FileTypes, ReadingStoredLists) {
    // Nothing stored: the three defaults with their descriptions, in this order.
    EXPECT_EQ(
        ReadStatFilesFromDisk(lists::Include),
        QStringList({"*.doc\tMicrosoft Word Document", "*.exe\tApplication", "*.dll\tDLL File"}));
    world.makeFile("config/vastel.ini", "[Include]\nNumber=0\nFile1=*.doc\n"
                                        "[Exclude]\nNumber=4\nFile1=*.nam\nFile2=\n"
                                        "File3=*.\nFile4=readme\nFile5=*.stale\n");
    EXPECT_TRUE(ReadStatFilesFromDisk(lists::Include).isEmpty());
    EXPECT_EQ(ReadStatFilesFromDisk(lists::Exclude),
              QStringList({"*.nam\tNamed description", "*.\tNo extension", "readme\t"}));
}

TEST_F(FileTypes, WritingStoredLists) {
    ASSERT_TRUE(
        WriteStatFilesToDisk({"*.a\tA", "*.b\tB", "*.c\tC", "*.d\tD", "*.e\tE"}, lists::Exclude));
    // Entries are cut at their first TAB; one without a TAB is stored whole.
    ASSERT_TRUE(
        WriteStatFilesToDisk({"*.doc\tMicrosoft Word Document\tmore", "*.tmp"}, lists::Exclude));
    EXPECT_EQ(SandboxWorld::readBytes(settingsFile().path()),
              QByteArray("[Exclude]\nNumber=2\nFile1=*.doc\nFile2=*.tmp\nFile3=*.c\n"
                         "File4=*.d\nFile5=*.e\n"));
    EXPECT_EQ(ReadStatFilesFromDisk(lists::Exclude),
              QStringList({"*.doc\tMicrosoft Word Document", "*.tmp\tTMP File"}));
    // The other list is untouched.
    EXPECT_EQ(ReadStatFilesFromDisk(lists::Include).size(), 3);

    ASSERT_TRUE(WriteStatFilesToDisk({}, lists::Include));
    EXPECT_TRUE(ReadStatFilesFromDisk(lists::Include).isEmpty());
}

TEST(PatternFromTypedText, TypedTextBecomesAPattern) {
    struct Case {
        const char* typed;
        const char* pattern;
    };
    const Case cases[] = {
        {"txt", "*.txt"}, {".txt", "*.txt"}, {"*.txt", "*.txt"},  {"*", ""},
        {".*", ""},       {"*.*", ""},       {"a.txt", "*a.txt"}, {"a*", "a*"},
        {"*txt", "*txt"}, {"a*.b", "a*.b"},  {"*.", "*."},        {"", "*."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(patternFromTypedText(c.typed), c.pattern) << c.typed;
}

TEST_F(FileTypes, PatternDescriptions) {
    EXPECT_EQ(patternDescription("*.doc"), "Microsoft Word Document");
    EXPECT_EQ(patternDescription("a.b.doc"), "Microsoft Word Document");
    EXPECT_EQ(patternDescription("*."), "No extension");
    EXPECT_EQ(patternDescription("*txt"), "");
}
