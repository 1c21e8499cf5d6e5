// The table of an outing's records of no species of the database: the upgrade step that adds
// it to a file of the version before, what it accepts, and that an outing takes them along.

#include "OlderFiles.h"
#include "outings/OutingStore.h"
#include "schema/OtherRecordsTable.h"

#include <gtest/gtest.h>

using namespace fl;
using namespace fl::test;

namespace {

// A file of the version before, in use: two outings (one from an eBird checklist), their
// sightings with counts and comments, a sighting of no outing, a custom list.
struct FileBeforeOtherRecords : OlderFolder {
    FileBeforeOtherRecords() : OlderFolder(versionAfterStep(createOtherRecordsTable) - 1)
    {
        auto db = open();
        db::Transaction tx(*db);
        db->execute("INSERT INTO Outings (Outing_ID, Date, StartTime, Duration, Distance, Observers, Protocol, site, "
                    "Latitude, Longitude, state, StateCode, CountyCode, comments, SubmissionID) VALUES "
                    "(1, '2019-05-12', '06:30', 95, 2.5, 2, 'Traveling', 'Rondeau', 42.28, -81.85, 2, 'CA-ON', "
                    "'CA-ON-CK', 'Warm, south wind', 'S55501234'), "
                    "(2, '2020-01-02', NULL, NULL, NULL, NULL, 'Incidental', 'Yard', NULL, NULL, 2, NULL, NULL, NULL, NULL)");
        db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, state, site, notes, Outing_ID, Count, "
                    "BreedingCode, MediaNumbers) VALUES "
                    "(10, 3, '2019-05-12', '', 2, 'Rondeau', 'pair', 1, 2, 'NY', '1234 5678'), "
                    "(11, 4, '2019-05-12', '', 2, 'Rondeau', '', 1, NULL, NULL, NULL), "
                    "(12, 3, '2020-01-02', '', 2, 'Yard', '', 2, 1, NULL, NULL), "
                    "(13, 5, '2018-07-07', 'Adult', 2, 'Marsh', 'own', NULL, NULL, NULL, NULL)");
        db->execute("INSERT INTO ImportKeys (SourceKey, Sight_ID) VALUES ('S55501234|cangoo', 10)");
        db->execute("INSERT INTO CustomLists (List_ID, Name) VALUES (1, 'Shore')");
        db->execute("INSERT INTO CustomListPlaces (List_ID, Site) VALUES (1, 'Rondeau')");
        tx.commit();
    }
};

// Everything the file held before the upgrade, as one text.
QString recordsIn(db::Database& db)
{
    auto all = [&db](const QString& sql) {
        return db.scalar("SELECT group_concat(x, '|') FROM (" + sql + ")").toString();
    };
    return all("SELECT Outing_ID || Date || coalesce(StartTime, '-') || coalesce(Duration, '-') || coalesce(Distance, '-') "
               "|| coalesce(Observers, '-') || Protocol || site || coalesce(Latitude, '-') || coalesce(Longitude, '-') "
               "|| state || coalesce(StateCode, '-') || coalesce(CountyCode, '-') || coalesce(comments, '-') "
               "|| coalesce(SubmissionID, '-') AS x FROM Outings ORDER BY Outing_ID")
           + "#"
           + all("SELECT Sight_ID || Bird_ID || Date || Type || state || site || notes || coalesce(Outing_ID, '-') "
                 "|| coalesce(Count, 'X') || coalesce(BreedingCode, '-') || coalesce(MediaNumbers, '-') AS x "
                 "FROM Sightings ORDER BY Sight_ID")
           + "#" + all("SELECT SourceKey || Sight_ID AS x FROM ImportKeys")
           + "#" + all("SELECT Name || coalesce(Site, Reg_ID) AS x FROM CustomLists NATURAL JOIN CustomListPlaces");
}

} // namespace

TEST(OtherRecordsUpgrade, AFileOfThePreviousVersionGetsTheTableAndKeepsItsRecords)
{
    FileBeforeOtherRecords file;
    QString before;
    {
        auto db = file.open();
        ASSERT_FALSE(hasTable(*db, "OtherRecords"));
        before = recordsIn(*db);
        ASSERT_TRUE(before.contains("S55501234")) << qPrintable(before);
        upgradeSchema(*db);
    }
    auto db = file.open();
    EXPECT_EQ(schemaVersion(*db), currentSchemaVersion());
    EXPECT_EQ(schemaVersion(*db), versionAfterStep(createOtherRecordsTable));
    EXPECT_EQ(recordsIn(*db), before);
    EXPECT_EQ(db->scalar("PRAGMA integrity_check").toString(), "ok");
    ASSERT_TRUE(hasTable(*db, "OtherRecords"));
    EXPECT_EQ(db->scalar("SELECT count(*) FROM OtherRecords").toInt(), 0);

    // An outing's records of no species: kept with all they have, X for no count.
    db->execute("INSERT INTO OtherRecords (Outing_ID, Name, sci_name, Category, TaxonOrder, Count, BreedingCode, notes, "
                "MediaNumbers, SourceKey) VALUES "
                "(1, 'gull sp.', 'Larinae sp.', 'spuh', 6360, 14, NULL, 'too far out', NULL, 'S55501234|gull'), "
                "(1, 'Mallard x American Black Duck (hybrid)', 'Anas platyrhynchos x rubripes', 'hybrid', 467.5, NULL, "
                "'FL', NULL, '987654', 'S55501234|x00004'), "
                "(2, 'Mallard (Domestic type)', 'Anas platyrhynchos (Domestic type)', 'domestic', NULL, 3, NULL, NULL, "
                "NULL, NULL)");
    EXPECT_EQ(db->scalar("SELECT group_concat(coalesce(Count, 'X'), ',') FROM OtherRecords WHERE Outing_ID = 1").toString(),
              "14,X");
    EXPECT_EQ(recordsIn(*db), before) << "they add no sighting";
}

// Each row breaks one rule of the table and is refused.
class OtherRecordsRefuse : public ::testing::TestWithParam<const char*> {};

TEST_P(OtherRecordsRefuse, ARecordThatBreaksARule)
{
    TestFolder folder;
    auto db = folder.open();
    db->execute("INSERT INTO Outings (Outing_ID, Date, site) VALUES (1, '2021-04-04', 'Pond')");
    db->execute("INSERT INTO OtherRecords (Outing_ID, Name, Category, SourceKey) VALUES (1, 'duck sp.', 'spuh', 'k1')");
    EXPECT_THROW(db->execute(QString::fromLatin1(GetParam())), db::DbError);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM OtherRecords").toInt(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, OtherRecordsRefuse,
    ::testing::Values(
        "INSERT INTO OtherRecords (Outing_ID, Name, Category) VALUES (NULL, 'duck sp.', 'spuh')",
        "INSERT INTO OtherRecords (Outing_ID, Name, Category) VALUES (7, 'duck sp.', 'spuh')",
        "INSERT INTO OtherRecords (Outing_ID, Name, Category) VALUES (1, 'duck sp.', 'bird')",
        "INSERT INTO OtherRecords (Outing_ID, Name, Category) VALUES (1, 'duck sp.', NULL)",
        "INSERT INTO OtherRecords (Outing_ID, Name, sci_name, Category) VALUES (1, ' ', NULL, 'spuh')",
        "INSERT INTO OtherRecords (Outing_ID, Name, Category, Count) VALUES (1, 'duck sp.', 'spuh', 0)",
        "INSERT INTO OtherRecords (Outing_ID, Name, Category, Count) VALUES (1, 'duck sp.', 'spuh', '12a')",
        "INSERT INTO OtherRecords (Outing_ID, Name, Category, Count) VALUES (1, 'duck sp.', 'spuh', 2.5)",
        "INSERT INTO OtherRecords (Outing_ID, Name, Category, BreedingCode) VALUES (1, 'duck sp.', 'spuh', ' FL')",
        "INSERT INTO OtherRecords (Outing_ID, Name, Category, MediaNumbers) VALUES (1, 'duck sp.', 'spuh', '12,13')",
        "INSERT INTO OtherRecords (Outing_ID, Name, Category, TaxonOrder) VALUES (1, 'duck sp.', 'spuh', 'first')",
        "INSERT INTO OtherRecords (Outing_ID, Name, Category, SourceKey) VALUES (1, 'teal sp.', 'spuh', 'k1')",
        "INSERT INTO OtherRecords (Outing_ID, Name, Category, SourceKey) VALUES (1, 'teal sp.', 'spuh', '')"));

TEST(OtherRecords, DeletingAnOutingDeletesThemAndLeavesTheOthers)
{
    TestFolder folder;
    auto db = folder.open();
    db->execute("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State'");
    auto options = db->openRecordset("Options", db::RecordsetKind::Dynaset);
    const LifeListScope ontario{kOntario, "State"};
    Outing a, b;
    a.date = b.date = QDate(2022, 5, 1);
    a.site = "Rondeau";
    b.site = "Pelee";
    a.places[2] = b.places[2] = kOntario;
    a.entries.push_back({3, 2, {}, {}, {}, 0});
    b.entries.push_back({3, 1, {}, {}, {}, 0});
    saveOuting(*db, a, ontario, options);
    saveOuting(*db, b, ontario, options);
    for (int outing : {a.id, b.id})
        db->execute("INSERT INTO OtherRecords (Outing_ID, Name, Category) VALUES (?, 'warbler sp.', 'spuh'), "
                    "(?, 'Cackling/Canada Goose', 'slash')",
                    {outing, outing});

    // Editing the outing keeps them.
    a.comments = "windy";
    a.entries[0].count = 5;
    saveOuting(*db, a, ontario, options);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM OtherRecords WHERE Outing_ID = ?", {a.id}).toInt(), 2);

    deleteOuting(*db, a.id, ontario, options);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM OtherRecords WHERE Outing_ID = ?", {a.id}).toInt(), 0);
    EXPECT_EQ(db->scalar("SELECT group_concat(Name, ',') FROM OtherRecords WHERE Outing_ID = ?", {b.id}).toString(),
              "warbler sp.,Cackling/Canada Goose");
    EXPECT_TRUE(db->openRecordset("PRAGMA foreign_key_check", db::RecordsetKind::Snapshot).eof());
}
