#include "app/ui/shellopen.h"
#include "browse/ui/frmdetails.h"
#include "browse/ui/frmfind.h"
#include "browse/ui/frmview.h"
#include "browse/ui/viewerprompts.h"
#include "support/modalwindows.h"
#include "support/pefile.h"
#include "support/sandbox.h"
#include "support/scriptedboxes.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class DetailsWindow : public ::testing::Test {
protected:
    void SetUp() override { world.setDrives({"C"}); }
    void TearDown() override {
        viewerprompts::setPrintChooser(nullptr);
        shellopen::setOpener(nullptr);
    }
    QString label(TfrmDetails& w, const char* name) { return w.findChild<QLabel*>(name)->text(); }

    SandboxWorld world;
    ScriptedBoxes boxes;
    TfrmFind find;
};

} // namespace

TEST_F(DetailsWindow, TextFileAndProgramFile) {
    const QString text = world.makeFile("c/.readme.txt", "plain words\n");
    const QString program = world.makeFile("c/sample.exe", pefile::programFile());
    TfrmDetails t(nullptr, find, text);
    t.show();
    EXPECT_EQ(label(t, "lblFileName"), text);
    EXPECT_EQ(label(t, "lblSizeBytes"), "12 bytes");
    EXPECT_EQ(label(t, "lblAttributes"), " Hidden Archive");
    EXPECT_TRUE(label(t, "lblSizeK").startsWith("Cluster size: "));
    EXPECT_TRUE(label(t, "lblModify").endsWith("  Today"));
    EXPECT_TRUE(t.findChild<QPlainTextEdit*>("Memo1")->isHidden());
    EXPECT_FALSE(t.findChild<QLabel*>("Image1")->pixmap().isNull());

    TfrmDetails p(nullptr, find, program);
    p.show();
    auto* memo = p.findChild<QPlainTextEdit*>("Memo1");
    EXPECT_FALSE(memo->isHidden());
    const QStringList lines = memo->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[0], "Company: \tVastel Test Company");
    EXPECT_EQ(lines[9], "Product version: \t1.2");
    // Without version lines the window is shorter.
    EXPECT_LT(t.height(), p.height());
    EXPECT_EQ(label(p, "lblAttributes"), " Archive");

    viewerprompts::setPrintChooser([this](QPrinter* printer, bool, bool*) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(world.path("details.pdf"));
        return true;
    });
    p.findChild<QPushButton*>("btPrint")->click();
    const QStringList printed = p.printedLines();
    ASSERT_EQ(printed.size(), 12 + 11);
    EXPECT_EQ(printed[7], "Modification date : \t" + label(p, "lblModify"));
    EXPECT_EQ(printed[12], lines[0]);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(DetailsWindow, RunAndView) {
    const QString path = world.makeFile("c/a.txt", "text\n");
    TfrmDetails w(nullptr, find, path);
    w.show();
    shellopen::setOpener([](const QUrl&) { return false; });
    w.findChild<QPushButton*>("btLaunch")->click();
    EXPECT_EQ(boxes.texts(), QStringList{"Couldn't run " + path});

    QString caption;
    whenModalOpen<TfrmView>([&caption](TfrmView* view) {
        caption = view->windowTitle();
        view->reject();
    });
    w.findChild<QPushButton*>("btView")->click();
    EXPECT_EQ(caption, "View File : " + path);
}
