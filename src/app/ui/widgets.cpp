#include "app/ui/widgets.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

QPushButton* namedButton(QWidget* parent, const QString& name, const QString& caption,
                         const QString& hint) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QRadioButton* namedRadio(QWidget* parent, const QString& name, const QString& caption) {
    auto* rb = new QRadioButton(caption, parent);
    rb->setObjectName(name);
    return rb;
}

QProgressBar* redGauge(QWidget* parent) {
    auto* gauge = new QProgressBar(parent);
    gauge->setObjectName(QStringLiteral("Gauge1"));
    gauge->setRange(0, 100);
    gauge->setFixedWidth(90);
    QPalette palette = gauge->palette();
    palette.setColor(QPalette::Highlight, Qt::red);
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    gauge->setPalette(palette);
    return gauge;
}

QAction* namedMenuItem(QMenu* menu, const QString& name, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    return item;
}

QLabel* namedLabel(QWidget* parent, const QString& name, const QString& text, bool wordWrap) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setWordWrap(wordWrap);
    return l;
}

QLabel* headingLabel(QWidget* parent, const QString& name, const QString& text) {
    QLabel* l = namedLabel(parent, name, text);
    QFont font = l->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 2);
    l->setFont(font);
    return l;
}

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

EventPump::EventPump(bool userInput)
    : m_flags(userInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents) {}

void EventPump::run() {
    QCoreApplication::processEvents(m_flags);
    m_clock.restart();
}
