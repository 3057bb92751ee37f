// TfrmDetails, the details of one file.  Its logic: browse/details.h and browse/versioninfo.h.

#include "browse/ui/frmdetails.h"

#include "app/ui/messagebox.h"
#include "app/ui/printreport.h"
#include "app/ui/shellopen.h"
#include "app/ui/widgets.h"
#include "browse/ui/fileicon.h"
#include "browse/ui/frmview.h"
#include "browse/ui/viewerprompts.h"

#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QTextOption>
#include <QVBoxLayout>

TfrmDetails::TfrmDetails(QWidget* parent, TfrmFind& find, const QString& path)
    : QDialog(parent), m_find(find), m_path(path) {
    setObjectName(QStringLiteral("TfrmDetails"));
    setWindowTitle(QStringLiteral("File Details"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout();
    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setFixedSize(40, 40);
    m_image->setAlignment(Qt::AlignCenter);
    top->addWidget(m_image, 0, Qt::AlignTop);
    auto* grid = new QGridLayout();
    grid->setColumnStretch(1, 1);
    const auto addRow = [this, grid](const QString& caption, QLabel* value) {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(caption, this), row, 0, Qt::AlignTop);
        grid->addWidget(value, row, 1);
    };
    addRow(QStringLiteral("Name of file:"), m_lblFileName = valueLabel("lblFileName"));
    m_lblFileName->setWordWrap(true);
    addRow(QStringLiteral("Type of file:"), m_lblFileType = valueLabel("lblFileType"));
    addRow(QStringLiteral("Size:"), m_lblSizeBytes = valueLabel("lblSizeBytes"));
    addRow(QString(), m_lblSizeK = valueLabel("lblSizeK"));
    addRow(QStringLiteral("Creation date:"), m_lblCreate = valueLabel("lblCreate"));
    addRow(QStringLiteral("Modification date:"), m_lblModify = valueLabel("lblModify"));
    addRow(QStringLiteral("Access date:"), m_lblAccess = valueLabel("lblAccess"));
    top->addLayout(grid, 1);
    layout->addLayout(top);

    auto* attributes = new QGroupBox(this);
    auto* attributesRow = new QHBoxLayout(attributes);
    attributesRow->addWidget(new QLabel(QStringLiteral("Attributes:"), attributes));
    attributesRow->addWidget(m_lblAttributes = valueLabel("lblAttributes"), 1);
    layout->addWidget(attributes);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setReadOnly(true);
    {
        // The values stand in one column: every label is followed by one TAB, and "Copyright: "
        // by two, so the second stop lies just beside the first.
        const qreal column =
            fontMetrics().horizontalAdvance(QStringLiteral("Private build info: ")) + 12;
        QTextOption option = m_memo->document()->defaultTextOption();
        option.setTabs({QTextOption::Tab(column, QTextOption::LeftTab),
                        QTextOption::Tab(column + 1, QTextOption::LeftTab)});
        m_memo->document()->setDefaultTextOption(option);
    }
    m_memo->setMinimumHeight(180);
    layout->addWidget(m_memo, 1);

    auto* buttons = new QHBoxLayout();
    auto* close = namedButton(this, QStringLiteral("btClose"), QStringLiteral("Close"));
    auto* print = namedButton(this, QStringLiteral("btPrint"), QStringLiteral("Print"));
    auto* view = namedButton(this, QStringLiteral("btView"), QStringLiteral("&View"));
    auto* run = namedButton(this, QStringLiteral("btLaunch"), QStringLiteral("&Run"));
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(print, &QPushButton::clicked, this, &TfrmDetails::btPrintClick);
    connect(view, &QPushButton::clicked, this, &TfrmDetails::btViewClick);
    connect(run, &QPushButton::clicked, this, &TfrmDetails::btLaunchClick);
    buttons->addStretch();
    for (QPushButton* b : {close, print, view, run})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    resize(520, sizeHint().height());
}

QLabel* TfrmDetails::valueLabel(const char* name) {
    auto* label = namedLabel(this, QLatin1String(name), QString());
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void TfrmDetails::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void TfrmDetails::FormShow() {
    m_details = browse::readFileDetails(m_path, QDateTime::currentDateTime());
    if (!m_details.found)
        return;
    m_image->setPixmap(fileIcon(m_path, m_details.isFolder).pixmap(32, 32));
    m_memo->setPlainText(m_details.versionLines.join(QLatin1Char('\n')));
    if (m_details.versionLines.isEmpty()) {
        // Without version lines the buttons move up and the window gets shorter.
        m_memo->hide();
        layout()->activate();
        resize(width(), minimumSizeHint().height());
    }
    m_lblFileType->setText(m_details.fileType);
    m_lblFileName->setText(m_details.fileName);
    m_lblSizeBytes->setText(m_details.sizeBytes);
    m_lblSizeK->setText(m_details.sizeK);
    m_lblAccess->setText(m_details.access);
    m_lblCreate->setText(m_details.create);
    m_lblModify->setText(m_details.modify);
    m_lblAttributes->setText(m_details.attributes);
}

void TfrmDetails::btLaunchClick() {
    if (!shellopen::openFile(m_path))
        msgbox::errorBox(QStringLiteral("Couldn't run ") + m_path);
}

void TfrmDetails::btViewClick() {
    viewFile(this, m_find, m_path);
}

void TfrmDetails::btPrintClick() {
    QPrinter printer;
    bool selection = false;
    if (!viewerprompts::printDialog(this, &printer, false, &selection))
        return;
    m_lb = browse::detailsPrintLines(m_details);
    PrintList(printer, m_lb, browse::detailsPrintTitle(m_path));
}

void showDetails(QWidget* owner, TfrmFind& find, const QString& path) {
    TfrmDetails details(owner, find, path);
    details.exec();
}
