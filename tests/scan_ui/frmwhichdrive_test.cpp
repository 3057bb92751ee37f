#include "app/inifile.h"
#include "app/lists.h"
#include "scan/ui/frmwhichdrive.h"
#include "scanworld.h"
#include "stats/ui/frmstatlist.h"
#include "support/scriptedboxes.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class WhichDrive : public ::testing::Test {
protected:
    void SetUp() override {
        useSmallRegistry(world);
        world.setDrives({"C", "D", "E"});
        IniFile ini = settingsFile();
        writeList(ini, "Include", {"*.txt", "*.doc", "*.log"});
        writeList(ini, "Exclude", {"*.cfg", "*.tmp"});
    }

    template <class T> T* child(const char* name) {
        T* w = dlg->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char* name) { child<QPushButton>(name)->click(); }
    QListWidget* drives() { return child<QListWidget>("pckDrive"); }
    QListWidget* types() { return child<QListWidget>("PickList1"); }
    QString lblOf() { return child<QLabel>("lblOf")->text(); }
    bool enabled(const char* name) { return child<QPushButton>(name)->isEnabled(); }
    void popup(QListWidget* list, const QString& text) {
        for (QAction* a : list->actions()) {
            if (a->text() == text)
                return a->trigger();
        }
        ADD_FAILURE() << "no popup item " << text.toStdString();
    }

    // Shows the dialog with the current folder on drive D.
    void open() {
        ASSERT_TRUE(QDir::setCurrent(world.makeDir("d/data")));
        dlg = std::make_unique<TfrmWhichDrive>();
        dlg->show();
    }

    SandboxWorld world;
    CurrentFolderGuard guard;
    ScriptedBoxes boxes;
    std::unique_ptr<TfrmWhichDrive> dlg;
};

QStringList texts(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

TEST_F(WhichDrive, FirstPageOffersTheDrivesWithTheCurrentOneSelected) {
    open();
    EXPECT_EQ(dlg->windowTitle(), "Which drives and file types?");
    EXPECT_EQ(dlg->objectName(), "TfrmWhichDrive");
    EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());
    EXPECT_EQ(dlg->currentPage(), 0);
    EXPECT_EQ(child<QPushButton>("btNext1")->text(), "&Next >>");
    EXPECT_EQ(child<QPushButton>("btCancel1")->text(), "Cancel");
    EXPECT_EQ(texts(drives()),
              QStringList({"c: [" + world.path("c") + "]", "d: [" + world.path("d") + "]",
                           "e: [" + world.path("e") + "]"}));
    EXPECT_EQ(dlg->selectedDrives(), QStringList({"d: [" + world.path("d") + "]"}));
    EXPECT_TRUE(enabled("btNext1"));

    popup(drives(), "Deselect All");
    EXPECT_TRUE(dlg->selectedDrives().isEmpty());
    EXPECT_FALSE(enabled("btNext1"));
    popup(drives(), "Select All");
    EXPECT_EQ(dlg->selectedDrives().size(), 3);
    EXPECT_TRUE(enabled("btNext1"));

    click("btCancel1");
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
}

TEST_F(WhichDrive, FloppiesAreNeverOfferedAndNothingIsSelectedOffTheDrives) {
    // Whatever a world maps to A and B, the dialog leaves them out.
    world.setEnv("VASTEL_DRIVES",
                 "A=" + world.makeDir("a") + ";B=" + world.makeDir("b") + ";C=" + world.path("c"));
    ASSERT_TRUE(QDir::setCurrent(world.path("a")));
    dlg = std::make_unique<TfrmWhichDrive>();
    dlg->show();
    EXPECT_EQ(texts(drives()), QStringList({"c: [" + world.path("c") + "]"}));
    EXPECT_TRUE(dlg->selectedDrives().isEmpty());
    EXPECT_FALSE(enabled("btNext1"));
    click("btNext1"); // disabled: stays on page 1
    EXPECT_EQ(dlg->currentPage(), 0);
}

TEST_F(WhichDrive, AllFilesClosesFromTheSecondPage) {
    open();
    click("btNext1");
    EXPECT_EQ(dlg->currentPage(), 1);
    auto* rbAll = child<QRadioButton>("rbAll");
    EXPECT_EQ(rbAll->text(), "&All files");
    EXPECT_EQ(child<QRadioButton>("rbInclude")->text(), "&Selected file types only");
    EXPECT_EQ(child<QRadioButton>("rbExclude")->text(), "All files &except selected file types");
    EXPECT_TRUE(rbAll->isChecked());

    click("btPrior2");
    EXPECT_EQ(dlg->currentPage(), 0);
    click("btNext1");
    click("btNext2");
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->currentPage(), 1); // page 3 never shown
    EXPECT_TRUE(dlg->allFiles());
    EXPECT_FALSE(dlg->selectedTypesOnly());
    EXPECT_FALSE(dlg->allExceptSelected());
    EXPECT_EQ(dlg->selectedDrives(), QStringList({"d: [" + world.path("d") + "]"}));
}

TEST_F(WhichDrive, SelectedTypesOnlyReadsIncludeAndNeedsATypeForOK) {
    open();
    click("btNext1");
    child<QRadioButton>("rbInclude")->setChecked(true);
    click("btNext2");
    EXPECT_EQ(dlg->currentPage(), 2);
    EXPECT_EQ(child<QLabel>("lblSelect")->text(), "Selected file types only");
    EXPECT_EQ(texts(types()),
              QStringList({"*.txt\tText Document", "*.doc\tWord document", "*.log\tLOG File"}));
    EXPECT_EQ(lblOf(), "0/3");
    EXPECT_FALSE(enabled("btOK"));

    types()->item(1)->setSelected(true);
    EXPECT_EQ(lblOf(), "1/3");
    EXPECT_TRUE(enabled("btOK"));
    types()->item(2)->setSelected(true);
    EXPECT_EQ(lblOf(), "2/3");

    click("btOK");
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(dlg->allFiles());
    EXPECT_TRUE(dlg->selectedTypesOnly());
    EXPECT_FALSE(dlg->allExceptSelected());
    EXPECT_EQ(dlg->selectedTypes(), QStringList({"*.doc\tWord document", "*.log\tLOG File"}));
}

TEST_F(WhichDrive, AllExceptReadsExcludeAndSwitchingReadsTheOtherList) {
    open();
    click("btNext1");
    child<QRadioButton>("rbExclude")->setChecked(true);
    click("btNext2");
    EXPECT_EQ(child<QLabel>("lblSelect")->text(), "All file types except ...");
    EXPECT_EQ(texts(types()), QStringList({"*.cfg\tcfgfile", "*.tmp\tTMP File"}));

    popup(types(), "Select All");
    EXPECT_EQ(lblOf(), "2/2");
    EXPECT_TRUE(enabled("btOK"));
    popup(types(), "Deselect All");
    EXPECT_EQ(lblOf(), "0/2");
    EXPECT_FALSE(enabled("btOK"));

    // Going back and switching the choice reads the other list; the selection is gone.
    types()->item(0)->setSelected(true);
    click("btPrior3");
    EXPECT_EQ(dlg->currentPage(), 1);
    child<QRadioButton>("rbInclude")->setChecked(true);
    click("btNext2");
    EXPECT_EQ(types()->count(), 3);
    EXPECT_EQ(lblOf(), "0/3");
    EXPECT_FALSE(enabled("btOK"));
}

TEST_F(WhichDrive, AllExceptResultsAndOKNeedsADriveToo) {
    open();
    click("btNext1");
    child<QRadioButton>("rbExclude")->setChecked(true);
    click("btNext2");
    drives()->clearSelection();
    types()->item(0)->setSelected(true);
    EXPECT_EQ(lblOf(), "1/2");
    EXPECT_FALSE(enabled("btOK"));

    drives()->item(2)->setSelected(true);
    popup(types(), "Select All");
    click("btOK");
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(dlg->allExceptSelected());
    EXPECT_FALSE(dlg->allFiles() || dlg->selectedTypesOnly());
    EXPECT_EQ(dlg->selectedTypes(), QStringList({"*.cfg\tcfgfile", "*.tmp\tTMP File"}));
    EXPECT_EQ(dlg->selectedDrives(), QStringList({"e: [" + world.path("e") + "]"}));
}

TEST_F(WhichDrive, AddDeleteOpensTheEditorAndReadsTheListAgain) {
    open();
    click("btNext1");
    child<QRadioButton>("rbExclude")->setChecked(true);
    click("btNext2");
    popup(types(), "Select All");
    ASSERT_TRUE(enabled("btOK"));

    // The editor stores a longer list and is closed from its title bar.
    QString sectionSeen;
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<TfrmStatList*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        sectionSeen = editor->section;
        IniFile ini = settingsFile();
        writeList(ini, "Exclude", {"*.cfg", "*.tmp", "*.bak"});
        editor->reject();
    });
    click("btEdit");
    EXPECT_EQ(sectionSeen, "Exclude");
    EXPECT_EQ(types()->count(), 3);
    EXPECT_TRUE(types()->selectedItems().isEmpty());
    EXPECT_EQ(lblOf(), "0/3");
    EXPECT_FALSE(enabled("btOK"));
    EXPECT_EQ(dlg->currentPage(), 2);
}

TEST_F(WhichDrive, ShowingAgainStartsOnTheFirstPage) {
    open();
    click("btNext1");
    child<QRadioButton>("rbInclude")->setChecked(true);
    click("btNext2");
    dlg->hide();
    dlg->show();
    EXPECT_EQ(dlg->currentPage(), 0);
    EXPECT_EQ(dlg->selectedDrives(), QStringList({"d: [" + world.path("d") + "]"}));
    EXPECT_EQ(lblOf(), "0/3"); // the chosen list: [Include]
}
