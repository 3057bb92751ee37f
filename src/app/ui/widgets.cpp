#include "app/ui/widgets.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <climits>

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

namespace {

// Progress bars count in int.
int barValue(qsizetype value) {
    return value <= 0 ? 0 : value >= INT_MAX ? INT_MAX : int(value);
}

} // namespace

void setFileBarRange(QProgressBar* bar, qsizetype files) {
    bar->setRange(0, qMax(1, barValue(files)));
    bar->setValue(0);
}

void setFileBarPosition(QProgressBar* bar, qsizetype index) {
    bar->setValue(qMin(bar->maximum(), barValue(index + 1)));
}

QProgressBar* redGauge(QWidget* parent) {
    auto* gauge = new QProgressBar(parent);
    gauge->setObjectName(QStringLiteral("Gauge1"));
    gauge->setRange(0, 100);
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

QLabel* statusPanel(QWidget* parent, const QString& name) {
    QLabel* label = namedLabel(parent, name, QString());
    label->setTextFormat(Qt::PlainText);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setContentsMargins(4, 1, 4, 1);
    label->setMinimumWidth(1);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return label;
}

double columnWidthScale(const QWidget* view) {
    const double digits =
        view->fontMetrics().horizontalAdvance(QStringLiteral("0123456789")) / 60.0;
    return std::max(view->logicalDpiX() / 96.0, digits);
}

QWidget* toolTopPanel(QWidget* window, const QString& name, int rightMargin, int spacing,
                      QHBoxLayout** row) {
    auto* panel = new QWidget(window);
    panel->setObjectName(name);
    panel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    *row = new QHBoxLayout(panel);
    (*row)->setContentsMargins(8, 8, rightMargin, 6);
    (*row)->setSpacing(spacing);
    return panel;
}

int scaledPixels(const QWidget* widget, int pixels) {
    return qRound(pixels * widget->logicalDpiX() / 96.0);
}

QHBoxLayout* okCancelRow(QDialog* dialog, QPushButton** ok, QPushButton** cancel) {
    *ok = namedButton(dialog, QStringLiteral("btOK"), QStringLiteral("OK"));
    (*ok)->setDefault(true);
    *cancel = namedButton(dialog, QStringLiteral("btCancel"), QStringLiteral("Cancel"));
    QObject::connect(*ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(*cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout();
    row->addStretch();
    row->addWidget(*ok);
    row->addWidget(*cancel);
    return row;
}

QList<int> selectedRows(const QListWidget* list) {
    QList<int> rows;
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->isSelected())
            rows << row;
    return rows;
}

QStringList selectedTexts(const QListWidget* list) {
    QStringList texts;
    for (int row : selectedRows(list))
        texts << list->item(row)->text();
    return texts;
}

QStringList itemTexts(const QListWidget* list) {
    QStringList texts;
    texts.reserve(list->count());
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
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
