// TfrmZipDirectory, the choice of the zip folder.  Its logic: delete/zipdestination.h.

#include "delete/ui/frmzipdirectory.h"

#include "app/format.h"
#include "app/ui/drivefoldertree.h"
#include "app/ui/messagebox.h"
#include "delete/ui/frmgetfoldername.h"
#include "delete/zipdestination.h"
#include "platform/drives.h"
#include "platform/paths.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const char* const kNotOriginalRoot =
    "You are not restoring into the original root folder.  The files will not be restored to "
    "their original locations. Is this OK?";

} // namespace

TfrmZipDirectory::TfrmZipDirectory(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmZipDirectory"));
    setWindowTitle(QStringLiteral("Destination folder"));
    setModal(true);

    m_lblZip = new QLabel(this);
    m_lblZip->setObjectName(QStringLiteral("lblZip"));
    m_lblZip->setTextFormat(Qt::PlainText);

    m_tree = new DriveFolderTree(QStringLiteral("DriveList"), QStringLiteral("DLB"), this);
    m_tree->tree()->setMinimumSize(300, 260);

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
    layout->addWidget(m_tree, 1, 0, 2, 1);
    layout->addWidget(m_dirLabel, 3, 0, 1, 2);
    auto* buttons = new QVBoxLayout();
    buttons->addWidget(m_button1);
    buttons->addWidget(m_button2);
    buttons->addSpacing(12);
    buttons->addWidget(m_button3);
    buttons->addStretch();
    layout->addLayout(buttons, 1, 1, 2, 1);

    connect(m_tree, &DriveFolderTree::folderChanged, this, &TfrmZipDirectory::treeMoved);
    connect(m_button1, &QPushButton::clicked, this, &TfrmZipDirectory::Button1Click);
    connect(m_button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_button3, &QPushButton::clicked, this, &TfrmZipDirectory::Button3Click);

    // Until the dialog is shown (or told otherwise) the tree shows the current folder.
    setFolder(platform::currentFolder());
}

void TfrmZipDirectory::setArchivePath(const QString& path) {
    m_lblZip->setText(path);
}

QComboBox* TfrmZipDirectory::DriveList() const {
    return m_tree->driveList();
}

QTreeView* TfrmZipDirectory::DLB() const {
    return m_tree->tree();
}

void TfrmZipDirectory::setFolder(const QString& path) {
    m_tree->setFolder(path);
}

void TfrmZipDirectory::treeMoved(const QString& folder) {
    m_folder = folder;
    m_dirLabel->setText(folder);
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
    const Result<> made = zipdest::makeFolderPath(target);
    if (!made) {
        msgbox::errorBox(target + QStringLiteral(": ") + made.message());
        return;
    }
    m_tree->expandCurrent();
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
