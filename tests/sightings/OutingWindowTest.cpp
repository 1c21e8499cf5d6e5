// The outing window: species by code and count from the keyboard, bad counts, editing and
// deleting an outing, a disk failing during the save, its calendar, and outings in the log.

#include "FaultVfs.h"
#include "WindowSteps.h"
#include "sightings/OutingGridModel.h"
#include "sightings/SightingDates.h"
#include "sightings/frmOuting.h"
#include "sightings/frmSightingsLog.h"
#include "sightings/SightingsLogModel.h"
#include "outings/OutingStore.h"
#include "records/SightingsLog.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

using namespace fl;
using test::FaultVfs;
using test::Harness;

namespace {

// The program on the fixture with Ontario (species 1 to 6) current.
std::unique_ptr<Harness> ontario(const QString& vfs = {}) { return test::ontario(0, 6, {}, vfs); }

// The window as the user has it: shown, active, the keyboard in its Find line.
std::unique_ptr<frmOuting> openWindow(Harness& h, int outingId = 0)
{
    auto w = std::make_unique<frmOuting>(h.ctx, outingId, h.w.get());
    w->show();
    QApplication::setActiveWindow(w.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    return w;
}

// Types as the user does, into whatever has the keyboard, counting the keys.
struct Keyboard {
    int keys = 0;
    void type(const QString& text)
    {
        for (QChar c : text) {
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
            ++keys;
            QApplication::processEvents();
        }
    }
    void press(Qt::Key key)
    {
        QTest::keyClick(QApplication::focusWidget(), key);
        ++keys;
        QApplication::processEvents(); // the grid commits a typed count after the key
    }
};

QModelIndex cell(const frmOuting& w, int bird, int column)
{
    return w.model->index(w.model->shownRowOf(bird), column);
}

int storedCount(Harness& h, int bird)
{
    const QVariant c = h.scalar("SELECT coalesce(Count, 'X') FROM Sightings WHERE Bird_ID = ? AND Outing_ID IS NOT NULL",
                                {bird});
    return c.toString() == "X" ? -1 : c.toInt();
}

} // namespace

TEST(OutingWindow, ASpeciesTakesItsCodeOneKeyItsCountAndOneKey)
{
    auto h = ontario();
    auto w = openWindow(*h);
    EXPECT_EQ(w->windowTitle(), "New Outing");
    EXPECT_EQ(w->txtDate->text(), longDate(QDate::currentDate()));
    EXPECT_EQ(w->cmbPlace[2]->currentText(), "Ontario") << "the current region preselected";
    ASSERT_EQ(QApplication::focusWidget(), w->txtFilter);
    EXPECT_EQ(w->model->rowCount(), 6) << "Ontario's checklist";
    EXPECT_EQ(w->model->rowAt(0).species.name, "Canada Goose") << "in checklist order";

    // A morning's species, each by its code and count: the fixture's Ontario and two more.
    const struct {
        const char* code;
        const char* count;
        int bird;
        int stored; // -1: X
    } morning[] = {{"CANG", "14", 3, 14}, {"amro", "x", 4, -1},  {"HETH", "2", 5, 2},  {"WOTH", "1", 6, 1},
                   {"MALL", "120", 1, 120}, {"WODU", "6", 2, 6}, {"YEWA", "3", 7, 3}, {"OVEN", "X", 8, -1}};
    for (const auto& s : morning) {
        Keyboard k;
        k.type(s.code);
        k.press(Qt::Key_Return);
        ASSERT_EQ(QApplication::focusWidget()->parentWidget(), w->grdSpecies->viewport()) << s.code << ": in the count cell";
        k.type(s.count);
        k.press(Qt::Key_Return);
        EXPECT_EQ(k.keys, 4 + 1 + int(strlen(s.count)) + 1) << s.code;
        ASSERT_EQ(QApplication::focusWidget(), w->txtFilter) << s.code << ": back in the Find line for the next";
        EXPECT_TRUE(w->txtFilter->text().isEmpty());
    }
    EXPECT_EQ(w->lblSeen->text(), "8 species seen");
    // Seen rows are bold; the two off Ontario's list show marked.
    EXPECT_TRUE(w->model->data(w->model->index(0, OutingGridModel::Species), Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(w->model->rowCount(), 8);
    EXPECT_TRUE(w->model->data(w->model->index(7, OutingGridModel::Species), Qt::DisplayRole).toString()
                    .endsWith("(not on the list)"));
    EXPECT_EQ(w->model->data(w->model->index(0, OutingGridModel::New), Qt::DisplayRole).toString(), "Life");

    QTest::mouseClick(w->cmdSave, Qt::LeftButton);
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_TRUE(h->platform.messages.isEmpty()) << qPrintable(h->messageTexts().join("\n"));
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Outings").toInt(), 1);
    for (const auto& s : morning) EXPECT_EQ(storedCount(*h, s.bird), s.stored) << s.code;
    // Ontario's six are on its life list now; the two others are not on its list.
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 6);
    EXPECT_EQ(h->panel("Life"), "LifeList: 6 of 6");
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Birds WHERE LifeList > 0").toInt(), 6);
}

// Enter and Tab in the grid, the whole list and the Find line; Cancel asks only when something
// was typed.
TEST(OutingWindow, EnterInTheGridMovesOnTheWholeListAddsSpeciesAndCancelAsks)
{
    auto h = ontario();
    {
        auto w = openWindow(*h);
        w->cmdCancel_Click();
        EXPECT_TRUE(h->platform.messages.isEmpty()) << "nothing typed: no question";
        EXPECT_EQ(w->result(), QDialog::Rejected);
    }
    auto w = openWindow(*h);
    Keyboard k;
    k.press(Qt::Key_Down); // from the Find line into the grid, at the first count
    ASSERT_EQ(QApplication::focusWidget(), w->grdSpecies);
    EXPECT_EQ(w->grdSpecies->currentIndex(), w->model->index(0, OutingGridModel::Count));
    k.type("5");
    k.press(Qt::Key_Return);
    EXPECT_EQ(w->grdSpecies->currentIndex(), w->model->index(1, OutingGridModel::Count)) << "Enter moves down";
    k.press(Qt::Key_Return);
    EXPECT_EQ(w->grdSpecies->currentIndex(), w->model->index(2, OutingGridModel::Count));
    k.type("X");
    k.press(Qt::Key_Tab);
    EXPECT_EQ(w->grdSpecies->currentIndex().row(), 2);
    EXPECT_EQ(w->grdSpecies->currentIndex().column(), int(OutingGridModel::Comments)) << "Tab to the comment";
    k.type("singing");
    k.press(Qt::Key_Return);
    EXPECT_EQ(w->model->rowAt(2).comments, "singing");
    EXPECT_EQ(w->lblSeen->text(), "2 species seen");

    w->chkWholeList->setChecked(true);
    EXPECT_EQ(w->model->rowCount(), 12);
    w->chkWholeList->setChecked(false);
    EXPECT_EQ(w->model->rowCount(), 6);
    // A scientific name finds a species; a name part too.
    w->txtFilter->setText("setophaga kirt");
    ASSERT_EQ(w->model->rowCount(), 1);
    EXPECT_EQ(w->model->rowAt(0).species.name, "Kirtland's Warbler");
    w->txtFilter->setFocus();
    w->txtFilter->setText("nothing like it");
    EXPECT_EQ(w->model->rowCount(), 0);
    const int beeps = h->platform.beeps;
    w->txtFilter_Return();
    EXPECT_EQ(h->platform.beeps, beeps + 1) << "no species found: a beep, and the keyboard stays";
    EXPECT_EQ(QApplication::focusWidget(), w->txtFilter);

    h->platform.answers.push_back(Platform::Answer::No);
    w->cmdCancel_Click();
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_TRUE(h->platform.messages[0].text.contains("without saving"));
    EXPECT_TRUE(w->isVisible()) << "No keeps the window and its entries";
    EXPECT_EQ(w->model->entries().size(), 2u);
    QTest::keyClick(w.get(), Qt::Key_Escape); // Escape is Cancel
    EXPECT_EQ(h->platform.messages.size(), 2);
    EXPECT_FALSE(w->isVisible()) << "Yes closes it";
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 0);
}

TEST(OutingWindow, BadCountsAreRefusedInTheirRowAndNothingIsSaved)
{
    auto h = ontario();
    auto w = openWindow(*h);
    const struct {
        const char* typed;
        const char* problem;
    } bad[] = {{"-3", "negative"}, {"many", "whole number"}, {"1000000000000", "at most"}, {"0", "at least 1"}};
    for (const auto& b : bad) {
        SCOPED_TRACE(b.typed);
        h->platform.messages.clear();
        w->model->setData(cell(*w, 3, OutingGridModel::Count), "4", Qt::EditRole);
        const QModelIndex count = cell(*w, 4, OutingGridModel::Count); // the robin
        w->model->setData(count, QString::fromLatin1(b.typed), Qt::EditRole);
        EXPECT_EQ(w->model->data(count, Qt::DisplayRole).toString(), b.typed) << "kept as typed";
        EXPECT_TRUE(w->model->data(cell(*w, 4, OutingGridModel::New), Qt::DisplayRole).toString().contains(b.problem))
            << "the reason in the row";
        EXPECT_TRUE(w->model->data(count, Qt::BackgroundRole).isValid());
        w->cmdSave_Click();
        ASSERT_EQ(h->platform.messages.size(), 1);
        EXPECT_EQ(h->platform.messages[0].title, "Improper Count");
        EXPECT_TRUE(h->platform.messages[0].text.contains("American Robin"));
        EXPECT_TRUE(h->platform.messages[0].text.contains(b.problem));
        EXPECT_EQ(QApplication::focusWidget(), w->grdSpecies);
        EXPECT_EQ(w->grdSpecies->currentIndex(), count);
        EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 0);
        EXPECT_TRUE(w->isVisible());
    }
    // Put right, it saves.
    w->model->setData(cell(*w, 4, OutingGridModel::Count), "X", Qt::EditRole);
    w->cmdSave_Click();
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings WHERE Count IS NULL").toInt(), 1);
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings WHERE Count = 4").toInt(), 1);
}

TEST(OutingWindow, EditingAcrossTheYearAndDeletingWithItsQuestion)
{
    auto h = ontario();
    LifeListScope ontarioScope{test::kOntario, "State"};
    Outing o;
    o.date = QDate(2024, 1, 2);
    o.site = "Harbour";
    o.places[2] = test::kOntario;
    o.entries = {{3, 4, {}, {}, {}, 0}, {4, 1, {}, {}, {}, 0}, {5, std::nullopt, "heard", {}, {}, 0}};
    saveOuting(h->db(), o, ontarioScope, h->state.rsOptions);
    {
        auto w = openWindow(*h, o.id);
        EXPECT_EQ(w->windowTitle(), "Edit Outing");
        EXPECT_EQ(w->cmbSite->currentText(), "Harbour");
        EXPECT_EQ(w->lblSeen->text(), "3 species seen");
        EXPECT_EQ(w->model->rowAt(w->model->shownRowOf(5)).comments, "heard");
        EXPECT_FALSE(w->hasUnsavedEntries());
        w->txtDate->setText(longDate(QDate(2023, 12, 31)));
        w->model->setData(cell(*w, 4, OutingGridModel::Count), "", Qt::EditRole); // the robin taken off
        w->cmdSave_Click();
        EXPECT_EQ(w->result(), QDialog::Accepted);
    }
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings WHERE Date = '2023-12-31'").toInt(), 2)
        << "every sighting of the outing moves with its date";
    EXPECT_EQ(h->scalar("SELECT LifeList FROM Birds WHERE ID = 4").toInt(), 0);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 2);

    auto w = openWindow(*h, o.id);
    h->platform.answers.push_back(Platform::Answer::No);
    QTest::mouseClick(w->cmdDelete, Qt::LeftButton);
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_EQ(h->platform.messages[0].text, "Delete this outing and its 2 sightings?");
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Outings").toInt(), 1);
    QTest::mouseClick(w->cmdDelete, Qt::LeftButton); // Yes
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Outings").toInt(), 0);
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 0);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 0);
    EXPECT_EQ(h->panel("Life"), "LifeList: 0 of 6");
}

TEST(OutingWindow, AFailingDiskDuringSaveKeepsTheOldStateAndTheEntries)
{
    auto h = ontario(FaultVfs::name());
    auto w = openWindow(*h);
    w->model->setData(w->model->index(0, OutingGridModel::Count), "4", Qt::EditRole);
    w->model->setData(w->model->index(3, OutingGridModel::Count), "x", Qt::EditRole);
    w->cmbSite->setEditText("Marsh");
    for (int n : {1, 2, 3}) {
        SCOPED_TRACE(n);
        h->platform.messages.clear();
        FaultVfs::arm(FaultVfs::Kind::Write, n, true);
        QTest::mouseClick(w->cmdSave, Qt::LeftButton);
        const bool fired = FaultVfs::fired();
        FaultVfs::disarm();
        ASSERT_TRUE(fired);
        ASSERT_EQ(h->platform.messages.size(), 1);
        EXPECT_TRUE(h->platform.messages[0].text.startsWith("The outing could not be saved."));
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->model->entries().size(), 2u) << "the window still holds the entries";
        EXPECT_EQ(w->cmbSite->currentText(), "Marsh");
        EXPECT_EQ(w->outingId(), 0);
        EXPECT_EQ(h->scalar("SELECT count(*) FROM Outings").toInt(), 0);
        EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 0);
        EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 0);
        EXPECT_EQ(h->state.rsOptions.field("lifesum").toInt(), 0);
    }
    // The disk back, the same window saves.
    h->platform.messages.clear();
    QTest::mouseClick(w->cmdSave, Qt::LeftButton);
    EXPECT_TRUE(h->platform.messages.isEmpty()) << qPrintable(h->messageTexts().join("\n"));
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings").toInt(), 2);
    EXPECT_EQ(h->scalar("SELECT lifesum FROM Options").toInt(), 2);
}

// File > New Outing keeps its window for the next outing: every opening is a new outing with
// nothing entered, and the checklist, the marks, the recent sites and the places as they are
// then, whatever the last one left (saved or cancelled).
TEST(OutingWindow, EveryNewOutingStartsEmptyWithTheListsAsTheyAreNow)
{
    auto h = ontario();
    QPointer<frmOuting> first;
    test::inWindow<frmOuting>([&] { h->run(cmd::mnuFileOuting); }, [&first](frmOuting& w) {
        first = &w;
        w.txtStart->setText("6:15");
        w.txtDuration->setText("90");
        w.txtDistance->setText("2.5");
        w.txtObservers->setText("2");
        w.cmbProtocol->setCurrentIndex(1);
        w.chkAllReported->setChecked(false);
        w.cmbSite->setEditText("Rondeau");
        w.txtComments->setPlainText("Fog until nine");
        w.chkWholeList->setChecked(true);
        w.txtFilter->setText("Goose");
        w.model->setData(cell(w, 3, OutingGridModel::Count), "14", Qt::EditRole);
        test::choose(w.cmbPlace[3], "Point Pelee");
        w.grdSpecies->scrollToBottom();
        w.cmdSave_Click();
    });
    ASSERT_TRUE(first) << "the window opened";
    ASSERT_EQ(h->scalar("SELECT count(*) FROM Outings").toInt(), 1) << qPrintable(h->messageTexts().join("\n"));
    // Meanwhile: a species leaves Ontario's checklist and a county is added.
    h->state.db().execute("DELETE FROM Checklists WHERE Reg_ID = 2 AND Bird_ID = 6");
    h->state.db().execute("INSERT INTO Regions (Name, Type) VALUES ('Essex', 'District')");

    for (int round = 0; round < 2; ++round) {
        QStringList seen;
        auto look = [&seen, &first, round](frmOuting& window) {
            frmOuting* w = &window;
            seen << (w == first ? "same window" : "another window") << w->windowTitle() << w->txtDate->text()
                 << w->txtStart->text() + w->txtDuration->text() + w->txtDistance->text() + w->txtObservers->text()
                 << w->cmbProtocol->currentText() << (w->chkAllReported->isChecked() ? "all" : "not all")
                 << w->cmbSite->currentText() + w->txtComments->toPlainText() + w->txtFilter->text()
                 << (w->chkWholeList->isChecked() ? "whole" : "checklist") << QString::number(w->model->rowCount())
                 << w->lblSeen->text() << w->cmbPlace[2]->currentText() + "|" + w->cmbPlace[3]->currentText()
                 << QString::number(w->cmbSite->findText("Rondeau") >= 0)
                 << QString::number(w->cmbPlace[3]->findText("Essex") >= 0)
                 << (QApplication::focusWidget() == w->txtFilter ? "in Find" : "elsewhere")
                 << QString::number(w->cmdDelete->isVisibleTo(w));
            // Goose was seen this morning; Robin not yet.
            w->model->setData(cell(*w, 3, OutingGridModel::Count), "2", Qt::EditRole);
            w->model->setData(cell(*w, 4, OutingGridModel::Count), "1", Qt::EditRole);
            seen << w->model->data(cell(*w, 3, OutingGridModel::New), Qt::DisplayRole).toString() + "|"
                        + w->model->data(cell(*w, 4, OutingGridModel::New), Qt::DisplayRole).toString();
            if (round == 0) w->cmdCancel_Click(); // asked, and answered Yes
            else w->cmdSave_Click();
        };
        test::inWindow<frmOuting>([&] { h->run(cmd::mnuFileOuting); }, look);
        const QStringList expected = {"same window", "New Outing", longDate(QDate::currentDate()), "", "Traveling", "all",
                                      "", "checklist", "5", "0 species seen", "Ontario|", "1", "1", "in Find", "0",
                                      "|Life"};
        EXPECT_EQ(seen, expected) << "round " << round;
    }
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Outings").toInt(), 2) << "the cancelled one stored nothing";
    EXPECT_EQ(h->scalar("SELECT count(*) FROM Sightings WHERE Bird_ID = 4").toInt(), 1);
}

TEST(OutingsInTheLog, CountsHeadingsAndOpeningAnOuting)
{
    auto h = ontario();
    LifeListScope ontarioScope{test::kOntario, "State"};
    auto save = [&](QDate date, const char* site, std::vector<OutingEntry> entries) {
        Outing o;
        o.date = date;
        o.site = site;
        o.places[2] = test::kOntario;
        o.entries = std::move(entries);
        saveOuting(h->db(), o, ontarioScope, h->state.rsOptions);
        return o.id;
    };
    const int may = save(QDate(2024, 5, 10), "Marsh", {{3, 14, {}, {}, {}, 0}, {4, std::nullopt, {}, {}, {}, 0}});
    const int june = save(QDate(2024, 6, 2), "Harbour", {{3, 2, {}, {}, {}, 0}});
    h->db().execute("INSERT INTO Sightings (Bird_ID, Date, state, site) VALUES (5, '2024-05-20', 2, 'Yard')");

    h->run(cmd::mnuViewLog);
    frmSightingsLog* log = openSightingsLog();
    ASSERT_NE(log, nullptr);
    auto text = [log](int row, int column) {
        return log->model->data(log->model->index(row, column), Qt::DisplayRole).toString();
    };
    ASSERT_EQ(log->model->rowCount(), 4);
    EXPECT_EQ(log->model->headerData(SightingsLog::Count, Qt::Horizontal, Qt::DisplayRole).toString(), "Count");
    // Newest first: June's goose, the yard's thrush, May's two.
    EXPECT_EQ(text(0, SightingsLog::Count), "2");
    EXPECT_EQ(text(0, SightingsLog::Site), "Harbour");
    EXPECT_EQ(text(1, SightingsLog::Count), "X") << "a sighting made on its own: present";
    QStringList mayCounts{text(2, SightingsLog::Count), text(3, SightingsLog::Count)};
    mayCounts.sort();
    EXPECT_EQ(mayCounts, (QStringList{"14", "X"}));
    EXPECT_EQ(log->countsText(), "4 sightings of 3 species");

    log->chkGroup->setChecked(true);
    ASSERT_EQ(log->model->rowCount(), 6) << "two headings";
    EXPECT_TRUE(log->model->isHeading(0));
    EXPECT_EQ(log->model->outingAt(0), june);
    EXPECT_EQ(text(0, SightingsLog::Species), "Outing: 1 species");
    EXPECT_FALSE(log->model->isHeading(2)) << "the sighting of no outing on its own";
    EXPECT_TRUE(log->model->isHeading(3));
    EXPECT_EQ(text(3, SightingsLog::Species), "Outing: 2 species");
    EXPECT_EQ(text(3, SightingsLog::Date), "2024-05-10");
    EXPECT_EQ(log->model->outingAt(4), may);
    EXPECT_EQ(log->countsText(), "4 sightings of 3 species") << "headings are not counted";
    log->txtFilter->setText("Robin");
    ASSERT_EQ(log->model->rowCount(), 2) << "an outing's heading with its rows that pass";
    log->txtFilter->clear();

    // Enter on a heading opens the outing; a change there shows in the log.
    QString opened;
    log->grdLog->setCurrentIndex(log->model->index(3, 0));
    log->grdLog->setFocus();
    EXPECT_TRUE(log->cmdOpenOuting->isEnabled());
    auto change = [&opened](frmOuting& w) {
        opened = w.windowTitle() + " " + w.cmbSite->currentText();
        w.model->setData(cell(w, 3, OutingGridModel::Count), "20", Qt::EditRole);
        w.cmdSave_Click();
    };
    test::inWindow<frmOuting>([&] { QTest::keyClick(log->grdLog, Qt::Key_Return); }, change);
    EXPECT_EQ(opened, "Edit Outing Marsh");
    EXPECT_EQ(h->scalar("SELECT Count FROM Sightings WHERE Outing_ID = ? AND Bird_ID = 3", {may}).toInt(), 20);
    ASSERT_EQ(log->model->rowCount(), 6);
    EXPECT_TRUE(log->chkGroup->isChecked());
    QStringList counts;
    for (int r = 4; r < 6; ++r) counts << text(r, SightingsLog::Count);
    counts.sort();
    EXPECT_EQ(counts, (QStringList{"20", "X"})) << "the log read again";

    // A double-click on a heading opens it too; on a sighting, it shows the species.
    opened.clear();
    test::inWindow<frmOuting>([&] { log->grdLog_DblClick(0); }, [&opened](frmOuting& w) {
        opened = w.cmbSite->currentText();
        w.cmdCancel_Click();
    });
    EXPECT_EQ(opened, "Harbour");
    log->close();
}

// The calendar is made when first asked for, then the same one each time.
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
    QTest::keyClick(w.calDate->focusWidget() ? w.calDate->focusWidget() : w.calDate,
                    Qt::Key_Return);
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
