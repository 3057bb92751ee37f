// The command line read into options: what each option sets, and what is refused.
#include "cli/options.h"

#include <gtest/gtest.h>

namespace {

cli::ParsedArguments parse(const QString& line) {
    return cli::parseArguments(line.split(QLatin1Char(' '), Qt::SkipEmptyParts));
}

TEST(CliOptions, SizeFiltersCriteriaAndDatesAreReadAsTheWindowsHoldThem) {
    const cli::Options defaults = parse(QStringLiteral("hogs")).options;
    EXPECT_EQ(defaults.dup.mode, dups::Mode::FileHogs);
    EXPECT_EQ(defaults.dup.filter.rule, dups::SizeRule::LargerOrEqual);
    EXPECT_EQ(defaults.dup.filter.lower, 250 * 1024);

    const cli::Options between =
        parse(QStringLiteral("dups --larger 3 --smaller 9 --criterion size-type D: /tmp")).options;
    EXPECT_EQ(between.dup.mode, dups::Mode::Duplicates);
    EXPECT_EQ(between.dup.criterion, dups::SizeAndType);
    EXPECT_EQ(between.dup.filter.rule, dups::SizeRule::Between);
    EXPECT_EQ(between.dup.filter.lower, 3 * 1024);
    EXPECT_EQ(between.dup.filter.upper, 9 * 1024);
    EXPECT_EQ(between.targets, (QStringList{QStringLiteral("D:"), QStringLiteral("/tmp")}));

    const cli::Options smaller = parse(QStringLiteral("hogs --smaller 5 --unit bytes")).options;
    EXPECT_EQ(smaller.dup.filter.rule, dups::SizeRule::SmallerOrEqual);
    EXPECT_EQ(smaller.dup.filter.lower, 5);

    const cli::Options to = parse(QStringLiteral("dates --kind created --to 2024-02-29")).options;
    EXPECT_EQ(to.date.kind, dates::Kind::Created);
    EXPECT_EQ(to.date.test.when, dates::When::OnOrBefore);
    EXPECT_EQ(to.date.test.start, QDate(2024, 2, 29));
    const cli::Options range =
        parse(QStringLiteral("dates --from 2024-01-01 --to 2024-02-01")).options;
    EXPECT_EQ(range.date.test.when, dates::When::Between);
    EXPECT_EQ(range.date.test.start, QDate(2024, 1, 1));
    EXPECT_EQ(range.date.test.end, QDate(2024, 2, 1));
    EXPECT_EQ(parse(QStringLiteral("dates --from 2024-01-01")).options.date.test.when,
              dates::When::OnOrAfter);

    const cli::Options zip = parse(QStringLiteral("clean --zip /z --yes")).options;
    EXPECT_EQ(zip.disposal, cli::Disposal::Zip);
    EXPECT_EQ(zip.zipFolder, QStringLiteral("/z"));
    EXPECT_TRUE(zip.yes);
}

TEST(CliOptions, UsageErrorsAreRefusedWithAReason) {
    for (const char* line :
         {"", "nosuch", "hogs --unit mb", "hogs --larger -1", "hogs --larger 3 --smaller 2",
          "dups --criterion colour", "dates", "dates --to 2024-02-30",
          "dates --from 2024-02-02 --to 2024-02-01", "cache --days 101", "stats --delete",
          "folder-hogs --trash", "hogs --delete --trash", "hogs --yes", "hogs --zip"}) {
        EXPECT_FALSE(parse(QString::fromLatin1(line)).error.isEmpty()) << line;
    }
}

TEST(CliOptions, HelpListsEveryOptionOfEachCommand) {
    for (const char* command :
         {"dups", "hogs", "dates", "folder-hogs", "clean", "cache", "stats"}) {
        const cli::ParsedArguments parsed =
            parse(QStringLiteral("%1 --help").arg(QLatin1String(command)));
        ASSERT_TRUE(parsed.error.isEmpty());
        EXPECT_TRUE(parsed.options.help);
        const QString help = cli::commandHelp(parsed.options.command);
        EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: vastel-cli ") + command));
        EXPECT_EQ(help.contains(QStringLiteral("--delete")),
                  cli::listsFiles(parsed.options.command));
        EXPECT_TRUE(cli::programHelp().contains(QLatin1String(command)));
    }
}

} // namespace
