#include "browse/ui/fileviewer.h"
#include "browse/ui/frmfind.h"
#include "browse/ui/frmview.h"
#include "browse/ui/viewerprompts.h"
#include "support/modalwindows.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

class ViewWindow : public ::testing::Test {
protected:
    void SetUp() override { world.setDrives({"C"}); }
    void TearDown() override {
        viewerprompts::setInputBox(nullptr);
        viewerprompts::setPrintChooser(nullptr);
    }
    // Shows the viewer with its lines counted.
    void showCounted(TfrmView& w) {
        w.show();
        w.viewer()->countLines();
    }

    SandboxWorld world;
    ScriptedBoxes boxes;
    TfrmFind find;
};

} // namespace

TEST_F(ViewWindow, OneLineFile) {
    const QString path = world.makeFile("c/one.txt", "only line\n");
    TfrmView w(nullptr, find, path);
    showCounted(w);
    EXPECT_EQ(w.windowTitle(), "View File : " + path);
    EXPECT_EQ(w.statusTexts(),
              (QStringList{"     1:1", "Total: 1", "Top:     1", "Bytes: 10", ""}));

    QStringList asked;
    QString answer = "1";
    viewerprompts::setInputBox([&](const QString& title, const QString& prompt, const QString& v) {
        asked << title << prompt << v;
        return viewerprompts::TextAnswer{true, answer};
    });
    w.action("SearchGoToLine")->trigger();
    EXPECT_EQ(asked, (QStringList{"Go to line number", "Enter line number (1 to 1)", ""}));
    EXPECT_EQ(w.viewer()->caretLine(), 0);
    // Not a whole number, or beyond the last line: nothing moves.
    answer = "x";
    w.action("SearchGoToLine")->trigger();
    answer = "7";
    w.action("SearchGoToLine")->trigger();
    EXPECT_EQ(w.viewer()->caretLine(), 0);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(ViewWindow, SearchesForwardBackwardAndWithCase) {
    const QString path = world.makeFile("c/words.txt", "alpha\nbeta\nGamma BETA beta\n");
    TfrmView w(nullptr, find, path);
    showCounted(w);
    TFileViewer* v = w.viewer();
    find.setOptions("beta", false, false, false);
    w.updateMenus();
    EXPECT_TRUE(w.action("SearchFindNext")->isEnabled());
    w.action("SearchFindNext")->trigger();
    EXPECT_EQ(v->caretLine(), 1);
    EXPECT_EQ(v->selectedText(), "beta");
    w.action("SearchFindNext")->trigger();
    EXPECT_EQ(v->selectedText(), "BETA");
    EXPECT_EQ(w.statusTexts()[0], "    3:11");
    find.setOptions("beta", false, true, false);
    w.action("SearchFindNext")->trigger();
    EXPECT_EQ(v->caretOffset(), 26);
    w.action("SearchFindNext")->trigger();
    EXPECT_EQ(boxes.texts(), QStringList{"Search string 'beta' not found"});
    // Backward from the caret, and a global search from the dialog starting at the end.
    find.setOptions("a", true, false, false);
    w.action("SearchFindNext")->trigger();
    EXPECT_EQ(v->caretOffset(), 21); // the "A" of "BETA", before the selected "beta"
    find.setOptions("alpha", true, false, true);
    whenModalOpen<TfrmFind>([](TfrmFind* dialog) { dialog->accept(); });
    w.action("SearchFind")->trigger();
    EXPECT_EQ(v->caretLine(), 0);
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST_F(ViewWindow, HexModeTabsAndPrinting) {
    const QString path = world.makeFile("c/tabs.txt", "a\tb\nHello, world!\n");
    TfrmView w(nullptr, find, path);
    showCounted(w);
    TFileViewer* v = w.viewer();
    EXPECT_EQ(v->visibleLines().value(0), "a       b");
    viewerprompts::setInputBox([](const QString& title, const QString&, const QString& value) {
        EXPECT_EQ(title, "Tab Size");
        EXPECT_EQ(value, "8");
        return viewerprompts::TextAnswer{true, "3"};
    });
    w.action("OptionsTabSize")->trigger();
    EXPECT_EQ(v->visibleLines().value(0), "a  b");
    w.action("OptionsTabExpansion")->trigger();
    EXPECT_EQ(v->visibleLines().value(0), "a b");

    w.findChild<QRadioButton*>("rbHex")->click();
    EXPECT_TRUE(w.action("OptionsHexMode")->isChecked());
    EXPECT_EQ(v->visibleLines().value(0).left(20), "00000000  61 09 62 0");
    EXPECT_EQ(w.statusTexts()[1], "Total: 2");
    w.action("ClipboardSelectAll")->trigger();
    EXPECT_EQ(w.statusTexts()[0], "     2:2"); // the last of 18 bytes
    EXPECT_EQ(v->selectedText().count('\n'), 1);
    const QString lastRow = v->selectedText().split('\n').last();
    EXPECT_TRUE(lastRow.startsWith("00000010  21 0a ") && lastRow.endsWith("  !."));
    w.action("OptionsHexMode")->trigger();
    EXPECT_TRUE(w.findChild<QRadioButton*>("rbASCII")->isChecked());
    EXPECT_FALSE(v->hexMode());

    // Printing the selection: the part before it blanked, the last line cut at its end.
    const QString pdf = world.path("out.pdf");
    bool offered = false;
    viewerprompts::setPrintChooser([&](QPrinter* printer, bool allowSelection, bool* selection) {
        offered = allowSelection;
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        *selection = allowSelection;
        return true;
    });
    find.setOptions("b\nHello", false, true, false);
    w.updateMenus();
    w.action("SearchFindNext")->trigger();
    QStringList printed;
    v->printLines(true, [&printed](const QString& line) {
        printed << line;
        return true;
    });
    EXPECT_EQ(printed, (QStringList{"  b", "Hello"}));
    w.findChild<QPushButton*>("btPrint")->click();
    EXPECT_TRUE(offered);
    EXPECT_GT(QFileInfo(pdf).size(), 0);
}

// The strings viewer shows the readable runs, lacks the strings button and the hex mode, and
// its temporary file goes when it closes.
TEST_F(ViewWindow, PeekAtStrings) {
    world.setEnv("TMPDIR", world.makeDir("tmp"));
    static const char bytes[] = "\x01Hello world\0\x02"
                                "Another one\0Hello\0";
    const QString path =
        world.makeFile("c/prog.bin", QByteArray(bytes, sizeof bytes - 1)); // without the last \0
    TfrmView w(nullptr, find, path);
    w.show();
    QString shown;
    QStringList lines;
    bool lacksControls = false;
    whenModalOpen<TfrmView>([&](TfrmView* strings) {
        shown = strings->fileName();
        strings->viewer()->countLines();
        lines = strings->viewer()->visibleLines();
        lacksControls = strings->findChild<QPushButton*>("btStrings")->isHidden() &&
                        strings->findChild<QRadioButton*>("rbHex")->isHidden() &&
                        strings->findChild<QRadioButton*>("rbASCII")->isHidden() &&
                        !strings->action("OptionsHexMode")->isVisible();
        EXPECT_TRUE(QFile::exists(shown));
        strings->reject();
    });
    w.findChild<QPushButton*>("btStrings")->click();
    EXPECT_TRUE(shown.startsWith(world.path("tmp/str")));
    EXPECT_EQ(lines, (QStringList{"Hello world", "Another one"}));
    EXPECT_TRUE(lacksControls);
    EXPECT_FALSE(QFile::exists(shown));
    EXPECT_FALSE(w.findChild<QPushButton*>("btStrings")->isHidden());
}

// A file that gets shorter while it is shown: no fault, the missing lines show empty.
TEST_F(ViewWindow, FileShrinksWhileShown) {
    QByteArray text;
    for (int i = 0; i < 40000; ++i)
        text += "line " + QByteArray::number(i) + "\n";
    const QString path = world.makeFile("c/log.txt", text);
    TfrmView w(nullptr, find, path);
    showCounted(w);
    EXPECT_EQ(w.statusTexts()[1], "Total: 40,000");
    w.viewer()->scrollToEnd();
    EXPECT_EQ(w.viewer()->visibleLines().last(), "line 39999");
    ASSERT_TRUE(QFile::resize(path, 20));
    w.viewer()->scrollToEnd();
    w.viewer()->goToLine(20000);
    w.grab();
    find.setOptions("line 3999", false, false, true);
    w.updateMenus();
    w.action("SearchFindNext")->trigger();
    w.viewer()->selectAll();
    EXPECT_TRUE(w.viewer()->selectedText().isEmpty());
    // Opened again, it is the short file.
    w.openFile(path);
    w.viewer()->countLines();
    EXPECT_EQ(w.statusTexts()[1], "Total: 3"); // "line 0", "line 1", "line "
}

TEST_F(ViewWindow, FileThatCannotBeOpened) {
    TfrmView w(nullptr, find, world.path("c/missing.txt"));
    w.show();
    EXPECT_EQ(boxes.texts(), QStringList{"Could not open file " + world.path("c/missing.txt")});
    EXPECT_EQ(w.viewer()->fileSize(), 0);
    EXPECT_FALSE(w.action("SearchFind")->isEnabled());
}
