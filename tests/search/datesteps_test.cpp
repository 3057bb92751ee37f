#include "search/datesteps.h"

#include <gtest/gtest.h>

TEST(DateSteps, DaysPastTheEndOfTheTargetMonthBecomeItsLastDay) {
    EXPECT_EQ(stepMonths(QDate(2023, 1, 31), 1), QDate(2023, 2, 28));
    EXPECT_EQ(stepMonths(QDate(2024, 1, 31), 1), QDate(2024, 2, 29));
    EXPECT_EQ(stepMonths(QDate(2024, 3, 31), -1), QDate(2024, 2, 29));
    EXPECT_EQ(stepMonths(QDate(2024, 5, 31), 1), QDate(2024, 6, 30));
    // The day is not carried on: one month back from 28 February is 28 January.
    EXPECT_EQ(stepMonths(stepMonths(QDate(2023, 1, 31), 1), -1), QDate(2023, 1, 28));
    EXPECT_EQ(stepMonths(QDate(2023, 6, 15), 1), QDate(2023, 7, 15));
}

TEST(DateSteps, MonthStepsCrossTheYear) {
    EXPECT_EQ(stepMonths(QDate(2023, 12, 31), 1), QDate(2024, 1, 31));
    EXPECT_EQ(stepMonths(QDate(2024, 1, 10), -1), QDate(2023, 12, 10));
    EXPECT_EQ(stepMonths(QDate(2024, 1, 10), -13), QDate(2022, 12, 10));
    EXPECT_EQ(stepMonths(QDate(2024, 11, 30), 27), QDate(2027, 2, 28));
}

TEST(DateSteps, YearStepsFromLeapDay) {
    EXPECT_EQ(stepYears(QDate(2024, 2, 29), 1), QDate(2025, 2, 28));
    EXPECT_EQ(stepYears(QDate(2024, 2, 29), -1), QDate(2023, 2, 28));
    EXPECT_EQ(stepYears(QDate(2024, 2, 29), 4), QDate(2028, 2, 29));
    EXPECT_EQ(stepYears(QDate(2023, 7, 4), 1), QDate(2024, 7, 4));
}

TEST(DateSteps, InvalidDatesAndStepsOffTheCalendarKeepTheDate) {
    EXPECT_FALSE(stepMonths(QDate(), 1).isValid());
    EXPECT_FALSE(stepYears(QDate(), 1).isValid());
    EXPECT_EQ(stepYears(QDate(1, 5, 5), -1), QDate(1, 5, 5)); // there is no year 0
}
