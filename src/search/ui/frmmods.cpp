#include "search/ui/frmmods.h"

#include "app/format.h"
#include "app/ui/columnfit.h"
#include "app/ui/messagebox.h"
#include "app/ui/placement.h"
#include "app/ui/widgets.h"
#include "browse/ui/fileactions.h"
#include "delete/ui/handover.h"
#include "platform/dirsearch.h"
#include "scan/steppedwalk.h"
#include "scan/ui/drivechecklist.h"
#include "scan/ui/walkabort.h"
#include "scan/ui/wildcardbox.h"
#include "search/ui/frmpickdate.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

namespace {

// Column widths at 96 pixels per inch; Type takes the rest.
constexpr int kWidths[] = {110, 68, 68, 68, 65, 189};

QGroupBox* radioGroup(QWidget* parent, const QString& name, const QString& title,
                      const QStringList& items, std::array<QRadioButton*, 3>& buttons) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    auto* column = new QVBoxLayout(box);
    column->setSpacing(1);
    for (int i = 0; i < 3; ++i) {
        buttons[size_t(i)] = namedRadio(box, name + QString::number(i), items[i]);
        column->addWidget(buttons[size_t(i)]);
    }
    return box;
}

int checkedIndex(const std::array<QRadioButton*, 3>& buttons) {
    for (int i = 0; i < 3; ++i)
        if (buttons[size_t(i)]->isChecked())
            return i;
    return 0;
}

} // namespace

TfrmMods::TfrmMods(QWidget* parent, dates::SortDirections& sortDirections, TfrmFind* find,
                   browse::SortFlags* browseSort)
    : QDialog(parent), m_sortDirections(sortDirections), m_find(find), m_browseSort(browseSort) {
    setObjectName(QStringLiteral("TfrmMods"));
    setWindowTitle(QStringLiteral("Files in a range of dates"));
    setModal(true);
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopPanel());

    m_results = new MarkedResultGrid(this, m_grid, dates::mcFilename,
                                     [this](int row) { return dates::rowPath(m_grid, row); });
    m_results->model()->setRightAligned(dates::mcSize);
    m_gridView = m_results->view();
    layout->addWidget(m_gridView, 1);

    auto* buttons = new QHBoxLayout();
    buttons->setContentsMargins(8, 6, 8, 6);
    buttons->setSpacing(6);
    m_btOK = namedButton(this, QStringLiteral("btOK"), QStringLiteral("&Start"));
    m_btAbort = namedButton(this, QStringLiteral("btAbort"), QStringLiteral("&Abort"));
    m_btMark = namedButton(this, QStringLiteral("btMark"), QStringLiteral("&Mark"));
    m_btDelete = namedButton(this, QStringLiteral("btDelete"), QStringLiteral("Clean?"));
    m_results->setCleanButton(m_btDelete);
    m_btOptions = namedButton(this, QStringLiteral("btOptions"), QStringLiteral("Options"));
    m_btDetails = namedButton(this, QStringLiteral("btDetails"), QStringLiteral("&Details"));
    m_btBrowse = namedButton(this, QStringLiteral("btBrowse"), QStringLiteral("&Browse"));
    m_btClose = namedButton(this, QStringLiteral("btClose"), QStringLiteral("Close"));
    for (QPushButton* b :
         {m_btOK, m_btAbort, m_btMark, m_btDelete, m_btOptions, m_btDetails, m_btBrowse}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    m_btClose->setAutoDefault(false);
    buttons->addWidget(m_btClose);
    layout->addLayout(buttons);

    m_status = statusPanel(this, QStringLiteral("StatusLine"));
    layout->addWidget(m_status);
    m_results->setStatusLine(m_status);

    buildPopupMenu();

    connect(m_btOK, &QPushButton::clicked, this, &TfrmMods::btOKClick);
    connect(m_btAbort, &QPushButton::clicked, this, &TfrmMods::btAbortClick);
    connect(m_btMark, &QPushButton::clicked, m_results, &MarkedResultGrid::markSelected);
    connect(m_btDelete, &QPushButton::clicked, this, &TfrmMods::btDeleteClick);
    connect(m_btOptions, &QPushButton::clicked, this, [this] {
        m_menu.popup->popup(m_btOptions->mapToGlobal(QPoint(0, m_btOptions->height())));
    });
    connect(m_btClose, &QPushButton::clicked, this, &QDialog::close);
    connect(m_gridView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TfrmMods::sortGrid);
    connect(m_results, &MarkedResultGrid::menuRequested, this,
            [this](const QPoint& at) { m_menu.popup->popup(at); });
    m_pckDrive->enableWhenTicked(m_btOK);

    clearGrid();
    resize(scaledPixels(this, 760), scaledPixels(this, 520));
}

TfrmMods::~TfrmMods() {
    // The view reads the grid, which goes before the base class deletes the children.
    delete m_gridView;
}

QWidget* TfrmMods::buildTopPanel() {
    QHBoxLayout* top = nullptr;
    m_pnlTop = toolTopPanel(this, QStringLiteral("Panel1"), 10, 12, &top);

    top->addWidget(radioGroup(m_pnlTop, QStringLiteral("rgWhat"),
                              QStringLiteral("Search for files that were"),
                              {QStringLiteral("Last accessed"), QStringLiteral("Created"),
                               QStringLiteral("Last modified")},
                              m_rgWhat));
    m_rgWhat[0]->setChecked(true);
    top->addWidget(radioGroup(m_pnlTop, QStringLiteral("rgWhen"), QString(),
                              {QStringLiteral("On or Before"), QStringLiteral("In between"),
                               QStringLiteral("On or After")},
                              m_rgWhen));
    m_rgWhen[1]->setChecked(true);
    for (QRadioButton* rb : m_rgWhen)
        connect(rb, &QRadioButton::toggled, this, &TfrmMods::rgWhenClick);

    auto* middle = new QVBoxLayout();
    middle->addWidget(buildDateEdits());
    m_wild = new WildCardBox(m_pnlTop);
    m_wild->combo()->setMinimumWidth(scaledPixels(this, 90));
    m_wild->label()->setMinimumWidth(scaledPixels(this, 80));
    auto* pattern = new QHBoxLayout();
    pattern->addWidget(
        namedLabel(m_pnlTop, QStringLiteral("lblWildCard"), QStringLiteral("Wildcard match")));
    pattern->addWidget(m_wild->combo());
    pattern->addWidget(m_wild->label(), 1);
    middle->addLayout(pattern);
    middle->addStretch(1);
    top->addLayout(middle, 1);

    m_pckDrive = new DriveCheckList(m_pnlTop);
    m_pckDrive->setFixedWidth(scaledPixels(this, 190));
    m_pckDrive->setMaximumHeight(scaledPixels(this, 104));
    top->addWidget(m_pckDrive);
    return m_pnlTop;
}

QWidget* TfrmMods::buildDateEdits() {
    auto* box = new QWidget(m_pnlTop);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    const auto dateEdit = [box](const QString& name) {
        auto* edit = new QLineEdit(box);
        edit->setObjectName(name);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) +
                            16);
        return edit;
    };
    const auto calendarButton = [this, box](const QString& name) {
        auto* button = new QToolButton(box);
        button->setObjectName(name);
        button->setToolTip(QStringLiteral("Popup Calendar"));
        button->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
        return button;
    };
    m_dtStart = dateEdit(QStringLiteral("dtStart"));
    m_popStartDate = calendarButton(QStringLiteral("popStartDate"));
    m_lblAnd = namedLabel(box, QStringLiteral("lblAnd"), QStringLiteral("and"));
    m_dtEnd = dateEdit(QStringLiteral("dtEnd"));
    m_popEndDate = calendarButton(QStringLiteral("popEndDate"));
    for (QWidget* w : std::initializer_list<QWidget*>{m_dtStart, m_popStartDate, m_lblAnd, m_dtEnd,
                                                      m_popEndDate})
        row->addWidget(w);
    row->addStretch(1);
    for (QLineEdit* edit : {m_dtStart, m_dtEnd})
        edit->installEventFilter(this);
    connect(m_popStartDate, &QToolButton::clicked, this, &TfrmMods::popStartDateClick);
    connect(m_popEndDate, &QToolButton::clicked, this, &TfrmMods::popEndDateClick);
    return box;
}

void TfrmMods::buildPopupMenu() {
    m_menu = makeResultMenu(this);
    m_results->connectFileActions(m_menu, m_btDetails, m_btBrowse,
                                  browse::fileActions(m_find, m_browseSort));
    const char* const captions[] = {"&Name", "Access &Date", "&Creation Date", "&Modification Date",
                                    "&Size", "&Folder",      "&Type"};
    for (int c = 0; c < dates::kColumnCount; ++c) {
        QAction* item = namedMenuItem(m_menu.sort, QStringLiteral("miSort%1").arg(c),
                                      QString::fromLatin1(captions[c]));
        item->setCheckable(true);
        m_sortItems[size_t(c)] = item;
        connect(item, &QAction::triggered, this, [this, c] { sortGrid(c); });
    }
    m_results->connectMenu(
        m_menu, [this] { return printTitle(); }, m_pnlTop, &m_savedPanelHeight);
}

// ---- showing and closing ---------------------------------------------------------------------

void TfrmMods::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmMods::FormShow() {
    m_savedPanelHeight = m_pnlTop->sizeHint().height();
    for (QPushButton* b : {m_btOptions, m_btBrowse, m_btDetails, m_btMark, m_btDelete, m_btAbort})
        b->hide();
    m_status->clear();
    const QString today = QLocale().toString(QDate::currentDate(), shortDateFormat());
    m_dtStart->setText(today);
    m_dtEnd->setText(today);
    m_btOK->setEnabled(m_pckDrive->anyTicked());
    m_btClose->setEnabled(true);
    m_btOK->setFocus();
    clearGrid();
    rgWhenClick();
    setColumnWidths();
    placement::restore(this, PlacementWindow::FilesAccessed);
}

void TfrmMods::done(int result) {
    if (m_scanning) {
        // Closing is allowed during a walk: it is stopped without a word.
        m_walk.reset();
        m_search.reset();
        m_scanning = false;
    }
    if (isVisible())
        placement::store(this, PlacementWindow::FilesAccessed);
    QDialog::done(result);
}

void TfrmMods::setColumnWidths() {
    using namespace dates;
    setDesignedColumnWidths(m_gridView, kWidths, {mcAccessed, mcCreated, mcModified, mcSize});
}

void TfrmMods::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    setColumnWidths();
}

// ---- dates -----------------------------------------------------------------------------------

dates::Kind TfrmMods::kind() const {
    return dates::Kind(checkedIndex(m_rgWhat));
}

dates::When TfrmMods::when() const {
    return dates::When(checkedIndex(m_rgWhen));
}

void TfrmMods::rgWhenClick() {
    const bool between = when() == dates::When::Between;
    for (QWidget* w : std::initializer_list<QWidget*>{m_lblAnd, m_dtEnd, m_popEndDate})
        w->setVisible(between);
}

QDate TfrmMods::editDate(const QLineEdit* edit) const {
    return QLocale().toDate(edit->text().trimmed(), shortDateFormat());
}

bool TfrmMods::checkDateEdit(QLineEdit* edit) {
    if (editDate(edit).isValid())
        return true;
    edit->setFocus();
    msgbox::errorBox(edit == m_dtStart ? QStringLiteral("Invalid start date")
                                       : QStringLiteral("Invalid ending date"));
    return false;
}

bool TfrmMods::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_dtStart || watched == m_dtEnd) && event->type() == QEvent::FocusOut) {
        auto* edit = static_cast<QLineEdit*>(watched);
        // Only when the user moves on inside this window (not while a box takes the focus).
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
            checkDateEdit(edit);
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmMods::pickDate(QLineEdit* edit, bool isStart) {
    edit->setFocus();
    if (edit->text().trimmed().isEmpty())
        edit->setText(QLocale().toString(QDate::currentDate(), shortDateFormat()));
    TfrmPickDate picker(this);
    const QDate current = editDate(edit);
    if (current.isValid())
        picker.setDate(current.startOfDay());
    picker.move(mapToGlobal(edit->mapTo(this, QPoint(0, edit->height() + 25))));
    if (picker.exec() != QDialog::Accepted)
        return;
    edit->setText(QLocale().toString(picker.getDate().date(), shortDateFormat()));
    edit->selectAll();
    // The range stays in order.
    const QDate start = editDate(m_dtStart), end = editDate(m_dtEnd);
    if (start.isValid() && end.isValid() && start > end) {
        if (isStart)
            m_dtEnd->setText(m_dtStart->text());
        else
            m_dtStart->setText(m_dtEnd->text());
    }
}

void TfrmMods::popStartDateClick() {
    pickDate(m_dtStart, true);
}

void TfrmMods::popEndDateClick() {
    pickDate(m_dtEnd, false);
}

// ---- scanning --------------------------------------------------------------------------------

void TfrmMods::clearGrid() {
    m_grid.setColumnCount(dates::kColumnCount);
    m_grid.clearRows();
    m_grid.setHeader(dates::gridHeaders());
    m_results->setRows(0);
    m_results->clearMarks();
    tickSortItem(dates::mcFilename);
    m_results->refresh();
}

void TfrmMods::btOKClick() {
    if (m_scanning)
        return;
    // The edits are read once, here; an edit that holds no date stops the scan before it starts.
    const bool between = when() == dates::When::Between;
    if (!checkDateEdit(m_dtStart) || (between && !checkDateEdit(m_dtEnd)))
        return;
    clearGrid();
    dates::SearchSettings settings;
    settings.kind = kind();
    settings.test = {when(), editDate(m_dtStart), editDate(m_dtEnd)};
    settings.pattern = m_wild->pattern();
    m_search = std::make_unique<dates::Search>(settings, m_grid);
    scan::WalkCallbacks& callbacks = m_search->walker().callbacks();
    callbacks.progress = [this](const QString& folder) { m_status->setText(folder); };
    m_walk = std::make_unique<scan::SteppedWalk>(m_search->walker());
    connect(m_walk.get(), &scan::SteppedWalk::finished, this, &TfrmMods::scanFinished);
    setScanning(true);
    m_walk->startDrives(m_pckDrive->tickedLetters());
}

void TfrmMods::scanFinished() {
    const int rows = m_search->found();
    m_walk.reset();
    m_search.reset();
    m_results->setRows(rows);
    m_results->refresh();
    setColumnWidths();
    setScanning(false);
    m_status->setText(QStringLiteral("Found : ") + QString::number(rows));
    if (rows > 0) {
        for (QPushButton* b : {m_btOptions, m_btBrowse, m_btDetails, m_btMark, m_btDelete})
            b->show();
        m_results->selectFirstRow();
    } else {
        msgbox::infoBox(QStringLiteral("No files found."));
    }
    emit scanDone();
}

void TfrmMods::setScanning(bool on) {
    m_scanning = on;
    m_results->setBusy(on);
    m_btAbort->setVisible(on);
    if (on)
        for (QPushButton* b : {m_btOptions, m_btBrowse, m_btDetails, m_btMark, m_btDelete})
            b->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{m_btClose, m_pckDrive, m_dtStart, m_dtEnd,
                                                      m_popStartDate, m_popEndDate})
        w->setEnabled(!on);
    m_btOK->setEnabled(!on && m_pckDrive->anyTicked());
}

void TfrmMods::btAbortClick() {
    if (!m_search)
        return;
    m_walk->pause();
    walkabort::btAbortClick([this] { m_search->abort(); }, m_btAbort, walkabort::Notice::Plain);
    m_walk->resume();
}

// ---- marking ---------------------------------------------------------------------------------

void TfrmMods::btDeleteClick() {
    const GridMarks& marks = m_results->marks();
    if (m_scanning || marks.count() <= 0)
        return;
    const DisposalChoice result = reallyDelete(
        this, marks.files(), QString::fromLatin1(archiveTags::FileDates), marks.bytes());
    if (result == DisposalChoice::Disposed)
        accept();
}

// ---- sorting ---------------------------------------------------------------------------------

void TfrmMods::tickSortItem(int column) {
    for (int c = 0; c < dates::kColumnCount; ++c)
        if (m_sortItems[size_t(c)])
            m_sortItems[size_t(c)]->setChecked(c == column);
}

void TfrmMods::sortGrid(int column) {
    if (m_scanning || m_results->rows() < 2) {
        // Nothing is sorted; a menu item that turned its own tick over gets it back.
        if (m_sortItems[size_t(column)])
            m_sortItems[size_t(column)]->setChecked(false);
        return;
    }
    {
        const WaitCursor wait;
        dates::sortGrid(m_grid, column, m_sortDirections);
        m_results->refresh(true);
    }
    tickSortItem(column);
}

// ---- reports ---------------------------------------------------------------------------------

QString TfrmMods::printTitle() const {
    return dates::printTitle(kind(), when(), m_dtStart->text(), m_dtEnd->text());
}
