#pragma once

#include "zip/zipreader.h"

#include <QString>
#include <QStringList>

// What the unzip window needs besides its widgets: which files of a folder are the program's
// archives, and the texts it shows.
namespace unzip {

// The archives the program writes are named "Drive-" + drive letter + "-" + tag + date and time
// + ".zip" (a further archive of one run carries "-2", "-3", ... before ".zip").  The unzip
// window lists the files whose names match "Drive*.zip", letter case ignored.
extern const char* const kArchiveMask;

bool isArchiveName(const QString& fileName);

// The names of the regular files in the folder that match the mask, sorted by name ignoring
// letter case.  A folder that cannot be read has none.
QStringList archiveFiles(const QString& folder);

// "N files".
QString countText(qint64 files);

// The first box for an entry that could not be extracted: "Cannot extract " + the entry's name
// + " from " + the archive's file name (without its folder).
QString cannotExtractText(const zip::ExtractFailure& failure, const QString& archivePath);

// Said when an extraction ends: "Files were unzipped" when every file was, else how many were
// and how many were not ("2 of 3 files were unzipped; 1 could not be unzipped").
QString unzippedText(const zip::ZipReader::ExtractResult& result);

// Shown a moment after the window opens on a folder without archives.
QString noArchivesNotice();

} // namespace unzip
