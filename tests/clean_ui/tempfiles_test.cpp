#include "clean/ui/frmclean.h"
#include "clean/ui/frmtempfiles.h"
#include "cleanui.h"
#include "stats/ui/frmselectextension.h"
#include "support/modalwindows.h"
#include "support/scriptedboxes.h"

#include <QLineEdit>

using namespace cleanui;

namespace {

class TempFilesWindow : public ::testing::Test {
protected:
    void SetUp() override { setUpWorld(world); }

    // Types a text into the extension picker and presses OK.
    static void addTyped(TfrmTempFiles& w, const QString& typed) {
        whenModalOpen<TfrmSelectExtension>([typed](TfrmSelectExtension* picker) {
            picker->findChild<QLineEdit*>("Edit1")->setText(typed);
            picker->findChild<QPushButton*>("BitBtn1")->click();
        });
        button(&w, "btAdd")->click();
    }

    SandboxWorld world;
    ScriptedBoxes boxes;
};

} // namespace

TEST_F(TempFilesWindow, ShowsTheBuiltInPatternsWhenNothingIsStored) {
    TfrmTempFiles w;
    w.show();
    EXPECT_EQ(w.items(), QStringList({"*.$$$\t$$$ File", "*.bak\tBAK File", "*.fts\tFTS File",
                                      "*.tmp\tTemporary File"}));
    EXPECT_EQ(itemTexts(list(&w, "PickList1")), w.items());

    // Closing without a change stores the list, and reopening and closing rewrites it alike.
    button(&w, "btClose")->click();
    EXPECT_FALSE(w.isVisible());
    const QByteArray stored = SandboxWorld::readBytes(settingsFile().path());
    EXPECT_TRUE(stored.contains("Number=4")) << stored.constData();
    TfrmTempFiles again;
    again.show();
    again.close(); // the close box stores too
    EXPECT_EQ(SandboxWorld::readBytes(settingsFile().path()), stored);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(TempFilesWindow, DefaultsAddOnlyTheMissingOnes) {
    writeSettings("[TempFiles]\r\nNumber=1\r\nFile1=*.tmp\r\n");
    TfrmTempFiles w;
    w.show();
    ASSERT_EQ(w.items().size(), 1);
    button(&w, "btDefaults")->click();
    EXPECT_EQ(w.items().size(), 6);
    EXPECT_EQ(list(&w, "PickList1")->count(), 6);
    EXPECT_TRUE(w.items().contains("*.temp\tTEMP File"));
}

TEST_F(TempFilesWindow, AddTakesOnePatternButNotAllFiles) {
    TfrmTempFiles w;
    w.show();
    addTyped(w, "*.*");
    EXPECT_EQ(w.items().size(), 4);
    addTyped(w, "log");
    EXPECT_EQ(w.items().size(), 5);
    EXPECT_EQ(w.items()[3], "*.log\tLog File"); // at its sorted place
    addTyped(w, ".log");
    EXPECT_EQ(w.items().size(), 5); // never twice
}

TEST_F(TempFilesWindow, DeleteAsksOnlyForSeveralItems) {
    TfrmTempFiles w;
    w.show();
    QListWidget* l = list(&w, "PickList1");
    button(&w, "btDelete")->click(); // nothing selected: nothing happens
    EXPECT_EQ(w.items().size(), 4);

    select(l, {1, 3});
    boxes.answers << QMessageBox::No;
    button(&w, "btDelete")->click();
    EXPECT_EQ(boxes.texts(), QStringList({"Really delete 2 extensions?"}));
    EXPECT_EQ(boxes.shown[0].kind, msgbox::Kind::Question);
    EXPECT_EQ(w.items().size(), 4);
    EXPECT_EQ(selectedRowsOf(l), QList<int>({1, 3})); // both kept, still selected

    boxes.answers << QMessageBox::Yes;
    button(&w, "btDelete")->click();
    EXPECT_EQ(w.items(), QStringList({"*.$$$\t$$$ File", "*.fts\tFTS File"}));

    select(l, {0});
    button(&w, "btDelete")->click(); // one item: removed at once
    EXPECT_EQ(w.items(), QStringList({"*.fts\tFTS File"}));
    EXPECT_EQ(boxes.shown.size(), 2);
}

TEST_F(TempFilesWindow, ClearAllSurvivesARestart) {
    {
        TfrmTempFiles w;
        w.show();
        boxes.answers << QMessageBox::Cancel;
        button(&w, "btClear")->click();
        EXPECT_EQ(w.items().size(), 4);
        boxes.answers << QMessageBox::Yes;
        button(&w, "btClear")->click();
        EXPECT_EQ(boxes.texts(), QStringList({"Really clear out all extensions?",
                                              "Really clear out all extensions?"}));
        EXPECT_TRUE(w.items().isEmpty());
        w.reject(); // Esc: stored as well
    }
    EXPECT_EQ(settingsFile().readInteger("TempFiles", "Number", -1), 0);
    // The next program start: the quick-clean window and the editor both show nothing.
    world.reload();
    dups::SortDirections sorts;
    TfrmClean clean(nullptr, sorts);
    clean.show();
    EXPECT_EQ(list(&clean, "PickList1")->count(), 0);
    TfrmTempFiles w;
    w.show();
    EXPECT_TRUE(w.items().isEmpty());
}
