#include "scan/ui/searchwindow.h"

#include "app/ui/columnfit.h"
#include "app/ui/messagebox.h"
#include "app/ui/placement.h"
#include "app/ui/resultgrid.h"
#include "app/ui/widgets.h"
#include "scan/steppedwalk.h"
#include "scan/walk.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

SearchWindow::SearchWindow(QWidget* parent, const QString& objectName, const Options& options)
    : QDialog(parent), m_options(options) {
    setObjectName(objectName);
    setModal(true);
    setSizeGripEnabled(true);
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
}

SearchWindow::~SearchWindow() {
    // The view reads the grid, which goes before the base class deletes the children.
    delete m_gridView;
}

void SearchWindow::makeGridButtons() {
    m_btAbort = namedButton(this, QStringLiteral("btAbort"), QStringLiteral("&Abort"));
    m_btMark = namedButton(this, QStringLiteral("btMark"), QStringLiteral("&Mark"));
    m_btDelete = namedButton(this, QStringLiteral("btDelete"), QStringLiteral("Clean?"));
    m_btOptions = namedButton(this, QStringLiteral("btOptions"), QStringLiteral("Options"));
    m_btBrowse = namedButton(this, QStringLiteral("btBrowse"), QStringLiteral("&Browse"));
    m_btDetails = namedButton(this, QStringLiteral("btDetails"), QStringLiteral("&Details"));
    m_btClose = namedButton(this, QStringLiteral("btClose"), QStringLiteral("Close"));
    setAbortButton(m_btAbort);
    setResultButtons({m_btMark, m_btDelete, m_btOptions, m_btBrowse, m_btDetails});
}

QHBoxLayout* SearchWindow::buttonRow(int spacing) {
    auto* row = new QHBoxLayout();
    row->setContentsMargins(8, 6, 8, 6);
    row->setSpacing(spacing);
    return row;
}

void SearchWindow::addButtons(QHBoxLayout* row, std::initializer_list<QPushButton*> buttons) {
    for (QPushButton* b : buttons) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
}

QLabel* SearchWindow::addStatusLine(const QString& name) {
    m_status = statusPanel(this, name);
    m_layout->addWidget(m_status);
    m_status->installEventFilter(this);
    return m_status;
}

void SearchWindow::showResultButtons(bool on) {
    for (QPushButton* b : std::as_const(m_resultButtons))
        b->setVisible(on);
}

// ---- showing and closing ---------------------------------------------------------------------

void SearchWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    showResultButtons(false);
    m_abortButton->hide();
    m_status->clear();
    m_skippedCount = 0;
    m_skipped.clear();
    m_savedPanelHeight = m_pnlTop->sizeHint().height();
    FormShow();
    setColumnWidths();
    if (const auto which = placementWindow())
        placement::restore(this, *which);
    else
        placement::centre(this);
}

void SearchWindow::setColumnWidths() {
    if (!m_widths.empty())
        setDesignedColumnWidths(m_gridView, m_widths.data(), int(m_widths.size()), m_fitted);
}

void SearchWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    setColumnWidths();
}

void SearchWindow::done(int result) {
    if (m_scanning) {
        if (m_options.close == CloseDuringScan::Refused)
            return; // during a scan only Abort reacts
        // Closing is allowed during a walk: it is stopped without a word.
        stopWalk();
        m_scanning = false;
    }
    if (isVisible())
        if (const auto which = placementWindow())
            placement::store(this, *which);
    QDialog::done(result);
}

// ---- scanning --------------------------------------------------------------------------------

void SearchWindow::startWalk(std::unique_ptr<scan::Search> search, const QList<QChar>& letters) {
    m_search = std::move(search);
    scan::WalkCallbacks& callbacks = m_search->walker().callbacks();
    callbacks.progress = [this](const QString& folder) { m_status->setText(folder); };
    if (m_options.reportDriveFailure)
        callbacks.driveFailed = [](QChar, const QString& root) {
            msgbox::silentErrorBox(scan::cantOpenDriveMessage(root));
        };
    m_walk = std::make_unique<scan::SteppedWalk>(m_search->walker());
    connect(m_walk.get(), &scan::SteppedWalk::finished, this, &SearchWindow::walkEnded);
    m_walkAborted = false;
    m_skippedCount = 0;
    m_skipped.clear();
    setScanning(true);
    m_walk->startDrives(letters);
}

void SearchWindow::walkEnded() {
    m_skippedCount = m_search->skippedCount();
    m_skipped = m_search->skippedFolders();
    const int rows = takeResult(*m_search, m_walkAborted);
    stopWalk();
    if (rows != kStillBusy)
        finishScan(rows);
}

void SearchWindow::stopWalk() {
    m_walk.reset();
    m_search.reset();
}

void SearchWindow::finishScan(int rows) {
    setColumnWidths();
    setScanning(false);
    showFound(rows);
    const QString skipped = scan::skippedText(m_skippedCount);
    // The marks rewrite the status line of a result grid: the note stays after them.
    if (auto* results = findChild<MarkedResultGrid*>(QString(), Qt::FindDirectChildrenOnly))
        results->setStatusSuffix(skipped.isEmpty() ? QString() : "; " + skipped);
    if (!skipped.isEmpty()) {
        m_status->setText(m_status->text().isEmpty() ? skipped : m_status->text() + "; " + skipped);
        m_status->setToolTip(QStringLiteral("Click to list the folders that could not be read"));
    }
    if (rows <= 0)
        msgbox::infoBox(QStringLiteral("No files found."));
    emit scanDone();
}

void SearchWindow::setScanning(bool on) {
    m_scanning = on;
    m_abortButton->setVisible(on);
    if (on) {
        showResultButtons(false);
        m_status->setToolTip(QString());
    }
    enableInputs(!on);
}

void SearchWindow::btAbortClick() {
    if (!m_search)
        return;
    m_walk->pause();
    walkabort::btAbortClick(
        [this] {
            m_walkAborted = true;
            m_search->abort();
            onAbort();
        },
        m_abortButton, m_options.notice);
    m_walk->resume();
}

// ---- folders that could not be read ----------------------------------------------------------

QString SearchWindow::skippedList() const {
    return scan::skippedReport(m_skipped, m_skippedCount);
}

void SearchWindow::showSkipped() {
    if (m_scanning || m_skippedCount <= 0)
        return;
    msgbox::infoBox(skippedList());
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_status && event->type() == QEvent::MouseButtonRelease)
        showSkipped();
    return QDialog::eventFilter(watched, event);
}
