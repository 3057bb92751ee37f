#pragma once

#include <QString>
#include <QStringList>

// File types: readable names of extensions and the lists of chosen types kept in the settings
// file.  A list entry is a pattern, a TAB and the type description ("*.doc\tWord document");
// only the pattern is stored.

// The type name of an extension (".doc", with its dot) or of the pattern "*.": "No extension"
// for "*.", else the description the registry view gives for the extension's class, else the
// class name, else the extension without its dot in upper case followed by " File" (for an
// extension without "*").  Empty when nothing applies.  Answers are remembered per extension
// until the registry view is reloaded.
QString fileTypeDescription(const QString& extension);

// The type name of a file: fileTypeDescription of its extension when the registry view gives
// that extension a class; else the MIME type the glob patterns give the whole name ("libz.so.1"
// is a shared library, "Makefile" a Makefile); else fileTypeDescription of its extension.  Empty
// for a name without an extension that no pattern matches.
QString fileTypeDescriptionOfName(const QString& fileName);

// The patterns of every registered extension: "*.*" first when withAll, then "*" + every key
// of the class root that begins with "." and is shorter than 6 characters, in ascending order
// ignoring case.
QStringList listRegisteredExtensions(bool withAll);

// The extension of a pattern or file name: the text from its last dot, dot included; empty
// when it has none.
QString extensionOf(const QString& pattern);

// The type name a list entry shows for a pattern: fileTypeDescription of the pattern's
// extension, and "No extension" for the pattern "*." itself.
QString patternDescription(const QString& pattern);

// The stored list of a section ("Include" or "Exclude") as entries with their descriptions;
// the three default entries when the section has no Number.
QStringList ReadStatFilesFromDisk(const QString& section);

// Stores the entries' patterns (each entry cut before its first TAB) in the section; false when
// the settings file cannot be written.
bool WriteStatFilesToDisk(const QStringList& entries, const QString& section);

// The pattern a typed text stands for in the extension picker: "txt", ".txt" and "*.txt" give
// "*.txt"; "*", ".*" and "*.*" give nothing (an empty string); a text with a "*" elsewhere
// stays as typed.
QString patternFromTypedText(const QString& text);
