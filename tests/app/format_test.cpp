#include "app/filetime.h"
#include "app/format.h"

#include <gtest/gtest.h>

namespace {
QDateTime at(int y, int m, int d, int h = 12) {
    return QDateTime(QDate(y, m, d), QTime(h, 0));
}
} // namespace

TEST(JoinPath, AddsExactlyOneSlash) {
    EXPECT_EQ(JoinPath("/", "a.txt"), "/a.txt");
    EXPECT_EQ(JoinPath("/data", "a.txt"), "/data/a.txt");
    EXPECT_EQ(JoinPath("/data/", "a.txt"), "/data/a.txt");
}

TEST(FormatThousands, GroupsDigitsAndKeepsSign) {
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1200000), "1,200,000");
    EXPECT_EQ(FormatThousands(-1234567), "-1,234,567");
    // Sizes beyond 32 bits are shown whole.
    EXPECT_EQ(FormatThousands(5000000000LL), "5,000,000,000");
}

TEST(SafeStrToInt, ReadsDecimalTextOrGivesZero) {
    EXPECT_EQ(SafeStrToInt(""), 0);
    EXPECT_EQ(SafeStrToInt("12a"), 0);
    EXPECT_EQ(SafeStrToInt("a12"), 0);
    EXPECT_EQ(SafeStrToInt("-"), 0);
    EXPECT_EQ(SafeStrToInt("1 000"), 0);
    EXPECT_EQ(SafeStrToInt("42"), 42);
    EXPECT_EQ(SafeStrToInt("-17"), -17);
    EXPECT_EQ(SafeStrToInt("+8"), 8);
    EXPECT_EQ(SafeStrToInt("  7"), 7);
    EXPECT_EQ(SafeStrToInt("4294967296"), 4294967296LL);
    EXPECT_EQ(SafeStrToInt("99999999999999999999"), 0); // does not fit
}

TEST(SafeDateToStr, FourDigitYearAndFallback) {
    EXPECT_EQ(SafeDateToStr(at(2024, 3, 9)), "3/9/2024");
    EXPECT_EQ(SafeDateToStr(QDateTime()), "1/1/1980");
}

TEST(RelativeDate, NearDays) {
    const QDateTime now = at(2026, 12, 8); // a Tuesday
    EXPECT_EQ(RelativeDate(at(2026, 12, 8, 1), now), "Today");
    EXPECT_EQ(RelativeDate(at(2026, 12, 7), now), "Yesterday");
    EXPECT_EQ(RelativeDate(at(2026, 12, 9), now), "Tomorrow");
    EXPECT_EQ(RelativeDate(QDateTime(), now), "");
}

TEST(RelativeDate, WeeksBeginOnSunday) {
    const QDateTime monday = at(2026, 12, 7);
    // Saturday two days before a Monday lies in the week before.
    EXPECT_EQ(RelativeDate(at(2026, 12, 5), monday), "Last week");
    const QDateTime saturday = at(2026, 12, 12);
    // Sunday of the same week.
    EXPECT_EQ(RelativeDate(at(2026, 12, 6), saturday), "This week");
    // Saturday of the week before.
    EXPECT_EQ(RelativeDate(at(2026, 12, 5), saturday), "Last week");
    // The whole week before, from its Sunday, is last week; the Saturday before it is not.
    EXPECT_EQ(RelativeDate(at(2026, 11, 29), saturday), "Last week");
    EXPECT_EQ(RelativeDate(at(2026, 11, 28), saturday), "2 wks ago");
}

TEST(RelativeDate, Past) {
    const QDateTime now = at(2026, 12, 8);
    EXPECT_EQ(RelativeDate(now.addDays(-40), now), "6 wks ago");
    EXPECT_EQ(RelativeDate(now.addDays(-100), now), "4 mons ago");
    EXPECT_EQ(RelativeDate(at(2025, 12, 1), now), "12 mons ago");
    EXPECT_EQ(RelativeDate(at(2022, 11, 8), now), "4 yrs 1 mon ago");
    EXPECT_EQ(RelativeDate(at(2021, 12, 8), now), "5 yrs ago");
    EXPECT_EQ(RelativeDate(at(2020, 9, 8), now), "6 yrs 3 mons ago");
}

TEST(RelativeDate, Future) {
    const QDateTime tuesday = at(2026, 12, 8);
    EXPECT_EQ(RelativeDate(at(2026, 12, 12), tuesday), "This week"); // Saturday
    EXPECT_EQ(RelativeDate(at(2026, 12, 13), tuesday), "Next week"); // Sunday after
    EXPECT_EQ(RelativeDate(at(2027, 1, 5), tuesday), "4 wks");
    // One year and one month ahead is counted in months.
    EXPECT_EQ(RelativeDate(at(2028, 1, 8), tuesday), "13 mons");
    EXPECT_EQ(RelativeDate(at(2030, 2, 8), tuesday), "3 yrs 2 mons");
    EXPECT_EQ(RelativeDate(at(2029, 12, 8), tuesday), "3 yrs");
}

TEST(DayNumbers, CountFromDecember1899) {
    EXPECT_DOUBLE_EQ(toDayNumber(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), 0.0);
    EXPECT_DOUBLE_EQ(toDayNumber(QDateTime(QDate(1900, 1, 1), QTime(18, 0))), 2.75);
    const QDateTime t(QDate(2026, 12, 8), QTime(13, 45, 10));
    EXPECT_EQ(fromDayNumber(toDayNumber(t)), t);
}

TEST(FileTime, PackedDosForm) {
    const QDateTime t(QDate(2024, 2, 29), QTime(23, 59, 59), Qt::LocalTime);
    const quint32 packed = filetime::packDos(t);
    EXPECT_EQ(packed >> 16, quint32((2024 - 1980) << 9 | 2 << 5 | 29));
    EXPECT_EQ(packed & 0xFFFF, quint32(23 << 11 | 59 << 5 | 29));
    // Two-second resolution.
    EXPECT_EQ(filetime::unpackDos(packed), QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58)));
    // Zero means no date, and dates outside 1980..2107 have no packed form.
    EXPECT_EQ(filetime::packedFromEpoch(0), 0u);
    EXPECT_FALSE(filetime::unpackDos(0).isValid());
    EXPECT_EQ(filetime::packDos(QDateTime(QDate(1979, 12, 31), QTime(23, 0))), 0u);
    EXPECT_EQ(filetime::packDos(QDateTime()), 0u);
    // Later times pack to larger values, so packed values compare as times do.
    EXPECT_LT(filetime::packDos(QDateTime(QDate(2001, 1, 1), QTime(0, 0))),
              filetime::packDos(QDateTime(QDate(2001, 1, 1), QTime(0, 0, 2))));
    const qint64 epoch = QDateTime(QDate(2010, 6, 1), QTime(8, 30)).toSecsSinceEpoch();
    EXPECT_EQ(filetime::unpackDos(filetime::packedFromEpoch(epoch)),
              QDateTime(QDate(2010, 6, 1), QTime(8, 30)));
}

TEST(FileTime, PackerAgreesWithExactConversionAcrossOffsetChanges) {
    // Zones given by rule, so that no time-zone database is needed: central Europe (one hour
    // at 01:00 UTC) and Lord Howe Island (half an hour at 02:00 local time).
    const QByteArray saved = qgetenv("TZ");
    for (const char* zone : {"CET-1CEST,M3.5.0,M10.5.0/3", "LHST-10:30LHDT-11,M10.1.0,M4.1.0"}) {
        SCOPED_TRACE(zone);
        qputenv("TZ", zone);
        // The zone is in force: summer and winter differ.
        ASSERT_NE(filetime::toLocal(1784000000).offsetFromUtc(),
                  filetime::toLocal(1767000000).offsetFromUtc());
        filetime::Packer packer;
        // Around each change of the year 2026, then some far-apart times.
        std::vector<qint64> times;
        for (qint64 change : {1774746000LL, 1792890000LL, 1775314800LL, 1791041400LL}) {
            for (qint64 t = change - 4 * 3600; t <= change + 4 * 3600; t += 317)
                times.push_back(t);
        }
        for (qint64 t = 315600000; t < 4000000000LL; t += 86400 * 37 + 4321)
            times.push_back(t);
        times.push_back(0);
        for (qint64 t : times)
            ASSERT_EQ(packer.pack(t), filetime::packedFromEpoch(t)) << t;
    }
    if (saved.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", saved);
}

TEST(CompareIgnoringCase, FoldsCaseAndOrdersPrefixesFirst) {
    EXPECT_EQ(compareIgnoringCase(u"README.TXT", u"readme.txt"), 0);
    EXPECT_EQ(compareIgnoringCase(u"Ärger", u"ärger"), 0);
    EXPECT_LT(compareIgnoringCase(u"abc", u"abcd"), 0);
    EXPECT_GT(compareIgnoringCase(u"b", u"A"), 0);
    EXPECT_LT(compareIgnoringCase(u"_", u"a"), 0);
    EXPECT_EQ(compareIgnoringCase(u"", u""), 0);
    // The same signs as Qt's own comparison ignoring case.
    const QStringList words = {"Zeta", "alpha", "ALPHA", "beta2", "Beta10", "émile",  "Émile",
                               "z",    "",      "a b",   "a-b",   "ÿ",      "straße", "STRASSE"};
    for (const QString& a : words) {
        for (const QString& b : words) {
            const int mine = compareIgnoringCase(a, b);
            const int qt = QString::compare(a, b, Qt::CaseInsensitive);
            EXPECT_EQ(mine < 0, qt < 0) << a.toStdString() << " " << b.toStdString();
            EXPECT_EQ(mine == 0, qt == 0) << a.toStdString() << " " << b.toStdString();
        }
    }
}

TEST(LongTimeFormat, HasSecondsAndNoZone) {
    const QString f = longTimeFormat();
    EXPECT_TRUE(f.contains("ss"));
    EXPECT_FALSE(f.contains('t'));
    EXPECT_EQ(f, f.trimmed());
}
