// TfrmUnZipIt, the unzip window.  Its logic: delete/unzip.h and zip/zipreader.h.

#include "delete/ui/frmunzipit.h"

#include "app/ui/drivefoldertree.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "delete/ui/frmpassword.h"
#include "delete/ui/frmzipdirectory.h"
#include "delete/unzip.h"
#include "platform/drives.h"
#include "platform/paths.h"
#include "zip/ziptreemodel.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

// The archive's tree with the small pictures of folders and files.
class OutlineModel : public zip::ZipTreeModel {
public:
    OutlineModel(const zip::ZipReader& reader, QWidget* owner)
        : zip::ZipTreeModel(reader, owner),
          m_folderIcon(owner->style()->standardIcon(QStyle::SP_DirIcon)),
          m_fileIcon(owner->style()->standardIcon(QStyle::SP_FileIcon)) {}

    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DecorationRole && index.isValid())
            return node(index).folder ? m_folderIcon : m_fileIcon;
        return zip::ZipTreeModel::data(index, role);
    }

private:
    QIcon m_folderIcon;
    QIcon m_fileIcon;
};

namespace {

const char* const kNoComment = "Archive zip file comments";

// The arrow cursor while the user answers something in the middle of a run under the hourglass.
class NormalCursor {
public:
    NormalCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~NormalCursor() { QApplication::restoreOverrideCursor(); }
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;
};

} // namespace

TfrmUnZipIt::TfrmUnZipIt(const QString& zipFolder, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmUnZipIt"));
    setWindowTitle(QStringLiteral("Unzip Vastel Archive Zip Files"));
    setModal(true);
    buildControls();
    layOutControls();

    m_reader.setLoaded([this] { OutlineLoad(); });
    m_reader.setProgress([this](int percent) { OutlineArchiveProgress(percent); });
    m_reader.setPasswordRequest(
        [this](const QString& entry) { return OutlineNeedPassword(entry); });
    m_reader.setFailure([this](const zip::ExtractFailure& f) { OutlineProcessItemFailure(f); });

    connect(m_folders, &DriveFolderTree::folderChanged, this, &TfrmUnZipIt::folderMoved);
    connect(m_folders->tree(), &QTreeView::doubleClicked, this, &TfrmUnZipIt::BtExtractEnable);
    connect(m_fileList, &QListWidget::itemSelectionChanged, this, &TfrmUnZipIt::BtExtractEnable);
    connect(m_fileList, &QListWidget::itemDoubleClicked, this, &TfrmUnZipIt::FileListBox1DblClick);
    connect(m_btView, &QPushButton::clicked, this, &TfrmUnZipIt::FileListBox1DblClick);
    connect(m_btExtract, &QPushButton::clicked, this, &TfrmUnZipIt::ExtractFiles1Click);
    connect(m_btClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_noticeTimer, &QTimer::timeout, this,
            [] { msgbox::infoBox(unzip::noArchivesNotice()); });

    setFolder(zipFolder);
}

TfrmUnZipIt::~TfrmUnZipIt() {
    // The view and the model go before the reader whose tree they show; the reader then closes
    // the archive.
    delete m_outline;
    delete m_model;
}

void TfrmUnZipIt::buildControls() {
    m_folders = new DriveFolderTree(QStringLiteral("DriveComboBox1"),
                                    QStringLiteral("DirectoryListBox1"), this);
    m_label1 = namedLabel(this, QStringLiteral("Label1"), QString());
    m_label1->setVisible(false);
    m_mask = namedLabel(this, QStringLiteral("lblMask"), QStringLiteral("File mask: Drive*.zip"));
    m_listHeading = namedLabel(this, QStringLiteral("lblFiles"),
                               QStringLiteral("Archive files (double click to view)"));
    m_fileList = new QListWidget(this);
    m_fileList->setObjectName(QStringLiteral("FileListBox1"));
    m_fileList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listHeading->setBuddy(m_fileList);

    m_model = new OutlineModel(m_reader, this);
    m_outline = new QTreeView(this);
    m_outline->setObjectName(QStringLiteral("Outline"));
    m_outline->setModel(m_model);
    m_outline->setHeaderHidden(true);
    m_outline->setUniformRowHeights(true); // archives of many thousands of entries
    m_outline->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setOutlineColour(QPalette::Button);

    // Long paths and comments must not widen the window; lblZip keeps its line while empty.
    m_lblZip = namedLabel(this, QStringLiteral("lblZip"), QString());
    m_lblZip->setTextFormat(Qt::PlainText);
    m_lblZip->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_lblZip->setMinimumHeight(m_lblZip->fontMetrics().height());
    m_lblCount = namedLabel(this, QStringLiteral("lblCount"), unzip::countText(0));
    m_pnlComment = namedLabel(this, QStringLiteral("pnlComment"), QString::fromLatin1(kNoComment));
    m_pnlComment->setTextFormat(Qt::PlainText);
    m_pnlComment->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pnlComment->setMinimumHeight(m_pnlComment->sizeHint().height() + 6);
    m_pnlComment->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    m_gauge = redGauge(this);
    m_gauge->setVisible(false);

    m_btExtract =
        namedButton(this, QStringLiteral("btExtract"), QStringLiteral("&Extract files from ZIP"));
    m_btView =
        namedButton(this, QStringLiteral("btView"), QStringLiteral("&View files inside ZIP"));
    m_btClose = namedButton(this, QStringLiteral("btClose"), QStringLiteral("Close"));
    m_btExtract->setEnabled(false);
    m_btView->setEnabled(false);

    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(kNoticeDelayMs);
}

void TfrmUnZipIt::layOutControls() {
    auto* left = new QVBoxLayout();
    left->addWidget(m_folders, 3);
    left->addWidget(m_mask);
    left->addWidget(m_listHeading);
    left->addWidget(m_fileList, 2);

    auto* right = new QVBoxLayout();
    right->addWidget(m_lblZip);
    right->addWidget(m_outline, 1);
    right->addWidget(m_lblCount);
    right->addWidget(m_pnlComment);
    right->addWidget(m_gauge);

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(m_btExtract);
    buttons->addWidget(m_btView);
    buttons->addStretch();
    buttons->addWidget(m_btClose);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addLayout(left, 0, 0);
    layout->addLayout(right, 0, 1);
    layout->addLayout(buttons, 1, 0, 1, 2);
    layout->setColumnStretch(0, 2);
    layout->setColumnStretch(1, 3);
    resize(780, 520);
}

QComboBox* TfrmUnZipIt::DriveComboBox1() const {
    return m_folders->driveList();
}

QTreeView* TfrmUnZipIt::DirectoryListBox1() const {
    return m_folders->tree();
}

void TfrmUnZipIt::setFolder(const QString& path) {
    m_folders->setFolder(path);
}

void TfrmUnZipIt::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // FormShow: the tree is on the zip folder already; a folder without archives gets the
    // notice a moment after the window first shows.
    if (!m_shownOnce && m_fileList->count() == 0)
        m_noticeTimer->start();
    m_shownOnce = true;
}

void TfrmUnZipIt::folderMoved(const QString& folder) {
    m_folder = folder;
    m_label1->setText(folder);
    readArchiveList();
}

void TfrmUnZipIt::readArchiveList() {
    const QString selected = selectedArchive();
    m_fileList->clear();
    m_fileList->addItems(unzip::archiveFiles(m_folder));
    const QList<QListWidgetItem*> again = m_fileList->findItems(selected, Qt::MatchExactly);
    if (!selected.isEmpty() && !again.isEmpty())
        again.first()->setSelected(true);
    BtExtractEnable();
}

QString TfrmUnZipIt::selectedArchive() const {
    const QList<QListWidgetItem*> selected = m_fileList->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void TfrmUnZipIt::BtExtractEnable() {
    const bool chosen = !m_fileList->selectedItems().isEmpty();
    m_btExtract->setEnabled(chosen);
    m_btView->setEnabled(m_btExtract->isEnabled());
}

void TfrmUnZipIt::FileListBox1DblClick() {
    openSelected();
}

bool TfrmUnZipIt::openSelected() {
    const QString name = selectedArchive();
    if (name.isEmpty())
        return false;
    const QString path = platform::joinPath(m_folder, name);
    const WaitCursor wait;
    if (!m_reader.isOpen()) {
        m_model->change([&] {
            if (!m_reader.open(path))
                m_reader.close();
        });
    } else if (zip::isZipArchive(path)) {
        // Only a file that opens as an archive replaces the one shown.
        m_model->change([&] { m_reader.open(path); });
    }
    showArchive();
    return m_reader.isOpen() && m_reader.archivePath() == path;
}

void TfrmUnZipIt::showArchive() {
    if (!m_reader.isOpen()) {
        m_lblZip->clear();
        m_lblZip->setToolTip(QString());
        m_lblCount->setText(unzip::countText(0));
        m_pnlComment->setText(QString::fromLatin1(kNoComment));
        setOutlineColour(QPalette::Button);
        return;
    }
    m_lblZip->setText(m_reader.archivePath());
    m_lblZip->setToolTip(m_reader.archivePath());
    m_lblCount->setText(unzip::countText(m_reader.fileCount()));
    m_pnlComment->setText(m_reader.comment());
}

void TfrmUnZipIt::setOutlineColour(QPalette::ColorRole role) {
    QPalette p = m_outline->palette();
    p.setColor(QPalette::Base, palette().color(role));
    m_outline->setPalette(p);
}

void TfrmUnZipIt::OutlineLoad() {
    setOutlineColour(QPalette::Base);
}

void TfrmUnZipIt::ExtractFiles1Click() {
    if (!openSelected())
        return;

    TfrmZipDirectory destination(this);
    destination.setArchivePath(m_reader.archivePath());
    if (!m_lastDestination.isEmpty()) {
        if (const auto drive = platform::driveOfPath(m_lastDestination))
            destination.setFolder(drive->root);
    }
    if (destination.exec() != QDialog::Accepted)
        return;
    m_lastDestination = destination.folder();

    zip::ZipReader::ExtractResult result;
    {
        const WaitCursor wait;
        m_reader.setRestorePaths(true);
        m_reader.setCreateFolders(true);
        result = m_reader.extract(m_lastDestination, QStringLiteral("*.*"));
        m_gauge->setVisible(false);
        readArchiveList();
    }
    msgbox::plainBox(unzip::unzippedText(result));
}

void TfrmUnZipIt::OutlineArchiveProgress(int percent) {
    // The extraction runs on this thread without a trip to the event loop: the bar repaints
    // itself when its value changes.
    m_gauge->setVisible(percent < 100);
    m_gauge->setValue(percent);
}

std::optional<QString> TfrmUnZipIt::OutlineNeedPassword(const QString&) {
    const NormalCursor cursor;
    TfrmPassword ask(this);
    if (ask.exec() != QDialog::Accepted)
        return std::nullopt;
    return ask.password();
}

void TfrmUnZipIt::OutlineProcessItemFailure(const zip::ExtractFailure& failure) {
    const NormalCursor cursor;
    msgbox::plainBox(unzip::cannotExtractText(failure, m_reader.archivePath()));
    if (!failure.message.isEmpty())
        msgbox::plainBox(failure.message);
}
