#include "app/grid.h"
#include "app/gridmodel.h"

#include <gtest/gtest.h>

namespace {

// A grid with a header and one row per value in column 1; column 0 numbers the rows as they
// were added, so tests can see where equal keys went.
TextGrid gridOf(const QStringList& values) {
    TextGrid g(2);
    g.setHeader({"#", "Value"});
    for (int i = 0; i < values.size(); ++i)
        g.appendRow({QString::number(i), values[i]});
    return g;
}

QStringList column(const TextGrid& g, int c) {
    QStringList out;
    for (int r = 1; r < g.rowCount(); ++r)
        out << g.cell(c, r);
    return out;
}

} // namespace

TEST(TextGrid, CellsRowsAndMarks) {
    TextGrid g(3);
    g.setHeader({"Name", "Size", "Date"});
    g.appendRow({"a", "1"});
    g.appendRow({"b\twith tab", "2", "x", "ignored"}, true);
    EXPECT_EQ(g.rowCount(), 3);
    EXPECT_EQ(g.cell(0, 0), "Name");
    EXPECT_EQ(g.cell(2, 1), "");
    EXPECT_EQ(g.cell(0, 2), "b\twith tab"); // a TAB in a file name survives
    EXPECT_EQ(g.rowCells(2), QStringList({"b\twith tab", "2", "x"}));
    EXPECT_TRUE(g.isMarked(2));
    g.setCell(1, 1, "10");
    EXPECT_EQ(g.cell(1, 1), "10");
    EXPECT_EQ(g.cell(0, 1), "a");
    g.swapRows(1, 2);
    EXPECT_EQ(g.cell(0, 1), "b\twith tab");
    EXPECT_TRUE(g.isMarked(1)); // the mark moves with its row
    EXPECT_FALSE(g.isMarked(2));
    g.clearRows();
    EXPECT_EQ(g.rowCount(), 1);
    EXPECT_EQ(g.cell(1, 0), "Size");
    EXPECT_EQ(g.cell(5, 0), "");
    EXPECT_EQ(g.cell(0, 9), "");
}

TEST(GridSort, TextVersusNumber) {
    TextGrid g = gridOf({"10", "9", "100"});
    SortGridByText(g, 1, g.rowCount() - 1, 1, false);
    EXPECT_EQ(column(g, 1), QStringList({"10", "100", "9"}));
    SortGridByNumber(g, 1, g.rowCount() - 1, 1, false);
    EXPECT_EQ(column(g, 1), QStringList({"9", "10", "100"}));
    SortGridByNumber(g, 1, g.rowCount() - 1, 1, true);
    EXPECT_EQ(column(g, 1), QStringList({"100", "10", "9"}));
    EXPECT_EQ(g.cell(1, 0), "Value"); // the header stays
}

TEST(GridSort, NumberKeysIgnoreSeparatorsUnitsAndSigns) {
    EXPECT_DOUBLE_EQ(numberSortKey("1,234 KB"), 1234);
    EXPECT_DOUBLE_EQ(numberSortKey("-5"), 5);
    EXPECT_DOUBLE_EQ(numberSortKey("2.5 MB"), 2.5);
    EXPECT_DOUBLE_EQ(numberSortKey("n/a"), 0);
    EXPECT_DOUBLE_EQ(numberSortKey(""), 0);
    EXPECT_DOUBLE_EQ(numberSortKey("1.2.3"), 0);
    TextGrid g = gridOf({"2,000", "10,000", "n/a", "999"});
    SortGridByNumber(g, 1, g.rowCount() - 1, 1, false);
    EXPECT_EQ(column(g, 1), QStringList({"n/a", "999", "2,000", "10,000"}));
}

TEST(GridSort, TextKeysFoldOnlyAsciiLetters) {
    EXPECT_EQ(textSortKey("apple"), textSortKey("APPLE"));
    EXPECT_NE(textSortKey(QString::fromUtf8("é")), textSortKey(QString::fromUtf8("É")));
    TextGrid g = gridOf({"b", "A", "a", "B"});
    SortGridByText(g, 1, g.rowCount() - 1, 1, false);
    // Short ranges use the exchange sort, which keeps equal keys in their order.
    EXPECT_EQ(column(g, 0), QStringList({"1", "2", "0", "3"}));
}

TEST(GridSort, ShortTextRangesKeepEqualRowsInPlace) {
    // Five rows (last - first = 4): exchange sort, stable for equal keys, in both directions.
    TextGrid g = gridOf({"x", "a", "x", "a", "x"});
    SortGridByText(g, 1, 5, 1, false);
    EXPECT_EQ(column(g, 0), QStringList({"1", "3", "0", "2", "4"}));
    TextGrid d = gridOf({"x", "a", "x", "a", "x"});
    SortGridByText(d, 1, 5, 1, true);
    EXPECT_EQ(column(d, 0), QStringList({"0", "2", "4", "1", "3"}));
}

TEST(GridSort, LongRangesFollowTheMiddlePivotQuicksort) {
    // Six equal keys: the quicksort swaps around the middle, so the order is reversed.
    TextGrid g = gridOf({"k", "k", "k", "k", "k", "k"});
    SortGridByText(g, 1, 6, 1, false);
    EXPECT_EQ(column(g, 0), QStringList({"5", "4", "3", "2", "1", "0"}));
    // Numbers use the quicksort even for two rows.
    TextGrid n = gridOf({"7", "7"});
    SortGridByNumber(n, 1, 2, 1, false);
    EXPECT_EQ(column(n, 0), QStringList({"1", "0"}));
    TextGrid t = gridOf({"7", "7"});
    SortGridByText(t, 1, 2, 1, false);
    EXPECT_EQ(column(t, 0), QStringList({"0", "1"}));
}

TEST(GridSort, RangesAndUntouchedRows) {
    TextGrid g = gridOf({"c", "b", "a", "z"});
    SortGridByText(g, 1, 1, 1, false); // one row
    SortGridByText(g, 3, 2, 1, false); // first > last
    EXPECT_EQ(column(g, 1), QStringList({"c", "b", "a", "z"}));
    SortGridByText(g, 1, 3, 1, false); // the last row stays
    EXPECT_EQ(column(g, 1), QStringList({"a", "b", "c", "z"}));
    SortGridByText(g, 1, 99, 7, false); // no such column: nothing happens
    EXPECT_EQ(column(g, 1), QStringList({"a", "b", "c", "z"}));
}

TEST(GridSort, DatesWithNaAndEmptyCells) {
    TextGrid g = gridOf({"3/1/2024", "n/a", "12/31/1999", "", "1/15/2024 9:05 AM", "7/4/1998"});
    SortGridByDate(g, 1, g.rowCount() - 1, 1, false);
    const QStringList order = column(g, 1);
    // "n/a" and the empty cell read as 1 January 1900 and come first, in either order.
    EXPECT_TRUE(QStringList(order.mid(0, 2)).contains("n/a"));
    EXPECT_TRUE(QStringList(order.mid(0, 2)).contains(""));
    EXPECT_EQ(order.mid(2),
              QStringList({"7/4/1998", "12/31/1999", "1/15/2024 9:05 AM", "3/1/2024"}));
    EXPECT_DOUBLE_EQ(dateSortKey("garbage"), dateSortKey(""));
}

TEST(GridSort, LargeRandomGridsComeOutOrderedWithMarksAttached) {
    TextGrid g(2);
    std::uint32_t seed = 12345;
    for (int i = 0; i < 20000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int v = int(seed >> 16) % 1000;
        g.appendRow({QString::number(v), QString::number(v)}, v % 7 == 0);
    }
    SortGridByNumber(g, 1, g.rowCount() - 1, 0, true);
    for (int r = 2; r < g.rowCount(); ++r)
        ASSERT_GE(g.cell(0, r - 1).toInt(), g.cell(0, r).toInt());
    for (int r = 1; r < g.rowCount(); ++r)
        ASSERT_EQ(g.isMarked(r), g.cell(1, r).toInt() % 7 == 0);
    SortGridByText(g, 1, g.rowCount() - 1, 1, false);
    for (int r = 2; r < g.rowCount(); ++r)
        ASSERT_LE(g.cell(1, r - 1), g.cell(1, r));
}

TEST(SortDirection, AlternatesFromItsFirstDirection) {
    SortDirection ascendingFirst;
    EXPECT_FALSE(ascendingFirst.take());
    EXPECT_TRUE(ascendingFirst.take());
    EXPECT_FALSE(ascendingFirst.take());
    SortDirection descendingFirst(true);
    EXPECT_TRUE(descendingFirst.take());
    EXPECT_FALSE(descendingFirst.take());
}

TEST(GridModel, ShowsRowsBelowTheHeader) {
    TextGrid g = gridOf({"x", "y"});
    g.setMarked(2, true);
    GridModel model(&g);
    model.setRightAligned(1);
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Value");
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), "y");
    EXPECT_TRUE(model.data(model.index(1, 0), GridModel::MarkedRole).toBool());
    EXPECT_FALSE(model.data(model.index(0, 0), GridModel::MarkedRole).toBool());
    EXPECT_TRUE(model.data(model.index(0, 1), Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
}
