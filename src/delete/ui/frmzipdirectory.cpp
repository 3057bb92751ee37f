#include "delete/ui/frmzipdirectory.h"

#include "app/format.h"
#include "app/ui/messagebox.h"
#include "delete/ui/frmgetfoldername.h"
#include "delete/zipdestination.h"
#include "platform/drives.h"
#include "platform/paths.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const char* const kNotOriginalRoot =
    "You are not restoring into the original root folder.  The files will not be restored to "
    "their original locations. Is this OK?";

bool isAncestorOrSelf(const QString& folder, const QString& path) {
    if (folder == path || folder == QLatin1String("/"))
        return true;
    return path.startsWith(folder) && path.at(folder.size()) == QLatin1Char('/');
}

} // namespace

// Shows one drive of the file system model: its root folder as the only top-level item with
// the folders below it.  The folders on the way down to the root stay in the model (they hold
// it) but are never shown, as the view starts below them.
class DriveTreeFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setRoot(const QString& root) {
        m_root = root;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const auto* model = static_cast<const QFileSystemModel*>(sourceModel());
        const QString path = model->filePath(model->index(row, 0, parent));
        return isAncestorOrSelf(m_root, path) || isAncestorOrSelf(path, m_root);
    }

private:
    QString m_root = QStringLiteral("/");
};

TfrmZipDirectory::TfrmZipDirectory(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmZipDirectory"));
    setWindowTitle(QStringLiteral("Destination folder"));
    setModal(true);

    m_lblZip = new QLabel(this);
    m_lblZip->setObjectName(QStringLiteral("lblZip"));
    m_lblZip->setTextFormat(Qt::PlainText);

    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("DriveList"));
    for (const platform::Drive& d : platform::drives())
        m_drives->addItem(platform::driveEntryText(d), QString(d.letter));

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setReadOnly(true);
    m_filter = new DriveTreeFilter(this);
    m_filter->setSourceModel(m_model);
    m_filter->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_filter->sort(0, Qt::AscendingOrder);

    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("DLB"));
    m_tree->setModel(m_filter);
    m_tree->setHeaderHidden(true);
    for (int c = 1; c < m_model->columnCount(); ++c)
        m_tree->hideColumn(c);
    m_tree->setMinimumSize(300, 260);

    m_dirLabel = new QLabel(this);
    m_dirLabel->setObjectName(QStringLiteral("DirLabel"));
    m_dirLabel->setTextFormat(Qt::PlainText);

    m_button1 = new QPushButton(QStringLiteral("OK"), this);
    m_button1->setObjectName(QStringLiteral("Button1"));
    m_button1->setDefault(true);
    m_button2 = new QPushButton(QStringLiteral("Cancel"), this);
    m_button2->setObjectName(QStringLiteral("Button2"));
    m_button3 = new QPushButton(QStringLiteral("&Create sub-folder..."), this);
    m_button3->setObjectName(QStringLiteral("Button3"));

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addWidget(m_lblZip, 0, 0, 1, 2);
    layout->addWidget(m_drives, 1, 0);
    layout->addWidget(m_tree, 2, 0);
    layout->addWidget(m_dirLabel, 3, 0, 1, 2);
    auto* buttons = new QVBoxLayout();
    buttons->addWidget(m_button1);
    buttons->addWidget(m_button2);
    buttons->addSpacing(12);
    buttons->addWidget(m_button3);
    buttons->addStretch();
    layout->addLayout(buttons, 1, 1, 2, 1);

    connect(m_drives, qOverload<int>(&QComboBox::activated), this, &TfrmZipDirectory::driveChosen);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfrmZipDirectory::treeMoved);
    connect(m_button1, &QPushButton::clicked, this, &TfrmZipDirectory::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_button3, &QPushButton::clicked, this, &TfrmZipDirectory::Button3Click);

    // Until the dialog is shown (or told otherwise) the tree shows the current folder.
    setFolder(platform::currentFolder());
}

void TfrmZipDirectory::setArchivePath(const QString& path) {
    m_lblZip->setText(path);
}

void TfrmZipDirectory::setFolder(const QString& path) {
    const auto drive = platform::driveOfPath(path);
    const QString root = drive ? drive->root : QStringLiteral("/");
    m_folder = path;
    m_dirLabel->setText(path);

    if (drive) {
        const int entry = m_drives->findData(QString(drive->letter));
        if (entry >= 0)
            m_drives->setCurrentIndex(entry);
    }

    const QSignalBlocker block(m_tree->selectionModel());
    m_model->setRootPath(root);
    m_filter->setRoot(root);
    const QModelIndex rootIndex = m_filter->mapFromSource(m_model->index(root));
    m_tree->setRootIndex(rootIndex.parent());
    m_tree->expand(rootIndex);
    const QModelIndex current = m_filter->mapFromSource(m_model->index(path));
    if (current.isValid()) {
        for (QModelIndex up = current.parent(); up.isValid(); up = up.parent())
            m_tree->expand(up);
        m_tree->setCurrentIndex(current);
        m_tree->scrollTo(current);
    }
}

void TfrmZipDirectory::driveChosen(int index) {
    const QString letter = m_drives->itemData(index).toString();
    const QString root = zipdest::driveRoot(letter.isEmpty() ? QChar() : letter.at(0));
    if (!root.isEmpty())
        setFolder(root);
}

void TfrmZipDirectory::treeMoved() {
    const QModelIndex source = m_filter->mapToSource(m_tree->currentIndex());
    if (!source.isValid())
        return;
    m_folder = m_model->filePath(source);
    m_dirLabel->setText(m_folder);
}

void TfrmZipDirectory::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TfrmZipDirectory::FormShow() {
    m_savedCurrent = platform::currentFolder();

    m_proposedLetter = zipdest::archiveDriveLetter(m_lblZip->text());
    QChar driveLetter = m_proposedLetter;
    if (driveLetter.isNull()) {
        // No drive in the name: the root of the current drive (drive C, or the first drive,
        // when the current folder lies on none of them).
        driveLetter = platform::currentDriveLetter();
        if (driveLetter.isNull() && !platform::drives().isEmpty())
            driveLetter = platform::driveByLetter(QLatin1Char('C'))
                              ? QChar(QLatin1Char('C'))
                              : platform::drives().first().letter;
    }

    m_proposedRoot = zipdest::driveRoot(driveLetter);
    if (m_proposedRoot.isEmpty()) {
        msgbox::errorBox(QStringLiteral("Drive %1: does not exist.").arg(driveLetter));
        return;
    }
    QString error;
    if (!platform::setCurrentFolder(m_proposedRoot, &error)) {
        msgbox::errorBox(m_proposedRoot + QStringLiteral(": ") + error);
        return;
    }
    setFolder(m_proposedRoot);
}

void TfrmZipDirectory::Button1Click() {
    if (zipdest::isOriginalRoot(m_folder, m_proposedLetter) ||
        msgbox::askYesNo(QString::fromLatin1(kNotOriginalRoot)))
        accept();
}

void TfrmZipDirectory::Button3Click() {
    TfrmGetFolderName ask(this);
    ask.setWindowTitle(QStringLiteral("Create Sub-folder"));
    if (ask.exec() != QDialog::Accepted || ask.folderName().isEmpty())
        return;
    const QString target = JoinPath(m_folder, ask.folderName());
    QString error;
    if (!zipdest::makeFolderPath(target, &error)) {
        msgbox::errorBox(target + QStringLiteral(": ") + error);
        return;
    }
    // The model watches the folders it has read; show the chosen folder opened on its new child.
    const QModelIndex current = m_filter->mapFromSource(m_model->index(m_folder));
    if (current.isValid())
        m_tree->expand(current);
}

void TfrmZipDirectory::done(int result) {
    if (!m_savedCurrent.isEmpty()) {
        QString error;
        if (!platform::setCurrentFolder(m_savedCurrent, &error))
            msgbox::errorBox(m_savedCurrent + QStringLiteral(": ") + error);
        m_savedCurrent.clear();
    }
    QDialog::done(result);
}
