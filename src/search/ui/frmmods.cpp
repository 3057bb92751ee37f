// TfrmMods, files in a range of dates.  Its logic: search/filedates.h; the search lifecycle is
// scan/ui/searchwindow.h.

#include "search/ui/frmmods.h"

#include "app/format.h"
#include "app/ui/columnfit.h"
#include "app/ui/messagebox.h"
#include "app/ui/widgets.h"
#include "browse/ui/fileactions.h"
#include "delete/ui/handover.h"
#include "platform/dirsearch.h"
#include "scan/ui/drivechecklist.h"
#include "scan/ui/wildcardbox.h"
#include "search/ui/frmpickdate.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
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
    : SearchWindow(parent, QStringLiteral("TfrmMods"),
                   {PlacementWindow::FilesAccessed, CloseDuringScan::StopsTheWalk,
                    walkabort::Notice::Plain, false}),
      m_sortDirections(sortDirections), m_find(find), m_browseSort(browseSort) {
    setWindowTitle(QStringLiteral("Files in a range of dates"));
    QVBoxLayout* layout = windowLayout();
    layout->addWidget(buildTopPanel());

    m_results = new MarkedResultGrid(this, m_grid, dates::mcFilename,
                                     [this](int row) { return dates::rowPath(m_grid, row); });
    m_results->model()->setRightAligned(dates::mcSize);
    m_gridView = m_results->view();
    layout->addWidget(m_gridView, 1);

    QHBoxLayout* buttons = buttonRow();
    m_btOK = namedButton(this, QStringLiteral("btOK"), QStringLiteral("&Start"));
    makeGridButtons();
    m_results->setCleanButton(m_btDelete);
    addButtons(buttons,
               {m_btOK, m_btAbort, m_btMark, m_btDelete, m_btOptions, m_btDetails, m_btBrowse});
    buttons->addStretch(1);
    addButtons(buttons, {m_btClose});
    layout->addLayout(buttons);

    m_status = addStatusLine(QStringLiteral("StatusLine"));
    m_results->setStatusLine(m_status);

    buildPopupMenu();
    setColumnDesign(kWidths,
                    {dates::mcAccessed, dates::mcCreated, dates::mcModified, dates::mcSize});

    connect(m_btOK, &QPushButton::clicked, this, &TfrmMods::btOKClick);
    connect(m_btAbort, &QPushButton::clicked, this, &SearchWindow::btAbortClick);
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

void TfrmMods::FormShow() {
    const QString today = QLocale().toString(QDate::currentDate(), shortDateFormat());
    m_dtStart->setText(today);
    m_dtEnd->setText(today);
    m_btOK->setEnabled(m_pckDrive->anyTicked());
    m_btClose->setEnabled(true);
    m_btOK->setFocus();
    clearGrid();
    rgWhenClick();
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
    return SearchWindow::eventFilter(watched, event);
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
    if (scanning())
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
    startWalk(std::make_unique<dates::Search>(settings, m_grid), m_pckDrive->tickedLetters());
}

int TfrmMods::takeResult(scan::Search& search, bool) {
    const int rows = static_cast<dates::Search&>(search).found();
    m_results->setRows(rows);
    m_results->refresh();
    return rows;
}

void TfrmMods::showFound(int rows) {
    m_status->setText(QStringLiteral("Found : ") + QString::number(rows));
    if (rows > 0) {
        showResultButtons(true);
        m_results->selectFirstRow();
    }
}

void TfrmMods::enableInputs(bool on) {
    m_results->setBusy(!on);
    for (QWidget* w : std::initializer_list<QWidget*>{m_btClose, m_pckDrive, m_dtStart, m_dtEnd,
                                                      m_popStartDate, m_popEndDate})
        w->setEnabled(on);
    m_btOK->setEnabled(on && m_pckDrive->anyTicked());
}

// ---- marking ---------------------------------------------------------------------------------

void TfrmMods::btDeleteClick() {
    if (!scanning())
        handOverMarks(this, m_results->marks(), archiveTags::FileDates);
}

// ---- sorting ---------------------------------------------------------------------------------

void TfrmMods::tickSortItem(int column) {
    for (int c = 0; c < dates::kColumnCount; ++c)
        if (m_sortItems[size_t(c)])
            m_sortItems[size_t(c)]->setChecked(c == column);
}

void TfrmMods::sortGrid(int column) {
    if (scanning() || m_results->rows() < 2) {
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
