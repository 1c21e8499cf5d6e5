#include "EbirdFiles.h"
#include "records/EbirdImport.h"
#include "regions/CodedRegions.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using namespace fl;
using namespace fl::test;

namespace {

// A download with one record of each kind the importer must tell apart.
QList<DownloadRecord> mixedDownload()
{
    return {
        {"S100", "Mallard", "Anas platyrhynchos", "3", "US-CA", "Monterey", "Carmel River mouth", "2023-04-02", "pair, \"dabbling\"", "windy"},
        {"S100", "Wood Duck", "AIX SPONSA", "X", "US-CA", "Monterey County", "Carmel River mouth", "2023-04-02", "", "windy"},
        {"S101", "American Robin", "Turdus wrongname", "12", "CA-ON", "Point Pelee", "Tip", "2024-05-17", "", ""},
        {"S101", "Palm Warbler (Western)", "Setophaga palmarum palmarum", "2", "CA-ON", "", "Tip", "2024-05-17", "", ""},
        {"S101", "Yellow Warbler", "Setophaga petechia aestiva x amnicola", "1", "CA-ON", "", "Tip", "2024-05-18", "", ""},
        {"S101", "duck sp.", "Anatidae sp.", "4", "CA-ON", "", "Tip", "2024-05-17", "", ""},
        {"S101", "Hermit/Wood Thrush", "Catharus guttatus/Hylocichla mustelina", "1", "CA-ON", "", "Tip", "2024-05-17", "", ""},
        {"S102", "Mallard x American Black Duck (hybrid)", "Anas platyrhynchos x rubripes", "1", "US-ZZ", "", "Pond", "2022-01-09", "", ""},
        {"S102", "Mallard (Domestic type)", "Anas platyrhynchos (Domestic type)", "5", "US-CA", "", "Pond", "2022-01-09", "", ""},
        {"S102", "Northern Cardinal", "Cardinalis cardinalis", "1", "US-CA", "", "Pond", "2022-01-09", "", ""},
        {"S103", "Northern Cardinal", "Cardinalis cardinalis", "2", "US-CA", "", "Yard", "2022-01-10", "", ""},
        {"S104", "Ovenbird", "Seiurus aurocapilla", "1", "US-CA", "", "Yard", "not a date", "", ""},
    };
}

class EbirdImport : public ::testing::Test {
protected:
    TestFolder folder;
    QString file() const { return folder.path() + "/MyEBirdData.csv"; }
    void SetUp() override { addUsRegions(folder); }
};

} // namespace

// The records of one checklist of a preview, as "birdId:count" and "category:name".
QStringList recordsOf(const ImportOuting& o)
{
    QStringList out;
    for (const ImportSighting& s : o.sightings) out << QStringLiteral("%1:%2").arg(s.birdId).arg(s.count ? QString::number(*s.count) : "X");
    for (const ImportOther& r : o.others) out << r.category + ":" + (r.common.isEmpty() ? r.sci : r.common);
    return out;
}

const ImportOuting* checklist(const ImportPreview& p, const QString& submission)
{
    for (const ImportOuting& o : p.outings)
        if (o.outing.submissionId == submission) return &o;
    return nullptr;
}

TEST_F(EbirdImport, PreviewMatchesSpeciesGroupsChecklistsAndKeepsTheRecordsOfNoSpecies)
{
    // Columns in another order than eBird's; lines ended as Windows, Unix and old Macs (and
    // some spreadsheets) end them.
    QStringList order = kDownloadHeader;
    std::reverse(order.begin(), order.end());
    OpenState s(folder.path());
    for (const char* end : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(QByteArray(end).toPercentEncoding().toStdString());
        writeFile(file(), "\xEF\xBB\xBF" + downloadText(mixedDownload(), order).replace("\r\n", end));
        const ImportPreview p = readEbirdFile(s.db(), file());
        EXPECT_EQ(p.format, "eBird download");
        EXPECT_EQ(p.recordsRead, 12);
        EXPECT_EQ(p.matched, 5) << "by name, either name in any letter case, subspecies forms and intergrades";
        EXPECT_EQ(p.speciesMatched, 5);
        EXPECT_EQ(p.first, QDate(2023, 4, 2));
        EXPECT_EQ(p.last, QDate(2024, 5, 17)) << "a checklist has the date of its first record";
        EXPECT_EQ(p.alreadyStored, 0);
        // Listed by kind, and kept with their checklists.
        EXPECT_EQ(p.skippedCount(SkipReason::Spuh), 1);
        EXPECT_EQ(p.skippedCount(SkipReason::Slash), 1);
        EXPECT_EQ(p.skippedCount(SkipReason::Hybrid), 1);
        EXPECT_EQ(p.skippedCount(SkipReason::Domestic), 1);
        ASSERT_EQ(p.skippedCount(SkipReason::NotInDatabase), 2);
        EXPECT_EQ(p.skipped.at(SkipReason::NotInDatabase).value("Northern Cardinal"), 2) << "listed with its count";
        EXPECT_EQ(p.otherRecords, 6);
        EXPECT_EQ(p.newOtherRecords(), 6);
        // Not imported at all: the record without a date, listed with its text and line.
        EXPECT_EQ(p.skippedCount(SkipReason::NoDate), 1);
        EXPECT_EQ(p.skippedTotal(), 1);
        ASSERT_EQ(p.badDates.size(), 1u);
        EXPECT_EQ(p.badDates[0].line, 13);
        EXPECT_EQ(p.badDates[0].text, "not a date");
        EXPECT_EQ(p.badDates[0].name, "Ovenbird");

        // One checklist per Submission ID: S101's records of two days are of one checklist, on
        // the date of its first record.
        ASSERT_EQ(p.outings.size(), 4u);
        EXPECT_EQ(p.checklists(), 4);
        const ImportOuting* s100 = checklist(p, "S100");
        ASSERT_NE(s100, nullptr);
        EXPECT_EQ(recordsOf(*s100), (QStringList{"1:3", "2:X"}));
        const Outing& o = s100->outing;
        EXPECT_EQ(o.date, QDate(2023, 4, 2));
        EXPECT_EQ(o.places[1], 5);
        EXPECT_EQ(o.places[2], 6);
        EXPECT_EQ(o.places[3], 7) << "the county without the word County";
        EXPECT_EQ(o.places[0], kNorthAmerica) << "a country of the continent";
        EXPECT_EQ(o.stateCode, "US-CA");
        EXPECT_EQ(o.countyCode, "US-CA-053");
        EXPECT_EQ(o.site, "Carmel River mouth");
        EXPECT_EQ(o.comments, "windy");
        EXPECT_EQ(s100->sightings[0].comments, "pair, \"dabbling\"");
        ASSERT_NE(checklist(p, "S101"), nullptr);
        EXPECT_EQ(recordsOf(*checklist(p, "S101")),
                  (QStringList{"4:12", "11:2", "7:1", "spuh:duck sp.", "slash:Hermit/Wood Thrush"}))
            << "by common name when the scientific is unknown; a form; an intergrade";
        EXPECT_EQ(checklist(p, "S101")->outing.places[1], kCanada);
        EXPECT_EQ(checklist(p, "S101")->outing.places[2], kOntario);
        EXPECT_EQ(checklist(p, "S101")->outing.places[3], kEmptyRegion) << "Point Pelee, a county of the program's own";
        ASSERT_NE(checklist(p, "S102"), nullptr);
        EXPECT_EQ(recordsOf(*checklist(p, "S102")), (QStringList{"hybrid:Mallard x American Black Duck (hybrid)",
                                                                 "domestic:Mallard (Domestic type)",
                                                                 "species:Northern Cardinal"}));
        ASSERT_EQ(p.newRegions.size(), 1u) << "the unknown state code";
        EXPECT_EQ(p.newRegions[0].code, "US-ZZ");
        EXPECT_EQ(s.count("Sightings") + s.count("Outings") + s.count("OtherRecords"), 0) << "reading stores nothing";
        EXPECT_EQ(s.count("Regions"), 7);
    }
}

TEST_F(EbirdImport, StoresOnceWithKeysAndTheLifeListFollows)
{
    writeFile(file(), downloadText(mixedDownload()));
    // Ontario is the current region; Wood Thrush was seen there before.
    folder.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 1, lifetotal = 6");
    folder.exec("INSERT INTO Sightings (Bird_ID, Date, Type, state, site, notes) VALUES (6, '2020-06-01', 'Adult', 2, 'Home', '')");
    folder.exec("UPDATE Birds SET LifeList = 1 WHERE ID = 6");
    {
        OpenState s(folder.path());
        const ImportPreview p = readEbirdFile(s.db(), file());
        std::vector<std::pair<int, int>> calls;
        const int stored = storeImport(s.state, p, [&](int done, int total) {
            calls.emplace_back(done, total);
            return true;
        });
        EXPECT_EQ(stored, 5);
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ(calls.front(), std::make_pair(0, 11));
        EXPECT_EQ(calls.back(), std::make_pair(11, 11));
        EXPECT_EQ(s.count("Sightings"), 6);
        EXPECT_EQ(s.count("Outings"), 4);
        EXPECT_EQ(s.count("OtherRecords"), 6);
        EXPECT_EQ(s.count("ImportKeys"), 11) << "the records of no species remember their keys too";
        EXPECT_EQ(s.db().scalar("SELECT count(*) FROM ImportKeys K JOIN Sightings S ON S.Sight_ID = K.Sight_ID").toInt(), 5);
        // The life list of Ontario: Wood Thrush, and now American Robin (Palm and Yellow
        // Warblers are not on its checklist); no record of no species counts.
        EXPECT_EQ(s.state.rsOptions.field("lifesum").toInt(), 2);
        EXPECT_EQ(s.state.rsOptions.field("lifetotal").toInt(), 6);
        EXPECT_GT(s.db().scalar("SELECT LifeList FROM Birds WHERE ID = 4").toInt(), 0);
        EXPECT_EQ(s.db().scalar("SELECT LifeList FROM Birds WHERE ID = 1").toInt(), 0) << "seen in California only";
        EXPECT_EQ(s.db().scalar("SELECT site || '/' || notes || '/' || Count FROM Sightings WHERE Bird_ID = 1").toString(),
                  "Carmel River mouth/pair, \"dabbling\"/3");
        EXPECT_EQ(s.db().scalar("SELECT Date FROM Sightings WHERE Bird_ID = 7").toDate(), QDate(2024, 5, 17))
            << "a sighting has its checklist's date";
        EXPECT_EQ(s.db().scalar("SELECT count(*) FROM Regions WHERE Code = 'US-ZZ' AND Type = 'State'").toInt(), 1);
        EXPECT_TRUE(s.db().openRecordset("PRAGMA foreign_key_check", db::RecordsetKind::Snapshot).eof());
    }
    {
        // The same file again: everything is recognised, nothing is added.
        OpenState s(folder.path());
        const ImportPreview again = readEbirdFile(s.db(), file());
        EXPECT_EQ(again.matched, 5);
        EXPECT_EQ(again.alreadyStored, 11);
        EXPECT_TRUE(again.outings.empty());
        EXPECT_TRUE(again.newRegions.empty()) << "the region made before is found";
        EXPECT_EQ(storeImport(s.state, again), 0);
        EXPECT_EQ(s.count("Sightings"), 6);
        EXPECT_EQ(s.count("OtherRecords"), 6);
        // Deleting an imported sighting keeps its key: the next import does not bring it back.
        s.db().execute("DELETE FROM Sightings WHERE Bird_ID = 2");
        // Nor does it bring back the records of an outing deleted whole.
        s.db().execute("DELETE FROM Sightings WHERE Outing_ID = (SELECT Outing_ID FROM Outings WHERE SubmissionID = 'S102')");
        s.db().execute("DELETE FROM Outings WHERE SubmissionID = 'S102'");
        EXPECT_EQ(s.count("OtherRecords"), 3) << "an outing's records of no species go with it";
        const ImportPreview third = readEbirdFile(s.db(), file());
        EXPECT_EQ(third.newSightings() + third.newOtherRecords(), 0);
    }
    {
        // A file with one more checklist, and one more species on a stored one, adds just those.
        QList<DownloadRecord> more = mixedDownload();
        more << DownloadRecord{"S200", "Ovenbird", "Seiurus aurocapilla", "1", "CA-ON", "", "Woods", "2024-06-01", "", ""};
        more << DownloadRecord{"S100", "Ovenbird", "Seiurus aurocapilla", "2", "US-CA", "Monterey", "Carmel River mouth",
                               "2023-04-02", "", "windy"};
        writeFile(file(), downloadText(more));
        OpenState s(folder.path());
        const ImportPreview p = readEbirdFile(s.db(), file());
        EXPECT_EQ(p.alreadyStored, 11);
        ASSERT_EQ(p.outings.size(), 2u);
        EXPECT_EQ(p.newSightings(), 2);
        const int s100 = s.db().scalar("SELECT Outing_ID FROM Outings WHERE SubmissionID = 'S100'").toInt();
        EXPECT_EQ(storeImport(s.state, p), 2);
        EXPECT_EQ(s.db().scalar("SELECT count(*) FROM Sightings WHERE Outing_ID = ?", {s100}).toInt(), 2)
            << "the new species joins the stored outing";
        EXPECT_EQ(s.count("Outings"), 4);
        EXPECT_EQ(s.state.rsOptions.field("lifesum").toInt(), 2) << "Ovenbird is not on Ontario's checklist";
    }
}

// Everything a checklist of a download holds reaches the outing and its sightings.
TEST_F(EbirdImport, EveryFieldOfAChecklistAndItsRecordsIsStored)
{
    DownloadRecord full{"S5551212", "Mallard", "Anas platyrhynchos", "14", "US-CA", "Monterey", "Carmel River mouth",
                        "2023-04-02", "males<br />displaying<BR>to hens", "Low tide.<br/>Fog <b>lifting</b>"};
    full.time = "07:05 PM";
    full.protocol = "eBird - Traveling Count";
    full.duration = "95";
    full.allObs = "1";
    full.distance = "2.414";
    full.observers = "3";
    full.breeding = "C Courtship, Display or Copulation (C4)";
    full.media = "ML123456 ML7890";
    full.latitude = "36.5366";
    full.longitude = "-121.9284";
    DownloadRecord second = full;
    second.common = "gull sp.";
    second.sci = "Larinae sp.";
    second.count = "X";
    second.details = "far out";
    second.breeding = "";
    second.media = "555";
    second.taxonOrder = "6360";
    DownloadRecord area{"S5551213", "Wood Duck", "Aix sponsa", "2", "CA-ON", "", "Marsh", "2023-04-03", "", ""};
    area.protocol = "eBird - Exhaustive Area Count";
    area.area = "12.5";
    area.allObs = "0";
    area.latitude = "";
    area.longitude = "";
    writeFile(file(), downloadText({full, second, area}));
    OpenState s(folder.path());
    ASSERT_EQ(storeImport(s.state, readEbirdFile(s.db(), file())), 2);
    auto row = [&](const QString& sql) {
        auto rs = s.db().openRecordset(sql, db::RecordsetKind::Snapshot);
        QStringList f;
        for (int i = 0; !rs.eof() && i < rs.fieldNames().size(); ++i) f << (rs.field(i).isNull() ? "NULL" : rs.field(i).toString());
        return f.join(u'|').toStdString();
    };
    EXPECT_EQ(row("SELECT Date, StartTime, Duration, Distance, Area, Observers, Protocol, AllReported, site, Latitude, "
                  "Longitude, Region, country, state, district, StateCode, CountyCode, comments, SubmissionID FROM Outings "
                  "WHERE SubmissionID = 'S5551212'"),
              std::string("2023-04-02|19:05|95|2.414|NULL|3|Traveling|true|Carmel River mouth|36.5366|-121.9284|1|5|6|7|US-CA|"
              "US-CA-053|Low tide.\nFog <b>lifting</b>|S5551212"));
    EXPECT_EQ(row("SELECT Protocol, Area, AllReported, Latitude, Distance, StateCode, CountyCode FROM Outings "
                  "WHERE SubmissionID = 'S5551213'"),
              std::string("Area|12.5|false|NULL|NULL|CA-ON|NULL"));
    EXPECT_EQ(row("SELECT Bird_ID, Date, site, Region, country, state, district, notes, Count, BreedingCode, MediaNumbers "
                  "FROM Sightings WHERE Bird_ID = 1"),
              std::string("1|2023-04-02|Carmel River mouth|1|5|6|7|males\ndisplaying\nto hens|14|C Courtship, Display or "
              "Copulation (C4)|123456 7890"));
    EXPECT_EQ(row("SELECT Name, sci_name, Category, TaxonOrder, Count, BreedingCode, notes, MediaNumbers, SourceKey "
                  "FROM OtherRecords"),
              std::string("gull sp.|Larinae sp.|spuh|6360|NULL|NULL|far out|555|S5551212|larinae sp."));
}

// Downloads of several years: dates in every form eBird has written, the species comments
// under either name.
TEST_F(EbirdImport, OlderAndNewerDownloadsImportAlike)
{
    QList<DownloadRecord> older = {
        {"S1001", "Mallard", "Anas platyrhynchos", "2", "CA-ON", "", "Pond", "05-17-2014", "first<br>of spring", "cold"},
        {"S1001", "Wood Duck", "Aix sponsa", "1", "CA-ON", "", "Pond", "05-17-2014", "", "cold"},
        {"S1002", "Canada Goose", "Branta canadensis", "40", "CA-ON", "", "Field", "5/3/2016", "flock", ""},
        {"S1003", "American Robin", "Turdus migratorius", "1", "CA-ON", "", "Yard", "17/05/2014", "", ""},
    };
    older[0].time = "7:15 AM";
    writeFile(file(), downloadText(older, kOlderDownloadHeader));
    OpenState s(folder.path());
    const ImportPreview p = readEbirdFile(s.db(), file());
    EXPECT_EQ(p.matched, 3);
    ASSERT_EQ(p.badDates.size(), 1u) << "a day-first date is no date eBird wrote";
    EXPECT_EQ(p.badDates[0].line, 5);
    EXPECT_EQ(p.badDates[0].text, "17/05/2014");
    ASSERT_EQ(storeImport(s.state, p), 3);
    EXPECT_EQ(s.db().scalar("SELECT group_concat(Date || ':' || notes, '|') FROM (SELECT Date, notes FROM Sightings "
                            "ORDER BY Sight_ID)").toString(),
              "2014-05-17:first\nof spring|2014-05-17:|2016-05-03:flock");
    EXPECT_EQ(s.db().scalar("SELECT StartTime FROM Outings WHERE SubmissionID = 'S1001'").toString(), "07:15");
    EXPECT_EQ(s.db().scalar("SELECT comments FROM Outings WHERE SubmissionID = 'S1001'").toString(), "cold");
}

namespace {

struct DateCase {
    const char* text;
    QDate date; // invalid: not a date eBird writes
};

void PrintTo(const DateCase& c, std::ostream* out) { *out << c.text; }

class EbirdDates : public testing::TestWithParam<DateCase> {};

} // namespace

TEST_P(EbirdDates, ReadAsEbirdWritesThem) { EXPECT_EQ(parseEbirdDate(QString::fromLatin1(GetParam().text)), GetParam().date); }

INSTANTIATE_TEST_SUITE_P(
    Forms, EbirdDates,
    testing::Values(DateCase{"2024-05-17", QDate(2024, 5, 17)}, DateCase{"2024-5-7", QDate(2024, 5, 7)},
                    DateCase{" 2019-12-31 ", QDate(2019, 12, 31)}, DateCase{"05-17-2014", QDate(2014, 5, 17)},
                    DateCase{"5-7-2014", QDate(2014, 5, 7)}, DateCase{"05/17/2014", QDate(2014, 5, 17)},
                    DateCase{"5/7/2014", QDate(2014, 5, 7)}, DateCase{"2/29/2024", QDate(2024, 2, 29)},
                    DateCase{"2/29/2023", QDate()}, DateCase{"17/05/2014", QDate()}, DateCase{"13-01-2014", QDate()},
                    DateCase{"05/17-2014", QDate()}, DateCase{"2024/05/17", QDate()}, DateCase{"05-17-14", QDate()},
                    DateCase{"May 17, 2014", QDate()}, DateCase{"", QDate()}, DateCase{"2024-05-17T07:00", QDate()}));

// Start times, protocols and comments as eBird's files write them.
TEST(EbirdFields, TimesProtocolsAndLineBreaks)
{
    EXPECT_EQ(parseEbirdTime("07:05 AM"), QTime(7, 5));
    EXPECT_EQ(parseEbirdTime("12:30 AM"), QTime(0, 30));
    EXPECT_EQ(parseEbirdTime("12:30 PM"), QTime(12, 30));
    EXPECT_EQ(parseEbirdTime("7:05 pm"), QTime(19, 5));
    EXPECT_EQ(parseEbirdTime("19:05"), QTime(19, 5));
    EXPECT_EQ(parseEbirdTime("19:05:30"), QTime(19, 5));
    EXPECT_FALSE(parseEbirdTime("13:05 PM").isValid());
    EXPECT_FALSE(parseEbirdTime("24:00").isValid());
    EXPECT_FALSE(parseEbirdTime("dawn").isValid());
    // The download's names of the others come back as the program's in EbirdLayouts.
    EXPECT_EQ(ebirdProtocolName("eBird - Stationary Count"), "Stationary");
    EXPECT_EQ(ebirdProtocolName("incidental"), "Incidental");
    EXPECT_EQ(ebirdProtocolName("eBird Pelagic Protocol"), "eBird Pelagic Protocol");
    EXPECT_EQ(ebirdProtocolName("Casual"), "Incidental");
    EXPECT_EQ(ebirdProtocolName("eBird - Random Location Count"), "Random");
    EXPECT_EQ(ebirdProtocolName(" eBird--Rusty Blackbird Blitz "), "eBird--Rusty Blackbird Blitz") << "others as they are";
    EXPECT_EQ(withLineBreaks("a<br />b<br>c<BR/>d<br >e"), "a\nb\nc\nd\ne");
    EXPECT_EQ(withLineBreaks("<b>bold</b> & <i>x</i>"), "<b>bold</b> & <i>x</i>") << "other markup stays text";
}

// A file without Submission IDs (eBird's record format): checklists by their own fields,
// repeats by what they hold, so that importing it again adds nothing.
TEST_F(EbirdImport, RecordFormatRecordsFormChecklistsAndImportOnce)
{
    writeFile(file(), "Mallard,Anas,platyrhynchos,3,pair,Lake,42.1,-82.5,05/01/2024,07:30,ON,CA,Traveling,2,60,Y,1.5,,calm\n"
                      "Wood Duck,Aix,sponsa,X,,Lake,42.1,-82.5,05/01/2024,07:30,ON,CA,Traveling,2,60,Y,1.5,,calm\n"
                      "duck sp.,Anatidae,sp.,4,,Lake,42.1,-82.5,05/01/2024,07:30,ON,CA,Traveling,2,60,Y,1.5,,calm\n"
                      "Mallard,Anas,platyrhynchos,1,,Lake,42.1,-82.5,05/01/2024,16:00,ON,CA,Stationary,1,20,N,,,\n"
                      "Hermit Thrush,Catharus,guttatus,1,,Woods,,,05/02/2024,,ON,CA,Incidental,1,,N,,,\n"
                      "Mallard,Anas,platyrhynchos,2,,Lake,42.1,-82.5,05/01/2024,07:30,ON,CA,Traveling,2,60,Y,1.5,,calm\n");
    {
        OpenState s(folder.path());
        const ImportPreview p = readEbirdFile(s.db(), file());
        EXPECT_EQ(p.format, "eBird record format");
        ASSERT_EQ(p.outings.size(), 3u) << "morning, afternoon, next day";
        EXPECT_EQ(recordsOf(p.outings[0]), (QStringList{"1:5", "2:X", "spuh:duck sp."})) << "the same species twice: counts added";
        EXPECT_EQ(p.merged, 1);
        EXPECT_NEAR(*p.outings[0].outing.distance, 2.414, 1e-9) << "miles to km";
        EXPECT_EQ(p.outings[0].outing.observers, 2);
        EXPECT_EQ(storeImport(s.state, p), 4);
        EXPECT_EQ(s.count("Outings"), 3);
    }
    {
        OpenState s(folder.path());
        const ImportPreview again = readEbirdFile(s.db(), file());
        EXPECT_EQ(again.alreadyStored, 5);
        EXPECT_FALSE(again.hasNewRecords());
        // A sighting deleted since, and a whole outing, are not brought back: their keys stay.
        s.db().execute("DELETE FROM Sightings WHERE Bird_ID = 2");
        s.db().execute("DELETE FROM Sightings WHERE Bird_ID = 5");
        s.db().execute("DELETE FROM Outings WHERE Outing_ID NOT IN (SELECT Outing_ID FROM Sightings)");
        EXPECT_EQ(s.count("Outings"), 2);
        EXPECT_FALSE(readEbirdFile(s.db(), file()).hasNewRecords());
    }
    // A sighting entered by hand on that day at that site, and hand-made outings, count as the same records.
    writeFile(file(), "Hermit Thrush,Catharus,guttatus,1,,Home,,,06/02/2024,,ON,CA,Incidental,1,,N,,,\n"
                      "Wood Thrush,Hylocichla,mustelina,1,,Home,,,06/02/2024,,ON,CA,Incidental,1,,N,,,\n");
    folder.exec("INSERT INTO Sightings (Bird_ID, Date, Type, state, site, notes) VALUES (5, '2024-06-02', '', 2, 'home', '')");
    OpenState s(folder.path());
    const ImportPreview p = readEbirdFile(s.db(), file());
    EXPECT_EQ(p.alreadyStored, 1);
    EXPECT_EQ(p.newSightings(), 1);
}

// Records of a download without a Submission ID, Incidental and without effort, are
// sightings on their own, a species seen twice kept twice. With a record of no species among
// them they become an outing, where the two are merged into one sighting.
TEST_F(EbirdImport, SightingsOnTheirOwnWithARecordOfNoSpeciesBecomeOneOuting)
{
    QList<DownloadRecord> records = {
        {"", "Mallard", "Anas platyrhynchos", "2", "US-CA", "", "Pond", "2022-01-09", "", ""},
        {"", "Mallard", "Anas platyrhynchos", "3", "US-CA", "", "Pond", "2022-01-09", "", ""},
        {"", "duck sp.", "Anatidae sp.", "4", "US-CA", "", "Pond", "2022-01-09", "", ""},
        {"", "Mallard", "Anas platyrhynchos", "1", "US-CA", "", "Yard", "2022-01-09", "", ""},
        {"", "Mallard", "Anas platyrhynchos", "1", "US-CA", "", "Yard", "2022-01-09", "", ""},
    };
    for (DownloadRecord& r : records) {
        r.protocol = "eBird - Casual Observation";
        r.latitude = r.longitude = "";
        r.allObs = "0";
    }
    writeFile(file(), downloadText(records));
    OpenState s(folder.path());
    const ImportPreview p = readEbirdFile(s.db(), file());
    ASSERT_EQ(p.outings.size(), 2u);
    EXPECT_EQ(recordsOf(p.outings[0]), (QStringList{"1:5", "spuh:duck sp."}));
    EXPECT_EQ(recordsOf(p.outings[1]), (QStringList{"1:1", "1:1"})) << "on their own, each kept";
    EXPECT_EQ(storeImport(s.state, p), 3);
    EXPECT_EQ(s.count("Outings"), 1);
    EXPECT_EQ(s.db().scalar("SELECT Count FROM Sightings WHERE Outing_ID IS NOT NULL").toInt(), 5);
    EXPECT_EQ(s.count("OtherRecords"), 1);
}

TEST_F(EbirdImport, KeysOfTheEarlierImportAreStillRecognised)
{
    writeFile(file(), downloadText(mixedDownload()));
    // What the earlier import left: a sighting of no outing keyed by the species' name, and
    // the key of one since deleted.
    folder.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, site, notes) VALUES (40, 1, '2023-04-02', '', "
                "'Carmel River mouth', 'x3')");
    folder.exec("INSERT INTO ImportKeys VALUES ('S100|anas platyrhynchos', 40), ('S100|aix sponsa', 41)");
    OpenState s(folder.path());
    const ImportPreview p = readEbirdFile(s.db(), file());
    EXPECT_EQ(p.alreadyStored, 2);
    EXPECT_EQ(checklist(p, "S100"), nullptr);
}

// Each place is stored in its own column (the region of type Region, the country, the
// province or state, the county), also from eBird's record format with the tag the program's
// earlier exports wrote, naming every place and the type.
TEST_F(EbirdImport, EachPlaceIsStoredInItsOwnColumn)
{
    // eBird's record format with the tag the program's earlier exports wrote, naming every
    // place and the type: still read.
    writeFile(file(), "Hermit Thrush,Catharus,guttatus,1,,Rondeau,,,05/01/2024,,ON,CA,Incidental,1,,N,,,"
                      "Featherlog: Region=North America; Country=Canada; State=Ontario; District=Point Pelee; Type=Male\n"
                      "Wood Thrush,Hylocichla,mustelina,1,,Home,,,05/02/2024,,ON,CA,Incidental,1,,N,,,"
                      "Featherlog: State=Ontario\n"
                      "Mallard,Anas,platyrhynchos,1,,Lake,,,05/03/2024,,CA,US,Incidental,1,,N,,,"
                      "Featherlog: Country=United States; District=Monterey County\n");
    OpenState s(folder.path());
    ASSERT_EQ(storeImport(s.state, readEbirdFile(s.db(), file())), 3);
    QStringList stored;
    auto rs = s.db().openRecordset("SELECT Bird_ID, Region, country, state, district, Type, site FROM Sightings "
                                   "ORDER BY Bird_ID", db::RecordsetKind::Snapshot);
    for (; !rs.eof(); rs.moveNext()) {
        QStringList f;
        for (int i = 0; i < 7; ++i) f << rs.field(i).toString();
        stored << f.join(u'|');
    }
    EXPECT_EQ(stored, (QStringList{"1|1|5|6|7||Lake", "5|1|3|2|4|Male|Rondeau", "6|1|3|2|0||Home"}))
        << "the codes give what the tag leaves out";
    EXPECT_EQ(s.db().scalar("SELECT count(*) FROM Outings WHERE comments LIKE '%Featherlog%'").toInt(), 0);
}

TEST_F(EbirdImport, CancelStoresNothing)
{
    QList<DownloadRecord> many;
    for (int i = 0; i < 1200; ++i)
        many << DownloadRecord{QStringLiteral("S%1").arg(i), "Mallard", "Anas platyrhynchos", "1", "CA-ON", "", "Pond",
                               "2021-03-04", "", ""};
    many << DownloadRecord{"S9999", "Northern Cardinal", "Cardinalis cardinalis", "1", "ZZ-QQ", "Nowhere", "Pond",
                           "2021-03-04", "", ""};
    writeFile(file(), downloadText(many));
    folder.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State'");
    OpenState s(folder.path());
    const int regions = s.count("Regions");
    const ImportPreview p = readEbirdFile(s.db(), file());
    ASSERT_EQ(p.newSightings(), 1200);
    ASSERT_EQ(p.newRegions.size(), 3u) << "a country, a state and a county";
    for (int cancelAt : {0, 1, 3}) { // before the first row, part way, after the last row
        int calls = 0;
        const int stored = storeImport(s.state, p, [&](int, int) { return calls++ < cancelAt; });
        EXPECT_EQ(stored, 0);
        EXPECT_EQ(s.count("Sightings") + s.count("Outings") + s.count("OtherRecords"), 0) << cancelAt;
        EXPECT_EQ(s.count("ImportKeys"), 0) << cancelAt;
        EXPECT_EQ(s.count("Regions"), regions) << cancelAt;
        EXPECT_EQ(s.db().scalar("SELECT count(*) FROM Birds WHERE LifeList <> 0").toInt(), 0);
        EXPECT_FALSE(s.db().inTransaction());
    }
    EXPECT_EQ(storeImport(s.state, p), 1200);
    EXPECT_EQ(s.state.rsOptions.field("lifesum").toInt(), 1);
    // The unknown country, state and county are regions now, and the outing is in them.
    EXPECT_EQ(s.db().scalar("SELECT C.Type || ':' || C.Name || ':' || C.Code || '|' || S.Type || ':' || S.Name || ':' || S.Code "
                            "|| '|' || D.Type || ':' || D.Name || ':' || coalesce(D.Code, '-') || '|' || O.Region "
                            "|| '|' || O.StateCode || '|' || coalesce(O.CountyCode, '-') FROM Outings O "
                            "JOIN Regions C ON C.Reg_ID = O.country JOIN Regions S ON S.Reg_ID = O.state "
                            "JOIN Regions D ON D.Reg_ID = O.district WHERE O.SubmissionID = 'S9999'").toString(),
              "Country:ZZ:ZZ|State:ZZ-QQ:ZZ-QQ|District:Nowhere:-|0|ZZ-QQ|-");

    // Reading stops when asked, part way through the file.
    std::vector<double> seen;
    const ImportPreview stopped = readEbirdFile(s.db(), file(), CsvReader::Limits(), [&](double f) {
        seen.push_back(f);
        return false;
    });
    EXPECT_TRUE(stopped.cancelled);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_GT(seen[0], 0.0);
    EXPECT_LT(seen[0], 1.0);
    EXPECT_TRUE(stopped.outings.empty());
    // Also while it looks for what is stored already, after the file is read (1,200 checklists known).
    double last = 0;
    const ImportPreview late = readEbirdFile(s.db(), file(), CsvReader::Limits(), [&](double f) {
        last = f;
        return f < 0.9;
    });
    EXPECT_TRUE(late.cancelled);
    EXPECT_GT(last, 0.9);
    EXPECT_LT(last, 1.0);
}

TEST_F(EbirdImport, MalformedFilesEndWithAMessageAndStoreNothing)
{
    const QByteArray good = downloadText(mixedDownload());
    QByteArray noDate = downloadText(mixedDownload(), QStringList(kDownloadHeader).filter(QRegularExpression("^(?!Date$)")));
    QByteArray brokenQuote = good;
    brokenQuote.replace("\"pair, \"\"dabbling\"\"\"", "\"pair, dabbling");
    QByteArray binary;
    for (int i = 0; i < 4096; ++i) binary += char((i * 37) % 256);
    const struct {
        const char* name;
        QByteArray bytes;
        const char* says;
    } cases[] = {
        {"empty", "", "empty"},
        {"blank lines only", "\r\n\r\n", "empty"},
        {"line ends only", "\r\r\r", "empty"},
        {"header only", good.left(good.indexOf('\n') + 1), "no records"},
        {"missing column", noDate, "lacks the column Date"},
        {"not eBird", "Name,Place,When\nMallard,Pond,today\n", "not an eBird file"},
        {"broken quotes", brokenQuote, "never closed"},
        {"binary", binary, "not a CSV text file"},
        {"text after quote", good + "\"S9\"x,Mallard\n", "after the closing quote"},
    };
    OpenState s(folder.path());
    for (const auto& c : cases) {
        writeFile(file(), c.bytes);
        try {
            readEbirdFile(s.db(), file());
            ADD_FAILURE() << c.name << ": no error";
        } catch (const CsvError& e) {
            EXPECT_TRUE(e.message().contains(c.says)) << c.name << ": " << qPrintable(e.message());
        }
        EXPECT_EQ(s.count("Sightings"), 0) << c.name;
    }
    // A record beyond the size limit (a few MB of one line) is refused the same way.
    writeFile(file(), good + "S9,\"" + QByteArray(3 << 20, 'z') + "\n");
    EXPECT_THROW(readEbirdFile(s.db(), file()), CsvError);
    CsvReader::Limits small;
    small.maxRecordBytes = 100;
    writeFile(file(), good);
    EXPECT_THROW(readEbirdFile(s.db(), file(), small), CsvError);
    // The database itself chosen by mistake: an encrypted file is no text; it is only read, and
    // the connection that has it open goes on working.
    try {
        readEbirdFile(s.db(), s.db().path());
        ADD_FAILURE() << "the database was read as an eBird file";
    } catch (const CsvError& e) {
        EXPECT_TRUE(e.message().contains("not a CSV text file")) << qPrintable(e.message());
    }
    EXPECT_EQ(s.count("Sightings"), 0);
    EXPECT_GT(s.count("Birds"), 0);
}

TEST_F(EbirdImport, WithWorldCurrentEverySpeciesSeenAnywhereIsMarked)
{
    writeFile(file(), downloadText(mixedDownload()));
    folder.exec("UPDATE Options SET Reg_ID = 0, regname = 'World', regType = 'Region', lifesum = 0, lifetotal = 12");
    OpenState s(folder.path());
    const ImportPreview p = readEbirdFile(s.db(), file());
    ASSERT_EQ(storeImport(s.state, p), 5);
    const int marked = s.db().scalar("SELECT count(*) FROM Birds WHERE LifeList > 0").toInt();
    const int seen = s.db().scalar("SELECT count(DISTINCT Bird_ID) FROM Sightings").toInt();
    EXPECT_GT(seen, 0);
    EXPECT_EQ(marked, seen) << "every sighting counts when no region is chosen";
    EXPECT_EQ(s.state.rsOptions.field("lifesum").toInt(), seen);
    EXPECT_EQ(s.state.rsOptions.field("lifetotal").toInt(), 12);
    EXPECT_EQ(s.db().scalar("SELECT count(*) FROM Birds B WHERE LifeList > 0 AND LifeList <> (SELECT Sight_ID "
                            "FROM Sightings S WHERE S.Bird_ID = B.ID ORDER BY Date, Sight_ID LIMIT 1)").toInt(), 0)
        << "each mark is the species' earliest sighting";
}

TEST_F(EbirdImport, PlacesAreFoundByTheirEbirdCodesAndGetTheirChecklists)
{
    QHash<QString, int> ids;
    {
        auto db = folder.open();
        addEbirdRegions(*db); // the fixture's and the US regions above get their codes
        auto rs = db->openRecordset("SELECT Code, Reg_ID FROM Regions WHERE Code IS NOT NULL", db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) ids.insert(rs.field(0).toString(), rs.field(1).toInt());
    }
    auto id = [&ids](const char* code) { return ids.value(QString::fromLatin1(code)); };
    ASSERT_EQ(id("US"), 5);
    ASSERT_EQ(id("US-CA-053"), 7);
    writeFile(file(), downloadText({
        {"S1", "Mallard", "Anas platyrhynchos", "2", "US-OH", "Franklin", "Scioto Audubon", "2023-04-02", "", ""},
        {"S2", "Wood Duck", "Aix sponsa", "1", "US-CA", "Monterey", "Carmel River mouth", "2023-04-03", "", ""},
        {"S3", "Canada Goose", "Branta canadensis", "9", "CA-QC", "Québec", "Baie de Beauport", "2023-05-01", "", ""},
        {"S4", "American Robin", "Turdus migratorius", "1", "MX-CMX", "", "Chapultepec", "2023-06-01", "", ""},
        {"S5", "Hermit Thrush", "Catharus guttatus", "1", "US-OH", "Frankln", "Typo Woods", "2023-06-02", "", ""},
    }));
    OpenState s(folder.path());
    const ImportPreview p = readEbirdFile(s.db(), file());
    ASSERT_EQ(p.outings.size(), 5u);
    ASSERT_EQ(p.newRegions.size(), 1u);
    EXPECT_EQ(p.newRegions[0].name, "Frankln, Ohio") << "a county eBird's list lacks is made, named as counties are";
    EXPECT_EQ(p.newRegions[0].type, "District");
    EXPECT_EQ(p.newRegions[0].code, "");
    const struct {
        int region, country, state, district;
        const char *stateCode, *countyCode;
    } expected[] = {
        {kNorthAmerica, 5, id("US-OH"), id("US-OH-049"), "US-OH", "US-OH-049"},
        {kNorthAmerica, 5, 6, 7, "US-CA", "US-CA-053"},
        {kNorthAmerica, kCanada, id("CA-QC"), id("CA-QC-QU"), "CA-QC", "CA-QC-QU"},
        {kNorthAmerica, id("MX"), id("MX-DIF"), 0, "MX-CMX", ""}, // Mexico City under its ISO code
        {kNorthAmerica, 5, id("US-OH"), -1, "US-OH", ""},         // a county eBird does not know: made
    };
    for (size_t i = 0; i < p.outings.size(); ++i) {
        SCOPED_TRACE(i);
        const Outing& o = p.outings[i].outing;
        EXPECT_EQ(o.places[0], expected[i].region);
        EXPECT_EQ(o.places[1], expected[i].country);
        EXPECT_EQ(o.places[2], expected[i].state);
        EXPECT_EQ(o.places[3], expected[i].district);
        EXPECT_EQ(o.stateCode, expected[i].stateCode);
        EXPECT_EQ(o.countyCode, expected[i].countyCode);
    }
    const int regions = s.count("Regions");
    ASSERT_EQ(storeImport(s.state, p), 5);
    EXPECT_EQ(s.count("Regions"), regions + 1) << "only the county that was missing";
    const int frankln = s.db().scalar("SELECT Reg_ID FROM Regions WHERE Name = 'Frankln, Ohio' AND Type = 'District'").toInt();
    EXPECT_EQ(s.db().scalar("SELECT district FROM Sightings WHERE Bird_ID = 5").toInt(), frankln);
    // Every place given a sighting now has a checklist: copied from the nearest list, the
    // widest place first; places with lists of their own keep them.
    for (const char* code : {"US", "US-OH", "US-OH-049", "US-CA", "US-CA-053", "CA-QC", "CA-QC-QU", "MX", "MX-DIF"})
        EXPECT_GT(s.db().scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = ?", {id(code)}).toInt(), 0) << code;
    EXPECT_EQ(s.db().scalar("SELECT CopiedFrom FROM Regions WHERE Code = 'US-OH-049'").toInt(), id("US-OH"));
    EXPECT_EQ(s.db().scalar("SELECT CopiedFrom FROM Regions WHERE Code = 'CA-QC-QU'").toInt(), id("CA-QC"));
    EXPECT_EQ(s.db().scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = ?", {kCanada}).toInt(), 5);
    EXPECT_EQ(s.db().scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = ?", {id("US-TX")}).toInt(), 0)
        << "no sighting, no list";
}

namespace {

struct CountOrDate {
    const char* count;
    const char* date;
    std::optional<SkipReason> skipped; // nothing: imported
    const char* stored;                // the count of an imported record
};

void PrintTo(const CountOrDate& v, std::ostream* out) { *out << "count '" << v.count << "', date " << v.date; }

class ImportValues : public testing::TestWithParam<CountOrDate> {};

} // namespace

// Counts that are no number of birds and dates no sighting can have are listed as skipped
// with their reason, never taken in part or dropped unlisted.
TEST_P(ImportValues, CountsAndDatesOutOfRangeAreListedAsSkipped)
{
    const CountOrDate v = GetParam();
    TestFolder f;
    const QString path = f.path() + "/MyEBirdData.csv";
    writeFile(path, downloadText({{"S1", "Mallard", "Anas platyrhynchos", v.count, "CA-ON", "", "Pond", v.date, "", ""},
                                  {"S2", "Wood Duck", "Aix sponsa", "2", "CA-ON", "", "Pond", "2024-05-01", "", ""}}));
    OpenState s(f.path());
    const ImportPreview p = readEbirdFile(s.db(), path, CsvReader::Limits(), {}, QDate(2025, 6, 30));
    EXPECT_EQ(p.recordsRead, 2);
    if (v.skipped) {
        EXPECT_EQ(p.skippedTotal(), 1);
        EXPECT_EQ(p.skippedCount(*v.skipped), 1);
        EXPECT_EQ(p.skipped.at(*v.skipped).value("Mallard"), 1);
        ASSERT_EQ(p.outings.size(), 1u);
        EXPECT_EQ(recordsOf(p.outings[0]), QStringList{"2:2"});
    } else {
        EXPECT_EQ(p.skippedTotal(), 0);
        ASSERT_EQ(p.outings.size(), 2u);
        EXPECT_EQ(recordsOf(p.outings[0]), QStringList{QStringLiteral("1:") + v.stored});
        EXPECT_EQ(storeImport(s.state, p), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, ImportValues,
    testing::Values(CountOrDate{"-3", "2024-05-01", SkipReason::BadCount, ""},
                    CountOrDate{"2.5", "2024-05-01", SkipReason::BadCount, ""},
                    CountOrDate{"1000000001", "2024-05-01", SkipReason::BadCount, ""},
                    CountOrDate{"99999999999999999999", "2024-05-01", SkipReason::BadCount, ""},
                    CountOrDate{"many", "2024-05-01", SkipReason::BadCount, ""},
                    CountOrDate{"0", "2024-05-01", SkipReason::BadCount, ""},
                    CountOrDate{"1000000000", "2024-05-01", std::nullopt, "1000000000"},
                    CountOrDate{"007", "2024-05-01", std::nullopt, "7"},
                    CountOrDate{"X", "2024-05-01", std::nullopt, "X"},
                    CountOrDate{"x", "2024-05-01", std::nullopt, "X"},
                    CountOrDate{"", "2024-05-01", std::nullopt, "X"},
                    CountOrDate{"1", "1899-12-31", SkipReason::DateOutOfRange, ""},
                    CountOrDate{"1", "1900-01-01", std::nullopt, "1"},
                    CountOrDate{"1", "2025-06-30", std::nullopt, "1"},
                    CountOrDate{"1", "2025-07-01", SkipReason::DateOutOfRange, ""},
                    CountOrDate{"1", "9999-12-31", SkipReason::DateOutOfRange, ""},
                    CountOrDate{"1", "31.12.2019", SkipReason::NoDate, ""}));

// A large import into a smaller log makes the log's indexes afresh after its rows: they are
// all there afterwards, as they were, and a cancelled import leaves them as they were too.
TEST_F(EbirdImport, ALargeImportLeavesTheLogsIndexesAsTheyWere)
{
    const char* names[][2] = {{"Mallard", "Anas platyrhynchos"}, {"Wood Duck", "Aix sponsa"},
                              {"Canada Goose", "Branta canadensis"}, {"American Robin", "Turdus migratorius"},
                              {"Hermit Thrush", "Catharus guttatus"}};
    QList<DownloadRecord> many;
    for (int i = 0; i < 20100; ++i)
        many << DownloadRecord{QStringLiteral("S%1").arg(i / 5), names[i % 5][0], names[i % 5][1], "1", "CA-ON", "",
                               QStringLiteral("Site %1").arg(i / 50), QDate(2020, 1, 1).addDays(i / 5 % 1500).toString(Qt::ISODate),
                               "", ""};
    writeFile(file(), downloadText(many));
    OpenState s(folder.path());
    auto indexes = [&] {
        return s.db().scalar("SELECT group_concat(sql, ' | ') FROM (SELECT sql FROM sqlite_master WHERE type = 'index' "
                             "AND tbl_name = 'Sightings' AND sql IS NOT NULL ORDER BY name)").toString();
    };
    const QString before = indexes();
    ASSERT_TRUE(before.contains("SightingsOuting"));
    const ImportPreview p = readEbirdFile(s.db(), file());
    ASSERT_EQ(p.newSightings(), 20100);
    int calls = 0;
    EXPECT_EQ(storeImport(s.state, p, [&](int, int) { return ++calls < 20; }), 0);
    EXPECT_EQ(indexes(), before);
    EXPECT_EQ(s.count("Sightings"), 0);
    EXPECT_EQ(storeImport(s.state, p), 20100);
    EXPECT_EQ(indexes(), before);
    EXPECT_EQ(s.db().scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_EQ(s.db().scalar("SELECT count(*) FROM Sightings INDEXED BY SightingsBird WHERE Bird_ID = 3").toInt(), 4020);
    EXPECT_FALSE(readEbirdFile(s.db(), file()).hasNewRecords());
}
