#pragma once

#include "app/protection.h"

#include <QString>

// Values of the application shell that live for the whole run and that every tool reads.
namespace shell {

// The protected-folder lists and their lookup.
ProtectedFolders& protection();

// The folder in which zip archives are made: [ZipFile] Path, by default the home folder (which
// stands for the root of drive C).
const QString& defaultZipFolder();
void setDefaultZipFolder(const QString& folder);
// Reads the default zip folder from the settings file.
void getDefaultZipPath();

} // namespace shell
