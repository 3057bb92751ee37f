#pragma once

#include "dup/dupsearch.h"
#include "search/filedates.h"
#include "search/folderhogs.h"

#include <QString>
#include <QStringList>

// The command line of vastel-cli: a command, its options and the drives or folders to search.
namespace cli {

enum class Command { None, Dups, Hogs, Dates, FolderHogs, Clean, Cache, Stats };

// What happens to the files a search lists once they are written out.
enum class Disposal { None, Delete, Trash, Zip };

struct Options {
    Command command = Command::None;
    bool help = false;        // print the help of the program or of the command, nothing else
    bool json = false;        // one JSON document instead of TAB-separated lines
    bool header = false;      // a header line before the TAB-separated lines
    QStringList targets;      // drive letters ("C", "d:") and folders, in the order given
    dups::SearchSettings dup; // dups and hogs
    bool content = false;     // dups: only files whose contents are the same, read to prove it
    // dups disposals: which file of each group of identical files stays
    enum class Keep { First, Oldest, Newest, ShortestPath } keep = Keep::First;
    dates::SearchSettings date; // dates
    folderhogs::Mode folderMode = folderhogs::Mode::MainFolders;
    QStringList tempPatterns; // clean: "*.tmp", ...; empty for the stored list
    int days = 0;             // cache: least days since the last access
    QStringList statTypes;    // stats: only files of these types ("*.doc"); every file when empty
    Disposal disposal = Disposal::None;
    QString zipFolder; // Disposal::Zip
    bool yes = false;  // dispose without asking

    // Dispose of the program's own archives too.
    bool includeArchives = false;
};

// The outcome of parsing: the options, or the one-line reason they are not usable.
struct ParsedArguments {
    Options options;
    QString error; // empty when the arguments are usable
};

// Parses the arguments after the program's name.
ParsedArguments parseArguments(const QStringList& arguments);

// The help of the program (the commands) and of one command (all its options).
QString programHelp();
QString commandHelp(Command command);

// The name of a command as typed ("folder-hogs").
QString commandName(Command command);

// True for the commands whose results are files that can be disposed of.
bool listsFiles(Command command);

} // namespace cli
