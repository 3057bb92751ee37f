#include "app/gridmodel.h"
#include "app/ui/columnfit.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

int textWidth(const QTableView& view, const QString& text) {
    const int margins =
        2 * (view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1);
    return view.fontMetrics().horizontalAdvance(text) + margins;
}

} // namespace

// Among many rows the widest size and date are found and shown whole, the header's caption
// too; other columns and wider columns stay as they are; new rows are measured again.
TEST(ColumnFit, NumberColumnsWidenToTheirWidestTextAndNothingElseChanges) {
    TextGrid grid(3);
    grid.setHeader({"Size", "A caption wider than any date in it", "Name"});
    const QString name = "a name far too long for the few pixels its column has";
    for (int i = 0; i < 50000; ++i)
        grid.appendRow({QString::number(i * 7), "1/2/2000", name});
    grid.appendRow({"706,945,123,456,789", "12/28/2024 23:59", name});
    grid.appendRow({"111,111,111,111,111", "1/1/2001", name});
    GridModel model(&grid);
    QTableView view;
    view.setModel(&model);
    for (int c = 0; c < 3; ++c)
        view.setColumnWidth(c, 30);

    fitColumnsToText(&view, {0, 1});
    EXPECT_GE(view.columnWidth(0), textWidth(view, "706,945,123,456,789"));
    EXPECT_GE(view.columnWidth(0), textWidth(view, "111,111,111,111,111"));
    EXPECT_GE(view.columnWidth(1), view.horizontalHeader()->sectionSizeHint(1));
    EXPECT_GE(view.columnWidth(1), textWidth(view, "12/28/2024 23:59"));
    EXPECT_EQ(view.columnWidth(2), 30);

    view.setColumnWidth(0, 2000);
    fitColumnsToText(&view, {0});
    EXPECT_EQ(view.columnWidth(0), 2000);

    grid.appendRow({"1,706,945,123,456,789,012", "", name});
    model.refresh();
    view.setColumnWidth(0, 30);
    fitColumnsToText(&view, {0});
    EXPECT_GE(view.columnWidth(0), textWidth(view, "1,706,945,123,456,789,012"));
}
