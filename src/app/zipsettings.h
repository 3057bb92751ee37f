#pragma once

#include "app/inifile.h"

#include <QString>

// Where archives go and the comment they carry: [ZipFile] of the settings file.

// [ZipFile] Path; the default stands for the root of drive C (the home folder here).
QString readZipPath(const IniFile& ini, const QString& def);
bool writeZipPath(IniFile& ini, const QString& path);
QString readZipComment(const IniFile& ini);
bool writeZipComment(IniFile& ini, const QString& comment);
