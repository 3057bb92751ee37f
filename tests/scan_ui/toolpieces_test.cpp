// The pieces every tool window embeds: drive check list, pattern box, Abort.
#include "scan/ui/drivechecklist.h"
#include "scan/ui/frmwildcard.h"
#include "scan/ui/walkabort.h"
#include "scan/ui/wildcardbox.h"
#include "scanworld.h"
#include "support/scriptedboxes.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class ToolPieces : public ::testing::Test {
protected:
    SandboxWorld world;
    CurrentFolderGuard guard; // destroyed first: the current folder leaves the world in time
    ScriptedBoxes boxes;
};

QStringList itemsOf(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

} // namespace

TEST_F(ToolPieces, DriveListTicksCWhenTheCurrentDriveIsElsewhere) {
    world.setDrives({"C", "D"});
    ASSERT_TRUE(QDir::setCurrent(world.path("home")));
    DriveCheckList list;
    EXPECT_EQ(list.objectName(), "pckDrive");
    EXPECT_EQ(list.entries(),
              QStringList({"c: [" + world.path("c") + "]", "d: [" + world.path("d") + "]"}));
    EXPECT_EQ(list.tickedLetters(), QList<QChar>({'C'}));
    EXPECT_EQ(list.defaultDriveIndex(), 0);
}

TEST_F(ToolPieces, DriveListTicksTheCurrentDrive) {
    world.setDrives({"C", "D", "E"});
    ASSERT_TRUE(QDir::setCurrent(world.makeDir("e/work")));
    DriveCheckList list;
    EXPECT_EQ(list.tickedEntries(), QStringList({"e: [" + world.path("e") + "]"}));
    EXPECT_EQ(list.defaultDriveIndex(), 2);

    // The duplicate window's list: upper-case letters, and the current drive still found.
    DriveCheckList upper(nullptr, DriveCheckList::LetterCase::Upper);
    EXPECT_EQ(upper.entries().at(0), "C: [" + world.path("c") + "]");
    EXPECT_EQ(upper.tickedEntries(), QStringList({"E: [" + world.path("e") + "]"}));
}

TEST_F(ToolPieces, WithoutCStartStaysOffUntilADriveIsTicked) {
    world.setDrives({"D", "E"});
    ASSERT_TRUE(QDir::setCurrent(world.path("home")));
    DriveCheckList list;
    QPushButton btScan;
    list.enableWhenTicked(&btScan);
    EXPECT_TRUE(list.tickedLetters().isEmpty());
    EXPECT_EQ(list.defaultDriveIndex(), 0);
    EXPECT_FALSE(btScan.isEnabled());

    int clicks = 0;
    QObject::connect(&list, &DriveCheckList::ticksChanged, [&] { ++clicks; });
    list.item(1)->setCheckState(Qt::Checked); // as the user's click does
    EXPECT_TRUE(btScan.isEnabled());
    EXPECT_EQ(list.tickedLetters(), QList<QChar>({'E'}));
    list.setTicked(0, true);
    list.setTicked(1, false);
    EXPECT_TRUE(btScan.isEnabled());
    list.setTicked(0, false);
    EXPECT_FALSE(btScan.isEnabled());
    EXPECT_EQ(clicks, 4);

    // Refilling ticks as at creation.
    list.setTicked(1, true);
    list.fill();
    EXPECT_FALSE(list.anyTicked());
    EXPECT_FALSE(btScan.isEnabled());
}

TEST_F(ToolPieces, PatternBoxLabelFollowsTheText) {
    useSmallRegistry(world);
    QWidget window;
    WildCardBox box(&window);
    QComboBox* cb = box.combo();
    QLabel* lbl = box.label();
    ASSERT_NE(lbl, nullptr);
    EXPECT_EQ(cb->objectName(), "cbWildCard");
    EXPECT_EQ(lbl->objectName(), "lblWild");
    EXPECT_TRUE(cb->isEditable());
    EXPECT_EQ(cb->maxVisibleItems(), 14);
    EXPECT_EQ(box.pattern(), "*.*");
    EXPECT_EQ(lbl->text(), "All files");

    cb->setEditText("*.txt");
    EXPECT_EQ(lbl->text(), "Text Document");
    cb->setEditText("*.cfg"); // class name without a description
    EXPECT_EQ(lbl->text(), "cfgfile");
    cb->setEditText("*.xyz"); // not registered
    EXPECT_EQ(lbl->text(), "XYZ File");
    cb->setEditText("*.*");
    EXPECT_EQ(lbl->text(), "All files");
}

TEST_F(ToolPieces, PatternBoxIsRebuiltOnShowWithoutLosingItsText) {
    useSmallRegistry(world);
    QWidget window;
    WildCardBox box(&window);
    QStringList announced;
    QObject::connect(&box, &WildCardBox::patternChanged, [&](const QString& p) { announced << p; });
    box.setPattern("*.log");
    EXPECT_EQ(itemsOf(box.combo()), QStringList({"*.*"}));

    window.show();
    EXPECT_EQ(itemsOf(box.combo()), QStringList({"*.*", "*.cfg", "*.DOC", "*.txt"}));
    EXPECT_EQ(box.pattern(), "*.log");
    EXPECT_EQ(box.label()->text(), "LOG File");
    EXPECT_EQ(announced, QStringList({"*.log", "*.log"}));

    // Picking an item changes text and label; a later showing keeps the picked text.
    box.combo()->setCurrentIndex(2);
    EXPECT_EQ(box.pattern(), "*.DOC");
    EXPECT_EQ(box.label()->text(), "Word document");
    window.hide();
    window.show();
    EXPECT_EQ(box.pattern(), "*.DOC");
    EXPECT_EQ(box.combo()->count(), 4);
}

TEST_F(ToolPieces, WildcardDialogRoundTrip) {
    useSmallRegistry(world);
    TfrmWildCard dlg;
    EXPECT_EQ(dlg.objectName(), "TfrmWildCard");
    EXPECT_EQ(dlg.windowTitle(), "Wildcard pattern");
    auto* cb = dlg.findChild<QComboBox*>("cbWildCard");
    auto* lblWild = dlg.findChild<QLabel*>("lblWild");
    auto* lblType = dlg.findChild<QLabel*>("lblType");
    ASSERT_TRUE(cb && lblWild && lblType);

    dlg.setPattern("*.txt");
    dlg.show();
    EXPECT_EQ(cb->count(), 4);
    EXPECT_EQ(dlg.pattern(), "*.txt");
    EXPECT_EQ(lblWild->text(), "");
    EXPECT_EQ(lblType->text(), "Text Document");

    cb->setEditText("*.*");
    EXPECT_EQ(lblWild->text(), "All files");
    EXPECT_EQ(lblType->text(), ""); // ".*" names no type
    cb->setCurrentIndex(1);
    EXPECT_EQ(lblWild->text(), "");
    EXPECT_EQ(lblType->text(), "cfgfile");

    cb->setEditText("*.doc");
    dlg.findChild<QPushButton*>("btOK")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.pattern(), "*.doc");

    TfrmWildCard other;
    other.setPattern("*.txt");
    other.show();
    other.findChild<QPushButton*>("btCancel")->click();
    EXPECT_EQ(other.result(), QDialog::Rejected);
}

TEST_F(ToolPieces, AbortSetsTheFlagHidesTheButtonAndWarns) {
    QWidget window;
    auto* btAbort = new QPushButton("&Abort", &window);
    window.show();
    bool abortFlag = false;
    walkabort::btAbortClick([&] { abortFlag = true; }, btAbort);
    EXPECT_TRUE(abortFlag);
    EXPECT_FALSE(btAbort->isVisible());
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Warning);
    EXPECT_EQ(boxes.shown[0].text, "LIST INCOMPLETE ... ABORTED BY USER");

    // The files-accessed window's variant: the same text without an icon.
    bool other = false;
    walkabort::btAbortClick([&] { other = true; }, nullptr, walkabort::Notice::Plain);
    EXPECT_TRUE(other);
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[1].kind, msgbox::Kind::Plain);
    EXPECT_EQ(boxes.shown[1].text, walkabort::abortedText());
}
