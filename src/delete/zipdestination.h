#pragma once

#include "app/result.h"

#include <QChar>
#include <QString>

// Rules of the destination folder dialog that restores an archive.
//
// The archives of the deletion window are named "Drive-" + drive letter + "-" + tag + date and
// time + ".zip"; extracting one into the root folder of that drive (its mount point) puts every
// file back where it was.
namespace zipdest {

// The drive letter an archive's file name carries right after "Drive-", upper case; a null
// QChar when the name has no "Drive-" or no letter follows it.  Only the file name is looked
// at, so a folder such as "/backup/Drive-images" names no drive.
QChar archiveDriveLetter(const QString& archivePath);

// The root folder of the drive with that letter (either case); empty when there is none.
QString driveRoot(QChar letter);

// True when the folder is the mount point of its drive and that drive carries the letter
// (either case).  A null letter never matches.
bool isOriginalRoot(const QString& folder, QChar letter);

// Creates the folder together with any missing folders on the way.  Fails with the system's
// message for the folder that could not be made.
Result<> makeFolderPath(const QString& path);

} // namespace zipdest
