#include "app/grid.h"
#include "app/report.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2024, 3, 5), QTime(14, 7, 9));

} // namespace

TEST(Report, PrintedLineHasShortDateTwoBlanksAndTime) {
    const QString line = printedLine(kNow);
    EXPECT_TRUE(line.startsWith("Printed : 3/5/2024  ")) << line.toStdString();
    EXPECT_TRUE(line.contains("2:07")) << line.toStdString();
}

TEST(Report, GridCellsAreCutAndPaddedToTheirColumnWidth) {
    TextGrid grid(3);
    grid.setHeader({"File name", "X", "Size"});
    grid.appendRow({"averyveryverylongname.txt", "hidden text", "123456789"});
    grid.appendRow({"a.txt", "", "1"});
    // 60 pixels: 10 characters; 4 pixels: nothing but the blank; 35 pixels: 5 characters.
    const QList<int> widths{60, 4, 35};

    const QStringList lines = gridReportLines(grid, widths, "Old files", kNow);
    ASSERT_EQ(lines.size(), 4 + 3);
    EXPECT_EQ(lines[0], "Old files");
    EXPECT_EQ(lines[1], printedLine(kNow));
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "File name   Size  "); // the header row is printed like the others
    EXPECT_EQ(lines[5], "averyveryv  12345 ");
    EXPECT_EQ(lines[6], "a.txt       1     ");
}

TEST(Report, FieldWidthsAndMissingWidths) {
    EXPECT_EQ(reportFieldWidth(60), 10);
    EXPECT_EQ(reportFieldWidth(65), 10);
    EXPECT_EQ(reportFieldWidth(6), 1);
    EXPECT_EQ(reportFieldWidth(5), 0);
    EXPECT_EQ(reportFieldWidth(-10), 0);
    // A column without a width prints as the blank alone.
    EXPECT_EQ(gridReportRow({"abc", "def"}, {18}), "abc  ");
}

TEST(Report, RowsAndTextGridGiveTheSameReport) {
    TextGrid grid(2);
    grid.setHeader({"Folder", "Bytes"});
    grid.appendRow({"/home/user/projects", "1,234,567"});
    const QList<QStringList> rows{{"Folder", "Bytes"}, {"/home/user/projects", "1,234,567"}};
    EXPECT_EQ(gridReportLines(grid, {72, 60}, "Hogs", kNow),
              gridReportLines(rows, {72, 60}, "Hogs", kNow));
}

TEST(Report, ListIsIndentedByThreeBlanks) {
    const QStringList lines = listReportLines({"Size: 12", "", "Type: text"}, "Details", kNow);
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], "   Details");
    EXPECT_EQ(lines[1], "   " + printedLine(kNow));
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "   Size: 12");
    EXPECT_EQ(lines[5], "   ");
    EXPECT_EQ(lines[6], "   Type: text");
}

TEST(Report, EmptyListGivesTheHeaderOnly) {
    const QStringList lines = listReportLines({}, "Nothing", kNow);
    EXPECT_EQ(lines, QStringList({"   Nothing", "   " + printedLine(kNow), "", ""}));
}
