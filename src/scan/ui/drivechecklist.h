#pragma once

#include <QChar>
#include <QList>
#include <QListWidget>
#include <QStringList>

// The drive check list of a tool window (`pckDrive`): one entry with a check box per drive of
// the system.  Filled when it is made: the current drive is ticked in advance, or else drive C
// (see drivechoice::initialTicks).
class DriveCheckList : public QListWidget {
    Q_OBJECT
public:
    enum class LetterCase { Lower, Upper };

    // Upper puts the drive letters in upper case (the duplicate window's list).
    explicit DriveCheckList(QWidget* parent = nullptr, LetterCase letterCase = LetterCase::Lower);

    // Reads the system's drive list again and ticks as at creation.
    void fill();

    // The entries in list order.
    QStringList entries() const;
    // The ticked entries, and their upper-case letters, in list order.
    QStringList tickedEntries() const;
    QList<QChar> tickedLetters() const;
    bool anyTicked() const;

    bool isTicked(int row) const;
    void setTicked(int row, bool ticked);

    // Index of the drive ticked in advance; -1 before the list is filled.
    int defaultDriveIndex() const { return m_defaultIndex; }

    // Keeps the widget (a Start button) enabled exactly while at least one drive is ticked.
    void enableWhenTicked(QWidget* widget);

signals:
    // A check box changed (pckDriveClick).
    void ticksChanged();

private:
    LetterCase m_case;
    int m_defaultIndex = -1;
};
