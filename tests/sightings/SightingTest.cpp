// The sighting window: a new sighting with the current region's defaults, the date forms it
// takes and its calendar, a stored sighting viewed, edited and deleted, and the life list and
// the main window's commands after each.

#include "FaultVfs.h"
#include "WindowSteps.h"

#include "sightings/SightingDates.h"
#include "sightings/frmSight.h"

#include <QCalendarWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace fl;
using test::choose;
using test::Harness;

namespace {

// The program on the fixture, with Ontario (6 species) current and its counts stored.
std::unique_ptr<Harness> ontario() { return test::ontario(11, 340); }

std::unique_ptr<frmSight> openNew(Harness& h)
{
    return std::make_unique<frmSight>(h.ctx, frmSight::Mode::NewSighting, h.w.get());
}

int sightings(Harness& h) { return h.scalar("SELECT count(*) FROM Sightings").toInt(); }

// The main window's commands for the species on show: View when it is on the life list, Add
// when it is not.
void expectOnTheLifeList(Harness& h, bool on)
{
    EXPECT_EQ(h.enabled(cmd::mnuViewDetails), on);
    EXPECT_EQ(h.buttonEnabled("View"), on);
    EXPECT_EQ(h.enabled(cmd::mnuFileSighting), !on);
    EXPECT_EQ(h.buttonEnabled("Add"), !on);
}

// Saves a new sighting with `date` typed; true when the window accepted it.
bool saveWithDate(Harness& h, const QString& date)
{
    auto d = openNew(h);
    d->txtDate->setText(date);
    d->cmdSave_Click();
    return d->result() == QDialog::Accepted;
}

QDate lastDate(Harness& h)
{
    return h.scalar("SELECT Date FROM Sightings ORDER BY Sight_ID DESC LIMIT 1").toDate();
}

} // namespace

TEST(SightingWindow, NewEntryStartsInTheCurrentRegionAndTheFirstSightingJoinsTheLifeList)
{
    auto h = ontario();
    auto d = openNew(*h);
    EXPECT_EQ(d->windowTitle(), "New Sighting Entry");
    EXPECT_EQ(d->lbltitle[8]->text(), "First Sighting of the Canada Goose");
    EXPECT_EQ(parseSightingDate(d->txtDate->text()), QDate::currentDate());
    EXPECT_EQ(d->cmbPlace[0]->currentText(), "North America");
    EXPECT_EQ(d->cmbPlace[1]->count(), 1);
    EXPECT_EQ(d->cmbPlace[1]->itemData(0).toInt(), 3);
    EXPECT_EQ(d->cmbPlace[1]->currentIndex(), -1);
    EXPECT_EQ(d->cmbPlace[2]->currentText(), "Ontario") << "the current region preselected";
    EXPECT_EQ(d->cmbPlace[3]->itemText(0), "Point Pelee");
    EXPECT_EQ(d->cmbPlace[3]->currentIndex(), -1);
    QStringList types;
    for (int i = 0; i < d->cmbType->count(); ++i) types << d->cmbType->itemText(i);
    EXPECT_EQ(types, (QStringList{"Adult", "Male", "Female", "Immature", "Pair"}));
    EXPECT_FALSE(d->cmdRecall->isEnabled()) << "no sightings yet";
    EXPECT_TRUE(d->cmdDelete->isHidden());

    d->cmbType->setEditText("Adult");
    d->cmdSave_Click();
    ASSERT_EQ(d->result(), QDialog::Accepted);
    const int id = h->scalar("SELECT max(Sight_ID) FROM Sightings").toInt();
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), id);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 12);
    EXPECT_EQ(h->panel("Life"), "LifeList: 12 of 340");
    expectOnTheLifeList(*h, true);
    EXPECT_EQ(h->scalar("SELECT Region || ',' || country || ',' || state || ',' || district FROM Sightings").toString(),
              "1,0,2,0");

    // A second new sighting of the same species, from the menu, changes nothing of the life
    // list; the toolbar's View opens the stored one.
    test::inWindow<frmSight>([&] { h->run(cmd::mnuFileSighting); }, [](frmSight& again) {
        EXPECT_TRUE(again.cmdDelete->isHidden());
        again.cmdSave->click();
    });
    EXPECT_EQ(sightings(*h), 2);
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), id);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 12);
    bool viewMode = false;
    test::inWindow<frmSight>([&] { h->w->Toolbar1_ButtonClick("View"); }, [&viewMode](frmSight& stored) {
        viewMode = stored.cmdDelete->isVisible();
        stored.cmdCancel->click();
    });
    EXPECT_TRUE(viewMode);
}

// The current region of each kind is preselected in its own box, and a sighting placed in it by
// name counts for it; without a region (the whole list) every sighting counts.
TEST(SightingWindow, EachKindOfRegionHasItsBoxAndASightingThereCounts)
{
    const struct {
        int regId;
        const char* name;
        const char* type;
        int box; // -1: none
    } regions[] = {{1, "North America", "Region", 0},
                   {3, "Canada", "Country", 1},
                   {2, "Ontario", "State", 2},
                   {4, "Point Pelee", "District", 3},
                   {0, "World", "World", -1}};
    for (const auto& r : regions) {
        SCOPED_TRACE(r.name);
        Harness h([&](test::TestFolder& f) {
            f.exec("UPDATE Options SET Reg_ID = ?, regname = ?, regType = ?, lifesum = 0",
                   {r.regId, QString::fromLatin1(r.name), QString::fromLatin1(r.type)});
            f.exec("INSERT INTO Checklists VALUES (3, 4, 'B', '')"); // Point Pelee lists the goose
        });
        auto d = openNew(h);
        for (int box = 1; box < 4; ++box)
            EXPECT_EQ(d->cmbPlace[box]->currentText(),
                      box == r.box ? QString::fromLatin1(r.name) : QString())
                << box;
        for (QToolButton* clear : d->PicClear) clear->click();
        if (r.box >= 0) choose(d->cmbPlace[r.box], r.name);
        d->cmdSave_Click();
        EXPECT_GT(h.scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 0);
        EXPECT_EQ(h.scalar("SELECT lifesum FROM Options").toInt(), 1);
    }
}

TEST(SightingWindow, NoPlaceStoresZerosAndDoesNotCount)
{
    auto h = ontario();
    auto d = openNew(*h);
    for (int k = 0; k < 4; ++k) d->PicClear_Click(k);
    d->cmbType->setEditText("Two \"juveniles\", one 'odd'");
    d->txtSite->setText("O'Neill's \"pond\"");
    d->txtNotes->setPlainText("Line one\nLine two");
    d->cmdSave_Click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    auto rs = h->db().openRecordset("SELECT * FROM Sightings", db::RecordsetKind::Snapshot);
    ASSERT_EQ(rs.recordCount(), 1);
    for (const char* place : {"Region", "country", "state", "district"}) EXPECT_EQ(rs.field(place).toInt(), 0) << place;
    EXPECT_EQ(rs.field("Type").toString(), "Two \"juveniles\", one 'odd'");
    EXPECT_EQ(rs.field("site").toString(), "O'Neill's \"pond\"");
    EXPECT_EQ(rs.field("notes").toString(), "Line one\nLine two");
    EXPECT_EQ(rs.field("Date").toDate(), QDate::currentDate());
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 0);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 11);
    EXPECT_TRUE(h->enabled(cmd::mnuFileSighting));
}

TEST(SightingDates, CommonWrittenAndNumericFormsAreAccepted)
{
    Harness h;
    const QDate may14(2025, 5, 14);
    const QLocale sys = QLocale::system();
    const QStringList forms = {"May 14, 2025", "14 May 2025",   "may 14 2025",
                               "14 May, 2025", "Sept. 3, 2024", "2025-05-14",
                               sys.toString(may14, QLocale::LongFormat)};
    for (const QString& text : forms) {
        EXPECT_TRUE(parseSightingDate(text).isValid()) << qPrintable(text);
        EXPECT_TRUE(saveWithDate(h, text)) << qPrintable(text);
    }
    EXPECT_EQ(parseSightingDate("Sept. 3, 2024"), QDate(2024, 9, 3));
    EXPECT_EQ(lastDate(h), may14);
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
        EXPECT_TRUE(saveWithDate(h, text)) << qPrintable(text);
        EXPECT_EQ(lastDate(h), may14);
    }
}

TEST(SightingDates, MissingImproperFutureAndVeryOldDatesAreRefused)
{
    Harness h;
    const int before = sightings(h);
    const QDate tomorrow = QDate::currentDate().addDays(1);
    for (const QString& text : {tomorrow.toString(Qt::ISODate), QStringLiteral("1899-12-31"),
                                QStringLiteral("May 32, 2025"), QStringLiteral("soon"), QString(),
                                QStringLiteral("yesterday"), QStringLiteral("31/31/2020"),
                                QStringLiteral("2020-02-30")}) {
        h.platform.messages.clear();
        EXPECT_FALSE(saveWithDate(h, text)) << qPrintable(text);
        ASSERT_EQ(h.platform.messages.size(), 1u) << qPrintable(text);
        EXPECT_EQ(h.platform.messages[0].text, "The date is missing or not in a proper format.");
        EXPECT_EQ(h.platform.messages[0].title, "Improper Date");
    }
    EXPECT_EQ(sightings(h), before);
    EXPECT_TRUE(saveWithDate(h, QDate::currentDate().toString(Qt::ISODate))) << "today is fine";
    EXPECT_TRUE(saveWithDate(h, "1900-01-01"));
}

TEST(SightingDates, TheCalendarButtonPicksADate)
{
    Harness h;
    auto d = openNew(h);
    d->show();
    d->txtDate->setText("2024-06-02");
    d->cmdCalendar->click();
    ASSERT_TRUE(d->calDate->isVisible());
    EXPECT_EQ(d->calDate->selectedDate(), QDate(2024, 6, 2)) << "opens at the typed date";
    EXPECT_EQ(d->calDate->maximumDate(), QDate::currentDate()) << "no future dates";
    d->calDate->setSelectedDate(QDate(2024, 6, 20));
    QTest::keyClick(d->calDate->focusWidget() ? d->calDate->focusWidget() : d->calDate,
                    Qt::Key_Return);
    EXPECT_FALSE(d->calDate->isVisible());
    EXPECT_EQ(parseSightingDate(d->txtDate->text()), QDate(2024, 6, 20));
    d->cmdSave_Click();
    ASSERT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(lastDate(h), QDate(2024, 6, 20));
}

TEST(SightingWindow, LastEntryRecallsTheLatestStoredSighting)
{
    auto h = ontario();
    h->db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) "
                    "VALUES (5, '2023-04-02', 'Male', 1, 3, 2, 0, 'Later site', 'newest')");
    h->db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, Region, site) VALUES (4, '2024-01-01', 'Pair', 0, 'x')");
    h->db().execute("UPDATE Sightings SET notes = 'older' WHERE Type = 'Pair'");
    // A second district of the same name: the sighting's own is chosen, not the first of the name.
    h->db().execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (40, 'Point Pelee', 'District')");
    h->db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) "
                    "VALUES (6, '2020-01-01', 'Female', 0, 3, 2, 40, 'Last stored', 'stored last')");
    auto d = openNew(*h);
    ASSERT_TRUE(d->cmdRecall->isEnabled());
    d->cmdRecall_Click();
    EXPECT_EQ(d->txtSite->text(), "Last stored") << "the most recently stored, not the latest date";
    EXPECT_EQ(d->cmbType->currentText(), "Female");
    EXPECT_EQ(d->txtDate->text(), longDate(QDate(2020, 1, 1)));
    EXPECT_EQ(d->cmbPlace[0]->currentText(), "North America") << "a place of 0 leaves its box as it was";
    EXPECT_EQ(d->cmbPlace[1]->currentText(), "Canada");
    EXPECT_EQ(d->cmbPlace[3]->currentText(), "Point Pelee");
    EXPECT_EQ(d->cmbPlace[3]->currentData().toInt(), 40);
    d->cmdSave_Click(); // a new sighting of the goose with those details
    EXPECT_EQ(sightings(*h), 4);
    EXPECT_EQ(h->scalar("SELECT Bird_ID FROM Sightings ORDER BY Sight_ID DESC LIMIT 1").toInt(), 3);
    EXPECT_EQ(h->scalar("SELECT site FROM Sightings ORDER BY Sight_ID DESC LIMIT 1").toString(), "Last stored");
}

namespace {

// Ontario current; the goose has two sightings in Ontario, the first one on its life list.
std::unique_ptr<Harness> gooseSighted(bool second)
{
    auto h = std::make_unique<Harness>([&](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 4, lifetotal = 6");
        f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, Region, country, state, district, site, notes) "
               "VALUES (7, 3, '2019-03-04', 'Pair', 1, 3, 2, 0, 'Marsh', 'Two \"honking\"')");
        if (second) {
            f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, state) VALUES (9, 3, '2021-01-01', 2)");
            f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, state) VALUES (8, 3, '2022-01-01', 2)");
        }
        f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, country) VALUES (10, 3, '2018-01-01', 3)");
        f.exec("UPDATE Birds SET LifeList = 7 WHERE ID = 3");
    });
    return h;
}

} // namespace

TEST(SightingWindow, ViewModeShowsTheLifeListSightingAndEditingItMovesTheMark)
{
    auto h = gooseSighted(false);
    expectOnTheLifeList(*h, true);
    frmSight d(h->ctx, frmSight::Mode::StoredSighting, h->w.get());
    EXPECT_TRUE(d.cmdRecall->isHidden());
    EXPECT_FALSE(d.cmdDelete->isHidden());
    EXPECT_EQ(d.txtDate->text(), longDate(QDate(2019, 3, 4)));
    EXPECT_EQ(d.cmbType->currentText(), "Pair");
    EXPECT_EQ(d.txtSite->text(), "Marsh");
    EXPECT_EQ(d.txtNotes->toPlainText(), "Two \"honking\"");
    EXPECT_EQ(d.cmbPlace[0]->currentText(), "North America");
    EXPECT_EQ(d.cmbPlace[1]->currentText(), "Canada");
    EXPECT_EQ(d.cmbPlace[2]->currentText(), "Ontario");
    EXPECT_EQ(d.cmbPlace[3]->currentIndex(), -1);
    // Changing it within the region keeps the life list as it is.
    d.txtSite->setText("Edited");
    d.cmdSave_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(h->scalar("SELECT site FROM Sightings WHERE Sight_ID = 7").toString(), "Edited");
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 7);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 4);
    expectOnTheLifeList(*h, true);
    EXPECT_EQ(sightings(*h), 2);

    // Moved out of the region, it takes the species off: no other sighting is in Ontario.
    frmSight out(h->ctx, frmSight::Mode::StoredSighting, h->w.get());
    for (int k = 0; k < 4; ++k) out.PicClear_Click(k);
    choose(out.cmbPlace[1], "Canada");
    QTest::mouseClick(out.cmdSave, Qt::LeftButton);
    EXPECT_EQ(h->scalar("SELECT state FROM Sightings WHERE Sight_ID = 7").toInt(), 0);
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 0);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 3);
    EXPECT_EQ(h->panel("Life"), "LifeList: 3 of 6");
    expectOnTheLifeList(*h, false);
}

TEST(SightingWindow, EditingTheLifeListDateLetsAnEarlierSightingTakeOver)
{
    auto h = gooseSighted(true); // Ontario sightings 7 (2019), 9 (2021-01-01), 8 (2022)
    {
        frmSight d(h->ctx, frmSight::Mode::StoredSighting, h->w.get());
        d.txtDate->setText(longDate(QDate(2023, 6, 1)));
        d.cmdSave_Click();
    }
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 9);
    EXPECT_EQ(h->w->species().lifeListSighting(), 9);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 4) << "still on the life list";
    expectOnTheLifeList(*h, true);
    // Viewing now shows the sighting that took over.
    frmSight again(h->ctx, frmSight::Mode::StoredSighting, h->w.get());
    EXPECT_EQ(again.txtDate->text(), longDate(QDate(2021, 1, 1)));
}

TEST(SightingWindow, DeleteAsksAndTheOnlySightingInTheRegionTakesTheSpeciesOff)
{
    auto h = gooseSighted(false);
    frmSight d(h->ctx, frmSight::Mode::StoredSighting, h->w.get());
    h->platform.answers = {Platform::Answer::No, Platform::Answer::Yes};
    d.cmdDelete_Click();
    EXPECT_NE(d.result(), QDialog::Accepted);
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_EQ(h->platform.messages[0].text, "Do you really want to delete this Sighting?");
    EXPECT_EQ(h->platform.messages[0].title, "Delete Sighting");
    EXPECT_EQ(h->platform.messages[0].buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(h->platform.messages[0].icon, Platform::Icon::Question);
    EXPECT_EQ(sightings(*h), 2) << "No changes nothing";
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 7);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 4);

    d.cmdDelete_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings WHERE Sight_ID = 7").toInt(), 0);
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 0) << "the Canada-only sighting is outside";
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 3);
    EXPECT_EQ(h->panel("Life"), "LifeList: 3 of 6");
    expectOnTheLifeList(*h, false);
}

TEST(SightingWindow, AFailedSaveStoresNothingAndSaysWhy)
{
    auto h = ontario();
    h->db().execute("CREATE TRIGGER NoCounting BEFORE UPDATE OF lifesum ON Options "
                    "BEGIN SELECT RAISE(ABORT, 'counting is switched off'); END");
    auto d = openNew(*h);
    choose(d->cmbPlace[2], "Ontario");
    d->cmdSave_Click();
    EXPECT_NE(d->result(), QDialog::Accepted);
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_TRUE(h->platform.messages[0].text.contains("counting is switched off"));
    EXPECT_EQ(sightings(*h), 0);
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 0);
    EXPECT_EQ(h->state.rsOptions.field("lifesum").toInt(), 11);
    EXPECT_TRUE(h->enabled(cmd::mnuFileSighting)) << "the window shows what is stored";
    EXPECT_EQ(d->rsSight.recordCount(), 0);
    h->db().execute("DROP TRIGGER NoCounting");
    d->cmdSave_Click(); // the user tries again once the cause is gone
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(sightings(*h), 1);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 12);
}

TEST(SightingWindow, DeleteThatFailsOnTheDiskKeepsDataAndWindowInStep)
{
    // The delete is tried again and again, the first write failing, then the second, and so
    // on: after each failure the stored life list is the old one, whole, and the commands and
    // the panel say so; once no write fails the delete goes through.
    Harness h(
        [](test::TestFolder& f) {
            f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 4, lifetotal = 6");
            f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, state) VALUES (7, 3, '2019-03-04', 2)");
            f.exec("UPDATE Birds SET LifeList = 7 WHERE ID = 3");
        },
        test::FaultVfs::name());
    int n = 1;
    for (;; ++n) {
        ASSERT_LT(n, 200);
        h.platform.messages.clear();
        {
            frmSight d(h.ctx, frmSight::Mode::StoredSighting, h.w.get());
            test::FaultVfs::arm(test::FaultVfs::Kind::Write, n);
            d.cmdDelete_Click();
        }
        const bool fired = test::FaultVfs::fired();
        test::FaultVfs::disarm();
        const int stored = h.scalar("SELECT count(*) FROM Sightings").toInt();
        const int mark = h.scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt();
        const int lifesum = h.scalar("SELECT lifesum FROM Options").toInt();
        ASSERT_EQ(h.scalar("PRAGMA integrity_check").toString(), "ok") << "write " << n;
        if (stored == 0) {
            EXPECT_TRUE(mark == 0 && lifesum == 3) << "write " << n;
            expectOnTheLifeList(h, false);
            EXPECT_EQ(h.panel("Life"), "LifeList: 3 of 6");
            break;
        }
        ASSERT_TRUE(fired) << "nothing failed, yet nothing was deleted";
        EXPECT_TRUE(mark == 7 && lifesum == 4) << "write " << n << ": mark " << mark << ", lifesum " << lifesum;
        EXPECT_TRUE(h.enabled(cmd::mnuViewDetails)) << "write " << n;
        EXPECT_FALSE(h.enabled(cmd::mnuFileSighting)) << "write " << n;
        EXPECT_EQ(h.w->species().lifeListSighting(), 7) << "write " << n;
        EXPECT_EQ(h.messageTexts().size(), 2) << "write " << n << ": the question, then the failure";
    }
    EXPECT_GT(n, 3) << "some writes failed before the delete went through";
}
