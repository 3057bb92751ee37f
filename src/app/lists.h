#pragma once

#include "app/inifile.h"

#include <QString>
#include <QStringList>

// The lists of the settings file: [TempFiles], [CacheFiles], [Include], [Exclude].  A list
// section holds Number and File1..FileNumber.
namespace lists {
extern const char* const TempFiles;
extern const char* const CacheFiles;
extern const char* const Include;
extern const char* const Exclude;

// "*.tmp", "*.fts", "*.bak", "*.$$$"
QStringList defaultTempFiles();
// "*.doc", "*.exe", "*.dll" (for both [Include] and [Exclude])
QStringList defaultTypeList();
} // namespace lists

// Reads a list section: Number (default -1), then File1..FileNumber (default empty); empty
// entries are skipped.  When Number is missing (reads as -1) the defaults are returned instead.
// A stored Number of 0 gives an empty list.
QStringList readList(const IniFile& ini, const QString& section, const QStringList& defaults);

// Writes Number and File1..FileN, each entry cut at its first TAB.  Keys beyond N that a longer
// list left behind stay in the file and are never read.
bool writeList(IniFile& ini, const QString& section, const QStringList& entries);
