// The texts and chart data of the statistics pages.
#include "app/format.h"
#include "stats/chartdata.h"
#include "stats/statpages.h"
#include "support/sandbox.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

stats::StatTotals someTotals() {
    stats::StatTotals t;
    t.sizeClassCount = {5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    t.sizeClassBytes = {5000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6LL << 30};
    t.clusterWaste = {100, 200, 300, 400, 500};
    t.filesCounted = 7;
    return t;
}

} // namespace

TEST(StatsPages, GridsShowEveryClassLargestAndOldestFirst) {
    QLocale::setDefault(QLocale::c());
    stats::StatTotals t = someTotals();
    t.ageCount[stats::tkCreated][0] = 3;
    t.ageBytes[stats::tkCreated][0] = 30;
    t.ageCount[stats::tkCreated][9] = 4;
    TextGrid sizes, dates, combined;
    stats::fillGridSizes(sizes, t);
    ASSERT_EQ(sizes.rowCount(), 13);
    EXPECT_EQ(sizes.rowCells(1), (QStringList{"Over 16MB", "6,442,450,944", "2"}));
    EXPECT_EQ(sizes.rowCells(12), (QStringList{"0 - 16K", "5,000", "5"}));
    stats::fillGridDates(dates, "Created Date", t, stats::tkCreated);
    EXPECT_EQ(dates.rowCells(0),
              (QStringList{"Created Date", "Total file size", "Number of files"}));
    EXPECT_EQ(dates.rowCells(1), (QStringList{"Over 4 years", "0", "4"}));
    EXPECT_EQ(dates.rowCells(10), (QStringList{"Not recorded", "30", "3"}));
    stats::fillCombinedGridDates(combined, t);
    EXPECT_EQ(combined.columnCount(), 7);
    EXPECT_EQ(combined.rowCells(10), (QStringList{"Not recorded", "0", "0", "30", "3", "0", "0"}));
}

TEST(StatsPages, TypeGridPresetsSortsAndPies) {
    QLocale::setDefault(QLocale::c());
    SandboxWorld world;
    world.useRegistry("REGEDIT4\n[HKEY_CLASSES_ROOT\\.txt]\n@=\"txtfile\"\n"
                      "[HKEY_CLASSES_ROOT\\txtfile]\n@=\"Text Document\"\n");
    stats::TypeFilter only;
    only.allFiles = false;
    only.entries = {"*.txt\tText Document", "*.doc\tDOC File"};
    stats::TypeTable table;
    table.insertType(u".TXT", 3000, false);
    table.insertType(u".TXT", 1000, false);
    table.insertType(u".C", 9000, false);
    table.insertType(u"", 10, false);
    stats::presetSelectedTypes(table, only);
    TextGrid grid;
    stats::fillTypeGrid(grid, table);
    ASSERT_EQ(grid.rowCount(), 5);
    EXPECT_EQ(grid.rowCells(1), (QStringList{"", "No extension", "10", "1", "10"}));
    EXPECT_EQ(grid.rowCells(3), (QStringList{".DOC", "DOC File", "0", "0", "0"}));
    EXPECT_EQ(grid.rowCells(4), (QStringList{".TXT", "Text Document", "4,000", "2", "2,000"}));

    ASSERT_TRUE(stats::sortTypeGrid(grid, stats::TypeSort::Size));
    EXPECT_EQ(grid.cell(stats::tcExtension, 1), ".C");
    EXPECT_EQ(grid.cell(stats::tcExtension, 2), ".TXT");
    // A pie over three types with a value: three slices, the empty type none, colours by row.
    const stats::Series pie = stats::typePie(grid, stats::tcSize);
    ASSERT_EQ(pie.size(), 3);
    EXPECT_EQ(pie[0].label, "C File");
    EXPECT_EQ(pie[1].value, 4000);
    EXPECT_EQ(pie[2].colour, stats::initAColors()[2]);
    EXPECT_EQ(stats::percentages(pie), (QStringList{"69.2 %", "30.7 %", "0.1 %"}));

    TextGrid one;
    stats::TypeTable single;
    single.insertType(u".Z", 1, false);
    stats::fillTypeGrid(one, single);
    EXPECT_FALSE(stats::sortTypeGrid(one, stats::TypeSort::Type));
}

TEST(StatsPages, SpaceDeletedAndOverhangFigures) {
    QLocale::setDefault(QLocale::c());
    // A drive of 9 MB is shown in KB, one of 10 MB or more in MB.
    stats::SpaceFigures small = stats::doDiskSize({{"c: [/]", 9 * 1048576ULL, 1048576ULL}});
    EXPECT_EQ(small.total, "9,216 KB");
    EXPECT_EQ(small.free, "1,024 KB ");
    EXPECT_EQ(small.used, "8,192 KB ");
    ASSERT_EQ(small.bars.size(), 1) << "no Total pair for one drive";
    EXPECT_EQ(small.bars[0].used, 8192);
    stats::SpaceFigures two = stats::doDiskSize(
        {{"c: [/]", 9 * 1048576ULL, 1048576ULL}, {"d: [/d]", 20 * 1048576ULL, 4 * 1048576ULL}});
    EXPECT_EQ(two.total, "29 MB");
    EXPECT_TRUE(two.freeRed) << "5 MB free";
    EXPECT_FALSE(small.freeRed) << "1,024 KB free";
    ASSERT_EQ(two.bars.size(), 3);
    EXPECT_EQ(two.bars[1].free, 4) << "the second drive in MB";
    EXPECT_EQ(two.bars[2].label, "Total");
    EXPECT_FALSE(stats::doDiskSize({}).shown);
    EXPECT_EQ(stats::growthFor(1).target, 60);
    EXPECT_EQ(stats::growthFor(7).step, 2);

    Totals totals;
    totals.ndelete = 0;
    totals.nzip = 3;
    totals.sizeZip = 12345;
    totals.zipDate = dayNumber(QDate(2001, 2, 3));
    const stats::DeletedTexts d = stats::showFilesDeleted(totals);
    EXPECT_EQ(d.deletedFiles, "n/a");
    EXPECT_EQ(d.deletedBytes, "n/a");
    EXPECT_EQ(d.zippedFiles, "3 files");
    EXPECT_EQ(d.zippedBytes, "12,345 bytes");
    EXPECT_EQ(d.deletedSince, "");
    EXPECT_TRUE(d.zippedSince.startsWith("Since ") && d.zippedSince.contains("2001"));

    const stats::StatTotals t = someTotals();
    const stats::OverhangTexts o = stats::doOverHang(t, 8192);
    EXPECT_EQ(o.arrowRow, 1);
    EXPECT_EQ(o.totalSizes, "6,144 MB");
    EXPECT_EQ(o.filesLine, "Number of files scanned: 7");
    EXPECT_EQ(o.actualSpace, "Actual space used 6,144 MB");
    EXPECT_EQ(stats::doOverHang(t, 2048).arrowRow, -1);
    EXPECT_TRUE(stats::doOverHang(t, 2048).actualSpace.isEmpty());
    EXPECT_FALSE(stats::doOverHang(stats::StatTotals(), 4096).applicable);
    const stats::Series bars = stats::overhangBars(t);
    ASSERT_EQ(bars.size(), 5);
    EXPECT_EQ(bars[0].label, "64K");
    EXPECT_EQ(bars[4].label, "4K");
}

TEST(StatsPages, ChartsAndStatusTexts) {
    QLocale::setDefault(QLocale::c());
    stats::StatTotals t = someTotals();
    EXPECT_TRUE(stats::attributeBars(t, false).isEmpty()) << "no counted attributes: no bars";
    t.attrCount = {1, 0, 1, 2};
    t.attrBytes = {10, 0, 30, 60};
    const stats::Series files = stats::attributeBars(t, false);
    ASSERT_EQ(files.size(), 4);
    EXPECT_EQ(files[0].label, "Archive");
    EXPECT_DOUBLE_EQ(files[0].value, 50);
    EXPECT_EQ(files[3].label, "Hidden");
    EXPECT_EQ(stats::attributeBars(t, true)[0].colour, stats::kBlue);

    const stats::Series sizes = stats::sizeBars(t, true);
    ASSERT_EQ(sizes.size(), 12);
    EXPECT_EQ(sizes[0].label, "0 - 16K");
    EXPECT_DOUBLE_EQ(sizes[11].value, 6144);
    EXPECT_EQ(sizes[11].colour, 0x808080u);
    const stats::Series ages = stats::addAgeBars(t.ageCount[0], false, true, stats::kGreen);
    EXPECT_EQ(ages[0].label, "Not recorded");
    EXPECT_EQ(ages[9].colour, stats::kGreen);
    EXPECT_EQ(stats::ageChartTitle(stats::tkModified, false), "Modified Date (Number of files)");
    EXPECT_EQ(stats::hourLine(t.createdHourCount, stats::kLime).size(), 24);

    EXPECT_EQ(stats::finishedText(1234, 1234, false), "Finished - 1,234 files processed");
    EXPECT_EQ(stats::finishedText(10, 4, true),
              "Finished - 10 files processed 4 files found INCOMPLETE ... ABORTED");
    EXPECT_EQ(stats::completedCaption("c: d: "), "Statistics completed for drives C: D: ");
    EXPECT_EQ(stats::stripCommas("1,234,567"), "1234567");
    EXPECT_EQ(stats::percentText(12.04), "12 %");
}
