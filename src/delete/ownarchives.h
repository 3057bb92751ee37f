#pragma once

#include "delete/reallydelete.h"

#include <QString>
#include <QStringList>
#include <functional>

// The archives this program wrote hold the only copies of the files zipped into them.  Before
// one of them, or a folder holding them, is deleted, the user is asked (the windows) or they are
// held back (the command line).  An archive is recognised as the unzip window recognises it: a
// file named after the archive pattern ("Drive*.zip") lying directly in a zip folder.
namespace ownarchives {

// The zip folders of the world: the one of the settings file (the home folder when none is
// set), and `also` when it is given (the folder of a run that zips elsewhere).
QStringList zipFoldersOfWorld(const QString& also = QString());

// Whether the file is one of the program's archives in one of the zip folders (an empty zip
// folder stands for the root of drive C, as for the runs).
bool isOwnArchive(const QString& path, const QStringList& zipFolders);

// The paths that are the program's archives, in their order.
QStringList archivesAmong(const QStringList& paths, const QStringList& zipFolders);

// How many of the program's archives go with the folder: those of each zip folder that is the
// folder or lies below it.
qsizetype archivesInFolder(const QString& folder, const QStringList& zipFolders);

// Asked before files that include `count` archives are deleted, trashed or zipped.
QString filesQuestion(qsizetype count);
// Asked before a folder that holds `count` archives is deleted, trashed or zipped and deleted.
QString folderQuestion(const QString& folder, qsizetype count);

// Takes the program's archives out of the files unless `include` is set, and says so for each
// with one line to `warn`.  Returns what was held back.
struct HeldBack {
    qsizetype count = 0;
    qint64 bytes = 0; // of the archives whose size is known
};
HeldBack holdBack(ListedFiles& files, const QStringList& zipFolders, bool include,
                  const std::function<void(const QString& line)>& warn);

} // namespace ownarchives
