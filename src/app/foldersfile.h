#pragma once

#include "app/inifile.h"
#include "app/result.h"

#include <QString>
#include <QStringList>

// The non-delete list: folders.txt in the data folder, one folder a line, and when it was
// recorded ([Folders] of the settings file).

// [Folders] When; "Not recorded" when missing.
QString readFoldersWhen(const IniFile& ini);
bool writeFoldersWhen(IniFile& ini, const QString& when);

QString foldersFilePath();
bool foldersFileExists();
// Lines without their CR LF (or LF) ends; empty lines skipped.  Empty when missing; failed, with
// the reason, when the file exists but cannot be read.
Result<QStringList> readFoldersFile();
// Replaces the file with the lines (CR LF ends); an empty list deletes the file.
bool writeFoldersFile(const QStringList& folders);

// What is wrong with the lines of a list as read: one warning for each line that names no
// existing folder, in the order of the list.  Such a line stays as it was written (it protects
// nothing); the warning says so, and points out blanks before or after the name, which make the
// line name another folder than the one meant.
QStringList missingFolderWarnings(const QStringList& folders);
