#include "FaultVfs.h"
#include "Harness.h"

#include "sightings/SightingDates.h"
#include "sightings/frmSight.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

// The program on the fixture, with Ontario (6 species) current and its counts stored.
std::unique_ptr<Harness> ontario(int lifesum = 11, int lifetotal = 340)
{
    return std::make_unique<Harness>([&](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = ?, lifetotal = ?",
               {lifesum, lifetotal});
    });
}

std::unique_ptr<frmSight> openNew(Harness& h)
{
    h.state.sightingMode = false;
    return std::make_unique<frmSight>(h.ctx, h.w.get());
}

void choose(QComboBox* box, const QString& text)
{
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << qPrintable(text);
    box->setCurrentIndex(i);
}

int sightings(Harness& h) { return h.scalar("SELECT count(*) FROM Sightings").toInt(); }

} // namespace

TEST(SightingWindow, NewEntryStartsWithTodayAndThePlaceLists)
{
    auto h = ontario();
    auto d = openNew(*h);
    EXPECT_EQ(d->windowTitle(), "New Sighting Entry");
    EXPECT_EQ(d->lbltitle[8]->text(), "First Sighting of the Canada Goose");
    EXPECT_EQ(parseSightingDate(d->txtDate->text()), QDate::currentDate());
    EXPECT_EQ(d->cmbPlace[0]->currentText(), "North America");
    EXPECT_EQ(d->cmbPlace[1]->count(), 1);
    EXPECT_EQ(d->cmbPlace[1]->itemData(0).toInt(), 3);
    EXPECT_EQ(d->cmbPlace[2]->itemText(0), "Ontario");
    EXPECT_EQ(d->cmbPlace[3]->itemText(0), "Point Pelee");
    QStringList types;
    for (int i = 0; i < d->cmbType->count(); ++i) types << d->cmbType->itemText(i);
    EXPECT_EQ(types, (QStringList{"Adult", "Male", "Female", "Immature", "Pair"}));
    EXPECT_FALSE(d->cmdRecall->isEnabled()) << "no sightings yet";
    EXPECT_TRUE(d->cmdDelete->isHidden());
}

TEST(SightingWindow, FirstSightingInTheRegionJoinsTheLifeList)
{
    auto h = ontario(11, 340);
    auto d = openNew(*h);
    choose(d->cmbPlace[2], "Ontario");
    d->cmbType->setEditText("Adult");
    d->cmdSave_Click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    const int id = h->scalar("SELECT max(Sight_ID) FROM Sightings").toInt();
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), id);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 12);
    EXPECT_EQ(h->panel("Life"), "LifeList: 12 of 340");
    EXPECT_FALSE(h->enabled("mnuFileSighting"));
    EXPECT_FALSE(h->buttonEnabled("Add"));
    EXPECT_TRUE(h->enabled("mnuViewDetails"));
    EXPECT_TRUE(h->buttonEnabled("View"));
    EXPECT_EQ(h->scalar("SELECT Region || ',' || country || ',' || state || ',' || district FROM Sightings").toString(),
              "1,0,2,0");

    // A second new sighting of the same species changes nothing of the life list.
    auto again = openNew(*h);
    choose(again->cmbPlace[2], "Ontario");
    again->cmdSave_Click();
    EXPECT_EQ(sightings(*h), 2);
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), id);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 12);
}

TEST(SightingWindow, RegionMatchesByNameInAnyBox)
{
    for (int box = 0; box < 4; ++box) {
        auto h = std::make_unique<Harness>([&](test::TestFolder& f) {
            const char* names[] = {"North America", "Canada", "Ontario", "Point Pelee"};
            const char* types[] = {"Region", "Country", "State", "District"};
            f.exec("UPDATE Options SET Reg_ID = ?, regname = ?, regType = ?",
                   {box == 0 ? 1 : box == 1 ? 3 : box == 2 ? 2 : 4, QString(names[box]), QString(types[box])});
            f.exec("INSERT INTO Checklists VALUES (3, 4, 'B', '')"); // Point Pelee lists the goose
        });
        auto d = openNew(*h);
        for (QToolButton* clear : d->PicClear) clear->click();
        const char* names[] = {"North America", "Canada", "Ontario", "Point Pelee"};
        choose(d->cmbPlace[box], names[box]);
        d->cmdSave_Click();
        EXPECT_GT(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 0) << "box " << box;
        EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 1) << "box " << box;
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
    EXPECT_TRUE(h->enabled("mnuFileSighting"));
}

TEST(SightingWindow, ImproperDateStoresNothing)
{
    auto h = ontario();
    auto d = openNew(*h);
    for (const char* bad : {"", "yesterday", "31/31/2020", "2020-02-30"}) {
        d->txtDate->setText(bad);
        d->cmdSave_Click();
        EXPECT_NE(d->result(), QDialog::Accepted) << bad;
    }
    ASSERT_EQ(h->platform.messages.size(), 4);
    EXPECT_EQ(h->platform.messages[0].text, "The date is missing or not in a proper format.");
    EXPECT_EQ(h->platform.messages[0].title, "Improper Date");
    EXPECT_EQ(sightings(*h), 0);
}

TEST(SightingWindow, LastEntryRecallsTheLatestStoredSighting)
{
    auto h = ontario();
    h->db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) "
                    "VALUES (5, '2023-04-02', 'Male', 1, 3, 2, 0, 'Later site', 'newest')");
    h->db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, Region, site) VALUES (4, '2024-01-01', 'Pair', 0, 'x')");
    h->db().execute("UPDATE Sightings SET notes = 'older' WHERE Type = 'Pair'");
    h->db().execute("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) "
                    "VALUES (6, '2020-01-01', 'Female', 0, 3, 2, 4, 'Last stored', 'stored last')");
    auto d = openNew(*h);
    ASSERT_TRUE(d->cmdRecall->isEnabled());
    d->cmdRecall_Click();
    EXPECT_EQ(d->txtSite->text(), "Last stored") << "the most recently stored, not the latest date";
    EXPECT_EQ(d->cmbType->currentText(), "Female");
    EXPECT_EQ(d->txtDate->text(), longDate(QDate(2020, 1, 1)));
    EXPECT_EQ(d->cmbPlace[0]->currentText(), "North America") << "a place of 0 leaves its box as it was";
    EXPECT_EQ(d->cmbPlace[1]->currentText(), "Canada");
    EXPECT_EQ(d->cmbPlace[3]->currentText(), "Point Pelee");
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
    h->state.sightingMode = true;
    return h;
}

} // namespace

TEST(SightingWindow, ViewModeShowsTheLifeListSighting)
{
    auto h = gooseSighted(false);
    EXPECT_TRUE(h->enabled("mnuViewDetails"));
    frmSight d(h->ctx, h->w.get());
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
    EXPECT_TRUE(h->enabled("mnuViewDetails"));
    EXPECT_EQ(sightings(*h), 2);
}

TEST(SightingWindow, EditingTheLifeListSightingOutOfTheRegionTakesTheSpeciesOff)
{
    auto h = gooseSighted(false);
    frmSight d(h->ctx, h->w.get());
    for (int k = 0; k < 4; ++k) d.PicClear_Click(k);
    choose(d.cmbPlace[1], "Canada"); // no longer in Ontario
    QTest::mouseClick(d.cmdSave, Qt::LeftButton);
    EXPECT_EQ(h->scalar("SELECT state FROM Sightings WHERE Sight_ID = 7").toInt(), 0);
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 0) << "no other sighting in Ontario";
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 3);
    EXPECT_EQ(h->panel("Life"), "LifeList: 3 of 6");
    EXPECT_TRUE(h->enabled("mnuFileSighting"));
    EXPECT_TRUE(h->buttonEnabled("Add"));
    EXPECT_FALSE(h->enabled("mnuViewDetails"));
    EXPECT_FALSE(h->buttonEnabled("View"));
}

TEST(SightingWindow, EditingTheLifeListDateLetsAnEarlierSightingTakeOver)
{
    auto h = gooseSighted(true); // Ontario sightings 7 (2019), 9 (2021-01-01), 8 (2022)
    {
        frmSight d(h->ctx, h->w.get());
        d.txtDate->setText(longDate(QDate(2021, 1, 1))); // the same day as 9: the lower number stays
        d.cmdSave_Click();
    }
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 7);
    {
        frmSight d(h->ctx, h->w.get());
        d.txtDate->setText(longDate(QDate(2023, 6, 1)));
        d.cmdSave_Click();
    }
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 9);
    EXPECT_EQ(h->state.rsBird.field("lifelist").toInt(), 9);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 4) << "still on the life list";
    EXPECT_TRUE(h->enabled("mnuViewDetails"));
    EXPECT_FALSE(h->enabled("mnuFileSighting"));
    // Viewing now shows the sighting that took over.
    frmSight again(h->ctx, h->w.get());
    EXPECT_EQ(again.txtDate->text(), longDate(QDate(2021, 1, 1)));
}

TEST(SightingWindow, DeleteAnsweredNoChangesNothing)
{
    auto h = gooseSighted(false);
    frmSight d(h->ctx, h->w.get());
    h->platform.answers.push_back(Platform::Answer::No);
    d.cmdDelete_Click();
    EXPECT_NE(d.result(), QDialog::Accepted);
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_EQ(h->platform.messages[0].text, "Do you really want to delete this Sighting?");
    EXPECT_EQ(h->platform.messages[0].title, "Delete Sighting");
    EXPECT_EQ(h->platform.messages[0].buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(h->platform.messages[0].icon, Platform::Icon::Question);
    EXPECT_EQ(sightings(*h), 2);
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 7);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 4);
}

TEST(SightingWindow, DeleteTheOnlySightingInTheRegion)
{
    auto h = gooseSighted(false);
    frmSight d(h->ctx, h->w.get());
    h->platform.answers.push_back(Platform::Answer::Yes);
    d.cmdDelete_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings WHERE Sight_ID = 7").toInt(), 0);
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 0) << "the Canada-only sighting is outside";
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 3);
    EXPECT_EQ(h->panel("Life"), "LifeList: 3 of 6");
    EXPECT_TRUE(h->enabled("mnuFileSighting"));
    EXPECT_TRUE(h->buttonEnabled("Add"));
    EXPECT_FALSE(h->enabled("mnuViewDetails"));
    EXPECT_FALSE(h->buttonEnabled("View"));
}

TEST(SightingWindow, DeleteWithAnotherSightingInTheRegionKeepsTheSpecies)
{
    auto h = gooseSighted(true);
    frmSight d(h->ctx, h->w.get());
    d.cmdDelete_Click(); // the scripted platform answers Yes
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 9) << "the earliest remaining one";
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 4);
    EXPECT_TRUE(h->enabled("mnuViewDetails"));
    EXPECT_FALSE(h->enabled("mnuFileSighting"));
}

TEST(SightingWindow, LifeCountNeverGoesBelowZero)
{
    auto h = std::make_unique<Harness>([](test::TestFolder& f) {
        f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Region) VALUES (5, 3, '2020-01-01', 1)");
        f.exec("UPDATE Birds SET LifeList = 5 WHERE ID = 3");
        f.exec("UPDATE Options SET lifesum = 0");
    });
    h->state.sightingMode = true;
    frmSight d(h->ctx, h->w.get());
    d.cmdDelete_Click();
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 0);
}

TEST(SightingWindow, WithoutARegionEverySightingCounts)
{
    Harness h([](test::TestFolder& f) { f.exec("UPDATE Options SET Reg_ID = 0, regname = 'World', lifesum = 0"); });
    auto d = openNew(h);
    for (int k = 0; k < 4; ++k) d->PicClear_Click(k);
    d->cmdSave_Click();
    EXPECT_GT(h.scalar("SELECT LifeList FROM Birds WHERE ID = 3").toInt(), 0);
    EXPECT_EQ(h.scalar("SELECT lifesum FROM Options").toInt(), 1);
}

TEST(SightingWindow, AFailedSaveStoresNothingAndSaysWhy)
{
    auto h = ontario(11, 340);
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
    EXPECT_TRUE(h->enabled("mnuFileSighting")) << "the window shows what is stored";
    EXPECT_EQ(d->rsSight.recordCount(), 0);
    h->db().execute("DROP TRIGGER NoCounting");
    d->cmdSave_Click(); // the user tries again once the cause is gone
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(sightings(*h), 1);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 12);
}

TEST(SightingWindow, MenuCommandsOpenTheTwoModes)
{
    auto h = ontario();
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<frmSight*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        const int i = d->cmbPlace[2]->findText("Ontario");
        d->cmbPlace[2]->setCurrentIndex(i);
        d->cmdSave->click();
    });
    h->run("mnuFileSighting");
    EXPECT_EQ(h->panel("Life"), "LifeList: 12 of 340");
    bool viewMode = false;
    QTimer::singleShot(0, [&viewMode] {
        auto* d = qobject_cast<frmSight*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        viewMode = d->cmdDelete->isVisible();
        d->cmdCancel->click();
    });
    h->w->Toolbar1_ButtonClick("View");
    EXPECT_TRUE(viewMode);
    EXPECT_TRUE(h->state.sightingMode);
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
    h.state.sightingMode = true;
    int n = 1;
    for (;; ++n) {
        ASSERT_LT(n, 200);
        h.platform.messages.clear();
        {
            frmSight d(h.ctx, h.w.get());
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
            EXPECT_FALSE(h.enabled("mnuViewDetails"));
            EXPECT_TRUE(h.enabled("mnuFileSighting"));
            EXPECT_EQ(h.panel("Life"), "LifeList: 3 of 6");
            break;
        }
        ASSERT_TRUE(fired) << "nothing failed, yet nothing was deleted";
        EXPECT_TRUE(mark == 7 && lifesum == 4) << "write " << n << ": mark " << mark << ", lifesum " << lifesum;
        EXPECT_TRUE(h.enabled("mnuViewDetails")) << "write " << n;
        EXPECT_FALSE(h.enabled("mnuFileSighting")) << "write " << n;
        EXPECT_EQ(h.state.rsBird.field("lifelist").toInt(), 7) << "write " << n;
        EXPECT_EQ(h.messageTexts().size(), 2) << "write " << n << ": the question, then the failure";
    }
    EXPECT_GT(n, 3) << "some writes failed before the delete went through";
}
