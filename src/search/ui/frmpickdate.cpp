// TfrmPickDate, a date picked from a calendar.  Its logic: search/datesteps.h.

#include "search/ui/frmpickdate.h"

#include "app/format.h"
#include "search/datesteps.h"

#include <QBoxLayout>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>

// ---- TSpinButton ---------------------------------------------------------------------------

TSpinButton::TSpinButton(Qt::Orientation orientation, QWidget* parent) : QWidget(parent) {
    m_up = new QToolButton(this);
    m_down = new QToolButton(this);
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    m_up->setAutoRepeat(true);
    m_down->setAutoRepeat(true);
    QBoxLayout* layout = nullptr;
    if (orientation == Qt::Horizontal) {
        m_down->setArrowType(Qt::LeftArrow);
        m_up->setArrowType(Qt::RightArrow);
        layout = new QHBoxLayout(this);
        layout->addWidget(m_down);
        layout->addWidget(m_up);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    } else {
        m_up->setArrowType(Qt::UpArrow);
        m_down->setArrowType(Qt::DownArrow);
        layout = new QVBoxLayout(this);
        layout->addWidget(m_up);
        layout->addWidget(m_down);
        for (QToolButton* b : {m_up, m_down})
            b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    connect(m_up, &QToolButton::clicked, this, &TSpinButton::upClick);
    connect(m_down, &QToolButton::clicked, this, &TSpinButton::downClick);
}

// ---- TPickCalendar -------------------------------------------------------------------------

TPickCalendar::TPickCalendar(QWidget* parent) : QCalendarWidget(parent) {
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setGridVisible(false);
}

void TPickCalendar::paintCell(QPainter* painter, const QRect& rect, QDate date) const {
    painter->save();
    const QPalette& pal = palette();
    const QString text = QString::number(date.day());
    const bool shownMonth = date.month() == monthShown() && date.year() == yearShown();
    if (!shownMonth) {
        painter->fillRect(rect, pal.brush(QPalette::Inactive, QPalette::Window));
        painter->setPen(pal.color(QPalette::Disabled, QPalette::Text));
        painter->drawText(rect, Qt::AlignCenter, text);
        painter->restore();
        return;
    }
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = rect.adjusted(1, 1, -1, -1);
    option.state = QStyle::State_Enabled;
    option.state |= date == selectedDate() ? QStyle::State_Sunken : QStyle::State_Raised;
    painter->fillRect(rect, pal.brush(QPalette::Window));
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, painter, this);
    painter->setPen(pal.color(QPalette::ButtonText));
    QFont font = painter->font();
    font.setBold(date == selectedDate());
    painter->setFont(font);
    painter->drawText(rect, Qt::AlignCenter, text);
    painter->restore();
}

// ---- TfrmPickDate --------------------------------------------------------------------------

TfrmPickDate::TfrmPickDate(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_picked(QDateTime::currentDateTime()) {
    setObjectName(QStringLiteral("TfrmPickDate"));
    setWindowTitle(QStringLiteral("Calendar"));
    setModal(true);

    m_calendar = new TPickCalendar(this);
    m_calendar->setObjectName(QStringLiteral("Calendar"));

    m_monthSpinner = new TSpinButton(Qt::Horizontal, this);
    m_monthSpinner->setObjectName(QStringLiteral("MonthSpinner"));
    m_monthSpinner->setToolTip(QStringLiteral("Change the displayed month"));

    m_yearSpinner = new TSpinButton(Qt::Vertical, this);
    m_yearSpinner->setObjectName(QStringLiteral("YearSpinner"));
    m_yearSpinner->setToolTip(QStringLiteral("Change the displayed year"));

    m_btnOk = new QPushButton(this);
    m_btnOk->setObjectName(QStringLiteral("btnOk"));
    m_btnOk->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    m_btnOk->setToolTip(QStringLiteral("Select date"));
    m_btnOk->setAccessibleName(QStringLiteral("OK"));
    m_btnOk->setDefault(true);

    m_btnCancel = new QPushButton(this);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    m_btnCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_btnCancel->setToolTip(QStringLiteral("Cancel"));
    m_btnCancel->setAccessibleName(QStringLiteral("Cancel"));

    // A borderless window has no frame of its own to show where it ends.
    auto* border = new QFrame(this);
    border->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(border);

    auto* frame = new QGridLayout(border);
    frame->setContentsMargins(6, 6, 6, 6);
    frame->setSpacing(4);
    frame->addWidget(m_calendar, 0, 0);
    frame->addWidget(m_yearSpinner, 0, 1);
    auto* bottom = new QHBoxLayout();
    bottom->addWidget(m_monthSpinner);
    bottom->addStretch();
    bottom->addWidget(m_btnOk);
    bottom->addWidget(m_btnCancel);
    frame->addLayout(bottom, 1, 0, 1, 2);

    connect(m_monthSpinner, &TSpinButton::upClick, this, [this] { MonthSpinnerClick(true); });
    connect(m_monthSpinner, &TSpinButton::downClick, this, [this] { MonthSpinnerClick(false); });
    connect(m_yearSpinner, &TSpinButton::upClick, this, [this] { YearSpinnerClick(true); });
    connect(m_yearSpinner, &TSpinButton::downClick, this, [this] { YearSpinnerClick(false); });
    // activated: a double click on a day, or Enter.
    connect(m_calendar, &QCalendarWidget::activated, this, &TfrmPickDate::CalendarDblClick);
    connect(m_btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    watchKeys(this);
}

void TfrmPickDate::setDate(double dayNumber) {
    if (dayNumber > 0)
        m_picked = fromDayNumber(dayNumber);
}

void TfrmPickDate::setDate(const QDateTime& value) {
    if (value.isValid() && toDayNumber(value) > 0)
        m_picked = value;
}

QDateTime TfrmPickDate::getDate() {
    m_picked = QDateTime(m_calendar->selectedDate(), QTime(0, 0));
    return m_picked;
}

void TfrmPickDate::selectDate(const QDate& date) {
    m_calendar->setSelectedDate(date);
    m_calendar->setCurrentPage(date.year(), date.month());
}

void TfrmPickDate::MonthSpinnerClick(bool up) {
    selectDate(stepMonths(m_calendar->selectedDate(), up ? 1 : -1));
}

void TfrmPickDate::YearSpinnerClick(bool up) {
    selectDate(stepYears(m_calendar->selectedDate(), up ? 1 : -1));
}

void TfrmPickDate::CalendarDblClick() {
    accept();
}

void TfrmPickDate::selectToday() {
    selectDate(QDate::currentDate());
}

void TfrmPickDate::showEvent(QShowEvent* event) {
    selectDate(m_picked.date());
    QDialog::showEvent(event);
}

void TfrmPickDate::watchKeys(QWidget* widget) {
    widget->installEventFilter(this);
    for (QWidget* child : widget->findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool TfrmPickDate::eventFilter(QObject* watched, QEvent* event) {
    // Home means today wherever the focus is, before the calendar can use the key itself.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Home) {
        selectToday();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmPickDate::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Home) {
        selectToday();
        return;
    }
    QDialog::keyPressEvent(event);
}
