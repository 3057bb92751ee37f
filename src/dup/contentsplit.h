#pragma once

#include "app/grid.h"
#include "dup/contents.h"
#include "dup/foundlist.h"

#include <QList>
#include <QString>

// Narrowing a duplicate grid down to files of the same contents: the grid's groups (those of the
// criterion) become the candidate groups of the content engine, and the engine's answer rewrites
// the grid.  QtCore only; the window and the command line share it.
namespace dups {

// The files of a duplicate grid as the content engine takes them: file k is row k + 1 (its path
// folder and name joined, its identity as listed), and each run of rows of one group number is
// one candidate group.  Rows of no group (0) are in none.
struct ContentRequest {
    QList<ContentFile> files;
    QList<QList<qsizetype>> candidates;
};
ContentRequest contentRequest(const TextGrid& grid, Mode mode);

// A row the split left out, and why: the reason's text for the user and the file's path.
struct LeftOut {
    QString path;
    QString reason;
};

// Rewrites the grid from the engine's answer to contentRequest(grid): every group splits into
// its groups of identical contents, each a new group (numbered 1, 2, ... from the top) whose
// rows keep their order and marks; files of contents no other file of their group shares, files
// that could not be read and files that changed are left out, and so are rows of no group.
// Returns the rows left out, in row order.  An aborted answer leaves the grid as it was.
QList<LeftOut> splitByContents(TextGrid& grid, Mode mode, const ContentGroups& result);

// "cannot be read: <message>", "changed while being read", "changed since it was listed".
QString problemText(const ContentProblem& problem);

} // namespace dups
