#include "scan/ui/drivechecklist.h"

#include "scan/drivechoice.h"

DriveCheckList::DriveCheckList(QWidget* parent, LetterCase letterCase)
    : QListWidget(parent), m_case(letterCase) {
    setObjectName(QStringLiteral("pckDrive"));
    connect(this, &QListWidget::itemChanged, this, &DriveCheckList::ticksChanged);
    fill();
}

void DriveCheckList::fill() {
    const bool upper = m_case == LetterCase::Upper;
    const QStringList all = drivechoice::systemDriveEntries(upper);
    const drivechoice::Ticks ticks =
        drivechoice::initialTicks(all, drivechoice::currentDriveEntry(upper));

    {
        const QSignalBlocker quiet(this);
        clear();
        for (qsizetype i = 0; i < all.size(); ++i) {
            auto* item = new QListWidgetItem(all.at(i), this);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(ticks.ticked.at(i) ? Qt::Checked : Qt::Unchecked);
        }
    }
    m_defaultIndex = ticks.defaultIndex;
    emit ticksChanged();
}

QStringList DriveCheckList::entries() const {
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out.append(item(i)->text());
    return out;
}

QStringList DriveCheckList::tickedEntries() const {
    QStringList out;
    for (int i = 0; i < count(); ++i) {
        if (isTicked(i))
            out.append(item(i)->text());
    }
    return out;
}

QList<QChar> DriveCheckList::tickedLetters() const {
    QList<bool> ticked;
    for (int i = 0; i < count(); ++i)
        ticked.append(isTicked(i));
    return drivechoice::tickedLetters(entries(), ticked);
}

bool DriveCheckList::anyTicked() const {
    for (int i = 0; i < count(); ++i) {
        if (isTicked(i))
            return true;
    }
    return false;
}

bool DriveCheckList::isTicked(int row) const {
    const QListWidgetItem* it = item(row);
    return it && it->checkState() == Qt::Checked;
}

void DriveCheckList::setTicked(int row, bool ticked) {
    if (QListWidgetItem* it = item(row))
        it->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void DriveCheckList::enableWhenTicked(QWidget* widget) {
    if (!widget)
        return;
    widget->setEnabled(anyTicked());
    // The widget is the context: the connection ends when it goes.
    connect(this, &DriveCheckList::ticksChanged, widget,
            [this, widget] { widget->setEnabled(anyTicked()); });
}
