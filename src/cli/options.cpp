#include "cli/options.h"

#include <QCommandLineParser>
#include <QDate>
#include <array>

namespace cli {

namespace {

struct CommandInfo {
    Command command;
    const char* name;
    const char* summary;
};

const std::array<CommandInfo, 7> kCommands{{
    {Command::Dups, "dups", "groups of duplicate files"},
    {Command::Hogs, "hogs", "the largest files, largest first"},
    {Command::Dates, "dates", "files last accessed, created or modified in a range of dates"},
    {Command::FolderHogs, "folder-hogs", "how much each folder holds, largest first"},
    {Command::Clean, "clean", "temporary files (by their extensions), largest first"},
    {Command::Cache, "cache", "files of the browsers' cache folders"},
    {Command::Stats, "stats", "totals by size class, age class and file type"},
}};

// The criteria as typed, in the order of dups::Criterion.
const std::array<const char*, dups::kCriterionCount> kCriterionNames{
    "name", "name-size", "name-size-time", "size", "size-time", "size-type", "type-time"};

const char* const kKindNames[] = {"accessed", "created", "modified"};

QString targetsText(Command command) {
    if (command == Command::Cache)
        return QStringLiteral("Folders to clear (default: the folders of the cache window's "
                              "list); a letter such as C or C: stands for a drive's root.");
    return QStringLiteral("Drive letters (C or C:) and folders to search; default: the drive "
                          "the windows tick at first (the current folder's drive, else C).");
}

QString criterionHelp() {
    QString text = QStringLiteral("What duplicates share (default name):");
    const QStringList texts = dups::criterionTexts();
    for (int i = 0; i < dups::kCriterionCount; ++i)
        text += QStringLiteral(" %1 = %2%3")
                    .arg(QLatin1String(kCriterionNames[size_t(i)]), texts.at(i).toLower(),
                         i + 1 < dups::kCriterionCount ? QStringLiteral(",") : QStringLiteral("."));
    return text;
}

// The options that set what a command searches for.
void addSearchOptions(QCommandLineParser& parser, Command command) {
    switch (command) {
    case Command::Dups:
        parser.addOption({QStringLiteral("criterion"), criterionHelp(), QStringLiteral("NAME")});
        parser.addOption({QStringLiteral("content"),
                          QStringLiteral("Reads the files of each group and keeps only files of "
                                         "the same contents: each group splits into groups of "
                                         "identical files, and a file left out is named on "
                                         "standard error with the reason.")});
        parser.addOption({QStringLiteral("keep"),
                          QStringLiteral("Which file of each group of identical files a disposal "
                                         "keeps: first (as listed, the default), oldest, newest "
                                         "(by time of last write) or shortest-path."),
                          QStringLiteral("WHICH")});
        [[fallthrough]];
    case Command::Hogs:
        parser.addOption({QStringLiteral("larger"),
                          QStringLiteral("Files of at least N units (default 250 KB)."),
                          QStringLiteral("N")});
        parser.addOption({QStringLiteral("smaller"),
                          QStringLiteral("Files of at most N units; with --larger, files "
                                         "between the two sizes."),
                          QStringLiteral("N")});
        parser.addOption({QStringLiteral("unit"),
                          QStringLiteral("The unit of the sizes: kb (1024 bytes, the default) "
                                         "or bytes."),
                          QStringLiteral("UNIT")});
        parser.addOption({QStringLiteral("pattern"),
                          QStringLiteral("Only files whose names match (* and ?, any letter "
                                         "case; default *.*)."),
                          QStringLiteral("PATTERN")});
        break;
    case Command::Dates:
        parser.addOption({QStringLiteral("kind"),
                          QStringLiteral("Which date is tested: accessed (default), created or "
                                         "modified."),
                          QStringLiteral("KIND")});
        parser.addOption({QStringLiteral("from"),
                          QStringLiteral("Files dated on or after this day (YYYY-MM-DD)."),
                          QStringLiteral("DATE")});
        parser.addOption({QStringLiteral("to"),
                          QStringLiteral("Files dated on or before this day (YYYY-MM-DD); with "
                                         "--from, files between the two days.  A file without "
                                         "that date counts as dated before every day."),
                          QStringLiteral("DATE")});
        parser.addOption({QStringLiteral("pattern"),
                          QStringLiteral("Only files whose names match (default *.*)."),
                          QStringLiteral("PATTERN")});
        break;
    case Command::FolderHogs:
        parser.addOption({QStringLiteral("all"),
                          QStringLiteral("Every folder with the files directly in it, instead "
                                         "of the main folders with their whole subtrees.")});
        break;
    case Command::Clean:
        parser.addOption({QStringLiteral("pattern"),
                          QStringLiteral("A temporary-file pattern such as *.tmp (repeatable); "
                                         "default: the patterns of the quick-clean list."),
                          QStringLiteral("PATTERN")});
        break;
    case Command::Cache:
        parser.addOption({QStringLiteral("days"),
                          QStringLiteral("Only files not accessed in at least N days (0-100, "
                                         "default 0)."),
                          QStringLiteral("N")});
        break;
    case Command::Stats:
        parser.addOption({QStringLiteral("type"),
                          QStringLiteral("Counts only the files of a type such as *.doc "
                                         "(repeatable); default: every file."),
                          QStringLiteral("PATTERN")});
        break;
    case Command::None:
        break;
    }
}

// The options of a disposal of the files listed.
void addDisposalOptions(QCommandLineParser& parser, Command command) {
    if (!listsFiles(command))
        return;
    const QString which =
        command == Command::Dups
            ? QStringLiteral(" (of each group of duplicates all but the first listed)")
            : QString();
    parser.addOption(
        {QStringLiteral("delete"), QStringLiteral("Deletes the files listed%1.").arg(which)});
    parser.addOption({QStringLiteral("trash"),
                      QStringLiteral("Sends the files listed%1 to the trash.").arg(which)});
    parser.addOption({QStringLiteral("zip"),
                      QStringLiteral("Stores the files listed%1 in zip archives in FOLDER, "
                                     "then deletes them.")
                          .arg(which),
                      QStringLiteral("FOLDER")});
    parser.addOption(
        {QStringLiteral("yes"),
         QStringLiteral("Disposes without asking; without it the question is asked on the "
                        "terminal, and refused when there is none.")});
    parser.addOption(
        {QStringLiteral("include-archives"),
         QStringLiteral("Disposes of the archives Vastel wrote into its zip folder too; without "
                        "it they are held back and named on standard error.")});
}

// The options of a command, added to the parser.
void addOptions(QCommandLineParser& parser, Command command) {
    parser.addOption({QStringLiteral("help"), QStringLiteral("Shows this help.")});
    parser.addOption(
        {QStringLiteral("json"), QStringLiteral("Writes one JSON document instead of lines.")});
    parser.addOption({QStringLiteral("header"),
                      QStringLiteral("Starts the TAB-separated lines with a header line.")});
    addSearchOptions(parser, command);
    addDisposalOptions(parser, command);
    parser.addPositionalArgument(command == Command::Cache ? QStringLiteral("FOLDER")
                                                           : QStringLiteral("DRIVE|FOLDER"),
                                 targetsText(command), QStringLiteral("[DRIVE|FOLDER...]"));
}

const CommandInfo* findCommand(const QString& name) {
    for (const CommandInfo& info : kCommands)
        if (name == QLatin1String(info.name))
            return &info;
    return nullptr;
}

// A whole number of at least 0 (at most `most` when given); nothing when the text is not one.
bool readCount(const QString& text, qint64 most, qint64* out) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < 0 || (most >= 0 && value > most))
        return false;
    *out = value;
    return true;
}

QString badValue(const QString& option, const QString& value) {
    return QStringLiteral("invalid value for --%1: '%2'").arg(option, value);
}

// The options of dups and hogs; an error text or empty.
QString readSizeFilter(const QCommandLineParser& parser, Options& o) {
    const QString unit = parser.value(QStringLiteral("unit")).toLower();
    if (!unit.isEmpty() && unit != QLatin1String("kb") && unit != QLatin1String("bytes"))
        return badValue(QStringLiteral("unit"), unit);
    const bool kilobytes = unit != QLatin1String("bytes");
    // The largest number whose bytes fit.
    const qint64 most = kilobytes ? (std::numeric_limits<qint64>::max() / 1024) : -1;
    qint64 larger = 250, smaller = 0;
    const bool hasLarger = parser.isSet(QStringLiteral("larger"));
    const bool hasSmaller = parser.isSet(QStringLiteral("smaller"));
    if (hasLarger && !readCount(parser.value(QStringLiteral("larger")), most, &larger))
        return badValue(QStringLiteral("larger"), parser.value(QStringLiteral("larger")));
    if (hasSmaller && !readCount(parser.value(QStringLiteral("smaller")), most, &smaller))
        return badValue(QStringLiteral("smaller"), parser.value(QStringLiteral("smaller")));
    dups::SizeFilter& filter = o.dup.filter;
    filter.rule = hasLarger && hasSmaller ? dups::SizeRule::Between
                  : hasSmaller            ? dups::SizeRule::SmallerOrEqual
                                          : dups::SizeRule::LargerOrEqual;
    if (filter.rule == dups::SizeRule::Between && smaller < larger)
        return QStringLiteral("--smaller must not be less than --larger");
    filter.lower = dups::limitBytes(
        filter.rule == dups::SizeRule::SmallerOrEqual ? smaller : larger, kilobytes);
    filter.upper = dups::limitBytes(smaller, kilobytes);
    if (parser.isSet(QStringLiteral("pattern")))
        o.dup.pattern = parser.value(QStringLiteral("pattern"));
    if (o.command == Command::Dups) {
        o.dup.mode = dups::Mode::Duplicates;
        const QString name = parser.isSet(QStringLiteral("criterion"))
                                 ? parser.value(QStringLiteral("criterion"))
                                 : QStringLiteral("name");
        int found = -1;
        for (int i = 0; i < dups::kCriterionCount; ++i)
            if (name == QLatin1String(kCriterionNames[size_t(i)]))
                found = i;
        if (found < 0)
            return badValue(QStringLiteral("criterion"), name);
        o.dup.criterion = dups::Criterion(found);
        o.content = parser.isSet(QStringLiteral("content"));
        const QString keep = parser.isSet(QStringLiteral("keep"))
                                 ? parser.value(QStringLiteral("keep"))
                                 : QStringLiteral("first");
        const QStringList keeps = {QStringLiteral("first"), QStringLiteral("oldest"),
                                   QStringLiteral("newest"), QStringLiteral("shortest-path")};
        if (!keeps.contains(keep))
            return badValue(QStringLiteral("keep"), keep);
        o.keep = Options::Keep(keeps.indexOf(keep));
    } else {
        o.dup.mode = dups::Mode::FileHogs;
    }
    return QString();
}

QString readDates(const QCommandLineParser& parser, Options& o) {
    const QString kind = parser.isSet(QStringLiteral("kind")) ? parser.value(QStringLiteral("kind"))
                                                              : QStringLiteral("accessed");
    int found = -1;
    for (int i = 0; i < 3; ++i)
        if (kind == QLatin1String(kKindNames[i]))
            found = i;
    if (found < 0)
        return badValue(QStringLiteral("kind"), kind);
    o.date.kind = dates::Kind(found);
    QDate from, to;
    for (const auto& [name, date] : {std::pair<QString, QDate*>(QStringLiteral("from"), &from),
                                     std::pair<QString, QDate*>(QStringLiteral("to"), &to)}) {
        if (!parser.isSet(name))
            continue;
        *date = QDate::fromString(parser.value(name), Qt::ISODate);
        if (!date->isValid())
            return badValue(name, parser.value(name));
    }
    if (!from.isValid() && !to.isValid())
        return QStringLiteral("dates needs --from, --to or both");
    if (from.isValid() && to.isValid() && to < from)
        return QStringLiteral("--to must not be before --from");
    o.date.test.when = from.isValid() && to.isValid() ? dates::When::Between
                       : from.isValid()               ? dates::When::OnOrAfter
                                                      : dates::When::OnOrBefore;
    o.date.test.start = from.isValid() ? from : to;
    o.date.test.end = to;
    if (parser.isSet(QStringLiteral("pattern")))
        o.date.pattern = parser.value(QStringLiteral("pattern"));
    return QString();
}

QString readDisposal(const QCommandLineParser& parser, Options& o) {
    int chosen = 0;
    if (parser.isSet(QStringLiteral("delete"))) {
        o.disposal = Disposal::Delete;
        ++chosen;
    }
    if (parser.isSet(QStringLiteral("trash"))) {
        o.disposal = Disposal::Trash;
        ++chosen;
    }
    if (parser.isSet(QStringLiteral("zip"))) {
        o.disposal = Disposal::Zip;
        o.zipFolder = parser.value(QStringLiteral("zip"));
        ++chosen;
        if (o.zipFolder.isEmpty())
            return QStringLiteral("--zip needs a folder");
    }
    if (chosen > 1)
        return QStringLiteral("choose one of --delete, --trash and --zip");
    o.yes = parser.isSet(QStringLiteral("yes"));
    if (o.yes && o.disposal == Disposal::None)
        return QStringLiteral("--yes needs --delete, --trash or --zip");
    o.includeArchives = parser.isSet(QStringLiteral("include-archives"));
    if (o.includeArchives && o.disposal == Disposal::None)
        return QStringLiteral("--include-archives needs --delete, --trash or --zip");
    return QString();
}

// The options particular to the command; an error text or empty.
QString readCommandOptions(const QCommandLineParser& parser, Options& o) {
    switch (o.command) {
    case Command::Dups:
    case Command::Hogs:
        return readSizeFilter(parser, o);
    case Command::Dates:
        return readDates(parser, o);
    case Command::FolderHogs:
        o.folderMode = parser.isSet(QStringLiteral("all")) ? folderhogs::Mode::AllFolders
                                                           : folderhogs::Mode::MainFolders;
        return QString();
    case Command::Clean:
        o.tempPatterns = parser.values(QStringLiteral("pattern"));
        return QString();
    case Command::Cache: {
        qint64 days = 0;
        if (parser.isSet(QStringLiteral("days")) &&
            !readCount(parser.value(QStringLiteral("days")), 100, &days))
            return badValue(QStringLiteral("days"), parser.value(QStringLiteral("days")));
        o.days = int(days);
        return QString();
    }
    case Command::Stats:
        o.statTypes = parser.values(QStringLiteral("type"));
        return QString();
    case Command::None:
        break;
    }
    return QString();
}

} // namespace

QString commandName(Command command) {
    for (const CommandInfo& info : kCommands)
        if (info.command == command)
            return QLatin1String(info.name);
    return QString();
}

bool listsFiles(Command command) {
    return command != Command::Stats && command != Command::FolderHogs && command != Command::None;
}

ParsedArguments parseArguments(const QStringList& arguments) {
    ParsedArguments result;
    Options& o = result.options;
    if (arguments.isEmpty())
        return {o, QStringLiteral("no command given (try --help)")};
    const QString& first = arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h") ||
        first == QLatin1String("help")) {
        o.help = true;
        return result;
    }
    const CommandInfo* info = findCommand(first);
    if (!info)
        return {o, QStringLiteral("unknown command '%1' (try --help)").arg(first)};
    o.command = info->command;

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addOptions(parser, o.command);
    // The parser takes the program's name first.
    if (!parser.parse(QStringList{QStringLiteral("vastel-cli")} + arguments.mid(1)))
        return {o, parser.errorText()};
    if (parser.isSet(QStringLiteral("help"))) {
        o.help = true;
        return result;
    }
    o.json = parser.isSet(QStringLiteral("json"));
    o.header = parser.isSet(QStringLiteral("header"));
    o.targets = parser.positionalArguments();
    result.error = readCommandOptions(parser, o);
    if (result.error.isEmpty() && listsFiles(o.command))
        result.error = readDisposal(parser, o);
    return result;
}

QString programHelp() {
    QString text = QStringLiteral(
        "Usage: vastel-cli COMMAND [options] [DRIVE|FOLDER...]\n"
        "Finds what takes the space on the drives, without a window.  Results go to standard\n"
        "output as TAB-separated lines (sizes in bytes, dates in ISO 8601) or, with --json, as\n"
        "one JSON document.\n\nCommands:\n");
    for (const CommandInfo& info : kCommands)
        text += QStringLiteral("  %1%2\n")
                    .arg(QLatin1String(info.name), -13)
                    .arg(QLatin1String(info.summary));
    text += QStringLiteral(
        "\n'vastel-cli COMMAND --help' lists the options of a command.\n"
        "Exit status: 0 something found (or disposed of), 1 nothing found (or the disposal\n"
        "declined), 2 a usage or I/O error, or files that could not be disposed of;\n"
        "3 the search ran but could not read some folder (the result may be incomplete);\n"
        "130 or 143 a zip run stopped by SIGINT or SIGTERM.\n");
    return text;
}

QString commandHelp(Command command) {
    QCommandLineParser parser;
    addOptions(parser, command);
    for (const CommandInfo& info : kCommands)
        if (info.command == command)
            parser.setApplicationDescription(QLatin1String(info.summary));
    QString text = parser.helpText();
    // The parser names the running executable; the first line is ours.
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    text =
        QStringLiteral("Usage: vastel-cli %1 [options] [%2...]")
            .arg(commandName(command), command == Command::Cache ? QStringLiteral("FOLDER")
                                                                 : QStringLiteral("DRIVE|FOLDER")) +
        text.mid(lineEnd);
    if (command == Command::Dups)
        text += QStringLiteral("\nA disposal first reads the files and proves which are "
                               "identical (as --content does), then keeps one file of each group "
                               "of identical files (see --keep) and disposes of the others: a "
                               "file whose contents no other file shares is never disposed of.\n");
    return text;
}

} // namespace cli
