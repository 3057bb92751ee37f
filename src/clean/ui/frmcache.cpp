// TfrmCache, the browser caches.  Its logic: clean/cachefolders.h.

#include "clean/ui/frmcache.h"

#include "app/inifile.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "delete/ui/handover.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

TfrmCache::FolderBrowser& folderBrowser() {
    static TfrmCache::FolderBrowser browser;
    return browser;
}

} // namespace

void TfrmCache::setFolderBrowser(FolderBrowser browser) {
    folderBrowser() = std::move(browser);
}

TfrmCache::TfrmCache(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmCache"));
    setWindowTitle(QStringLiteral("Internet Browser Cache Folders"));
    setModal(true);

    QLabel* heading = headingLabel(this, QStringLiteral("lblTitle"),
                                   QStringLiteral("Internet Browser Cache Folders"));
    QLabel* note = namedLabel(
        this, QStringLiteral("lblNote"),
        QStringLiteral("As you use the internet, temporary files are saved in a disk cache which "
                       "can grow quite large.  To reclaim disk space you can decrease the amount "
                       "of space that the cache uses (see your internet browser documentation) "
                       "or you can periodically clear it out."),
        true);
    note->setFixedWidth(520);

    m_listBox1 = new QListWidget(this);
    m_listBox1->setObjectName(QStringLiteral("ListBox1"));
    m_listBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listBox1->setFixedSize(520, 150);

    QPushButton* btAdd =
        namedButton(this, QStringLiteral("btAdd"), QStringLiteral("&Add a folder"));
    QPushButton* btDel =
        namedButton(this, QStringLiteral("btDel"), QStringLiteral("&Delete a folder"));
    m_btInit = namedButton(this, QStringLiteral("btInit"), QStringLiteral("&Initialize"));
    QPushButton* btClear =
        namedButton(this, QStringLiteral("btClear"), QStringLiteral("&Clear internet cache"));
    QPushButton* btClose = namedButton(this, QStringLiteral("btClose"), QStringLiteral("Close"));
    for (QPushButton* b : {btAdd, btDel, m_btInit, btClose})
        b->setAutoDefault(false);
    btClear->setDefault(true);

    m_nDays = new QSpinBox(this);
    m_nDays->setObjectName(QStringLiteral("nDays"));
    m_nDays->setRange(0, 100);

    auto* folderButtons = new QHBoxLayout();
    folderButtons->addWidget(btAdd);
    folderButtons->addWidget(btDel);
    folderButtons->addWidget(m_btInit);
    folderButtons->addStretch(1);

    auto* age = new QHBoxLayout();
    age->addWidget(namedLabel(this, QStringLiteral("lblDays1"),
                              QStringLiteral("Clear all files that have not been accessed in")));
    age->addWidget(m_nDays);
    age->addWidget(namedLabel(this, QStringLiteral("lblDays2"), QStringLiteral("days")));
    age->addStretch(1);

    auto* bottom = new QHBoxLayout();
    bottom->addStretch(1);
    bottom->addWidget(btClear);
    bottom->addWidget(btClose);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize); // a dialog of fixed size
    layout->addWidget(heading);
    layout->addWidget(note);
    layout->addWidget(m_listBox1);
    layout->addLayout(folderButtons);
    layout->addSpacing(6);
    layout->addLayout(age);
    layout->addSpacing(6);
    layout->addLayout(bottom);

    connect(btAdd, &QPushButton::clicked, this, &TfrmCache::btAddClick);
    connect(btDel, &QPushButton::clicked, this, &TfrmCache::btDelClick);
    connect(m_btInit, &QPushButton::clicked, this, &TfrmCache::btInitClick);
    connect(btClear, &QPushButton::clicked, this, &TfrmCache::btClearClick);
    connect(btClose, &QPushButton::clicked, this, &QDialog::accept);
}

QStringList TfrmCache::folders() const {
    QStringList list;
    for (int row = 0; row < m_listBox1->count(); ++row)
        list << m_listBox1->item(row)->text();
    return list;
}

void TfrmCache::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmCache::FormShow() {
    m_listBox1->clear();
    m_listBox1->addItems(cachefolders::readFolders());
    m_nDays->setValue(0);
    showInitWhenEmpty();
}

void TfrmCache::showInitWhenEmpty() {
    m_btInit->setVisible(m_listBox1->count() == 0);
}

void TfrmCache::done(int result) {
    // Every close stores the list.
    if (!cachefolders::writeFolders(folders()))
        msgbox::errorBox(QStringLiteral("Cannot save the list of cache folders in ") +
                         settingsFile().path());
    QDialog::done(result);
}

void TfrmCache::btAddClick() {
    const QString title = QStringLiteral("Select an internet Cache folder");
    // The browsers of today keep their caches below the cache home; start there.
    const QString start = cachefolders::cacheHome();
    const QString chosen =
        folderBrowser()
            ? folderBrowser()(this, title, start)
            : QFileDialog::getExistingDirectory(this, title, start, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return;
    m_listBox1->addItem(QDir::cleanPath(chosen));
    showInitWhenEmpty();
}

void TfrmCache::btDelClick() {
    QListWidgetItem* item = m_listBox1->currentItem();
    if (!item || !item->isSelected()) {
        msgbox::errorBox(cachefolders::selectFolderMessage());
        return;
    }
    if (msgbox::ask(QStringLiteral("Really delete ") + item->text(),
                    QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok)
        delete m_listBox1->takeItem(m_listBox1->row(item));
    showInitWhenEmpty();
}

void TfrmCache::btInitClick() {
    m_listBox1->addItems(cachefolders::initializeFolders());
    m_btInit->hide();
    if (m_listBox1->count() == 0) {
        m_btInit->show();
        msgbox::infoBox(cachefolders::nothingFoundMessage());
    }
}

void TfrmCache::btClearClick() {
    {
        const WaitCursor wait;
        m_lb1 = cachefolders::collect(folders(), m_nDays->value(), QDate::currentDate());
    }
    if (m_lb1.isEmpty()) {
        msgbox::errorBox(cachefolders::noFilesMessage());
        return;
    }
    reallyDelete(this, m_lb1.files, QString::fromLatin1(archiveTags::InternetCache), m_lb1.bytes);
    // Whatever the deletion window did, the window stays open with its list of folders.
    m_lb1 = cachefolders::ClearList();
}
