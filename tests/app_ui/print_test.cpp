#include "app/grid.h"
#include "app/ui/printreport.h"
#include "support/scriptedboxes.h"

#include <QFile>
#include <QFontInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char* kPrintError = "Error printing report ... quitting";

class PrintReport : public ::testing::Test {
protected:
    // A printer that writes a PDF file into the temporary folder.
    void pdfPrinter(QPrinter& printer, const QString& name) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(name));
    }
    QByteArray pdf(const QString& name) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Pages of a PDF file as Qt writes it: one "/Type /Page" object per page.
    static int pageCount(const QByteArray& data) {
        return int(data.count("/Type /Page\n") + data.count("/Type /Page ") +
                   data.count("/Type /Page>"));
    }

    QTemporaryDir dir;
    ScriptedBoxes boxes;
};

TextGrid sampleGrid(int rows) {
    TextGrid grid(3);
    grid.setHeader({"File", "Size", "Accessed"});
    for (int i = 0; i < rows; ++i)
        grid.appendRow(
            {QString("/home/user/file%1.txt").arg(i), QString::number(i * 1000), "3/5/2024"});
    return grid;
}

} // namespace

TEST_F(PrintReport, GridAndListGoToPdfFilesWithoutAPrinter) {
    QPrinter gridPrinter;
    pdfPrinter(gridPrinter, "grid.pdf");
    EXPECT_TRUE(PrintGrid(gridPrinter, sampleGrid(20), {180, 60, 70}, "Files accessed"));

    QPrinter listPrinter;
    pdfPrinter(listPrinter, "list.pdf");
    EXPECT_TRUE(PrintList(listPrinter, {"Name: a.txt", "Size: 12"}, "File details"));

    EXPECT_TRUE(boxes.shown.isEmpty());
    for (const char* name : {"grid.pdf", "list.pdf"}) {
        const QByteArray data = pdf(name);
        EXPECT_TRUE(data.startsWith("%PDF")) << name;
        EXPECT_EQ(pageCount(data), 1) << name;
    }
}

TEST_F(PrintReport, LongReportsGoOnToNewPages) {
    QPrinter printer;
    pdfPrinter(printer, "long.pdf");
    ASSERT_TRUE(PrintGrid(printer, sampleGrid(400), {180, 60, 70}, "Many files"));
    EXPECT_GT(pageCount(pdf("long.pdf")), 2);
}

TEST_F(PrintReport, PrinterThatCannotOpenShowsTheErrorAndStops) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("no/such/folder/report.pdf"));
    EXPECT_FALSE(PrintGrid(printer, sampleGrid(3), {60}, "Hogs"));
    EXPECT_FALSE(PrintList(printer, {"x"}, "Details"));
    ASSERT_EQ(boxes.shown.size(), 2);
    for (const msgbox::Request& r : boxes.shown) {
        EXPECT_EQ(r.kind, msgbox::Kind::SilentError);
        EXPECT_EQ(r.text, kPrintError);
    }
}

TEST_F(PrintReport, FontsAreFixedPitchEightPoints) {
    for (const QFont& font : {gridReportFont(), listReportFont()}) {
        EXPECT_EQ(font.pointSize(), 8);
        EXPECT_TRUE(QFontInfo(font).fixedPitch()) << font.family().toStdString();
    }
}
