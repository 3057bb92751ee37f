#include "scan/drivechoice.h"

#include "platform/drives.h"

#include <algorithm>

namespace drivechoice {

Ticks initialTicks(const QStringList& entries, const QString& currentEntry) {
    Ticks out;
    out.ticked = QList<bool>(entries.size(), false);

    const qsizetype current = currentEntry.isEmpty() ? -1 : entries.indexOf(currentEntry);
    if (current >= 0) {
        out.ticked[current] = true;
        out.defaultIndex = int(current);
        return out;
    }
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entryLetter(entries.at(i)) == QLatin1Char('C')) {
            out.ticked[i] = true;
            out.defaultIndex = int(i);
        }
    }
    return out;
}

QChar entryLetter(const QString& entry) {
    return entry.isEmpty() ? QChar() : entry.at(0).toUpper();
}

bool isFloppyEntry(const QString& entry) {
    const QChar letter = entryLetter(entry);
    return letter == QLatin1Char('A') || letter == QLatin1Char('B');
}

QStringList offeredEntries(const QStringList& entries) {
    QStringList out;
    for (const QString& e : entries) {
        if (!isFloppyEntry(e))
            out.append(e);
    }
    return out;
}

QList<QChar> tickedLetters(const QStringList& entries, const QList<bool>& ticked) {
    QList<QChar> out;
    const qsizetype n = std::min(entries.size(), ticked.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (ticked.at(i) && !entries.at(i).isEmpty())
            out.append(entryLetter(entries.at(i)));
    }
    return out;
}

QString countText(int selected, int total) {
    return QString::number(selected) + QLatin1Char('/') + QString::number(total);
}

QString withLetterCase(const QString& entry, bool upperCaseLetter) {
    if (!upperCaseLetter || entry.isEmpty())
        return entry;
    QString out = entry;
    out[0] = out.at(0).toUpper();
    return out;
}

QStringList systemDriveEntries(bool upperCaseLetter) {
    QStringList out;
    for (const platform::Drive& d : platform::drives())
        out.append(withLetterCase(platform::driveEntryText(d), upperCaseLetter));
    return out;
}

QString currentDriveEntry(bool upperCaseLetter) {
    const QChar letter = platform::currentDriveLetter();
    if (letter.isNull())
        return QString();
    const auto drive = platform::driveByLetter(letter);
    return drive ? withLetterCase(platform::driveEntryText(*drive), upperCaseLetter) : QString();
}

} // namespace drivechoice
