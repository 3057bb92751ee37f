// The file-type list editor and the extension picker, driven offscreen.
#include "app/inifile.h"
#include "app/lists.h"
#include "stats/filetypes.h"
#include "stats/ui/frmselectextension.h"
#include "stats/ui/frmstatlist.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QByteArray kRegistry = "REGEDIT4\n"
                             "[HKEY_CLASSES_ROOT\\.txt]\n@=\"txtfile\"\n"
                             "[HKEY_CLASSES_ROOT\\txtfile]\n@=\"Text Document\"\n"
                             "[HKEY_CLASSES_ROOT\\.doc]\n@=\"Word.Document\"\n"
                             "[HKEY_CLASSES_ROOT\\Word.Document]\n@=\"Word Document\"\n"
                             "[HKEY_CLASSES_ROOT\\.bmp]\n@=\"Paint.Picture\"\n"
                             "[HKEY_CLASSES_ROOT\\.zip]\n"
                             "[HKEY_CLASSES_ROOT\\.toolong]\n@=\"Long\"\n";

class StatsUi : public ::testing::Test {
protected:
    void SetUp() override { world.useRegistry(kRegistry); }

    // Runs `act` on the extension picker as soon as it is shown modally.
    static void onPicker(std::function<void(TfrmSelectExtension*)> act) {
        QTimer::singleShot(0, [act] {
            auto* picker = qobject_cast<TfrmSelectExtension*>(QApplication::activeModalWidget());
            ASSERT_NE(picker, nullptr);
            act(picker);
            if (picker->isVisible()) // never leave the test hanging in the picker's loop
                picker->reject();
        });
    }

    // Adds through the picker by typing into its edit field and pressing OK.
    static void addTyped(TfrmStatList& editor, const QString& typed) {
        onPicker([typed](TfrmSelectExtension* picker) {
            picker->findChild<QLineEdit*>("Edit1")->setText(typed);
            picker->findChild<QPushButton*>("BitBtn1")->click();
        });
        editor.findChild<QPushButton*>("btAdd")->click();
    }

    static QListWidget* list(QWidget& w, const char* name) {
        return w.findChild<QListWidget*>(name);
    }
    static QString count(TfrmStatList& w) { return w.findChild<QLabel*>("lblCount")->text(); }

    // Selects the rows given (and only those).
    static void select(QListWidget* l, const QList<int>& rows) {
        l->clearSelection();
        for (int r : rows)
            l->item(r)->setSelected(true);
    }

    SandboxWorld world;
    ScriptedBoxes boxes;
};

} // namespace

TEST_F(StatsUi, EditorTextsAndStoredList) {
    WriteStatFilesToDisk({"*.txt", "*.doc", "*.bmp"}, lists::Exclude);
    TfrmStatList w;
    w.section = lists::Exclude;
    w.show();
    EXPECT_EQ(w.windowTitle(), "File types");
    struct Expect {
        const char* name;
        const char* text;
        const char* hint;
    };
    const Expect buttons[] = {
        {"btAdd", "&Add", "Add a file extension to this list"},
        {"btDelete", "&Delete", "Delete a file extension"},
        {"btClear", "&Clear all", "Clear all extensions"},
        {"btClose", "Close", "Close window"},
    };
    for (const Expect& e : buttons) {
        QPushButton* b = w.findChild<QPushButton*>(e.name);
        ASSERT_NE(b, nullptr) << e.name;
        EXPECT_EQ(b->text(), e.text);
        EXPECT_EQ(b->toolTip(), e.hint);
    }
    EXPECT_EQ(w.findChild<QLabel*>("lblTitle")->text(), "File Types");
    EXPECT_EQ(w.findChild<QLabel*>("lblHint")->text(),
              "Hint: Drag mouse or use ctrl-click to select multiple file types.");
    EXPECT_EQ(list(w, "PickList1")->toolTip(), "List of temporary file extensions and types");
    // Sorted, with descriptions.
    EXPECT_EQ(w.entries(), QStringList({"*.bmp\tPaint.Picture", "*.doc\tWord Document",
                                        "*.txt\tText Document"}));
    EXPECT_EQ(count(w), "3 available");
}

TEST_F(StatsUi, AddingTypedPatternsWithoutDuplicates) {
    TfrmStatList w;
    w.section = lists::Include;
    w.show();
    ASSERT_EQ(count(w), "3 available"); // the defaults
    addTyped(w, "txt");
    EXPECT_TRUE(w.entries().contains("*.txt\tText Document"));
    EXPECT_EQ(count(w), "4 available");
    addTyped(w, ".txt");
    addTyped(w, "*.txt");
    EXPECT_EQ(count(w), "4 available");
    addTyped(w, "*"); // every file: nothing to add
    addTyped(w, "*.*");
    EXPECT_EQ(count(w), "4 available");
    addTyped(w, "abc");
    EXPECT_TRUE(w.entries().contains("*.abc\tABC File"));

    // Cancel adds nothing.
    onPicker([](TfrmSelectExtension* picker) {
        picker->findChild<QLineEdit*>("Edit1")->setText("new");
        picker->findChild<QPushButton*>("BitBtn2")->click();
    });
    w.findChild<QPushButton*>("btAdd")->click();
    EXPECT_EQ(count(w), "5 available");
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(StatsUi, AddingSeveralPickedEntries) {
    TfrmStatList w;
    w.section = lists::Include;
    w.show();
    onPicker([](TfrmSelectExtension* picker) {
        // "*.bmp", "*.doc", "*.txt", "*.zip"; "*.doc" is listed already.
        select(list(*picker, "lBox"), {1, 2, 3});
        picker->findChild<QPushButton*>("BitBtn1")->click();
        EXPECT_TRUE(picker->multi);
    });
    w.findChild<QPushButton*>("btAdd")->click();
    EXPECT_EQ(w.entries(),
              QStringList({"*.dll\tDLL File", "*.doc\tWord Document", "*.exe\tEXE File",
                           "*.txt\tText Document", "*.zip\tZIP File"}));
    EXPECT_EQ(count(w), "5 available");
}

TEST_F(StatsUi, DeletingAndClearing) {
    WriteStatFilesToDisk({"*.a", "*.b", "*.c", "*.d"}, lists::Include);
    TfrmStatList w;
    w.section = lists::Include;
    w.show();
    QListWidget* l = list(w, "PickList1");
    QPushButton* btDelete = w.findChild<QPushButton*>("btDelete");

    select(l, {0, 2, 3});
    boxes.answers = {QMessageBox::No};
    btDelete->click();
    EXPECT_EQ(boxes.texts(), QStringList({"Really delete 3 extensions?"}));
    EXPECT_EQ(boxes.shown[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(l->count(), 4);

    // Two selected ask too; Yes removes them.
    boxes.shown.clear();
    select(l, {0, 2});
    boxes.answers = {QMessageBox::Yes};
    btDelete->click();
    EXPECT_EQ(boxes.texts(), QStringList({"Really delete 2 extensions?"}));
    EXPECT_EQ(w.entries(), QStringList({"*.b\tB File", "*.d\tD File"}));
    EXPECT_EQ(count(w), "2 available");

    // One entry goes without a question; nothing selected does nothing.
    boxes.shown.clear();
    select(l, {1});
    btDelete->click();
    EXPECT_EQ(w.entries(), QStringList({"*.b\tB File"}));
    l->clearSelection();
    btDelete->click();
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(count(w), "1 available");

    addTyped(w, "txt");
    QPushButton* btClear = w.findChild<QPushButton*>("btClear");
    boxes.answers = {QMessageBox::Cancel};
    btClear->click();
    EXPECT_EQ(boxes.texts(), QStringList({"Really clear out all extensions?"}));
    EXPECT_EQ(l->count(), 2);
    boxes.answers = {QMessageBox::Yes};
    btClear->click();
    EXPECT_EQ(l->count(), 0);
    EXPECT_EQ(count(w), "0 available");
}

TEST_F(StatsUi, CloseStoresTitleBarCloseDoesNot) {
    const QString ini = settingsFile().path();
    {
        TfrmStatList w;
        w.section = lists::Exclude;
        w.show();
        addTyped(w, "txt");
        w.close(); // the title bar's close box
        EXPECT_EQ(w.result(), QDialog::Rejected);
        EXPECT_TRUE(SandboxWorld::readBytes(ini).isEmpty());
    }
    {
        TfrmStatList w;
        w.section = lists::Exclude;
        w.show();
        addTyped(w, "txt");
        w.findChild<QPushButton*>("btClose")->click();
        EXPECT_EQ(w.result(), QDialog::Accepted);
        EXPECT_EQ(ReadStatFilesFromDisk(lists::Exclude),
                  QStringList({"*.dll\tDLL File", "*.doc\tWord Document", "*.exe\tEXE File",
                               "*.txt\tText Document"}));
    }
    {
        TfrmStatList w;
        w.section = lists::Exclude;
        w.show();
        ASSERT_EQ(count(w), "4 available");
        boxes.answers = {QMessageBox::Yes};
        w.findChild<QPushButton*>("btClear")->click();
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&w, &esc); // Esc is Close: it stores
        EXPECT_EQ(w.result(), QDialog::Accepted);
        EXPECT_FALSE(w.isVisible());
        EXPECT_TRUE(ReadStatFilesFromDisk(lists::Exclude).isEmpty());
    }
    EXPECT_TRUE(ReadStatFilesFromDisk(lists::Include).size() == 3); // the other list untouched
}

TEST_F(StatsUi, PickerListsAndResults) {
    TfrmSelectExtension p;
    p.show();
    EXPECT_EQ(p.windowTitle(), "Select a file extension");
    EXPECT_EQ(p.findChild<QLabel*>("lblPrompt")->text(),
              "Type in a new file extension or select one or many from the list below:");
    EXPECT_EQ(p.findChild<QLabel*>("lblHint")->text(),
              "Hint: Drag mouse or use ctrl-click to select multiple file extensions.");
    QListWidget* lBox = list(p, "lBox");
    EXPECT_EQ(lBox->toolTip(), "Double click to select, Ctrl-click to select more than one");
    QLineEdit* edit = p.findChild<QLineEdit*>("Edit1");
    EXPECT_EQ(edit->maxLength(), 6);
    ASSERT_TRUE(p.findChild<QPushButton*>("BitBtn1")->isDefault());

    // ".toolong" is too long to be listed.
    const QStringList entries = {"*.bmp\tPaint.Picture", "*.doc\tWord Document",
                                 "*.txt\tText Document", "*.zip\tZIP File"};
    ASSERT_EQ(lBox->count(), entries.size());
    for (int i = 0; i < lBox->count(); ++i)
        EXPECT_EQ(lBox->item(i)->text(), entries[i]);
    EXPECT_EQ(edit->text(), "*.bmp");

    // Clicking an entry puts its pattern in the edit field.
    lBox->setCurrentRow(2);
    EXPECT_EQ(edit->text(), "*.txt");

    // OK with one pattern typed.
    edit->setText(".doc");
    p.BitBtn1Click();
    EXPECT_EQ(p.result(), QDialog::Accepted);
    EXPECT_FALSE(p.multi);
    EXPECT_EQ(p.pattern, "*.doc");
    EXPECT_EQ(p.description, "Word Document");

    // Every file: the window ends, the results are empty.
    p.show();
    edit->setText(".*");
    p.BitBtn1Click();
    EXPECT_EQ(p.result(), QDialog::Accepted);
    EXPECT_TRUE(p.pattern.isEmpty() && p.description.isEmpty() && !p.multi);

    // Two selected: multi, and the selected entries in list order.
    p.show();
    select(lBox, {3, 0});
    p.BitBtn1Click();
    EXPECT_TRUE(p.multi);
    EXPECT_EQ(p.selectedEntries(), QStringList({entries[0], entries[3]}));
}

TEST_F(StatsUi, PickerDoubleClickEndsOnlyWithOnePattern) {
    TfrmSelectExtension p;
    p.show();
    QListWidget* lBox = list(p, "lBox");
    select(lBox, {0, 1});
    p.lBoxDblClick();
    EXPECT_TRUE(p.isVisible());
    EXPECT_TRUE(p.multi);

    select(lBox, {});
    p.findChild<QLineEdit*>("Edit1")->setText("*");
    p.lBoxDblClick();
    EXPECT_TRUE(p.isVisible());

    lBox->setCurrentRow(3);
    select(lBox, {3});
    p.lBoxDblClick();
    EXPECT_FALSE(p.isVisible());
    EXPECT_EQ(p.result(), QDialog::Accepted);
    EXPECT_EQ(p.pattern, "*.zip");
    EXPECT_EQ(p.description, "ZIP File");
}
