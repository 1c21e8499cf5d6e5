#include "EbirdFiles.h"
#include "records/EbirdImport.h"
#include "regions/CodedRegions.h"
#include "schema/Schema.h"

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

TEST_F(EbirdImport, PreviewMatchesSpeciesAndGroupsWhatItSkips)
{
    // Columns in another order than eBird's.
    QStringList order = kDownloadHeader;
    std::reverse(order.begin(), order.end());
    writeFile(file(), "\xEF\xBB\xBF" + downloadText(mixedDownload(), order));
    OpenState s(folder.path());
    const ImportPreview p = readEbirdFile(s.db(), file());
    EXPECT_EQ(p.format, "eBird download");
    EXPECT_EQ(p.recordsRead, 12);
    EXPECT_EQ(p.matched, 5) << "by name, either name in any letter case, subspecies forms and intergrades";
    EXPECT_EQ(p.speciesMatched, 5);
    EXPECT_EQ(p.first, QDate(2023, 4, 2));
    EXPECT_EQ(p.last, QDate(2024, 5, 18));
    EXPECT_EQ(p.alreadyStored, 0);
    EXPECT_EQ(p.skippedCount(SkipReason::Spuh), 1);
    EXPECT_EQ(p.skippedCount(SkipReason::Slash), 1);
    EXPECT_EQ(p.skippedCount(SkipReason::Hybrid), 1);
    EXPECT_EQ(p.skippedCount(SkipReason::Domestic), 1);
    EXPECT_EQ(p.skippedCount(SkipReason::NoDate), 1);
    ASSERT_EQ(p.skippedCount(SkipReason::NotInDatabase), 2);
    EXPECT_EQ(p.skipped.at(SkipReason::NotInDatabase).value("Northern Cardinal"), 2) << "listed with its count";
    EXPECT_EQ(p.skippedTotal(), 7);

    ASSERT_EQ(p.records.size(), 5u);
    const ImportRecord& mallard = p.records[0];
    EXPECT_EQ(mallard.birdId, 1);
    EXPECT_EQ(mallard.date, QDate(2023, 4, 2));
    EXPECT_EQ(mallard.country, 5);
    EXPECT_EQ(mallard.state, 6);
    EXPECT_EQ(mallard.district, 7) << "the county without the word County";
    EXPECT_EQ(mallard.region, kNorthAmerica) << "a country of the continent";
    EXPECT_EQ(mallard.site, "Carmel River mouth");
    EXPECT_EQ(mallard.notes, "x3\npair, \"dabbling\"\nwindy");
    EXPECT_EQ(p.records[1].birdId, 2);
    EXPECT_EQ(p.records[1].district, 7) << "the county with the word County";
    EXPECT_EQ(p.records[1].notes, "windy") << "an X count puts nothing in the notes";
    EXPECT_EQ(p.records[2].birdId, 4) << "by common name when the scientific name is not known";
    EXPECT_EQ(p.records[2].country, kCanada);
    EXPECT_EQ(p.records[2].state, kOntario);
    EXPECT_EQ(p.records[2].district, 4);
    EXPECT_EQ(p.records[3].birdId, 11);
    EXPECT_EQ(p.records[4].birdId, 7);
    EXPECT_EQ(s.count("Sightings"), 0) << "reading stores nothing";
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
        EXPECT_EQ(calls.front(), std::make_pair(0, 5));
        EXPECT_EQ(calls.back(), std::make_pair(5, 5));
        EXPECT_EQ(s.count("Sightings"), 6);
        EXPECT_EQ(s.count("ImportKeys"), 5);
        EXPECT_EQ(s.db().scalar("SELECT count(*) FROM ImportKeys K JOIN Sightings S ON S.Sight_ID = K.Sight_ID").toInt(), 5);
        // The life list of Ontario: Wood Thrush, and now American Robin (Palm and Yellow
        // Warblers are not on its checklist).
        EXPECT_EQ(s.state.rsOptions.field("lifesum").toInt(), 2);
        EXPECT_EQ(s.state.rsOptions.field("lifetotal").toInt(), 6);
        EXPECT_GT(s.db().scalar("SELECT LifeList FROM Birds WHERE ID = 4").toInt(), 0);
        EXPECT_EQ(s.db().scalar("SELECT LifeList FROM Birds WHERE ID = 1").toInt(), 0) << "seen in California only";
        EXPECT_EQ(s.db().scalar("SELECT site || '/' || notes FROM Sightings WHERE Bird_ID = 1").toString(),
                  "Carmel River mouth/x3\npair, \"dabbling\"\nwindy");
        EXPECT_EQ(s.db().scalar("SELECT Date FROM Sightings WHERE Bird_ID = 7").toDate(), QDate(2024, 5, 18));
    }
    {
        // The same file again: everything is recognised, nothing is added.
        OpenState s(folder.path());
        const ImportPreview again = readEbirdFile(s.db(), file());
        EXPECT_EQ(again.matched, 5);
        EXPECT_EQ(again.alreadyStored, 5);
        EXPECT_TRUE(again.records.empty());
        EXPECT_EQ(storeImport(s.state, again), 0);
        EXPECT_EQ(s.count("Sightings"), 6);
        // Deleting an imported sighting keeps its key: the next import does not bring it back.
        s.db().execute("DELETE FROM Sightings WHERE Bird_ID = 2");
        EXPECT_EQ(readEbirdFile(s.db(), file()).records.size(), 0u);
    }
    {
        // A file with one more checklist adds just that one.
        QList<DownloadRecord> more = mixedDownload();
        more << DownloadRecord{"S200", "Ovenbird", "Seiurus aurocapilla", "1", "CA-ON", "", "Woods", "2024-06-01", "", ""};
        writeFile(file(), downloadText(more));
        OpenState s(folder.path());
        const ImportPreview p = readEbirdFile(s.db(), file());
        EXPECT_EQ(p.alreadyStored, 5);
        ASSERT_EQ(p.records.size(), 1u);
        EXPECT_EQ(storeImport(s.state, p), 1);
        EXPECT_EQ(s.state.rsOptions.field("lifesum").toInt(), 2) << "Ovenbird is not on Ontario's checklist";
    }
}

// Each place is stored in its own column: the region of type Region, the country, the
// province or state and the county, read straight from the stored rows.
TEST_F(EbirdImport, EachPlaceIsStoredInItsOwnColumn)
{
    auto stored = [&](OpenState& s) {
        QStringList rows;
        auto rs = s.db().openRecordset("SELECT Bird_ID, Region, country, state, district, Type, site FROM Sightings "
                                       "ORDER BY Bird_ID", db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) {
            QStringList f;
            for (int i = 0; i < 7; ++i) f << rs.field(i).toString();
            rows << f.join(u'|');
        }
        return rows;
    };
    // An eBird download: the region follows from the country, the country from the state.
    writeFile(file(), downloadText(mixedDownload()));
    {
        OpenState s(folder.path());
        ASSERT_EQ(storeImport(s.state, readEbirdFile(s.db(), file())), 5);
        EXPECT_EQ(stored(s), (QStringList{"1|1|5|6|7||Carmel River mouth", "2|1|5|6|7||Carmel River mouth",
                                          "4|1|3|2|4||Tip", "7|1|3|2|0||Tip", "11|1|3|2|0||Tip"}));
        s.db().execute("DELETE FROM Sightings");
        s.db().execute("DELETE FROM ImportKeys");
    }
    // eBird's record format with the program's own tag naming every place and the type.
    writeFile(file(), "Hermit Thrush,Catharus,guttatus,1,,Rondeau,,,05/01/2024,,ON,CA,Incidental,1,,N,,,"
                      "Featherlog: Region=North America; Country=Canada; State=Ontario; District=Point Pelee; Type=Male\n"
                      "Wood Thrush,Hylocichla,mustelina,1,,Home,,,05/02/2024,,ON,CA,Incidental,1,,N,,,"
                      "Featherlog: State=Ontario\n"
                      "Mallard,Anas,platyrhynchos,1,,Lake,,,05/03/2024,,CA,US,Incidental,1,,N,,,"
                      "Featherlog: Country=United States; District=Monterey County\n");
    OpenState s(folder.path());
    ASSERT_EQ(storeImport(s.state, readEbirdFile(s.db(), file())), 3);
    EXPECT_EQ(stored(s), (QStringList{"1|0|5|0|7||Lake", "5|1|3|2|4|Male|Rondeau", "6|0|0|2|0||Home"}));
}

TEST_F(EbirdImport, CancelStoresNothing)
{
    QList<DownloadRecord> many;
    for (int i = 0; i < 1200; ++i)
        many << DownloadRecord{QStringLiteral("S%1").arg(i), "Mallard", "Anas platyrhynchos", "1", "CA-ON", "", "Pond",
                               "2021-03-04", "", ""};
    writeFile(file(), downloadText(many));
    folder.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State'");
    OpenState s(folder.path());
    const ImportPreview p = readEbirdFile(s.db(), file());
    ASSERT_EQ(p.records.size(), 1200u);
    for (int cancelAt : {0, 1, 3}) { // before the first row, part way, after the last row
        int calls = 0;
        const int stored = storeImport(s.state, p, [&](int, int) { return calls++ < cancelAt; });
        EXPECT_EQ(stored, 0);
        EXPECT_EQ(s.count("Sightings"), 0) << cancelAt;
        EXPECT_EQ(s.count("ImportKeys"), 0) << cancelAt;
        EXPECT_EQ(s.db().scalar("SELECT count(*) FROM Birds WHERE LifeList <> 0").toInt(), 0);
        EXPECT_FALSE(s.db().inTransaction());
    }
    EXPECT_EQ(storeImport(s.state, p), 1200);
    EXPECT_EQ(s.state.rsOptions.field("lifesum").toInt(), 1);
}

TEST_F(EbirdImport, OlderFilesGetTheKeyTableWhenOpened)
{
    // The folder's file is made as the version before the table came.
    ASSERT_TRUE(QFile::remove(folder.databasePath()));
    {
        auto db = db::Database::create(folder.databasePath(), db::passwordFromConnect(QString::fromLatin1(kConnectString)));
        createSchema(*db, 1);
        insertFixture(*db);
    }
    addUsRegions(folder);
    EXPECT_EQ(folder.scalar("SELECT count(*) FROM sqlite_master WHERE name = 'ImportKeys'").toInt(), 0);
    folder.exec("INSERT INTO Sightings (Bird_ID, Date, Type, site, notes) VALUES (3, '2019-01-01', 'Adult', 'Lake', 'cold')");
    {
        OpenState s(folder.path());
        EXPECT_EQ(s.count("ImportKeys"), 0);
        s.db().execute("INSERT INTO ImportKeys VALUES ('S1|x', 1)");
    }
    {
        OpenState s(folder.path()); // a second opening keeps what is there
        EXPECT_EQ(s.count("ImportKeys"), 1);
        EXPECT_EQ(s.count("Sightings"), 1);
        EXPECT_EQ(s.db().scalar("PRAGMA integrity_check").toString(), "ok");
    }
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
    ASSERT_EQ(p.records.size(), 5u);
    const struct {
        int region, country, state, district;
    } expected[] = {
        {kNorthAmerica, 5, id("US-OH"), id("US-OH-049")},
        {kNorthAmerica, 5, 6, 7},
        {kNorthAmerica, kCanada, id("CA-QC"), id("CA-QC-QU")},
        {kNorthAmerica, id("MX"), id("MX-DIF"), 0}, // Mexico City under its ISO code
        {kNorthAmerica, 5, id("US-OH"), 0},         // a county eBird does not know
    };
    for (size_t i = 0; i < p.records.size(); ++i) {
        SCOPED_TRACE(i);
        const ImportRecord& r = p.records[i];
        EXPECT_EQ(r.region, expected[i].region);
        EXPECT_EQ(r.country, expected[i].country);
        EXPECT_EQ(r.state, expected[i].state);
        EXPECT_EQ(r.district, expected[i].district);
    }
    const int regions = s.count("Regions");
    ASSERT_EQ(storeImport(s.state, p), 5);
    EXPECT_EQ(s.count("Regions"), regions) << "the import makes no regions";
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

// Files whose lines end in a lone CR (old Mac files, some spreadsheets) are read record by
// record, as are those ending in LF and CRLF.
TEST_F(EbirdImport, EveryLineEndReadsEveryRecord)
{
    OpenState s(folder.path());
    const QByteArray crlf = downloadText(mixedDownload());
    for (const char* end : {"\r\n", "\n", "\r"}) {
        QByteArray text = crlf;
        text.replace("\r\n", end);
        writeFile(file(), text);
        const ImportPreview p = readEbirdFile(s.db(), file());
        EXPECT_EQ(p.recordsRead, 12) << end;
        EXPECT_EQ(p.matched, 5) << end;
        EXPECT_EQ(p.matched + p.skippedTotal(), p.recordsRead) << "every record matched or listed";
    }
    writeFile(file(), "\r\r\r");
    try {
        readEbirdFile(s.db(), file());
        ADD_FAILURE() << "a file of line ends only was read";
    } catch (const CsvError& e) {
        EXPECT_TRUE(e.message().contains("empty")) << qPrintable(e.message());
    }
}

namespace {

struct CountOrDate {
    const char* count;
    const char* date;
    std::optional<SkipReason> skipped; // nothing: imported
    const char* notes;                 // the notes of an imported record
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
                                  {"S1", "Wood Duck", "Aix sponsa", "2", "CA-ON", "", "Pond", "2024-05-01", "", ""}}));
    OpenState s(f.path());
    const ImportPreview p = readEbirdFile(s.db(), path, CsvReader::Limits(), {}, QDate(2025, 6, 30));
    EXPECT_EQ(p.recordsRead, 2);
    if (v.skipped) {
        EXPECT_EQ(p.skippedTotal(), 1);
        EXPECT_EQ(p.skippedCount(*v.skipped), 1);
        EXPECT_EQ(p.skipped.at(*v.skipped).value("Mallard"), 1);
        ASSERT_EQ(p.records.size(), 1u);
        EXPECT_EQ(p.records[0].birdId, 2);
    } else {
        EXPECT_EQ(p.skippedTotal(), 0);
        ASSERT_EQ(p.records.size(), 2u);
        EXPECT_EQ(p.records[0].notes, QString::fromLatin1(v.notes));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, ImportValues,
    testing::Values(CountOrDate{"-3", "2024-05-01", SkipReason::BadCount, ""},
                    CountOrDate{"2.5", "2024-05-01", SkipReason::BadCount, ""},
                    CountOrDate{"1000000001", "2024-05-01", SkipReason::BadCount, ""},
                    CountOrDate{"99999999999999999999", "2024-05-01", SkipReason::BadCount, ""},
                    CountOrDate{"many", "2024-05-01", SkipReason::BadCount, ""},
                    CountOrDate{"1000000000", "2024-05-01", std::nullopt, "x1000000000"},
                    CountOrDate{"0", "2024-05-01", std::nullopt, "x0"},
                    CountOrDate{"007", "2024-05-01", std::nullopt, "x7"},
                    CountOrDate{"X", "2024-05-01", std::nullopt, ""},
                    CountOrDate{"", "2024-05-01", std::nullopt, ""},
                    CountOrDate{"1", "1899-12-31", SkipReason::DateOutOfRange, ""},
                    CountOrDate{"1", "1900-01-01", std::nullopt, "x1"},
                    CountOrDate{"1", "2025-06-30", std::nullopt, "x1"},
                    CountOrDate{"1", "2025-07-01", SkipReason::DateOutOfRange, ""},
                    CountOrDate{"1", "9999-12-31", SkipReason::DateOutOfRange, ""}));

