// TfrmStandBy, the small waiting window of long steps; no logic of its own.

#include "app/ui/frmstandby.h"

#include "app/shell.h"
#include "app/ui/theme.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

TfrmStandBy::TfrmStandBy(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TfrmStandBy"));
    setWindowTitle(QStringLiteral("Loading Files"));
    setModal(false);

    m_label = new QLabel(QStringLiteral("Loading files ... standby"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setAlignment(Qt::AlignCenter);
    QFont f = m_label->font();
    f.setBold(true);
    m_label->setFont(f);
    m_label->setStyleSheet(QStringLiteral("color: white;"));

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("bar"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(14);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    setFixedSize(320, 110);
}

TfrmStandBy* TfrmStandBy::instance() {
    static TfrmStandBy* window = nullptr;
    if (!window)
        window = new TfrmStandBy();
    return window;
}

void TfrmStandBy::showEvent(QShowEvent* event) {
    shell::protection().clearCache();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    QDialog::showEvent(event);
}

void TfrmStandBy::hideEvent(QHideEvent* event) {
    shell::protection().clearCache();
    QDialog::hideEvent(event);
}

void TfrmStandBy::paintEvent(QPaintEvent*) {
    QPainter p(this);
    theme::paintBackground(p, rect(), false);
}
