// The outing window's calendar: made when first asked for, then the same one each time.

#include "Harness.h"
#include "sightings/SightingDates.h"
#include "sightings/frmOuting.h"

#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

TEST(OutingCalendar, IsMadeOnceOpensAtTheTypedDateAndPicksADate)
{
    Harness h;
    frmOuting w(h.ctx, 0, h.w.get());
    w.show();
    EXPECT_EQ(w.calDate, nullptr) << "not made with the window";
    w.txtDate->setText(longDate(QDate(2024, 6, 2)));
    w.cmdCalendar->click();
    ASSERT_NE(w.calDate, nullptr);
    ASSERT_TRUE(w.calDate->isVisible());
    EXPECT_EQ(w.calDate->selectedDate(), QDate(2024, 6, 2)) << "opens at the typed date";
    EXPECT_EQ(w.calDate->maximumDate(), QDate::currentDate()) << "no future dates";
    w.calDate->setSelectedDate(QDate(2024, 6, 20));
    QTest::keyClick(w.calDate->focusWidget() ? w.calDate->focusWidget() : w.calDate, Qt::Key_Return);
    EXPECT_FALSE(w.calDate->isVisible());
    EXPECT_EQ(parseSightingDate(w.txtDate->text()), QDate(2024, 6, 20));

    QCalendarWidget* first = w.calDate;
    w.txtDate->setText(longDate(QDate(2023, 1, 5)));
    w.cmdCalendar->click();
    EXPECT_EQ(w.calDate, first) << "the same calendar again";
    EXPECT_EQ(w.findChildren<QCalendarWidget*>().size(), 1);
    EXPECT_EQ(w.calDate->selectedDate(), QDate(2023, 1, 5));
    w.calDate->hide();
}
