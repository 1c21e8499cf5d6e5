// Every write and every sync of each change the program makes is made to fail in turn; the
// file must then open, pass the engine's integrity check and hold the state before the
// change or the state after it, never a mix.

#include "FaultVfs.h"
#include "lifelist/RegionSwitch.h"
#include "lifelist/SightingChanges.h"
#include "lifelist/LifeList.h"
#include "outings/OutingStore.h"
#include "regions/ChecklistCopy.h"
#include "regions/CodedRegions.h"
#include "schema/Schema.h"
#include "TestDatabase.h"
#include "db/Database.h"

#include <QDate>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using namespace fl;
using test::FaultVfs;

namespace {

const QString kConnect = QString::fromLatin1(kConnectString);

// Everything a change may touch, as one text.
QString digest(const QString& path)
{
    auto db = db::Database::open(path, true, false, kConnect);
    const QString integrity = db->scalar("PRAGMA integrity_check").toString();
    if (integrity != "ok") return "damaged: " + integrity;
    QString d;
    d += db->scalar("SELECT group_concat(x, '|') FROM (SELECT ID || ':' || LifeList || ':' || coalesce(Data, '') AS x "
                    "FROM Birds ORDER BY ID)").toString();
    d += "#" + db->scalar("SELECT group_concat(x, '|') FROM (SELECT Sight_ID || ':' || Bird_ID || ':' || Date || ':' || "
                          "Region || country || state || district || ':' || coalesce(site, '') || ':' || "
                          "coalesce(Count, 'X') || ':' || coalesce(Outing_ID, '-') || ':' || coalesce(notes, '') AS x "
                          "FROM Sightings ORDER BY Sight_ID)").toString();
    d += "#" + db->scalar("SELECT group_concat(x, '|') FROM (SELECT Outing_ID || ':' || Date || ':' || coalesce(site, '') "
                          "|| ':' || coalesce(Duration, '') || ':' || state AS x FROM Outings ORDER BY Outing_ID)").toString();
    d += "#" + db->scalar("SELECT regname || Reg_ID || regType || searchType || lifetotal || ':' || lifesum "
                          "FROM Options").toString();
    d += "#" + db->scalar("SELECT group_concat(x, '|') FROM (SELECT Reg_ID || ':' || Bird_ID || ':' || Status || ':' "
                          "|| coalesce(scode, '') AS x FROM Checklists ORDER BY Reg_ID, Bird_ID)").toString();
    d += "#" + db->scalar("SELECT group_concat(x, '|') FROM (SELECT Reg_ID || ':' || coalesce(CopiedFrom, '-') AS x "
                          "FROM Regions WHERE CopiedFrom IS NOT NULL ORDER BY Reg_ID)").toString();
    return d;
}

struct Change {
    const char* name;
    std::function<void(test::TestFolder&)> prepare;
    std::function<void(db::Database&)> run;
};

void copyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(from, to));
}

// Runs the change once for every write (and every sync) that can fail, until it succeeds.
void runUnderFaults(const Change& change)
{
    test::TestFolder base;
    if (change.prepare) change.prepare(base);
    const QString before = digest(base.databasePath());
    const QString work = base.path() + "/work.mdb";
    copyFile(base.databasePath(), work);
    {
        auto db = db::Database::open(work, true, false, kConnect);
        change.run(*db);
    }
    const QString after = digest(work);
    ASSERT_NE(before, after) << change.name << ": the change changes nothing";

    for (FaultVfs::Kind kind : {FaultVfs::Kind::Write, FaultVfs::Kind::Sync}) {
        for (bool sticky : {false, true}) {
            const char* what = kind == FaultVfs::Kind::Write ? "write" : "sync";
            int n = 1;
            for (;; ++n) {
                ASSERT_LT(n, 400) << change.name << ": never succeeded";
                copyFile(base.databasePath(), work);
                bool failed = false, fired = false;
                QString message;
                {
                    auto db = test::openFaulty(work);
                    FaultVfs::arm(kind, n, sticky);
                    try {
                        change.run(*db);
                    } catch (const db::DbError& e) {
                        failed = true;
                        message = e.message();
                    }
                    fired = FaultVfs::fired();
                } // closed while the disk still fails
                FaultVfs::disarm();
                const QString now = digest(work);
                const QString where = QStringLiteral("%1, %2 %3 failing%4: %5")
                                          .arg(change.name, what).arg(n).arg(sticky ? " and after" : "", message);
                EXPECT_TRUE(now == before || now == after) << qPrintable(where) << "\n" << qPrintable(now);
                if (!failed) {
                    EXPECT_EQ(now, after) << qPrintable(where) << ": reported success";
                }
                if (!fired) break;
            }
            EXPECT_GT(n, 1) << change.name << ": no " << what << " failed";
        }
    }
}

const QString kQrySort = QStringLiteral(" Order By Birds.sortOrder");

db::Recordset bird(db::Database& db, const char* name)
{
    return db.openRecordset("Select * from Birds Where Name = ?", db::RecordsetKind::Dynaset, {QString::fromLatin1(name)});
}

// Ontario current; an outing of three species on 2024-05-10 whose goose holds the mark, and a
// sighting of the goose made on its own later.
void prepareOuting(test::TestFolder& f)
{
    auto db = f.open();
    db->execute("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 0");
    auto options = db->openRecordset("Options", db::RecordsetKind::Dynaset);
    db->execute("INSERT INTO Sightings (Bird_ID, Date, state) VALUES (3, '2024-06-01', 2)");
    Outing o;
    o.date = QDate(2024, 5, 10);
    o.site = "Marsh";
    o.places[2] = 2;
    o.entries = {{3, 4, {}, {}, {}, 0}, {4, std::nullopt, {}, {}, {}, 0}, {5, 2, {}, {}, {}, 0}};
    saveOuting(*db, o, {2, "State"}, options);
}


// Each change the program makes, with the state it is made on.
const Change kChanges[] = {
    {"StoringTheDescription", nullptr,
     [](db::Database& db) {
         auto rs = bird(db, "Canada Goose");
         rs.edit();
         // Longer than a page, so the row spills onto several.
         rs.setField("Data", QString("Honks loudly. ").repeated(400));
         rs.update();
     }},
    {"NewSightingWithItsLifeListMark",
     [](test::TestFolder& f) {
         f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 3");
     },
     [](db::Database& db) {
         auto options = db.openRecordset("Options", db::RecordsetKind::Dynaset);
         Sighting goose;
         goose.birdId = 3;
         goose.date = QDate(2024, 5, 17);
         goose.type = "Pair";
         goose.places = {0, 0, 2, 0};
         goose.site = "Marsh";
         const SightingChange change = addSighting(db, options, goose, 2);
         ASSERT_TRUE(change.lifesumChanged) << "the goose joins the life list";
     }},
    {"DeletingTheLifeListSighting",
     [](test::TestFolder& f) {
         f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 4");
         f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, state) VALUES (7, 3, '2019-03-04', 2)");
         f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, country) VALUES (8, 3, '2018-01-01', 3)");
         f.exec("UPDATE Birds SET LifeList = 7 WHERE ID = 3");
     },
     [](db::Database& db) {
         auto options = db.openRecordset("Options", db::RecordsetKind::Dynaset);
         const SightingChange change = deleteSighting(db, options, 7, 2);
         ASSERT_TRUE(change.lifesumChanged) << "the goose leaves the life list";
     }},
    {"SwitchingTheRegion",
     [](test::TestFolder& f) {
         auto db = f.open();
         db::Transaction tx(*db);
         for (int i = 0; i < 40; ++i)
             db->execute("INSERT INTO Sightings (Bird_ID, Date, Region, state) VALUES (?, ?, ?, ?)",
                         {1 + i % 12, QDate(2020, 1, 1).addDays(i % 7), 1, i % 3 == 0 ? 2 : 0});
         db->execute("UPDATE Birds SET LifeList = (SELECT min(Sight_ID) FROM Sightings "
                     "WHERE Sightings.Bird_ID = Birds.ID)");
         db->execute("UPDATE Options SET lifesum = 12");
         tx.commit();
     },
     [](db::Database& db) {
         auto options = db.openRecordset("Options", db::RecordsetKind::Dynaset);
         const auto list = switchRegion(db, options, {2, "Ontario", "State"}, kQrySort, "All Birds");
         ASSERT_TRUE(list.has_value());
     }},
    {"FirstUseOfACountyCopiesItsAncestorsChecklist",
     [](test::TestFolder& f) { addEbirdRegions(*f.open()); },
     [](db::Database& db) {
         const int franklin = db.scalar("SELECT Reg_ID FROM Regions WHERE Code = 'US-OH-049'").toInt();
         if (!provideChecklist(db, franklin).isCopy()) throw db::DbError("nothing was copied");
     }},
    {"SavingANewOuting",
     [](test::TestFolder& f) {
         f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 0");
     },
     [](db::Database& db) {
         auto options = db.openRecordset("Options", db::RecordsetKind::Dynaset);
         Outing o;
         o.date = QDate(2024, 5, 10);
         o.site = "Long Point";
         o.places[2] = 2;
         for (int b = 1; b <= 8; ++b) o.entries.push_back({b, b, "calling", {}, {}, 0});
         saveOuting(db, o, {2, "State"}, options);
     }},
    {"EditingAnOuting", prepareOuting,
     [](db::Database& db) {
         auto options = db.openRecordset("Options", db::RecordsetKind::Dynaset);
         Outing o = loadOuting(db, 1);
         o.date = QDate(2024, 7, 1); // the goose's mark goes to the other sighting
         o.duration = 95;
         o.entries.erase(o.entries.begin() + 1);
         o.entries[0].count = 40;
         o.entries.push_back({6, 1, {}, {}, {}, 0});
         saveOuting(db, o, {2, "State"}, options);
     }},
    {"DeletingAnOuting", prepareOuting,
     [](db::Database& db) {
         auto options = db.openRecordset("Options", db::RecordsetKind::Dynaset);
         deleteOuting(db, 1, {2, "State"}, options);
     }},
};

class Faults : public ::testing::TestWithParam<Change> {};

} // namespace

TEST_P(Faults, LeaveTheStateBeforeTheChangeOrAfterIt)
{
    runUnderFaults(GetParam());
}

INSTANTIATE_TEST_SUITE_P(EveryChange, Faults, ::testing::ValuesIn(kChanges),
                         [](const auto& p) { return std::string(p.param.name); });

