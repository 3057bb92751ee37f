// TfrmFind, the viewer's find dialog; the search itself is TFileViewer::find
// (browse/ui/fileviewer.h).

#include "browse/ui/frmfind.h"

#include "app/ui/widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmFind::TfrmFind(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmFind"));
    setWindowTitle(QStringLiteral("Find"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("&Search Text"), this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("edSearchText"));
    m_text->setMinimumWidth(260);
    label->setBuddy(m_text);
    layout->addWidget(label);
    layout->addWidget(m_text);

    auto* direction = new QGroupBox(this);
    auto* directionLayout = new QVBoxLayout(direction);
    m_forward =
        namedRadio(direction, QStringLiteral("rbForward"), QStringLiteral("Search &Forward"));
    m_backward =
        namedRadio(direction, QStringLiteral("rbBackward"), QStringLiteral("Search &Backward"));
    m_forward->setChecked(true);
    directionLayout->addWidget(m_forward);
    directionLayout->addWidget(m_backward);
    layout->addWidget(direction);

    m_matchCase = new QCheckBox(QStringLiteral("&Match Case"), this);
    m_matchCase->setObjectName(QStringLiteral("cbMatchCase"));
    m_global = new QCheckBox(QStringLiteral("&Global Search"), this);
    m_global->setObjectName(QStringLiteral("cbGlobal"));
    layout->addWidget(m_matchCase);
    layout->addWidget(m_global);

    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    layout->addLayout(okCancelRow(this, &ok, &cancel));
}

QString TfrmFind::searchText() const {
    return m_text->text();
}

bool TfrmFind::backward() const {
    return m_backward->isChecked();
}

bool TfrmFind::matchCase() const {
    return m_matchCase->isChecked();
}

bool TfrmFind::global() const {
    return m_global->isChecked();
}

void TfrmFind::setOptions(const QString& text, bool backward, bool matchCase, bool global) {
    m_text->setText(text);
    (backward ? m_backward : m_forward)->setChecked(true);
    m_matchCase->setChecked(matchCase);
    m_global->setChecked(global);
}
