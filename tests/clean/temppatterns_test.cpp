#include "app/inifile.h"
#include "clean/temppatterns.h"
#include "support/sandbox.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

using namespace tempfiles;

namespace {

class TempPatterns : public ::testing::Test {
protected:
    void SetUp() override {
        // Descriptions as the registry view gives them.
        world.useRegistry("REGEDIT4\r\n\r\n"
                          "[HKEY_CLASSES_ROOT\\.tmp]\r\n@=\"tmpfile\"\r\n"
                          "[HKEY_CLASSES_ROOT\\tmpfile]\r\n@=\"Temporary File\"\r\n");
    }
    void writeIni(const QByteArray& text) {
        QFile f(settingsFile().path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    static QStringList patterns(const PatternList& list) {
        QStringList out;
        for (const QString& item : list.items())
            out << patternOf(item);
        return out;
    }

    SandboxWorld world;
};

} // namespace

TEST_F(TempPatterns, ItemsCarryTheDescriptionOfTheirExtension) {
    EXPECT_EQ(itemOf("*.tmp"), "*.tmp\tTemporary File");
    EXPECT_EQ(itemOf("*.bak"), "*.bak\tBAK File");
    EXPECT_EQ(patternOf("*.tmp\tTemporary File"), "*.tmp");
    EXPECT_EQ(patternOf("*.x"), "*.x");
}

TEST_F(TempPatterns, DefaultsOnAListHoldingTmpAddFive) {
    PatternList list({itemOf("*.tmp")});
    EXPECT_EQ(list.addDefaults(), 5);
    EXPECT_EQ(list.size(), 6);
    EXPECT_EQ(patterns(list), QStringList({"*.$$$", "*.bak", "*.fts", "*.old", "*.temp", "*.tmp"}));
    EXPECT_EQ(list.addDefaults(), 0); // nothing twice, nothing removed
    list.add(itemOf("*.xyz"));
    EXPECT_EQ(list.addDefaults(), 0);
    EXPECT_EQ(list.size(), 7);
}

// The list against a plain model: sorted by text ignoring case, then exactly; never two equal
// items; removing rows removes exactly those.
TEST_F(TempPatterns, ListBehavesAsASortedSetOfItems) {
    QRandomGenerator random(7);
    const QStringList pool = {"*.tmp", "*.TMP", "*.bak", "*.Bak", "*.$$$", "*.~", "*.a", "*.B"};
    for (int round = 0; round < 50; ++round) {
        PatternList list;
        QStringList model;
        for (int i = 0; i < 12; ++i) {
            const QString item = pool[int(random.bounded(pool.size()))] + "\tx";
            const bool added = list.add(item);
            EXPECT_EQ(added, !model.contains(item));
            if (added)
                model << item;
        }
        std::sort(model.begin(), model.end(), [](const QString& a, const QString& b) {
            const int c = a.compare(b, Qt::CaseInsensitive);
            return c != 0 ? c < 0 : a < b;
        });
        ASSERT_EQ(list.items(), model);

        QList<int> rows;
        for (int row = 0; row < model.size(); ++row) {
            if (random.bounded(2))
                rows << row;
        }
        QStringList kept;
        for (int row = 0; row < model.size(); ++row) {
            if (!rows.contains(row))
                kept << model[row];
        }
        rows << 99 << -1; // out of range: passed over
        std::reverse(rows.begin(), rows.end());
        list.removeRows(rows);
        EXPECT_EQ(list.items(), kept);
    }
}

TEST_F(TempPatterns, StoredListReadsBackAndRewritesTheSameKeys) {
    // No section: the four built-in patterns.
    EXPECT_EQ(patterns(readPatterns()), QStringList({"*.$$$", "*.bak", "*.fts", "*.tmp"}));

    writeIni("[TempFiles]\r\nNumber=3\r\nFile1=*.zzz\r\nFile2=\r\nFile3=*.aaa\r\nFile4=*.old\r\n");
    const PatternList read = readPatterns();
    EXPECT_EQ(patterns(read), QStringList({"*.aaa", "*.zzz"}));

    ASSERT_TRUE(writePatterns(read));
    const IniFile ini = settingsFile();
    EXPECT_EQ(ini.readInteger("TempFiles", "Number", -1), 2);
    EXPECT_EQ(ini.readString("TempFiles", "File1", ""), "*.aaa");
    EXPECT_EQ(ini.readString("TempFiles", "File2", ""), "*.zzz");
    EXPECT_EQ(ini.readString("TempFiles", "File4", ""), "*.old"); // left, never read
    const QByteArray before = SandboxWorld::readBytes(ini.path());
    ASSERT_TRUE(writePatterns(readPatterns()));
    EXPECT_EQ(SandboxWorld::readBytes(ini.path()), before);

    // An emptied list stays empty; without the Number key the built-in patterns come back.
    ASSERT_TRUE(writePatterns(PatternList()));
    EXPECT_EQ(readPatterns().size(), 0);
    writeIni("[TempFiles]\r\nFile1=*.aaa\r\n");
    EXPECT_EQ(patterns(readPatterns()), QStringList({"*.$$$", "*.bak", "*.fts", "*.tmp"}));
}

TEST_F(TempPatterns, PatternExtensionIsTheTextAfterTheFirstCharacter) {
    EXPECT_EQ(patternExtension("*.TMP\tTMP File"), ".tmp");
    EXPECT_EQ(patternExtension("*.$$$"), ".$$$");
    EXPECT_EQ(patternExtension("x.t?p\tdesc"), ".t?p"); // no wildcard is read as one
    EXPECT_EQ(patternExtension("*.a.b"), ".a.b");
}

// The extension test against a plain model of the rule: the name's text from its last dot, in
// lower case, equals one selected pattern's extension.
TEST_F(TempPatterns, ExtensionPatternFollowsTheLastDotOfTheName) {
    const QStringList selected = {"*.tmp\tTMP", "*.$$$\t$$$", "*.bak\tBAK", "*.\tNone"};
    const platform::WildcardPattern test = extensionPattern(selected);
    const QStringList names = {"SETUP.$$$", "setup.$$", "A.TMP", "x.tmp",          "x.tmp.old",
                               "tmp",       ".tmp",     "Tmp.",  "report.doc.bak", "a.bak~",
                               "noext",     ".",        "x.TmP", "a.$$$.tmp"};
    for (const QString& name : names) {
        const qsizetype dot = name.lastIndexOf('.');
        const QString extension = dot < 0 ? QString() : name.mid(dot).toLower();
        bool expected = false;
        for (const QString& item : selected)
            expected = expected || extension == patternExtension(item);
        EXPECT_EQ(test.matches(name), expected) << name.toStdString();
    }
    EXPECT_EQ(test.text(), "*.tmp;*.$$$;*.bak;*.");

    const platform::WildcardPattern dollars = extensionPattern({"*.$$$\t"});
    EXPECT_TRUE(dollars.matches("SETUP.$$$"));
    EXPECT_FALSE(dollars.matches("SETUP.TMP"));
    EXPECT_FALSE(dollars.matches("SETUP$$$"));
    EXPECT_FALSE(extensionPattern({}).matches("x.tmp"));
    // Not a wildcard: "?" is a character of the extension.
    EXPECT_FALSE(extensionPattern({"*.t?p"}).matches("a.tmp"));
    EXPECT_TRUE(extensionPattern({"*.t?p"}).matches("a.T?P"));
}
