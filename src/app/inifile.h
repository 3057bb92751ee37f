#pragma once

#include "app/result.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The settings file (vastel.ini) and the other INI file (vastel95), both in the profile folder.
//
// An INI file is opened for each operation and closed straight after; nothing is cached.
// Section and key names compare without regard to case.  Values are text; integers are decimal
// text, and a missing or invalid integer reads as the given default.  Nothing is ever removed:
// writes replace a value in place or append it, keeping every other line as it was.  A write
// replaces the file atomically, so a crash never leaves half a file.
//
// A file that exists but cannot be read whole reads as missing (every value its default).  From
// then on every write of that IniFile object refuses: what was read from it may have been
// defaults standing in for the user's values, and a write would replace the file with less than
// it holds.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    QString readString(const QString& section, const QString& key, const QString& def) const;
    bool writeString(const QString& section, const QString& key, const QString& value);

    qint64 readInteger(const QString& section, const QString& key, qint64 def) const;
    bool writeInteger(const QString& section, const QString& key, qint64 value);

    // Several keys of one section from a single reading of the file, in the keys' order.
    QStringList readStrings(const QString& section, const QStringList& keys,
                            const QString& def) const;
    QList<qint64> readIntegers(const QString& section, const QStringList& keys, qint64 def) const;

    // Every key line of the section (the first section of that name), name and value, in file
    // order; a name may come more than once.  Empty when the section is missing.
    QList<QPair<QString, QString>> readSection(const QString& section) const;

    // Writes several keys of one section in a single replacement of the file, in the given
    // order (so a list or a set of totals is never left half written).  Fails with the reason.
    Result<> writeStrings(const QString& section, const QList<QPair<QString, QString>>& values);

    // The whole file (empty when it does not exist).  False when it exists but cannot be read
    // whole; the reason is kept, and every later write refuses.
    bool readContent(QByteArray* content) const;

    // The text of a value as an integer (decimal, blanks around it allowed); def when it is
    // not one.
    static qint64 toInteger(const QString& text, qint64 def);

private:
    QString m_path;
    mutable QString m_readError; // why a read failed; empty while every read succeeded
};

// vastel.ini and vastel95 of the current world (the profile folder is created on first write).
IniFile settingsFile();
IniFile vastel95File();

// Replaces a file by the bytes in one step, making its folder first when needed, so that a
// crash never leaves half a file.  Fails with the reason.
Result<> saveWholeFile(const QString& path, const QByteArray& bytes);
