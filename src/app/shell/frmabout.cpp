// TfrmAbout, the About box: the program's name, version and links; no logic of its own.

#include "app/shell/frmabout.h"

#include "app/shell/helpwindow.h"
#include "app/ui/messagebox.h"
#include "app/ui/shellopen.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel* label(QWidget* parent, const QString& name, const QString& text, int pointDelta = 0,
              bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignCenter);
    QFont f = l->font();
    f.setPointSize(f.pointSize() + pointDelta);
    f.setBold(bold);
    l->setFont(f);
    return l;
}
} // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmAbout"));
    setWindowTitle(QStringLiteral("How to contact us"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(6);
    layout->addWidget(
        label(this, QStringLiteral("ProductName"), QStringLiteral("Vastel '95"), 8, true));
    layout->addWidget(label(this, QStringLiteral("Version"), QStringLiteral("Version 2.8b"), 1));
    layout->addSpacing(10);
    layout->addWidget(
        label(this, QStringLiteral("Company"), QStringLiteral("The Vastel developers")));
    layout->addWidget(
        label(this, QStringLiteral("Address"), QStringLiteral("Free software for Linux desktops")));
    layout->addWidget(label(this, QStringLiteral("Phone"),
                            QStringLiteral("Questions and reports: see the manual, \"Contact\"")));
    layout->addWidget(label(this, QStringLiteral("WebAddress"),
                            QStringLiteral("Manual: Help, or the button below")));
    layout->addSpacing(12);

    auto* buttons = new QHBoxLayout();
    m_btWeb = new QPushButton(QStringLiteral("Quillon Home Page"), this);
    m_btWeb->setObjectName(QStringLiteral("btWeb"));
    m_btWeb->setToolTip(QStringLiteral("Launch your browser to Quillon Home Page"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btOK"));
    ok->setDefault(true);
    buttons->addWidget(m_btWeb);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_btWeb, &QPushButton::clicked, this, &TfrmAbout::btWebClick);
}

void TfrmAbout::btWebClick() {
    const QString page = helpwindow::writeManual();
    if (page.isEmpty() || !shellopen::openFile(page))
        msgbox::errorBox(QStringLiteral(
            "Unable to start web browser. Make sure you have it properly set-up on your system."));
}
