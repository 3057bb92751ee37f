// TfrmReallyDelete, the deletion window.  Its logic: delete/reallydelete.h (panels and the
// disposal run), delete/lastcopy.h and delete/ownarchives.h; a zip batch is written by
// zip/backgroundflush.h.

#include "delete/ui/frmreallydelete.h"

#include "app/format.h"
#include "app/shell.h"
#include "app/ui/frmstandby.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"

#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QStringListModel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <memory>

namespace {

const char* const kAllProtected =
    "All files selected appear on the NON-DELETE list.  To delete the files anyway, move them off "
    "of the NON-DELETE list onto the DELETION PANEL.";
const char* const kNoFiles =
    "There are no files on the deletion panel.  In order to perform this operation you need to "
    "move files from the NON-DELETE list to the deletion panel.";

QListView* panelView(QWidget* parent, const QString& name, QStringListModel* model) {
    auto* v = new QListView(parent);
    v->setObjectName(name);
    v->setModel(model);
    v->setSelectionMode(QAbstractItemView::ExtendedSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setUniformItemSizes(true); // tens of thousands of rows stay quick to lay out
    return v;
}

// Lays out a page of the window: the panel's count label, the panel, a row of buttons; the
// notes under them are added to the layout returned.
QVBoxLayout* layOutPage(QWidget* page, QLabel* count, QListView* panel,
                        std::initializer_list<QPushButton*> buttons) {
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout();
    for (QPushButton* button : buttons)
        row->addWidget(button);
    row->addStretch();
    layout->addWidget(count);
    layout->addWidget(panel, 1);
    layout->addLayout(row);
    return layout;
}

// One flag per row of the view: is it selected?  Walks the selection ranges, not every index.
QVector<bool> selectedRows(const QListView* view, qsizetype rows) {
    QVector<bool> flags(rows, false);
    const QItemSelection selection = view->selectionModel()->selection();
    for (const QItemSelectionRange& range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (row >= 0 && row < rows)
                flags[row] = true;
    }
    return flags;
}

} // namespace

TfrmReallyDelete::TfrmReallyDelete(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmReallyDelete"));
    setWindowTitle(QStringLiteral("Clean up the following files"));
    setModal(true);

    m_model1 = new QStringListModel(this);
    m_model2 = new QStringListModel(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(8);

    // Heading: the counts on the left, the potential savings on the right.
    auto* heading = new QHBoxLayout();
    m_lblDelete = new QLabel(QStringLiteral("The following files will be deleted:"), this);
    m_lblDelete->setObjectName(QStringLiteral("lblDelete"));
    QFont bold = m_lblDelete->font();
    bold.setBold(true);
    m_lblDelete->setFont(bold);
    auto* lblPotential = new QLabel(QStringLiteral("Potential savings of "), this);
    lblPotential->setObjectName(QStringLiteral("lblPotential"));
    m_lblSavings = new QLabel(this);
    m_lblSavings->setObjectName(QStringLiteral("lblSavings"));
    m_lblSavings->setFont(bold);
    heading->addWidget(m_lblDelete);
    heading->addStretch();
    heading->addWidget(lblPotential);
    heading->addWidget(m_lblSavings);
    layout->addLayout(heading);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pcPanels"));
    layout->addWidget(m_pages, 1);

    // Page 1: the deletion panel.
    auto* page1 = new QWidget();
    page1->setObjectName(QStringLiteral("tsDelete"));
    m_lblLeft = new QLabel(page1);
    m_lblLeft->setObjectName(QStringLiteral("lblLeft"));
    m_lb1View = panelView(page1, QStringLiteral("lb1"), m_model1);
    m_btToAgainst = namedButton(page1, QStringLiteral("btToAgainst"),
                                QStringLiteral("Move files OFF of the deletion panel"));
    QVBoxLayout* p1 = layOutPage(page1, m_lblLeft, m_lb1View, {m_btToAgainst});
    p1->addWidget(
        namedLabel(page1, QStringLiteral("lblNote1"),
                   QStringLiteral("These files are not in the registry or in the windows "
                                  "search path therefore it is safer to delete these files.  "
                                  "However, these files may still belong to working "
                                  "applications therefore they may be needed for proper "
                                  "operation of other applications."),
                   true));
    p1->addWidget(
        namedLabel(page1, QStringLiteral("lblNote2"),
                   QStringLiteral("To move these files off of the list of files to be deleted "
                                  "drag the mouse cursor over the file list to select the "
                                  "desired files then click on the Move button."),
                   true));
    m_pages->addTab(page1, QStringLiteral("Files to be deleted"));

    // Page 2: the non-delete panel.
    auto* page2 = new QWidget();
    page2->setObjectName(QStringLiteral("tsKeep"));
    m_lblRight = new QLabel(page2);
    m_lblRight->setObjectName(QStringLiteral("lblRight"));
    m_lb2View = panelView(page2, QStringLiteral("lb2"), m_model2);
    m_btMoveLeft = namedButton(page2, QStringLiteral("btMoveLeft"),
                               QStringLiteral("Move files to the deletion panel"));
    m_btReason = namedButton(page2, QStringLiteral("btReason"),
                             QStringLiteral("Reason that file is on this list"));
    QVBoxLayout* p2 = layOutPage(page2, m_lblRight, m_lb2View, {m_btMoveLeft, m_btReason});
    p2->addWidget(
        namedLabel(page2, QStringLiteral("lblNote3"),
                   QStringLiteral("It is not recommended that you delete these files without "
                                  "uninstalling their associated applications.  They are "
                                  "either located in the windows system directories or are in "
                                  "the system registry.  These files will not be deleted."),
                   true));
    p2->addWidget(
        namedLabel(page2, QStringLiteral("lblNote4"),
                   QStringLiteral("To delete these files move them to the deletion panel.  You "
                                  "may select multiple files by dragging the mouse over the "
                                  "list of files above then clicking on the Move files "
                                  "button."),
                   true));
    m_pages->addTab(page2, QStringLiteral("Do not delete these files"));

    // Page 3: the last copies, shown only when the files come from groups of duplicates.
    m_pageLast = buildLastCopyPage();
    m_pages->addTab(m_pageLast, QStringLiteral("Last copies"));
    m_pages->setTabVisible(m_pages->indexOf(m_pageLast), false);

    // Bottom: the button panel, or the progress panel in its place while a run goes on, and the
    // Cancel button.
    auto* bottom = new QHBoxLayout();
    m_pnlButtons = new QWidget(this);
    m_pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    auto* buttons = new QHBoxLayout(m_pnlButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    m_btZip = namedButton(m_pnlButtons, QStringLiteral("btZip"),
                          QStringLiteral("&Archive files into a zip file"));
    m_btDelete =
        namedButton(m_pnlButtons, QStringLiteral("btDelete"), QStringLiteral("&Delete all files"));
    m_btRecycle = namedButton(m_pnlButtons, QStringLiteral("btRecycle"),
                              QStringLiteral("&Send to recycle bin"));
    buttons->addWidget(m_btZip);
    buttons->addWidget(m_btDelete);
    buttons->addWidget(m_btRecycle);
    buttons->addStretch();

    m_pnlProgress = new QWidget(this);
    m_pnlProgress->setObjectName(QStringLiteral("pnlProgress"));
    auto* progress = new QVBoxLayout(m_pnlProgress);
    progress->setContentsMargins(0, 0, 0, 0);
    progress->setSpacing(4);
    m_lblName = new QLabel(m_pnlProgress);
    m_lblName->setObjectName(QStringLiteral("lblName"));
    m_lblName->setTextFormat(Qt::PlainText);
    m_lblName->setMinimumWidth(200);
    m_lblName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_bar = new QProgressBar(m_pnlProgress);
    m_bar->setObjectName(QStringLiteral("bar"));
    m_bar->setTextVisible(false);
    m_gauge1 = redGauge(m_pnlProgress);
    m_gauge1->setFixedWidth(90);
    auto* bars = new QHBoxLayout();
    bars->addWidget(m_bar, 1);
    bars->addWidget(m_gauge1);
    progress->addWidget(m_lblName);
    progress->addLayout(bars);
    m_pnlProgress->hide();

    m_btClose = namedButton(this, QStringLiteral("btClose"), QStringLiteral("Cancel"));
    m_btClose->setToolTip(
        QStringLiteral("Cancel and close.  May cancel an operation in progress."));

    bottom->addWidget(m_pnlButtons, 1);
    bottom->addWidget(m_pnlProgress, 1);
    bottom->addWidget(m_btClose, 0, Qt::AlignBottom);
    layout->addLayout(bottom);

    m_btToAgainst->setEnabled(false);
    m_btMoveLeft->setEnabled(false);
    m_btReason->setEnabled(false);

    connect(m_btToAgainst, &QPushButton::clicked, this, &TfrmReallyDelete::btToAgainstClick);
    connect(m_btMoveLeft, &QPushButton::clicked, this, &TfrmReallyDelete::btMoveLeftClick);
    connect(m_btReason, &QPushButton::clicked, this, &TfrmReallyDelete::btReasonClick);
    connect(m_btDelete, &QPushButton::clicked, this, &TfrmReallyDelete::DeleteAllClick);
    connect(m_btRecycle, &QPushButton::clicked, this, &TfrmReallyDelete::RecycleClick);
    connect(m_btZip, &QPushButton::clicked, this, &TfrmReallyDelete::ZipItClick);
    connect(m_btClose, &QPushButton::clicked, this, &TfrmReallyDelete::btCloseClick);
    connect(m_lb1View->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfrmReallyDelete::updateMoveButtons);
    connect(m_lb2View->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfrmReallyDelete::updateMoveButtons);
    connect(m_lbLastCopyView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfrmReallyDelete::updateMoveButtons);

    m_noticeTimer.setSingleShot(true);
    m_noticeTimer.setInterval(500);
    connect(&m_noticeTimer, &QTimer::timeout, this, &TfrmReallyDelete::allProtectedNotice);
    m_stepTimer.setSingleShot(true);
    m_stepTimer.setInterval(0);
    connect(&m_stepTimer, &QTimer::timeout, this, &TfrmReallyDelete::stepRun);
    connect(&m_flush, &zip::BackgroundFlush::progress, this,
            [this](int percent) { m_gauge1->setValue(qBound(0, percent, 100)); });
    connect(&m_flush, &zip::BackgroundFlush::finished, this, &TfrmReallyDelete::batchWritten);

    resize(680, 540);
}

TfrmReallyDelete::~TfrmReallyDelete() = default;

QWidget* TfrmReallyDelete::buildLastCopyPage() {
    m_modelLast = new QStringListModel(this);
    auto* page = new QWidget();
    page->setObjectName(QStringLiteral("tsLastCopy"));
    m_lblLastCopy = new QLabel(page);
    m_lblLastCopy->setObjectName(QStringLiteral("lblLastCopy"));
    m_lbLastCopyView = panelView(page, QStringLiteral("lbLastCopy"), m_modelLast);
    m_btDisposeAnyway = namedButton(page, QStringLiteral("btDisposeAnyway"),
                                    QStringLiteral("Move files to the deletion panel anyway"));
    m_btLastCopyReason = namedButton(page, QStringLiteral("btLastCopyReason"),
                                     QStringLiteral("Reason that file is on this list"));
    m_btDisposeAnyway->setEnabled(false);
    m_btLastCopyReason->setEnabled(false);
    connect(m_btDisposeAnyway, &QPushButton::clicked, this,
            &TfrmReallyDelete::btDisposeAnywayClick);
    connect(m_btLastCopyReason, &QPushButton::clicked, this,
            &TfrmReallyDelete::btLastCopyReasonClick);
    QVBoxLayout* p3 =
        layOutPage(page, m_lblLastCopy, m_lbLastCopyView, {m_btDisposeAnyway, m_btLastCopyReason});
    p3->addWidget(namedLabel(
        page, QStringLiteral("lblNote5"),
        QStringLiteral("No file that stays holds the same contents as these files, so deleting "
                       "them would lose what they contain.  Where every copy of a file was "
                       "marked, the first one stays.  To dispose of these files anyway, select "
                       "them and move them to the deletion panel."),
        true));
    return page;
}

void TfrmReallyDelete::setFiles(const ListedFiles& files) {
    m_lb1.clear();
    m_seen.clear();
    m_lb1.reserve(files.size());
    m_seen.reserve(files.size());
    for (const ListedFile& file : files) {
        m_lb1 << file.path;
        m_seen.insert(file.path, file.identity);
    }
    sortPanel(m_lb1);
    m_lb2.clear();
    m_lbLastCopy.clear();
    m_chosen.clear();
    refreshModels();
}

ListedFiles TfrmReallyDelete::listed(const QStringList& panel) const {
    ListedFiles files;
    files.reserve(panel.size());
    // A path without a recorded identity matches no file and is kept.
    for (const QString& path : panel)
        files.append({path, m_seen.value(path)});
    return files;
}

void TfrmReallyDelete::refreshModels() {
    m_model1->setStringList(m_lb1);
    m_model2->setStringList(m_lb2);
    m_modelLast->setStringList(m_lbLastCopy);
}

void TfrmReallyDelete::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmReallyDelete::FormShow() {
    m_abortRequested = false;
    {
        WaitCursor wait;
        m_lblSavings->setText(FormatThousands(m_savings) + QStringLiteral(" bytes"));
        UpdateHeaders();
        m_lblName->clear();
        MoveFiles();
        if (m_copies.active()) {
            proveCopies();
            guardLastCopies();
        }
    }
    m_noticeTimer.stop();
    if (m_lb1.isEmpty())
        m_noticeTimer.start();
}

void TfrmReallyDelete::MoveFiles() {
    TfrmStandBy* standBy = TfrmStandBy::instance();
    QProgressBar* waitBar = standBy->bar();
    setFileBarRange(waitBar, m_lb1.size());
    standBy->show();
    standBy->repaint();

    // The waiting window is painted as its bar moves, at most every few milliseconds; nothing
    // else happens meanwhile.
    QElapsedTimer clock;
    clock.start();
    const PanelSplit split = sortIntoPanels(m_lb1, shell::protection(), [&](qsizetype visited) {
        if (clock.elapsed() >= 30) {
            setFileBarPosition(waitBar, visited);
            standBy->repaint();
            clock.restart();
        }
    });
    standBy->hide();

    // Both halves keep the order of the sorted deletion panel.
    m_lb1 = split.deletion;
    m_lb2 = split.keep;
    refreshModels();
    updateLeftRight();
}

void TfrmReallyDelete::UpdateHeaders() {
    m_lblDelete->setText(QStringLiteral("Delete - %1, Do NOT delete - %2")
                             .arg(m_lb1.size())
                             .arg(m_lb2.size() + m_lbLastCopy.size()));
}

void TfrmReallyDelete::updateLeftRight() {
    m_lblLeft->setText(
        QStringLiteral("Deletion Panel - files to be deleted: %1").arg(m_lb1.size()));
    m_lblRight->setText(QStringLiteral("Files that will NOT be deleted: %1").arg(m_lb2.size()));
    m_lblLastCopy->setText(
        QStringLiteral("Last copies of their contents - NOT deleted: %1").arg(m_lbLastCopy.size()));
    updateMoveButtons();
    UpdateHeaders();
}

void TfrmReallyDelete::updateMoveButtons() {
    const bool keepSelected = m_lb2View->selectionModel()->hasSelection();
    m_btMoveLeft->setEnabled(keepSelected);
    m_btReason->setEnabled(keepSelected);
    m_btToAgainst->setEnabled(m_lb1View->selectionModel()->hasSelection());
    const bool lastSelected = m_lbLastCopyView->selectionModel()->hasSelection();
    m_btDisposeAnyway->setEnabled(lastSelected);
    m_btLastCopyReason->setEnabled(lastSelected);
}

QStringList TfrmReallyDelete::moveSelected(QListView* from, QStringList& source,
                                           QStringList& target) {
    const QStringList moved = takeFlagged(source, selectedRows(from, source.size()));
    mergeIntoPanel(target, moved);
    from->selectionModel()->clear();
    refreshModels();
    updateLeftRight();
    return moved;
}

void TfrmReallyDelete::btToAgainstClick() {
    moveSelected(m_lb1View, m_lb1, m_lb2);
    guardLastCopies(); // a file that stays now may be the copy another one needs
    if (m_lb1.isEmpty())
        m_pages->setCurrentIndex(1);
}

void TfrmReallyDelete::btMoveLeftClick() {
    moveSelected(m_lb2View, m_lb2, m_lb1);
    guardLastCopies(); // a file that goes now may have been the copy another one needed
    if (m_lb2.isEmpty())
        m_pages->setCurrentIndex(0);
}

QString TfrmReallyDelete::currentEntry(const QListView* view, const QStringList& panel) {
    const QModelIndex current = view->currentIndex();
    return current.isValid() && current.row() < panel.size() ? panel[current.row()] : QString();
}

void TfrmReallyDelete::btReasonClick() {
    const QString path = currentEntry(m_lb2View, m_lb2);
    if (!path.isEmpty())
        msgbox::infoBox(keepReasonText(path, shell::protection()));
}

void TfrmReallyDelete::allProtectedNotice() {
    if (!m_lb1.isEmpty())
        return; // the user filled the deletion panel meanwhile
    msgbox::infoBox(QString::fromLatin1(kAllProtected));
    m_pages->setCurrentWidget(m_lb2.isEmpty() && !m_lbLastCopy.isEmpty() ? m_pageLast
                                                                         : m_pages->widget(1));
}

bool TfrmReallyDelete::NoFilesToDelete() {
    if (!m_lb1.isEmpty())
        return false;
    msgbox::infoBox(QString::fromLatin1(kNoFiles));
    return true;
}
