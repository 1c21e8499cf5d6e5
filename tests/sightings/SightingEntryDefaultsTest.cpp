// The sighting window's defaults for the current region, the date forms it accepts, and
// its calendar.

#include "Harness.h"

#include "sightings/SightingDates.h"
#include "sightings/frmSight.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

std::unique_ptr<Harness> withRegion(int regId, const char* name, const char* type)
{
    return std::make_unique<Harness>([&](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = ?, regname = ?, regType = ?", {regId, name, type});
    });
}

std::unique_ptr<frmSight> openNew(Harness& h)
{
    return std::make_unique<frmSight>(h.ctx, frmSight::Mode::NewSighting, h.w.get());
}

// Saves a new sighting with `date` typed; true when the window accepted it.
bool saveWithDate(Harness& h, const QString& date)
{
    auto d = openNew(h);
    d->txtDate->setText(date);
    d->cmdSave_Click();
    return d->result() == QDialog::Accepted;
}

QDate lastDate(Harness& h) { return h.scalar("SELECT Date FROM Sightings ORDER BY Sight_ID DESC LIMIT 1").toDate(); }

} // namespace

TEST(SightingDefaults, TheCurrentStateIsPreselectedAndTheSightingCountsForIt)
{
    auto h = withRegion(2, "Ontario", "State");
    auto d = openNew(*h);
    EXPECT_EQ(d->cmbPlace[0]->currentText(), "North America");
    EXPECT_EQ(d->cmbPlace[2]->currentText(), "Ontario");
    EXPECT_EQ(d->cmbPlace[1]->currentIndex(), -1);
    EXPECT_EQ(d->cmbPlace[3]->currentIndex(), -1);
    d->cmdSave_Click();
    ASSERT_EQ(d->result(), QDialog::Accepted);
    const int id = h->scalar("SELECT max(Sight_ID) FROM Sightings").toInt();
    EXPECT_EQ(h->scalar("SELECT state FROM Sightings WHERE Sight_ID = ?", {id}).toInt(), 2);
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), id) << "on Ontario's life list";
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 1);
}

TEST(SightingDefaults, CountryAndDistrictGoToTheirOwnBoxes)
{
    auto canada = withRegion(3, "Canada", "Country");
    EXPECT_EQ(openNew(*canada)->cmbPlace[1]->currentText(), "Canada");
    auto pelee = withRegion(4, "Point Pelee", "District");
    auto d = openNew(*pelee);
    EXPECT_EQ(d->cmbPlace[3]->currentText(), "Point Pelee");
    EXPECT_EQ(d->cmbPlace[2]->currentIndex(), -1);
}

TEST(SightingDates, CommonWrittenAndNumericFormsAreAccepted)
{
    auto h = withRegion(1, "North America", "Region");
    const QDate may14(2025, 5, 14);
    const QLocale sys = QLocale::system();
    const QStringList forms = {"May 14, 2025", "14 May 2025", "may 14 2025", "14 May, 2025", "Sept. 3, 2024",
                               "2025-05-14", sys.toString(may14, QLocale::LongFormat)};
    for (const QString& text : forms) {
        EXPECT_TRUE(parseSightingDate(text).isValid()) << qPrintable(text);
        EXPECT_TRUE(saveWithDate(*h, text)) << qPrintable(text);
    }
    EXPECT_EQ(parseSightingDate("Sept. 3, 2024"), QDate(2024, 9, 3));
    EXPECT_EQ(lastDate(*h), may14);
    // Numbers in the order of the system's short format, with any usual separator.
    const QString order = sys.dateFormat(QLocale::ShortFormat);
    const int d = order.indexOf(u'd'), m = order.indexOf(u'M'), y = order.indexOf(u'y');
    QStringList parts(3);
    const int posD = (d > m) + (d > y), posM = (m > d) + (m > y), posY = (y > d) + (y > m);
    parts[posD] = "14";
    parts[posM] = "5";
    parts[posY] = "2025";
    for (const char* sep : {"/", ".", "-"}) {
        const QString text = parts.join(sep);
        EXPECT_EQ(parseSightingDate(text), may14) << qPrintable(text);
        EXPECT_TRUE(saveWithDate(*h, text)) << qPrintable(text);
        EXPECT_EQ(lastDate(*h), may14);
    }
}

TEST(SightingDates, FutureAndVeryOldDatesAreRefused)
{
    auto h = withRegion(1, "North America", "Region");
    const int before = h->scalar("SELECT count(*) FROM Sightings").toInt();
    const QDate tomorrow = QDate::currentDate().addDays(1);
    for (const QString& text : {tomorrow.toString(Qt::ISODate), QStringLiteral("1899-12-31"), QStringLiteral("May 32, 2025"),
                                QStringLiteral("soon")}) {
        h->platform.messages.clear();
        EXPECT_FALSE(saveWithDate(*h, text)) << qPrintable(text);
        ASSERT_EQ(h->platform.messages.size(), 1u) << qPrintable(text);
        EXPECT_EQ(h->platform.messages[0].text, "The date is missing or not in a proper format.");
        EXPECT_EQ(h->platform.messages[0].title, "Improper Date");
    }
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), before);
    EXPECT_TRUE(saveWithDate(*h, QDate::currentDate().toString(Qt::ISODate))) << "today is fine";
    EXPECT_TRUE(saveWithDate(*h, "1900-01-01"));
}

TEST(SightingDates, TheCalendarButtonPicksADate)
{
    auto h = withRegion(1, "North America", "Region");
    auto d = openNew(*h);
    d->show();
    d->txtDate->setText("2024-06-02");
    d->cmdCalendar->click();
    ASSERT_TRUE(d->calDate->isVisible());
    EXPECT_EQ(d->calDate->selectedDate(), QDate(2024, 6, 2)) << "opens at the typed date";
    EXPECT_EQ(d->calDate->maximumDate(), QDate::currentDate()) << "no future dates";
    d->calDate->setSelectedDate(QDate(2024, 6, 20));
    QTest::keyClick(d->calDate->focusWidget() ? d->calDate->focusWidget() : d->calDate, Qt::Key_Return);
    EXPECT_FALSE(d->calDate->isVisible());
    EXPECT_EQ(parseSightingDate(d->txtDate->text()), QDate(2024, 6, 20));
    d->cmdSave_Click();
    ASSERT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(lastDate(*h), QDate(2024, 6, 20));
}
