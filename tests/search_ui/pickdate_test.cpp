#include "app/format.h"
#include "search/ui/frmpickdate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

void pressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

// The calendar's table of days.
QTableView* dayTable(TfrmPickDate& picker) {
    return picker.calendar()->findChild<QTableView*>();
}

// Double clicks the cell of the shown month that carries the day number.
void doubleClickDay(TfrmPickDate& picker, int day) {
    QTableView* view = dayTable(picker);
    ASSERT_NE(view, nullptr);
    QAbstractItemModel* model = view->model();
    // The first row holds the week-day names; a day number below 15 in the first week, or
    // above 15 in the last weeks, can be a neighbouring month's.
    for (int r = 1; r < model->rowCount(); ++r) {
        for (int c = 0; c < model->columnCount(); ++c) {
            const QModelIndex index = model->index(r, c);
            const bool early = r <= 2;
            if (model->data(index).toInt() != day || (early != (day < 15)))
                continue;
            const QPoint at = view->visualRect(index).center();
            QMouseEvent press(QEvent::MouseButtonPress, at, view->viewport()->mapToGlobal(at),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &press);
            QMouseEvent release(QEvent::MouseButtonRelease, at, view->viewport()->mapToGlobal(at),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &release);
            QMouseEvent dbl(QEvent::MouseButtonDblClick, at, view->viewport()->mapToGlobal(at),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &dbl);
            return;
        }
    }
    FAIL() << "day " << day << " not shown";
}

} // namespace

TEST(PickDate, WindowControlsAndHints) {
    TfrmPickDate picker;
    EXPECT_EQ(picker.objectName(), "TfrmPickDate");
    EXPECT_EQ(picker.windowTitle(), "Calendar");
    EXPECT_TRUE(picker.isModal());
    EXPECT_TRUE(picker.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(picker.calendar()->objectName(), "Calendar");
    EXPECT_EQ(picker.monthSpinner()->objectName(), "MonthSpinner");
    EXPECT_EQ(picker.monthSpinner()->toolTip(), "Change the displayed month");
    EXPECT_EQ(picker.yearSpinner()->objectName(), "YearSpinner");
    EXPECT_EQ(picker.yearSpinner()->toolTip(), "Change the displayed year");
    EXPECT_EQ(picker.btnOk()->objectName(), "btnOk");
    EXPECT_EQ(picker.btnOk()->toolTip(), "Select date");
    EXPECT_TRUE(picker.btnOk()->isDefault());
    EXPECT_TRUE(picker.btnOk()->text().isEmpty());
    EXPECT_FALSE(picker.btnOk()->icon().isNull());
    EXPECT_EQ(picker.btnCancel()->objectName(), "btnCancel");
    EXPECT_EQ(picker.btnCancel()->toolTip(), "Cancel");
    EXPECT_TRUE(picker.btnCancel()->text().isEmpty());
}

TEST(PickDate, SetDateOnlyTakesValuesAfterDayZero) {
    TfrmPickDate picker;
    const QDate today = QDate::currentDate();
    picker.setDate(0.0);
    picker.setDate(-3.5);
    picker.setDate(QDateTime());
    EXPECT_EQ(picker.pickedDate().date(), today);
    picker.show();
    EXPECT_EQ(picker.calendar()->selectedDate(), today);
    EXPECT_EQ(picker.getDate(), QDateTime(today, QTime(0, 0)));
    picker.hide();

    picker.setDate(toDayNumber(QDateTime(QDate(2021, 8, 17), QTime(15, 30))));
    picker.show();
    EXPECT_EQ(picker.calendar()->selectedDate(), QDate(2021, 8, 17));
    EXPECT_EQ(picker.calendar()->monthShown(), 8);
    EXPECT_EQ(picker.calendar()->yearShown(), 2021);
    // The picked date becomes the selected day at midnight.
    EXPECT_EQ(picker.getDate(), QDateTime(QDate(2021, 8, 17), QTime(0, 0)));
    EXPECT_EQ(picker.pickedDate(), QDateTime(QDate(2021, 8, 17), QTime(0, 0)));
}

TEST(PickDate, SpinnersStepMonthsAndYears) {
    TfrmPickDate picker;
    picker.setDate(QDateTime(QDate(2023, 1, 31), QTime(9, 0)));
    picker.show();
    picker.monthSpinner()->upButton()->click();
    EXPECT_EQ(picker.calendar()->selectedDate(), QDate(2023, 2, 28));
    EXPECT_EQ(picker.calendar()->monthShown(), 2);
    picker.monthSpinner()->downButton()->click();
    picker.monthSpinner()->downButton()->click();
    EXPECT_EQ(picker.calendar()->selectedDate(), QDate(2022, 12, 28));
    EXPECT_EQ(picker.calendar()->yearShown(), 2022);

    picker.setDate(QDateTime(QDate(2024, 2, 29), QTime(9, 0)));
    picker.hide();
    picker.show();
    picker.yearSpinner()->upButton()->click();
    EXPECT_EQ(picker.calendar()->selectedDate(), QDate(2025, 2, 28));
    picker.yearSpinner()->downButton()->click();
    picker.yearSpinner()->downButton()->click();
    EXPECT_EQ(picker.calendar()->selectedDate(), QDate(2023, 2, 28));
}

TEST(PickDate, HomeKeyJumpsBackToToday) {
    TfrmPickDate picker;
    picker.setDate(QDateTime(QDate(2019, 6, 12), QTime(0, 0)));
    picker.show();
    picker.yearSpinner()->downButton()->click();
    // Wherever the focus is: on the calendar's table, or on a button.
    pressKey(dayTable(picker), Qt::Key_Home);
    EXPECT_EQ(picker.calendar()->selectedDate(), QDate::currentDate());
    EXPECT_EQ(picker.calendar()->monthShown(), QDate::currentDate().month());

    picker.yearSpinner()->downButton()->click();
    pressKey(picker.btnCancel(), Qt::Key_Home);
    EXPECT_EQ(picker.calendar()->selectedDate(), QDate::currentDate());
    picker.btnOk()->click();
    EXPECT_EQ(picker.result(), QDialog::Accepted);
    EXPECT_EQ(picker.getDate(), QDateTime(QDate::currentDate(), QTime(0, 0)));
}

TEST(PickDate, DoubleClickOnADayClosesWithThatDay) {
    TfrmPickDate picker;
    picker.setDate(QDateTime(QDate(2022, 3, 3), QTime(0, 0)));
    QTimer::singleShot(0, &picker, [&] { doubleClickDay(picker, 20); });
    // A stray window would leave exec() running: close it after a while to fail cleanly.
    QTimer::singleShot(5000, &picker, &QDialog::reject);
    EXPECT_EQ(picker.exec(), QDialog::Accepted);
    EXPECT_EQ(picker.getDate(), QDateTime(QDate(2022, 3, 20), QTime(0, 0)));
}

TEST(PickDate, CancelAndEscapeReject) {
    TfrmPickDate picker;
    QTimer::singleShot(0, &picker, [&] { picker.btnCancel()->click(); });
    EXPECT_EQ(picker.exec(), QDialog::Rejected);
    QTimer::singleShot(0, &picker, [&] { pressKey(&picker, Qt::Key_Escape); });
    QTimer::singleShot(5000, &picker, &QDialog::accept);
    EXPECT_EQ(picker.exec(), QDialog::Rejected);
}
