#include "scan/ui/wildcardbox.h"

#include "stats/filetypes.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString kAllFiles = QStringLiteral("*.*");

} // namespace

WildCardBox::WildCardBox(QWidget* parent, bool withLabel) : QObject(parent) {
    m_combo = new QComboBox(parent);
    m_combo->setObjectName(QStringLiteral("cbWildCard"));
    m_combo->setEditable(true);
    // Typed patterns are used as they are, never added to the items.
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setMaxVisibleItems(14);
    m_combo->addItem(kAllFiles);
    m_combo->setEditText(kAllFiles);
    m_combo->installEventFilter(this);
    if (withLabel) {
        m_label = new QLabel(parent);
        m_label->setObjectName(QStringLiteral("lblWild"));
    }
    connect(m_combo, &QComboBox::editTextChanged, this, &WildCardBox::textChanged);
    textChanged(pattern());
}

QString WildCardBox::pattern() const {
    return m_combo->currentText();
}

void WildCardBox::setPattern(const QString& pattern) {
    m_combo->setEditText(pattern);
}

void WildCardBox::refill() {
    const QString text = pattern();
    {
        const QSignalBlocker quiet(m_combo);
        m_combo->clear();
        m_combo->addItems(listRegisteredExtensions(true));
        const int at = m_combo->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
        m_combo->setCurrentIndex(at);
        m_combo->setEditText(text);
    }
    textChanged(text);
}

QString WildCardBox::describe(const QString& pattern) {
    if (pattern == kAllFiles)
        return QStringLiteral("All files");
    return fileTypeDescription(pattern.mid(1));
}

bool WildCardBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_combo && event->type() == QEvent::Show && !event->spontaneous())
        refill();
    return QObject::eventFilter(watched, event);
}

void WildCardBox::textChanged(const QString& text) {
    if (m_label)
        m_label->setText(describe(text));
    emit patternChanged(text);
}
