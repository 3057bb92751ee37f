// TfrmWildCard, a file pattern.  Its logic: stats/filetypes.h.

#include "scan/ui/frmwildcard.h"

#include "scan/ui/wildcardbox.h"
#include "stats/filetypes.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmWildCard::TfrmWildCard(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmWildCard"));
    setWindowTitle(QStringLiteral("Wildcard pattern"));

    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(QStringLiteral("Change the wildcard matching pattern:"), this);
    prompt->setObjectName(QStringLiteral("lblPrompt"));
    layout->addWidget(prompt);

    // The box's item rebuild on show sends patternChanged, which brings the labels up to date.
    m_box = new WildCardBox(this, false);
    m_box->combo()->setMinimumWidth(160);
    auto* row = new QHBoxLayout;
    row->addWidget(m_box->combo());
    m_lblWild = new QLabel(this);
    m_lblWild->setObjectName(QStringLiteral("lblWild"));
    row->addWidget(m_lblWild, 1);
    layout->addLayout(row);

    m_lblType = new QLabel(this);
    m_lblType->setObjectName(QStringLiteral("lblType"));
    m_lblType->setMinimumWidth(280);
    layout->addWidget(m_lblType);
    layout->addSpacing(8);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btCancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_box, &WildCardBox::patternChanged, this, &TfrmWildCard::cbWildCardChange);
    cbWildCardChange(m_box->pattern());

    setFixedSize(sizeHint());
}

QString TfrmWildCard::pattern() const {
    return m_box->pattern();
}

void TfrmWildCard::setPattern(const QString& pattern) {
    m_box->setPattern(pattern);
}

void TfrmWildCard::cbWildCardChange(const QString& text) {
    m_lblWild->clear();
    if (text == QLatin1String("*.*"))
        m_lblWild->setText(QStringLiteral("All files"));
    m_lblType->setText(fileTypeDescription(text.mid(1)));
}
