#pragma once

#include <QIODevice>
#include <QStringList>

// The whole command line program behind main(): parse, search, write, dispose.
namespace cli {

// Exit statuses.  A zip run stopped by a signal ends with 128 plus the signal's number, as a
// shell reports a program the signal ended.  A search that ran but could not read some folder
// below a target ends with exIncomplete instead of exFound or exNothing (its result may miss
// files); an error or a signal still takes precedence.
enum ExitStatus { exFound = 0, exNothing = 1, exError = 2, exIncomplete = 3, exInterrupted = 128 };

struct Streams {
    QIODevice* out = nullptr; // results
    QIODevice* err = nullptr; // messages, progress, questions
    QIODevice* in = nullptr;  // answers to questions
    bool errIsTerminal = false;
    bool inIsTerminal = false;
};

// Runs one command (the arguments after the program's name) and returns the exit status.
int run(const QStringList& arguments, const Streams& streams);

} // namespace cli
