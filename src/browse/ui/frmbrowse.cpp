// TfrmBrowse, the folder browser.  Its logic: browse/folderlisting.h (listing and sorting a
// folder).

#include "browse/ui/frmbrowse.h"

#include "app/format.h"
#include "app/ui/columnfit.h"
#include "app/ui/drivefoldertree.h"
#include "app/ui/messagebox.h"
#include "app/ui/placement.h"
#include "app/ui/widgets.h"
#include "browse/ui/fileactions.h"
#include "delete/folderclean.h"
#include "delete/ui/handover.h"
#include "platform/drives.h"
#include "platform/paths.h"
#include "scan/drivechoice.h"
#include "scan/ui/frmwildcard.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Widths of Modified, Time, Access and Size at 96 pixels per inch; Filename and Type share the
// rest.
constexpr int kWidths[] = {69, 66, 66, 61};

const char* const kSortCaptions[] = {"Name", "Modified &Date", "&Access Date", "&Size", "&Type"};
const char* const kSortNames[] = {"miSortName", "miSortModified", "miSortAccess", "miSortSize",
                                  "miSortType"};

// A folder on one of the drives: the folder itself, or drive C's root (the first drive's) for a
// folder outside them.
QString folderOnADrive(const QString& folder) {
    if (platform::driveOfPath(folder) || platform::drives().isEmpty())
        return folder;
    const auto c = platform::driveByLetter(QLatin1Char('C'));
    return c ? c->root : platform::drives().first().root;
}

bool driveReady(const QString& folder) {
    const auto drive = platform::driveOfPath(folder);
    return drive && platform::isDriveReady(drive->letter);
}

} // namespace

TfrmBrowse::TfrmBrowse(QWidget* parent, browse::SortFlags& sortFlags, TfrmFind* find,
                       const QString& folder)
    : QDialog(parent), m_sortFlags(sortFlags), m_find(find), m_folder(folderOnADrive(folder)) {
    setObjectName(QStringLiteral("TfrmBrowse"));
    setWindowTitle(QStringLiteral("Browse through folders"));
    setModal(true);
    setSizeGripEnabled(true);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(buildFolderPanel());
    splitter->addWidget(buildFilePanel());
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({scaledPixels(this, 210), scaledPixels(this, 570)});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* body = new QVBoxLayout();
    body->setContentsMargins(6, 6, 6, 0);
    body->addWidget(splitter, 1);
    layout->addLayout(body, 1);
    layout->addLayout(buildButtons());
    layout->addWidget(buildStatusBar());
    buildPopupMenu();

    connect(m_folders, &DriveFolderTree::folderChanged, this, &TfrmBrowse::DirectoryListBox1Change);
    connect(m_gridView->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) {
        if (const auto item = browse::sortItemForColumn(c))
            Sortbyname1Click(*item);
    });
    connect(m_results, &MarkedResultGrid::menuRequested, this,
            [this](const QPoint& at) { m_menu.popup->popup(at); });

    m_grid.setColumnCount(browse::kColumnCount);
    m_grid.setHeader(browse::gridHeaders());
    resize(scaledPixels(this, 780), scaledPixels(this, 480));
}

TfrmBrowse::~TfrmBrowse() {
    // The view reads the grid, which goes before the base class deletes the children.
    delete m_gridView;
}

QWidget* TfrmBrowse::buildFolderPanel() {
    m_folders = new DriveFolderTree(QStringLiteral("DriveComboBox1"),
                                    QStringLiteral("DirectoryListBox1"), this);
    // This drive list shows its letters in upper case.
    QComboBox* drives = m_folders->driveList();
    for (int i = 0; i < drives->count(); ++i)
        drives->setItemText(i, drivechoice::withLetterCase(drives->itemText(i), true));
    m_folders->setMinimumWidth(scaledPixels(this, 120));
    return m_folders;
}

QWidget* TfrmBrowse::buildFilePanel() {
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    m_label1 = namedLabel(panel, QStringLiteral("Label1"), QString());
    m_label1->setTextFormat(Qt::PlainText);
    // A long path must not widen the window.
    m_label1->setMinimumWidth(1);
    m_label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    column->addWidget(m_label1);

    m_results = new MarkedResultGrid(this, m_grid, browse::bcFilename, [this](int row) {
        return browse::rowPath(m_grid, m_folder, row);
    });
    m_results->model()->setRightAligned(browse::bcSize);
    m_results->setStatusPrefix(QStringLiteral("Marked for deletion: "));
    m_gridView = m_results->view();
    m_gridView->setParent(panel);
    column->addWidget(m_gridView, 1);
    return panel;
}

QLayout* TfrmBrowse::buildButtons() {
    auto* row = new QHBoxLayout();
    row->setContentsMargins(10, 6, 12, 6);
    row->setSpacing(5);
    m_btDeleteDirectory =
        namedButton(this, QStringLiteral("btDeleteDirectory"), QStringLiteral("Delete &Folder"));
    m_btOptions = namedButton(this, QStringLiteral("btOptions"), QStringLiteral("Options"));
    m_btDetails = namedButton(this, QStringLiteral("btDetails"), QStringLiteral("&Details"));
    m_btLaunch = namedButton(this, QStringLiteral("btLaunch"), QStringLiteral("&Run"));
    m_btView = namedButton(this, QStringLiteral("btView"), QStringLiteral("&View"));
    m_btMark = namedButton(this, QStringLiteral("btMark"), QStringLiteral("&Mark"));
    m_btDeleteFiles =
        namedButton(this, QStringLiteral("btDeleteFiles"), QStringLiteral("&Clean marked files"));
    m_btClose = namedButton(this, QStringLiteral("btClose"), QStringLiteral("Close"));
    row->addWidget(m_btDeleteDirectory);
    row->addStretch(1);
    for (QPushButton* b :
         {m_btOptions, m_btDetails, m_btLaunch, m_btView, m_btMark, m_btDeleteFiles, m_btClose})
        row->addWidget(b);
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    m_results->setCleanButton(m_btDeleteFiles);
    m_btDeleteFiles->setEnabled(false);

    connect(m_btDeleteDirectory, &QPushButton::clicked, this, &TfrmBrowse::btDeleteDirectoryClick);
    connect(m_btOptions, &QPushButton::clicked, this, [this] {
        m_menu.popup->popup(m_btOptions->mapToGlobal(QPoint(0, m_btOptions->height())));
    });
    connect(m_btLaunch, &QPushButton::clicked, m_results, &MarkedResultGrid::runSelected);
    connect(m_btMark, &QPushButton::clicked, m_results, &MarkedResultGrid::markSelected);
    connect(m_btDeleteFiles, &QPushButton::clicked, this, &TfrmBrowse::btDeleteFilesClick);
    connect(m_btClose, &QPushButton::clicked, this, &QDialog::close);
    return row;
}

QWidget* TfrmBrowse::buildStatusBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    const auto panel = [bar, row](const char* name, int stretch) {
        QLabel* label = statusPanel(bar, QString::fromLatin1(name));
        row->addWidget(label, stretch);
        return label;
    };
    m_pnlScan = panel("pnlScan", 3);
    m_pnlWild = panel("pnlWild", 2);
    m_pnlSize = panel("pnlSize", 2);
    m_pnlWild->setToolTip(QStringLiteral("Click to change the wildcard pattern"));
    m_pnlWild->setCursor(Qt::PointingHandCursor);
    m_pnlWild->installEventFilter(this);
    m_results->setStatusLine(m_pnlScan);
    return bar;
}

void TfrmBrowse::buildPopupMenu() {
    m_menu = makeResultMenu(this);
    m_menu.popup->setObjectName(QStringLiteral("PopupMenu1"));
    // The browser shows one folder: nothing to shrink, print or copy.
    for (QAction* a : {m_menu.print, m_menu.clipboard})
        a->setVisible(false);
    if (auto* resize = m_menu.popup->findChild<QMenu*>(QStringLiteral("mnResize")))
        resize->menuAction()->setVisible(false);
    for (int i = 0; i < browse::kSortItemCount; ++i) {
        QAction* item = namedMenuItem(m_menu.sort, QString::fromLatin1(kSortNames[i]),
                                      QString::fromLatin1(kSortCaptions[i]));
        item->setCheckable(true);
        m_sortItems[size_t(i)] = item;
        connect(item, &QAction::triggered, this,
                [this, i] { Sortbyname1Click(browse::SortItem(i)); });
    }
    tickSortItem(m_ticked);
    connect(m_menu.markAll, &QAction::triggered, m_results, &MarkedResultGrid::markAll);
    connect(m_menu.unmarkAll, &QAction::triggered, m_results, &MarkedResultGrid::unmarkAll);
    connect(m_menu.run, &QAction::triggered, m_results, &MarkedResultGrid::runSelected);
    m_results->connectFileActions(m_menu, m_btDetails, nullptr,
                                  browse::fileActions(m_find, nullptr));
    m_btView->setEnabled(m_find != nullptr);
    connect(m_btView, &QPushButton::clicked, m_menu.view, &QAction::trigger);
}

// ---- showing and closing ---------------------------------------------------------------------

void TfrmBrowse::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmBrowse::FormShow() {
    m_pnlWild->setText(QStringLiteral("Wildcard : ") + m_pattern);
    m_folders->setFolder(m_folder); // reads the folder
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int buttons = layout()->itemAt(1)->layout()->sizeHint().width() + 3;
    const int widest = screen ? screen->availableGeometry().width() - 10 : buttons;
    setMinimumSize(std::min(buttons, widest), scaledPixels(this, 200));
    setColumnWidths();
    placement::restore(this, PlacementWindow::Browser);
}

void TfrmBrowse::reject() {
    const int marked = m_results->marks().count();
    if (marked > 0 && !msgbox::askYesNo(QStringLiteral("You have ") + QString::number(marked) +
                                        QStringLiteral(" files marked for deletion. ") +
                                        QStringLiteral("Do you really wish to exit without "
                                                       "deleting?")))
        return;
    QDialog::reject();
}

void TfrmBrowse::done(int result) {
    if (isVisible())
        placement::store(this, PlacementWindow::Browser);
    QDialog::done(result);
}

void TfrmBrowse::setColumnWidths() {
    using namespace browse;
    const double scale =
        setDesignedColumnWidths(m_gridView, kWidths, {bcModified, bcTime, bcAccess, bcSize});
    int fixed = 0;
    for (int c = 0; c < int(std::size(kWidths)); ++c)
        fixed += m_gridView->columnWidth(c);
    const int rest = m_gridView->viewport()->width() - fixed - qRound(25 * scale);
    const int half = std::max(scaledPixels(this, 100), rest / 2);
    m_gridView->setColumnWidth(browse::bcFilename, half);
    m_gridView->setColumnWidth(browse::bcType, half);
}

void TfrmBrowse::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    setColumnWidths();
}

bool TfrmBrowse::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pnlWild && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        pnlWildClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// ---- the folder ------------------------------------------------------------------------------

void TfrmBrowse::setFolder(const QString& folder) {
    m_folders->setFolder(folder);
}

void TfrmBrowse::DirectoryListBox1Change(const QString& folder) {
    if (!driveReady(folder))
        return;
    m_folder = folder;
    listFolder();
}

void TfrmBrowse::readFolder() {
    if (driveReady(m_folder))
        listFolder();
}

void TfrmBrowse::listFolder() {
    m_results->clearMarks();
    browse::Listing listing;
    {
        const WaitCursor wait;
        listing = browse::fillGrid(m_grid, m_folder, m_pattern);
        m_results->setRows(listing.files);
        browse::sortRows(m_grid, m_ticked, m_sortFlags.of(m_ticked));
        m_results->refresh();
        setColumnWidths();
    }
    m_label1->setText(m_folder);
    m_pnlScan->setText(listing.error.isEmpty()
                           ? QStringLiteral("Number of files : ") + QString::number(listing.files)
                           : QStringLiteral("Cannot read the folder: ") + listing.error);
    m_pnlSize->setText(QStringLiteral("Total size : ") + FormatThousands(listing.totalBytes));
    selectName(m_selectName);
    m_selectName.clear();
}

void TfrmBrowse::selectName(const QString& name) {
    const int found = name.isEmpty() ? -1 : m_grid.findRow(browse::bcFilename, name);
    const int row = found > 0 && found <= m_results->rows() ? found : 1;
    const QModelIndex index = m_results->model()->index(GridModel::modelRow(row), 0);
    m_gridView->setCurrentIndex(index);
    m_gridView->scrollTo(index);
}

QString TfrmBrowse::selectedName() const {
    const int row = m_results->selectedGridRow();
    return row > 0 ? m_grid.cell(browse::bcFilename, row) : QString();
}

void TfrmBrowse::pnlWildClick() {
    TfrmWildCard dialog(this);
    dialog.setPattern(m_pattern);
    if (dialog.exec() == QDialog::Accepted) {
        m_pattern = dialog.pattern();
        readFolder();
    }
    m_pnlWild->setText(QStringLiteral("Wildcard : ") + m_pattern);
}

// ---- sorting ---------------------------------------------------------------------------------

void TfrmBrowse::tickSortItem(browse::SortItem item) {
    m_ticked = item;
    for (int i = 0; i < browse::kSortItemCount; ++i)
        m_sortItems[size_t(i)]->setChecked(i == int(item));
}

void TfrmBrowse::Sortbyname1Click(browse::SortItem item) {
    if (m_results->rows() < 1) {
        // Nothing is sorted: the ticks stay (a menu item turns its own tick over).
        tickSortItem(m_ticked);
        return;
    }
    {
        const WaitCursor wait;
        bool& descending = m_sortFlags.of(item);
        descending = !descending;
        browse::sortRows(m_grid, item, descending);
        m_results->refresh(true);
    }
    tickSortItem(item);
}

// ---- deleting --------------------------------------------------------------------------------

void TfrmBrowse::btDeleteFilesClick() {
    const GridMarks& marks = m_results->marks();
    if (marks.count() <= 0)
        return;
    reallyDelete(this, marks.files(), QString(), marks.bytes());
    // Whatever the deletion window did, the folder is read again.
    readFolder();
}

void TfrmBrowse::btDeleteDirectoryClick() {
    const QString folder = m_folder;
    if (platform::isDriveRoot(folder)) {
        msgbox::errorBox(QStringLiteral(
            "Cannot delete the root folder! To delete a folder including all files and "
            "sub-folders double click on the desired folder shown in the left panel."));
        return;
    }
    const QString refusal = windowsFolderRefusal(folder);
    if (!refusal.isEmpty()) {
        msgbox::errorBox(refusal);
        return;
    }
    const FolderDisposal disposal = disposeOfFolder(this, folder);
    // After a run the parent is shown; after a cancel the folder again, if it is still there.
    if (disposal.choice == DisposalChoice::Cancelled && platform::isDirectory(folder))
        setFolder(folder);
    else
        setFolder(platform::parentFolder(folder));
}

// ---- opening ---------------------------------------------------------------------------------

namespace {
void browseWith(QWidget* owner, browse::SortFlags& sortFlags, TfrmFind* find, const QString& folder,
                const QString& file) {
    TfrmBrowse window(owner, sortFlags, find, folder);
    window.setPattern(QStringLiteral("*.*"));
    window.setSelectedFile(file);
    window.exec();
}
} // namespace

void browseFile(QWidget* owner, browse::SortFlags& sortFlags, TfrmFind* find, const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    browseWith(owner, sortFlags, find, platform::parentFolder(path), path.mid(slash + 1));
}

void browseFolder(QWidget* owner, browse::SortFlags& sortFlags, TfrmFind* find,
                  const QString& folder) {
    browseWith(owner, sortFlags, find, folder, QString());
}
