// Bringing the database to a taxonomy file: renames, lumps, splits, new species, and that a
// second run, a cancelled run and a file that is no taxonomy change nothing.

#include "EbirdFiles.h"
#include "lifelist/LifeList.h"
#include "records/EbirdImport.h"
#include "taxonomy/TaxonomyUpdate.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace fl;
using namespace fl::test;

namespace {

TaxonRow row(double order, const char* category, const char* code, const char* common, const char* sci,
             const char* family, const char* reportAs = "")
{
    TaxonRow r;
    r.taxonOrder = order;
    r.category = QString::fromLatin1(category);
    r.code = QString::fromLatin1(code);
    r.common = QString::fromUtf8(common);
    r.sci = QString::fromLatin1(sci);
    r.family = QString::fromLatin1(family);
    r.order = r.family == u"Anatidae" ? QStringLiteral("Anseriformes") : QStringLiteral("Passeriformes");
    r.reportAs = QString::fromLatin1(reportAs);
    return r;
}

// The fixture's twelve species as a taxonomy lists them (its checklist order), with a few
// subspecies groups.
std::vector<TaxonRow> fixtureRows()
{
    return {
        row(10, "species", "cangoo", "Canada Goose", "Branta canadensis", "Anatidae"),
        row(20, "species", "wooduc", "Wood Duck", "Aix sponsa", "Anatidae"),
        row(30, "species", "mallar3", "Mallard", "Anas platyrhynchos", "Anatidae"),
        row(31, "issf", "mallar2", "Mallard (Northern)", "Anas platyrhynchos platyrhynchos", "Anatidae", "mallar3"),
        row(32, "domestic", "mallar1", "Mallard (Domestic type)", "Anas platyrhynchos (Domestic type)", "Anatidae", "mallar3"),
        row(40, "species", "woothr", "Wood Thrush", "Hylocichla mustelina", "Turdidae"),
        row(50, "species", "herthr", "Hermit Thrush", "Catharus guttatus", "Turdidae"),
        row(60, "species", "amerob", "American Robin", "Turdus migratorius", "Turdidae"),
        row(70, "species", "yelwar", "Yellow Warbler", "Setophaga petechia", "Parulidae"),
        row(71, "issf", "yelwar1", "Yellow Warbler (Northern)", "Setophaga petechia [aestiva Group]", "Parulidae", "yelwar"),
        row(72, "issf", "maywar1", "Yellow Warbler (Mangrove)", "Setophaga petechia [erithachorides Group]", "Parulidae", "yelwar"),
        row(80, "species", "ovenbi1", "Ovenbird", "Seiurus aurocapilla", "Parulidae"),
        row(90, "species", "comyel", "Common Yellowthroat", "Geothlypis trichas", "Parulidae"),
        row(100, "species", "kirwar", "Kirtland's Warbler", "Setophaga kirtlandii", "Parulidae"),
        row(110, "species", "palwar", "Palm Warbler", "Setophaga palmarum", "Parulidae"),
        row(111, "issf", "palwar5", "Palm Warbler (Western)", "Setophaga palmarum palmarum", "Parulidae", "palwar"),
        row(112, "issf", "palwar2", "Palm Warbler (Yellow)", "Setophaga palmarum hypochrysea", "Parulidae", "palwar"),
        row(120, "species", "babwar", "Bay-breasted Warbler", "Setophaga castanea", "Parulidae"),
        row(130, "spuh", "y00325", "warbler sp. (Parulidae sp.)", "Parulidae sp.", "Parulidae"),
    };
}

std::vector<TaxonRow> without(std::vector<TaxonRow> rows, const char* code)
{
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const TaxonRow& r) { return r.code == QLatin1String(code); }),
               rows.end());
    return rows;
}

TaxonRow& at(std::vector<TaxonRow>& rows, const char* code)
{
    for (TaxonRow& r : rows)
        if (r.code == QLatin1String(code)) return r;
    throw std::runtime_error("no such row");
}

// Everything the update may touch, as text, to tell whether anything changed.
QString contents(db::Database& db)
{
    QString out;
    for (const char* sql :
         {"SELECT ID, Name, sci_name, SpeciesCode, AlphaCode, family_ID, subFam_ID, sortOrder, LifeList, Data, song FROM Birds ORDER BY ID",
          "SELECT * FROM Sightings ORDER BY Sight_ID", "SELECT * FROM Checklists ORDER BY Bird_ID, Reg_ID",
          "SELECT * FROM TaxonForms ORDER BY FormCode", "SELECT * FROM images ORDER BY Bird_ID, File",
          "SELECT * FROM Links ORDER BY Bird_ID, URL", "SELECT * FROM Families ORDER BY Fam_ID",
          "SELECT * FROM Orders ORDER BY Order_ID", "SELECT lifetotal, lifesum FROM Options"}) {
        auto rs = db.openRecordset(QString::fromLatin1(sql), db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.fieldNames().size(); ++i) fields << rs.field(i).toString();
            out += fields.join(u'|') + u'\n';
        }
    }
    return out;
}

class TaxonomyUpdate : public ::testing::Test {
protected:
    TestFolder folder;
    std::unique_ptr<OpenState> s;

    void SetUp() override
    {
        // The fixture's forms, and sightings: Mallard twice in Ontario (the first one on the
        // life list of North America), Yellow Warbler three times, Kirtland's and Palm Warbler
        // once each.
        folder.exec("INSERT INTO TaxonForms VALUES ('mallar2', 'issf', 'Mallard (Northern)', "
                    "'Anas platyrhynchos platyrhynchos', 1)");
        folder.exec("INSERT INTO TaxonForms VALUES ('yelwar1', 'issf', 'Yellow Warbler (Northern)', "
                    "'Setophaga petechia [aestiva Group]', 7)");
        folder.exec("INSERT INTO TaxonForms VALUES ('maywar1', 'issf', 'Yellow Warbler (Mangrove)', "
                    "'Setophaga petechia [erithachorides Group]', 7)");
        folder.exec("INSERT INTO TaxonForms VALUES ('palwar5', 'issf', 'Palm Warbler (Western)', "
                    "'Setophaga palmarum palmarum', 11)");
        folder.exec("INSERT INTO TaxonForms VALUES ('palwar2', 'issf', 'Palm Warbler (Yellow)', "
                    "'Setophaga palmarum hypochrysea', 11)");
        const char* sightings[][3] = {{"1", "2021-05-01", "1"}, {"1", "2022-05-01", "1"}, {"7", "2020-06-01", "1"},
                                      {"7", "2021-06-01", "2"}, {"7", "2022-06-01", "0"}, {"10", "2019-05-20", "1"},
                                      {"11", "2018-05-02", "1"}};
        for (const auto& sg : sightings)
            folder.exec("INSERT INTO Sightings (Bird_ID, Date, Region, site) VALUES (?, ?, ?, 'Point Pelee')",
                        {QString::fromLatin1(sg[0]), QString::fromLatin1(sg[1]), QString::fromLatin1(sg[2])});
        s = std::make_unique<OpenState>(folder.path());
        refreshCurrentLifeList(s->state);
    }

    db::Database& db() { return s->db(); }
    QVariant scalar(const QString& sql, const QVariantList& params = {}) { return db().scalar(sql, params); }
    TaxonomyPlan plan(const std::vector<TaxonRow>& rows, TaxonomyPlanOptions options = {})
    {
        m_file = TaxonomyFile::fromRows(rows);
        return planTaxonomyUpdate(db(), m_file, options);
    }
    bool apply(const TaxonomyPlan& p) { return applyTaxonomyUpdate(s->state, m_file, p); }
    // Applies `rows`, checks that the file is sound afterwards and that a second run finds
    // nothing to do.
    TaxonomyPlan applyAndCheck(const std::vector<TaxonRow>& rows, const std::function<void(TaxonomyPlan&)>& choose = {})
    {
        TaxonomyPlan p = plan(rows);
        if (choose) choose(p);
        EXPECT_TRUE(apply(p));
        EXPECT_EQ(scalar("PRAGMA integrity_check").toString(), "ok");
        EXPECT_TRUE(db().openRecordset("PRAGMA foreign_key_check", db::RecordsetKind::Snapshot).eof());
        const QString after = contents(db());
        const TaxonomyPlan again = plan(rows);
        EXPECT_FALSE(again.hasChanges()) << "a second run finds nothing to do";
        EXPECT_TRUE(apply(again));
        EXPECT_EQ(contents(db()), after) << "a second run changes nothing";
        return p;
    }
    int lifesum() { return scalar("SELECT lifesum FROM Options").toInt(); }

private:
    TaxonomyFile m_file;
};

} // namespace

TEST_F(TaxonomyUpdate, RenamesKeepEverySightingAndTheLifeList)
{
    auto rows = fixtureRows();
    at(rows, "mallar3").common = QStringLiteral("Common Mallard");                // common name
    at(rows, "ovenbi1").sci = QStringLiteral("Seiurus aurocapillus");              // scientific name
    at(rows, "wooduc").code = QStringLiteral("wooduc2");                           // code, found by its names
    at(rows, "woothr").common = QStringLiteral("Hermit Thrush");                   // names pass from one
    at(rows, "herthr").common = QStringLiteral("Wood Thrush");                     // species to another
    const int sightings = scalar("SELECT count(*) FROM Sightings").toInt();
    const QVariant mallardMark = scalar("SELECT LifeList FROM Birds WHERE ID = 1");
    ASSERT_GT(mallardMark.toInt(), 0);
    const int sum = lifesum();

    const TaxonomyPlan p = applyAndCheck(rows);
    ASSERT_EQ(p.renames.size(), 5u);
    EXPECT_TRUE(p.splits.empty() && p.lumps.empty());
    EXPECT_EQ(p.newSpecies(), 0);
    EXPECT_EQ(scalar("SELECT Name FROM Birds WHERE ID = 1").toString(), "Common Mallard");
    EXPECT_EQ(scalar("SELECT sci_name FROM Birds WHERE ID = 8").toString(), "Seiurus aurocapillus");
    EXPECT_EQ(scalar("SELECT SpeciesCode FROM Birds WHERE ID = 2").toString(), "wooduc2");
    EXPECT_EQ(scalar("SELECT Name FROM Birds WHERE ID = 6").toString(), "Hermit Thrush");
    EXPECT_EQ(scalar("SELECT Name FROM Birds WHERE ID = 5").toString(), "Wood Thrush");
    EXPECT_EQ(scalar("SELECT count(*) FROM Sightings").toInt(), sightings);
    EXPECT_EQ(scalar("SELECT count(*) FROM Sightings WHERE Bird_ID = 1").toInt(), 2);
    EXPECT_EQ(scalar("SELECT count(*) FROM Sightings WHERE NeedsReview <> 0").toInt(), 0);
    EXPECT_EQ(scalar("SELECT LifeList FROM Birds WHERE ID = 1"), mallardMark);
    EXPECT_EQ(lifesum(), sum);
    EXPECT_EQ(scalar("SELECT AlphaCode FROM Birds WHERE ID = 1").toString(), "MALL")
        << "a renamed species the code list does not know keeps its code";
}

TEST_F(TaxonomyUpdate, ALumpMergesSightingsChecklistsAndWhatBelongsToThem)
{
    // Checklist entries that differ between the two: in Ontario Kirtland's breeds and Palm
    // Warbler passes through; in Canada only Kirtland's is listed, as a rarity; in Point Pelee
    // Palm Warbler visits where Kirtland's is extinct.
    db().executeScript("INSERT INTO Checklists VALUES (10, 2, 'B', 'RSL');"
                       "INSERT INTO Checklists VALUES (11, 2, 'T', 'UT/');"
                       "INSERT INTO Checklists VALUES (10, 3, 'R', 'XV/');"
                       "INSERT INTO Checklists VALUES (10, 4, 'E', '');"
                       "INSERT INTO Checklists VALUES (11, 4, 'V', 'FT/');"
                       "INSERT INTO images VALUES (10, 'kirtland.jpg', 'Singing male');"
                       "INSERT INTO Links VALUES (10, 'Recovery plan', 'https://example.org/kiwa');"
                       "UPDATE Birds SET song = 'kirtland.wav' WHERE ID = 10");
    ASSERT_EQ(lifesum(), 4) << "Mallard, Yellow Warbler, Kirtland's and Palm Warbler";
    auto rows = fixtureRows();
    at(rows, "kirwar").category = QStringLiteral("issf");
    at(rows, "kirwar").common = QStringLiteral("Palm Warbler (Kirtland's)");
    at(rows, "kirwar").reportAs = QStringLiteral("palwar");

    const TaxonomyPlan p = applyAndCheck(rows);
    ASSERT_EQ(p.lumps.size(), 1u);
    EXPECT_EQ(p.lumps[0].survivorId, 11);
    EXPECT_EQ(p.lumps[0].mergedNames, QStringList{"Kirtland's Warbler"});
    EXPECT_EQ(p.lumps[0].sightingsMoved, 1);
    EXPECT_EQ(scalar("SELECT count(*) FROM Birds WHERE ID = 10").toInt(), 0);
    EXPECT_EQ(scalar("SELECT count(*) FROM Sightings WHERE Bird_ID = 11").toInt(), 2);
    EXPECT_EQ(scalar("SELECT count(*) FROM Sightings").toInt(), 7) << "no sighting is lost";
    auto status = [&](int region) {
        return scalar("SELECT Status || ' ' || coalesce(scode, '') FROM Checklists WHERE Bird_ID = 11 AND Reg_ID = ?",
                      {region}).toString();
    };
    EXPECT_EQ(status(kNorthAmerica), "B FS/");
    EXPECT_EQ(status(kOntario), "B RSL") << "the higher status, with its detail";
    EXPECT_EQ(status(kCanada), "R XV/") << "a region only the lumped species had";
    EXPECT_EQ(status(kEmptyRegion), "V FT/") << "a visitor ranks above extinct";
    EXPECT_EQ(scalar("SELECT count(*) FROM Checklists WHERE Bird_ID = 10").toInt(), 0);
    EXPECT_EQ(scalar("SELECT Bird_ID FROM images WHERE File = 'kirtland.jpg'").toInt(), 11);
    EXPECT_EQ(scalar("SELECT Bird_ID FROM Links WHERE Title = 'Recovery plan'").toInt(), 11);
    EXPECT_EQ(scalar("SELECT song FROM Birds WHERE ID = 11").toString(), "kirtland.wav");
    EXPECT_EQ(scalar("SELECT Data FROM Birds WHERE ID = 11").toString(),
              "Tail-wagging warbler.\n\nKirtland's Warbler: Rare jack-pine warbler.") << "no description is lost";
    EXPECT_EQ(scalar("SELECT count(*) FROM TaxonForms WHERE FormCode = 'kirwar' AND Bird_ID = 11").toInt(), 1);
    EXPECT_EQ(lifesum(), 3) << "the life list counts the merged species once";
    EXPECT_EQ(scalar("SELECT lifetotal FROM Options").toInt(), 11);
    EXPECT_EQ(scalar("SELECT LifeList FROM Birds WHERE ID = 11").toInt(),
              scalar("SELECT Sight_ID FROM Sightings WHERE Bird_ID = 11 ORDER BY Date LIMIT 1").toInt())
        << "the earlier sighting of the two is the life-list one";
}

TEST_F(TaxonomyUpdate, LumpedSpeciesUnderANewCodeMergeIntoTheOneOfTheSameName)
{
    auto rows = without(without(fixtureRows(), "woothr"), "herthr");
    rows.push_back(row(45, "species", "forthr1", "Forest Thrush", "Catharus guttatus", "Turdidae"));
    rows.push_back(row(46, "issf", "woothr", "Forest Thrush (Wood)", "Catharus guttatus mustelinus", "Turdidae", "forthr1"));
    rows.push_back(row(47, "issf", "herthr", "Forest Thrush (Hermit)", "Catharus guttatus guttatus", "Turdidae", "forthr1"));
    const TaxonomyPlan p = applyAndCheck(rows);
    ASSERT_EQ(p.lumps.size(), 1u);
    EXPECT_EQ(p.lumps[0].survivorId, 5) << "the one whose scientific name the new species has";
    EXPECT_EQ(scalar("SELECT Name || ' ' || SpeciesCode FROM Birds WHERE ID = 5").toString(), "Forest Thrush forthr1");
    EXPECT_EQ(scalar("SELECT count(*) FROM Birds").toInt(), 11);
}

TEST_F(TaxonomyUpdate, ASplitKeepsTheRecordsWithTheChosenDaughterAndMarksThemForReview)
{
    // The Yellow Warbler's code becomes a slash; its two groups become species.
    auto rows = without(without(fixtureRows(), "yelwar1"), "maywar1");
    at(rows, "yelwar").category = QStringLiteral("slash");
    at(rows, "yelwar").common = QStringLiteral("Northern/Mangrove Yellow Warbler");
    at(rows, "yelwar").sci = QStringLiteral("Setophaga aestiva/petechia");
    at(rows, "yelwar").taxonOrder = 76;
    rows.push_back(row(73, "species", "yelwar1", "Northern Yellow Warbler", "Setophaga aestiva", "Parulidae"));
    rows.push_back(row(74, "species", "manwar1", "Mangrove Yellow Warbler", "Setophaga petechia", "Parulidae"));
    rows.push_back(row(75, "issf", "maywar1", "Mangrove Yellow Warbler (Panama)", "Setophaga petechia [erithachorides Group]",
                       "Parulidae", "manwar1"));
    const QString before = contents(db());

    TaxonomyPlan p = plan(rows);
    ASSERT_EQ(p.splits.size(), 1u);
    const auto& split = p.splits[0];
    EXPECT_EQ(split.birdId, 7);
    ASSERT_EQ(split.daughters.size(), 2u);
    EXPECT_EQ(split.daughters[size_t(split.keeper)].common, "Mangrove Yellow Warbler")
        << "by default the daughter with the old scientific name keeps the records";
    EXPECT_EQ(split.sightings, 3);
    EXPECT_EQ(p.sightingsToReview(), 3);
    EXPECT_EQ(p.newSpecies(), 1);
    EXPECT_EQ(contents(db()), before) << "the preview changes nothing";

    applyAndCheck(rows, [](TaxonomyPlan& chosen) {
        const auto& d = chosen.splits[0].daughters;
        chosen.setKeeper(0, int(std::find_if(d.begin(), d.end(), [](const auto& t) { return t.code == "yelwar1"; })
                                - d.begin()));
    });
    EXPECT_EQ(scalar("SELECT Name || ', ' || sci_name || ', ' || SpeciesCode FROM Birds WHERE ID = 7").toString(),
              "Northern Yellow Warbler, Setophaga aestiva, yelwar1");
    EXPECT_EQ(scalar("SELECT count(*) FROM Sightings WHERE Bird_ID = 7 AND NeedsReview = 1").toInt(), 3);
    EXPECT_EQ(scalar("SELECT count(*) FROM Sightings WHERE NeedsReview = 1").toInt(), 3) << "only the split species'";
    auto added = db().openRecordset("SELECT * FROM Birds WHERE SpeciesCode = 'manwar1'", db::RecordsetKind::Snapshot);
    ASSERT_FALSE(added.eof());
    EXPECT_EQ(added.field("Name").toString(), "Mangrove Yellow Warbler");
    EXPECT_EQ(added.field("family_ID").toInt(), 3) << "in its family";
    EXPECT_GT(added.field("sortOrder").toInt(), 70) << "after Northern Yellow Warbler";
    EXPECT_LT(added.field("sortOrder").toInt(), 80) << "before Ovenbird";
    EXPECT_EQ(added.field("Data").toString(), "Split from Yellow Warbler.");
    EXPECT_EQ(added.field("LifeList").toInt(), 0);
    const int newId = added.field("ID").toInt();
    EXPECT_EQ(scalar("SELECT count(*) FROM Checklists WHERE Bird_ID = ?", {newId}).toInt(), 0)
        << "a new species starts with no checklist rows";
    EXPECT_EQ(scalar("SELECT count(*) FROM Checklists WHERE Bird_ID = 7").toInt(), 2) << "the keeper keeps its own";
    EXPECT_EQ(scalar("SELECT Bird_ID FROM TaxonForms WHERE FormCode = 'maywar1'").toInt(), newId)
        << "the forms follow their species";
    EXPECT_EQ(scalar("SELECT count(*) FROM TaxonForms WHERE FormCode = 'yelwar1'").toInt(), 0);
    EXPECT_EQ(lifesum(), 4) << "the life list is unchanged";
    EXPECT_EQ(scalar("SELECT lifetotal FROM Options").toInt(), 12);
}

TEST_F(TaxonomyUpdate, AGroupThatBecomesASpeciesSplitsFromASpeciesThatKeepsItsCode)
{
    auto rows = without(fixtureRows(), "palwar5");
    rows.push_back(row(115, "species", "palwar5", "Western Palm Warbler", "Setophaga hypochrysea", "Parulidae"));
    at(rows, "palwar2").reportAs = QStringLiteral("palwar5");
    const TaxonomyPlan p = applyAndCheck(rows);
    ASSERT_EQ(p.splits.size(), 1u);
    EXPECT_EQ(p.splits[0].daughters[size_t(p.splits[0].keeper)].code, "palwar") << "the species that kept its code";
    EXPECT_EQ(scalar("SELECT Name FROM Birds WHERE ID = 11").toString(), "Palm Warbler");
    EXPECT_EQ(scalar("SELECT count(*) FROM Sightings WHERE Bird_ID = 11 AND NeedsReview = 1").toInt(), 1);
    EXPECT_GT(scalar("SELECT sortOrder FROM Birds WHERE SpeciesCode = 'palwar5'").toInt(), 110);
    EXPECT_LT(scalar("SELECT sortOrder FROM Birds WHERE SpeciesCode = 'palwar5'").toInt(), 120);
}

TEST_F(TaxonomyUpdate, SpeciesTheFileLacksAreKeptAndOthersAddedOnlyOnRequest)
{
    auto rows = without(fixtureRows(), "babwar");
    rows.push_back(row(5, "species", "tunswa", "Tundra Swan", "Cygnus columbianus", "Anatidae"));
    rows.push_back(row(300, "species", "amecro", "American Crow", "Corvus brachyrhynchos", "Corvidae"));
    TaxonomyPlan p = plan(rows);
    ASSERT_EQ(p.missing.size(), 1u);
    EXPECT_EQ(p.missing[0].name, "Bay-breasted Warbler");
    EXPECT_EQ(p.unrelated, 2);
    EXPECT_FALSE(p.hasChanges()) << "unrelated species are left out unless asked for";

    TaxonomyPlanOptions all;
    all.addUnrelated = true;
    p = plan(rows, all);
    ASSERT_EQ(p.added.size(), 2u);
    ASSERT_TRUE(apply(p));
    EXPECT_EQ(scalar("SELECT count(*) FROM Birds WHERE Name = 'Bay-breasted Warbler'").toInt(), 1);
    EXPECT_LT(scalar("SELECT sortOrder FROM Birds WHERE Name = 'Tundra Swan'").toInt(), 10) << "before Canada Goose";
    EXPECT_EQ(scalar("SELECT family_ID FROM Birds WHERE Name = 'Tundra Swan'").toInt(), 1);
    // A family and order the database lacked come with the crow.
    auto crow = db().openRecordset("SELECT Families.sci_name AS f, Orders.sci_name AS o FROM Birds, Families, Orders "
                                   "WHERE Birds.family_ID = Families.Fam_ID AND Families.Order_ID = Orders.Order_ID "
                                   "AND Birds.Name = 'American Crow'", db::RecordsetKind::Snapshot);
    ASSERT_FALSE(crow.eof());
    EXPECT_EQ(crow.field("f").toString(), "Corvidae");
    EXPECT_EQ(crow.field("o").toString(), "Passeriformes") << "the order of that name, already there";
    EXPECT_GT(scalar("SELECT sortOrder FROM Birds WHERE Name = 'American Crow'").toInt(), 110)
        << "after Palm Warbler, the last species before it in the file";
    EXPECT_EQ(scalar("SELECT count(DISTINCT sortOrder) FROM Birds").toInt(), 14);
    EXPECT_EQ(scalar("SELECT lifetotal FROM Options").toInt(), 12) << "the region's checklist is unchanged";
    EXPECT_EQ(scalar("PRAGMA integrity_check").toString(), "ok");
}

TEST_F(TaxonomyUpdate, NewSpeciesFindRoomInACrowdedSortOrder)
{
    // Species numbered one apart leave no room: every species is numbered afresh, in order.
    db().execute("UPDATE Birds SET sortOrder = sortOrder / 10");
    auto rows = fixtureRows();
    for (int i = 1; i <= 3; ++i)
        rows.push_back(row(30 + 0.1 * i, "species", qPrintable(QStringLiteral("newduc%1").arg(i)),
                           qPrintable(QStringLiteral("New Duck %1").arg(i)), qPrintable(QStringLiteral("Anas nova%1").arg(i)),
                           "Anatidae"));
    TaxonomyPlanOptions all;
    all.addUnrelated = true;
    ASSERT_TRUE(apply(plan(rows, all)));
    QStringList order;
    auto rs = db().openRecordset("SELECT Name FROM Birds ORDER BY sortOrder", db::RecordsetKind::Snapshot);
    for (; !rs.eof(); rs.moveNext()) order << rs.field(0).toString();
    EXPECT_EQ(order.mid(0, 6), (QStringList{"Canada Goose", "Wood Duck", "Mallard", "New Duck 1", "New Duck 2", "New Duck 3"}));
    EXPECT_EQ(order.size(), 15);
    EXPECT_EQ(scalar("SELECT count(DISTINCT sortOrder) FROM Birds").toInt(), 15);
}

TEST_F(TaxonomyUpdate, ACancelledApplyChangesNothing)
{
    auto rows = without(without(fixtureRows(), "yelwar1"), "maywar1");
    at(rows, "yelwar").category = QStringLiteral("slash");
    at(rows, "yelwar").sci = QStringLiteral("Setophaga aestiva/petechia");
    rows.push_back(row(73, "species", "yelwar1", "Northern Yellow Warbler", "Setophaga aestiva", "Parulidae"));
    rows.push_back(row(74, "species", "manwar1", "Mangrove Yellow Warbler", "Setophaga petechia", "Parulidae"));
    at(rows, "kirwar").category = QStringLiteral("issf");
    at(rows, "kirwar").reportAs = QStringLiteral("palwar");
    at(rows, "mallar3").common = QStringLiteral("Common Mallard");
    const QString before = contents(db());
    const TaxonomyFile file = TaxonomyFile::fromRows(rows);
    const TaxonomyPlan p = planTaxonomyUpdate(db(), file);
    ASSERT_TRUE(p.hasChanges());
    // Cancelled at each step in turn, from before the first to after the last.
    int total = 0;
    for (int stop = 0; total == 0 || stop <= total; ++stop) {
        int calls = 0;
        const bool done = applyTaxonomyUpdate(s->state, file, p, [&](int step, int steps) {
            total = steps;
            ++calls;
            return step < stop;
        });
        EXPECT_FALSE(done) << "stopped at step " << stop;
        EXPECT_GE(calls, 1);
        EXPECT_EQ(contents(db()), before) << "stopped at step " << stop;
        EXPECT_EQ(scalar("PRAGMA integrity_check").toString(), "ok");
    }
    EXPECT_GT(total, 5);
    EXPECT_TRUE(applyTaxonomyUpdate(s->state, file, p, [](int, int) { return true; }));
    EXPECT_NE(contents(db()), before);
}

TEST_F(TaxonomyUpdate, ALumpMergesTheTwoSpeciesOfOneOutingIntoOneSighting)
{
    db().executeScript("INSERT INTO Outings (Outing_ID, Date, site) VALUES (1, '2024-05-10', 'Jack pines');"
                       "INSERT INTO Outings (Outing_ID, Date, site) VALUES (2, '2024-05-11', 'Dunes');"
                       "INSERT INTO Sightings (Bird_ID, Date, site, Outing_ID, Count, notes) VALUES "
                       "(10, '2024-05-10', 'Jack pines', 1, 2, 'singing'), (11, '2024-05-10', 'Jack pines', 1, 3, ''), "
                       "(10, '2024-05-11', 'Dunes', 2, NULL, 'heard'), (11, '2024-05-11', 'Dunes', 2, 4, 'flock'), "
                       "(10, '2024-05-12', 'Marsh', NULL, 1, 'on its own')");
    const int before = scalar("SELECT count(*) FROM Sightings").toInt();
    auto rows = fixtureRows();
    at(rows, "kirwar").category = QStringLiteral("issf");
    at(rows, "kirwar").common = QStringLiteral("Palm Warbler (Kirtland's)");
    at(rows, "kirwar").reportAs = QStringLiteral("palwar");
    applyAndCheck(rows);
    EXPECT_EQ(scalar("SELECT count(*) FROM Sightings").toInt(), before - 2) << "one sighting per species and outing";
    EXPECT_EQ(scalar("SELECT Count || ':' || notes FROM Sightings WHERE Outing_ID = 1").toString(), "5:singing");
    EXPECT_EQ(scalar("SELECT coalesce(Count, 'X') || ':' || notes FROM Sightings WHERE Outing_ID = 2").toString(),
              "X:flock; heard") << "present but not counted stays so";
    EXPECT_EQ(scalar("SELECT count(*) FROM Sightings WHERE Bird_ID = 11 AND site = 'Marsh'").toInt(), 1);
    EXPECT_EQ(scalar("SELECT count(*) FROM Birds WHERE LifeList > 0 AND LifeList NOT IN (SELECT Sight_ID FROM Sightings)")
                  .toInt(), 0) << "no mark on a sighting that went";
}

// A species renamed by an update between two downloads of the same checklists: the newer
// download, under the new names, adds nothing for them.
TEST_F(TaxonomyUpdate, ARenamedSpeciesImportedBeforeAndAfterTheUpdateIsOneSighting)
{
    const QString path = folder.path() + "/MyEBirdData.csv";
    writeFile(path, downloadText({{"S77", "Ovenbird", "Seiurus aurocapilla", "2", "CA-ON", "", "Tip", "2023-05-14", "", ""},
                                  {"S77", "warbler sp.", "Parulidae sp.", "1", "CA-ON", "", "Tip", "2023-05-14", "", ""}}));
    ASSERT_EQ(storeImport(s->state, readEbirdFile(db(), path)), 1);

    auto rows = fixtureRows();
    at(rows, "ovenbi1").common = QStringLiteral("Eastern Ovenbird");
    at(rows, "ovenbi1").sci = QStringLiteral("Seiurus aurocapillus");
    ASSERT_EQ(applyAndCheck(rows).renames.size(), 1u);

    writeFile(path, downloadText({{"S77", "Eastern Ovenbird", "Seiurus aurocapillus", "2", "CA-ON", "", "Tip", "2023-05-14", "", ""},
                                  {"S77", "warbler sp.", "Parulidae sp.", "1", "CA-ON", "", "Tip", "2023-05-14", "", ""},
                                  {"S78", "Eastern Ovenbird", "Seiurus aurocapillus", "1", "CA-ON", "", "Tip", "2023-05-15", "", ""}}));
    const ImportPreview p = readEbirdFile(db(), path);
    EXPECT_EQ(p.alreadyStored, 2);
    EXPECT_EQ(p.newSightings(), 1);
    EXPECT_EQ(p.newOtherRecords(), 0);
    ASSERT_EQ(storeImport(s->state, p), 1);
    EXPECT_EQ(scalar("SELECT count(*) FROM Sightings S JOIN Outings O ON O.Outing_ID = S.Outing_ID "
                     "WHERE O.SubmissionID = 'S77' AND S.Bird_ID = 8").toInt(), 1);
    EXPECT_EQ(scalar("SELECT count(*) FROM Sightings WHERE Bird_ID = 8").toInt(), 2);
    EXPECT_EQ(scalar("SELECT count(*) FROM OtherRecords").toInt(), 1);
}
