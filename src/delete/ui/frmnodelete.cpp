// TfrmNoDelete, the non-delete list.  Its logic: delete/nodeletelist.h and app/protection.h.

#include "delete/ui/frmnodelete.h"

#include "app/foldersfile.h"
#include "app/format.h"
#include "app/inifile.h"
#include "app/ui/folderbrowser.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "delete/nodeletelist.h"
#include "platform/drives.h"
#include "platform/registry.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QString todayText() {
    return QLocale().toString(QDate::currentDate(), QLocale::LongFormat);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QString& hint) {
    QPushButton* b = namedButton(parent, QString::fromLatin1(name), caption, hint);
    b->setAutoDefault(false);
    return b;
}

const char* const kHeading = "Vastel warns before deleting anything in these folders:";

} // namespace

TfrmNoDelete::TfrmNoDelete(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmNoDelete"));
    setWindowTitle(QStringLiteral("List of folders that should not be deleted"));
    setModal(true);

    m_lblHeading = namedLabel(this, QStringLiteral("lblHeading"), QString::fromLatin1(kHeading));
    QFont headingFont = m_lblHeading->font();
    headingFont.setBold(true);
    m_lblHeading->setFont(headingFont);

    m_listBox1 = new QListWidget(this);
    m_listBox1->setObjectName(QStringLiteral("ListBox1"));
    m_listBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_listBox1->setMinimumSize(460, 280);

    m_lblCount = namedLabel(this, QStringLiteral("lblCount"), QString());
    m_lblWhen = namedLabel(this, QStringLiteral("lblWhen"), QString());
    m_lblToday = namedLabel(this, QStringLiteral("lblToday"), QString());

    m_btBuild = button(this, "btBuild", QStringLiteral("&Build list"),
                       QStringLiteral("Build the list from the folders the registry refers to"));
    m_btAdd = button(this, "btAdd", QStringLiteral("&Add..."),
                     QStringLiteral("Add a folder to the list"));
    m_btDel = button(this, "btDel", QStringLiteral("&Delete"),
                     QStringLiteral("Remove the selected folders from the list"));
    m_btClose = button(this, "btClose", QStringLiteral("Close"), QStringLiteral("Close window"));

    auto* dates = new QGridLayout();
    dates->addWidget(namedLabel(this, QStringLiteral("Label1"), QStringLiteral("Last built:")), 0,
                     0);
    dates->addWidget(m_lblWhen, 0, 1);
    dates->addWidget(namedLabel(this, QStringLiteral("Label2"), QStringLiteral("Today:")), 1, 0);
    dates->addWidget(m_lblToday, 1, 1);
    dates->setColumnStretch(1, 1);

    auto* counters = new QHBoxLayout();
    counters->addLayout(dates, 1);
    counters->addWidget(m_lblCount, 0, Qt::AlignRight | Qt::AlignTop);

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(m_btBuild);
    buttons->addWidget(m_btAdd);
    buttons->addWidget(m_btDel);
    buttons->addStretch();
    buttons->addWidget(m_btClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblHeading);
    layout->addWidget(m_listBox1, 1);
    layout->addLayout(counters);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    connect(m_btBuild, &QPushButton::clicked, this, &TfrmNoDelete::btBuildClick);
    connect(m_btAdd, &QPushButton::clicked, this, &TfrmNoDelete::btAddClick);
    connect(m_btDel, &QPushButton::clicked, this, &TfrmNoDelete::btDelClick);
    connect(m_btClose, &QPushButton::clicked, this, &QDialog::accept);
}

QStringList TfrmNoDelete::folders() const {
    return itemTexts(m_listBox1);
}

void TfrmNoDelete::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_loaded)
        FormShow();
}

void TfrmNoDelete::FormShow() {
    m_listBox1->clear();
    const Result<QStringList> read = readFoldersFile();
    const QStringList folders = read.valueOr({});
    m_listBox1->addItems(folders);
    if (!read)
        msgbox::errorBox(QStringLiteral("The list of folders in ") + foldersFilePath() +
                         QStringLiteral(" cannot be read: ") + read.message());
    const QStringList missing = missingFolderWarnings(folders);
    if (!missing.isEmpty())
        msgbox::warningBox(missing.join(QLatin1Char('\n')));
    m_loaded = true;
    updatecount();
    m_lblWhen->setText(readFoldersWhen(settingsFile()));
    m_lblToday->setText(todayText());
}

void TfrmNoDelete::updatecount() {
    m_lblCount->setText(QString::number(m_listBox1->count()) + QStringLiteral(" folders"));
}

void TfrmNoDelete::updateLastDate() {
    QString text = QStringLiteral("Not recorded");
    if (m_listBox1->count() > 0) {
        const QLocale locale;
        text =
            locale.toString(QDateTime::currentDateTime(), locale.dateFormat(QLocale::LongFormat) +
                                                              QLatin1Char(' ') + longTimeFormat());
    }
    IniFile ini = settingsFile();
    if (!writeFoldersWhen(ini, text))
        msgbox::errorBox(QStringLiteral("Cannot record the date of the list in ") + ini.path());
    m_lblWhen->setText(text);
    m_lblToday->setText(todayText());
}

void TfrmNoDelete::btBuildClick() {
    if (!msgbox::askYesNo(QStringLiteral("Vastel will now scan the registry for references to "
                                         "folders.  It may take a few minutes.  Continue? ")))
        return;
    m_listBox1->clear();
    const QString heading = m_lblHeading->text();
    m_lblHeading->setText(QStringLiteral("Building List ... standby"));
    m_btBuild->setEnabled(false);
    m_lblCount->clear();
    {
        const WaitCursor wait;
        repaint();
        // The registry is read anew: programs may have come and gone since it was last read.
        platform::reloadRegistry();
        m_listBox1->addItems(nodelete::buildFromRegistry(platform::registry()));
    }
    updatecount();
    m_btBuild->setEnabled(true);
    m_lblHeading->setText(heading);
    updateLastDate();
    m_modified = true;
}

void TfrmNoDelete::addFolder(const QString& folder) {
    // A folder already listed is not listed twice.
    if (m_listBox1->findItems(folder, Qt::MatchExactly | Qt::MatchCaseSensitive).isEmpty()) {
        m_listBox1->addItem(folder);
        m_modified = true;
    }
}

void TfrmNoDelete::btAddClick() {
    const QString title = QStringLiteral("Select a folder that won't be deleted");
    const std::optional<platform::Drive> c = platform::driveByLetter(QLatin1Char('C'));
    const QString start = c ? c->root : QStringLiteral("/");
    const QString chosen = folderbrowser::browse(this, title, start);
    if (!chosen.isEmpty())
        addFolder(chosen.endsWith(QLatin1Char('/')) ? chosen : chosen + QLatin1Char('/'));
    updatecount();
}

void TfrmNoDelete::btDelClick() {
    const QList<QListWidgetItem*> selected = m_listBox1->selectedItems();
    if (selected.isEmpty()) {
        msgbox::errorBox(QStringLiteral("Select one or more folders from the list above"));
    } else if (msgbox::ask(QStringLiteral("Really delete the selected folders?"),
                           QMessageBox::Ok | QMessageBox::Cancel,
                           QMessageBox::Ok) == QMessageBox::Ok) {
        const QList<int> rows = selectedRows(m_listBox1);
        for (auto row = rows.rbegin(); row != rows.rend(); ++row)
            delete m_listBox1->takeItem(*row);
        m_modified = true;
    }
    updatecount();
}

void TfrmNoDelete::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TfrmNoDelete::FormClose() {
    if (!m_loaded || !m_modified)
        return;
    QStringList list = folders();
    sortIgnoringCase(list);
    m_listBox1->clear();
    m_listBox1->addItems(list);
    if (!writeFoldersFile(list))
        msgbox::errorBox(QStringLiteral("Cannot save the list of folders in ") + foldersFilePath());
    m_modified = false;
}
