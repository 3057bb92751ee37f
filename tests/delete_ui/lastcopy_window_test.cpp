#include "app/shell.h"
#include "delete/ui/frmreallydelete.h"
#include "delete/ui/handover.h"
#include "support/listedfiles.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// Three files of one group of duplicates: two copies of one content and a file whose contents
// no other file shares.
class LastCopyWindow : public ::testing::Test {
protected:
    void SetUp() override {
        shell::protection().build(nullptr, {}, QString(), QString());
        first = world.makeFile("c/a/photo.jpg", QByteArray(3000, 'p'));
        second = world.makeFile("c/b/photo.jpg", QByteArray(3000, 'p'));
        lone = world.makeFile("c/c/photo.jpg", QByteArray(3000, 'q'));
    }
    void TearDown() override { shell::protection().build(nullptr, {}, QString(), QString()); }

    // Hands the marked files out of the group of all three to the deletion window, and acts
    // on the window once it is open.
    DisposalChoice handOver(const QStringList& marked,
                            const std::function<void(TfrmReallyDelete*)>& action) {
        whenModalOpen<TfrmReallyDelete>(action);
        lastcopy::CopyGroups copies;
        copies.groups = {listedNow({first, second, lone})};
        return reallyDelete(nullptr, listedNow(marked), "Duplicates", 0, copies);
    }

    template <typename T> static T* child(QWidget* w, const char* name) {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(QWidget* w, const char* name) { child<QPushButton>(w, name)->click(); }
    static void select(QWidget* w, const char* panel, int row) {
        QListView* v = child<QListView>(w, panel);
        v->selectionModel()->setCurrentIndex(v->model()->index(row, 0),
                                             QItemSelectionModel::Select);
    }
    static QString kept(const QString& path) {
        return "This file \"" + path + "\" is kept since no kept copy has the same contents.";
    }

    SandboxWorld world;
    ScriptedBoxes boxes;
    QString first, second, lone;
};

} // namespace

TEST_F(LastCopyWindow, EveryCopyMarkedKeepsTheFirstAndTheUniqueFileOnAPanelOfTheirOwn) {
    const DisposalChoice choice = handOver({lone, second, first}, [this](TfrmReallyDelete* w) {
        auto* pages = child<QTabWidget>(w, "pcPanels");
        EXPECT_TRUE(pages->isTabVisible(pages->indexOf(child<QWidget>(w, "tsLastCopy"))));
        EXPECT_EQ(w->deletionPanel(), QStringList({second}));
        EXPECT_EQ(w->lastCopyPanel(), QStringList({first, lone}));
        EXPECT_TRUE(w->keepPanel().isEmpty());
        EXPECT_EQ(child<QLabel>(w, "lblDelete")->text(), "Delete - 1, Do NOT delete - 2");
        EXPECT_EQ(child<QLabel>(w, "lblLastCopy")->text(),
                  "Last copies of their contents - NOT deleted: 2");
        select(w, "lbLastCopy", 1);
        click(w, "btLastCopyReason");
        EXPECT_EQ(boxes.texts(), QStringList({kept(lone)}));
        click(w, "btDelete");
    });
    EXPECT_EQ(choice, DisposalChoice::Disposed);
    EXPECT_FALSE(QFileInfo::exists(second));
    EXPECT_TRUE(QFileInfo::exists(first));
    EXPECT_TRUE(QFileInfo::exists(lone));
}

TEST_F(LastCopyWindow, TheUserMayStillChooseALastCopyAndThePanelsFollowEveryMove) {
    handOver({first, second, lone}, [this](TfrmReallyDelete* w) {
        // Moving the copy that goes off the deletion panel lets the first one go in its place.
        select(w, "lb1", 0);
        click(w, "btToAgainst");
        EXPECT_EQ(w->keepPanel(), QStringList({second}));
        EXPECT_EQ(w->deletionPanel(), QStringList({first}));
        EXPECT_EQ(w->lastCopyPanel(), QStringList({lone}));

        // The unique file goes only by the user's choice.
        select(w, "lbLastCopy", 0);
        click(w, "btDisposeAnyway");
        EXPECT_EQ(w->deletionPanel(), QStringList({first, lone}));
        EXPECT_TRUE(w->lastCopyPanel().isEmpty());
        EXPECT_EQ(child<QTabWidget>(w, "pcPanels")->currentIndex(), 0);
        click(w, "btDelete");
    });
    EXPECT_FALSE(QFileInfo::exists(first));
    EXPECT_FALSE(QFileInfo::exists(lone));
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_EQ(boxes.texts(), QStringList({"Really delete?"}));
}

TEST_F(LastCopyWindow, ACopyRewrittenWhileTheWindowWaitsKeepsItsDuplicate) {
    handOver({second}, [this](TfrmReallyDelete* w) {
        EXPECT_EQ(w->deletionPanel(), QStringList({second}));
        QFile f(first);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(3000, 'e')); // edited, same size
        f.close();
        click(w, "btDelete");
    });
    EXPECT_TRUE(QFileInfo::exists(second));
    EXPECT_EQ(boxes.texts(), QStringList({"Really delete?", kept(second)}));
}

TEST_F(LastCopyWindow, FilesOfNoGroupShowNoLastCopyPanel) {
    TfrmReallyDelete w;
    w.setFiles(listedNow({lone}));
    w.show();
    auto* pages = child<QTabWidget>(&w, "pcPanels");
    EXPECT_FALSE(pages->isTabVisible(pages->indexOf(child<QWidget>(&w, "tsLastCopy"))));
    EXPECT_EQ(w.deletionPanel(), QStringList({lone}));
}
