#pragma once

#include <QCalendarWidget>
#include <QDateTime>
#include <QDialog>

class QPushButton;
class QToolButton;

// A pair of arrow buttons that step a value up or down: side by side (left is down, right is
// up) or one above the other (top is up).
class TSpinButton : public QWidget {
    Q_OBJECT
public:
    TSpinButton(Qt::Orientation orientation, QWidget* parent = nullptr);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    void upClick();
    void downClick();

private:
    QToolButton* m_up;
    QToolButton* m_down;
};

// The month calendar of the date picker: days of the shown month drawn as raised buttons, the
// selected one pressed, the days of the neighbouring months flat in the inactive colours.
class TPickCalendar : public QCalendarWidget {
    Q_OBJECT
public:
    explicit TPickCalendar(QWidget* parent = nullptr);

protected:
    void paintCell(QPainter* painter, const QRect& rect, QDate date) const override;
};

// "Calendar": a small borderless modal window for picking one day.  The caller sets a date,
// places the window, runs exec() and, on Accepted, reads getDate().
class TfrmPickDate : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPickDate(QWidget* parent = nullptr);

    // A value after day 0 (30 December 1899) replaces the picked date; 0, a negative value or an
    // invalid date leaves the current date and time in place.
    void setDate(double dayNumber);
    void setDate(const QDateTime& value);

    // The day selected in the calendar at midnight; it becomes the picked date.
    QDateTime getDate();
    const QDateTime& pickedDate() const { return m_picked; }

    TPickCalendar* calendar() const { return m_calendar; }
    TSpinButton* monthSpinner() const { return m_monthSpinner; }
    TSpinButton* yearSpinner() const { return m_yearSpinner; }
    QPushButton* btnOk() const { return m_btnOk; }
    QPushButton* btnCancel() const { return m_btnCancel; }

public slots:
    void MonthSpinnerClick(bool up);
    void YearSpinnerClick(bool up);
    void CalendarDblClick();
    // The calendar selects today (the Home key).
    void selectToday();

protected:
    void showEvent(QShowEvent* event) override; // FormShow
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void selectDate(const QDate& date);
    void watchKeys(QWidget* widget);

    QDateTime m_picked;
    TPickCalendar* m_calendar;
    TSpinButton* m_monthSpinner;
    TSpinButton* m_yearSpinner;
    QPushButton* m_btnOk;
    QPushButton* m_btnCancel;
};
