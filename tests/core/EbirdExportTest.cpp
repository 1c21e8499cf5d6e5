#include "records/EbirdExport.h"
#include "EbirdFiles.h"
#include "records/EbirdImport.h"
#include "records/CsvReader.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace fl;
using namespace fl::test;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// Every sighting as comparable text, in a fixed order.
QStringList sightings(db::Database& db)
{
    QStringList out;
    auto rs = db.openRecordset("SELECT Bird_ID, Date, Type, Region, country, state, district, site, notes FROM Sightings "
                               "ORDER BY Date, Bird_ID, site, notes", db::RecordsetKind::Snapshot);
    for (; !rs.eof(); rs.moveNext()) {
        QStringList f;
        for (int i = 0; i < 9; ++i) f << rs.field(i).toString();
        out << f.join(u'|');
    }
    return out;
}

void addSightings(TestFolder& f)
{
    addUsRegions(f);
    f.exec("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) VALUES "
           "(1, '2023-04-02', '', 1, 5, 6, 7, 'Carmel River mouth', 'x3\npair, \"dabbling\"\nwindy'),"
           "(4, '2024-05-17', 'Male', 0, 3, 2, 4, 'Tip', ''),"
           "(7, '2024-05-18', 'Pair; nesting', 1, 0, 0, 0, ' spaced site ', 'x12'),"
           "(10, '2021-07-07', 'Immature', 0, 0, 2, 0, 'Jack pines', 'x5 seen, not counted'),"
           "(3, '2020-01-01', '', 0, 0, 0, 0, '', '')");
}

} // namespace

TEST(EbirdExport, WritesEbirdRecordFormatLines)
{
    TestFolder f;
    addSightings(f);
    OpenState s(f.path());
    const QString out = f.path() + "/export.csv";
    EXPECT_EQ(exportSightings(s.db(), out), 5);
    const auto rows = readAllCsv(readAll(out));
    ASSERT_EQ(rows.size(), 5u) << "one line a sighting, no header";
    for (const QStringList& r : rows) EXPECT_EQ(r.size(), 19);
    // Oldest first.
    EXPECT_EQ(rows[0].mid(0, 4), (QStringList{"Canada Goose", "Branta", "canadensis", "X"}));
    EXPECT_EQ(rows[0][8], "01/01/2020");
    EXPECT_EQ(rows[0][18], "") << "nothing to tag";
    const QStringList& mallard = rows[2];
    EXPECT_EQ(mallard.mid(0, 6), (QStringList{"Mallard", "Anas", "platyrhynchos", "3", "pair, \"dabbling\"\nwindy",
                                              "Carmel River mouth"}));
    EXPECT_EQ(mallard[8], "04/02/2023");
    EXPECT_EQ(mallard[10], "CA");
    EXPECT_EQ(mallard[11], "US");
    EXPECT_EQ(mallard[12], "Incidental");
    EXPECT_EQ(mallard[18], "Featherlog: Region=North America; Country=United States; State=California; "
                           "District=Monterey County");
    EXPECT_EQ(rows[1][3], "X") << "a note that only starts like a count is no count";
    EXPECT_EQ(rows[1][4], "x5 seen, not counted");
    EXPECT_EQ(rows[1][10], "ON");
    EXPECT_EQ(rows[1][11], "CA") << "the country of a known province";
    EXPECT_EQ(rows[4][3], "12");
    EXPECT_EQ(rows[4][4], "");
    EXPECT_EQ(rows[4][5], " spaced site ");
}

TEST(EbirdExport, CurrentRegionOnly)
{
    TestFolder f;
    addSightings(f);
    OpenState s(f.path());
    const QString out = f.path() + "/ontario.csv";
    EXPECT_EQ(exportSightings(s.db(), out, kOntario), 2);
    EXPECT_EQ(readAllCsv(readAll(out)).size(), 2u);
    EXPECT_EQ(exportSightings(s.db(), out, kNorthAmerica), 2);
    EXPECT_THROW(exportSightings(s.db(), f.path() + "/no/such/folder/x.csv"), std::runtime_error);
}

TEST(EbirdExport, ExportedThenImportedIntoAnEmptyCopyGivesTheSameSightings)
{
    TestFolder original;
    addSightings(original);
    // Sightings that came from an eBird download too.
    writeFile(original.path() + "/dl.csv",
              downloadText({{"S1", "Palm Warbler", "Setophaga palmarum", "2", "CA-ON", "Point Pelee", "Tip, east side",
                             "2022-05-10", "bobbing\ttail", "with \"Ann\""},
                            {"S1", "Wood Duck", "Aix sponsa", "X", "CA-ON", "", "Tip, east side", "2022-05-10", "", ""}}));
    TestFolder copy;
    addUsRegions(copy);
    const QString out = original.path() + "/export.csv";
    QStringList before;
    {
        OpenState s(original.path());
        storeImport(s.state, readEbirdFile(s.db(), original.path() + "/dl.csv"));
        before = sightings(s.db());
        ASSERT_EQ(before.size(), 7);
        exportSightings(s.db(), out);
    }
    OpenState s(copy.path());
    const ImportPreview p = readEbirdFile(s.db(), out);
    EXPECT_EQ(p.format, "eBird record format");
    EXPECT_EQ(p.recordsRead, 7);
    EXPECT_EQ(p.skippedTotal(), 0);
    EXPECT_EQ(storeImport(s.state, p), 7);
    // The import keeps a count in the sighting's Count rather than its notes, and gives a sighting the country and continent its province's code names.
    QStringList expected = before;
    expected.replaceInStrings("|Carmel River mouth|x3\n", "|Carmel River mouth|");
    expected.replaceInStrings("|1|0|0|0| spaced site |x12", "|1|0|0|0| spaced site |");
    expected.replaceInStrings("Immature|0|0|2|0|", "Immature|1|3|2|0|");
    expected.replaceInStrings("Male|0|3|2|4|", "Male|1|3|2|4|");
    EXPECT_EQ(sightings(s.db()).join("\n").toStdString(), expected.join("\n").toStdString());
    EXPECT_EQ(s.db().scalar("SELECT Count FROM Sightings WHERE Bird_ID = 1").toInt(), 3);
    // And it too is recognised when imported again.
    EXPECT_EQ(readEbirdFile(s.db(), out).alreadyStored, 7);
}

TEST(EbirdExport, RecordFormatWithAHeaderRowAndPlainCodes)
{
    TestFolder f;
    addUsRegions(f);
    const QString path = f.path() + "/records.csv";
    writeFile(path, "Common Name,Genus,Species,Number,Species Comments,Location Name,Latitude,Longitude,Date,Start Time,"
                    "State/Province,Country Code,Protocol,Number of Observers,Duration,All Observations Reported,"
                    "Effort Distance Miles,Effort Area Acres,Checklist Comments\n"
                    "Mallard,Anas,platyrhynchos,7,,Lake,,,12/31/2019,08:00,CA,US,Stationary,1,30,Y,,,cold morning\n");
    OpenState s(f.path());
    const ImportPreview p = readEbirdFile(s.db(), path);
    ASSERT_EQ(p.outings.size(), 1u);
    const Outing& o = p.outings[0].outing;
    ASSERT_EQ(p.outings[0].sightings.size(), 1u);
    EXPECT_EQ(p.outings[0].sightings[0].birdId, 1);
    EXPECT_EQ(p.outings[0].sightings[0].count, 7);
    EXPECT_EQ(o.date, QDate(2019, 12, 31));
    EXPECT_EQ(o.places[1], 5);
    EXPECT_EQ(o.places[2], 6);
    EXPECT_EQ(o.places[0], kNorthAmerica);
    EXPECT_EQ(o.startTime, QTime(8, 0));
    EXPECT_EQ(o.protocol, "Stationary");
    EXPECT_EQ(o.duration, 30);
    EXPECT_TRUE(o.allReported);
    EXPECT_EQ(o.comments, "cold morning");
}

TEST(EbirdExport, CountSplitting)
{
    QString count, rest;
    splitCount("x3\nnotes here", count, rest);
    EXPECT_EQ(count, "3");
    EXPECT_EQ(rest, "notes here");
    splitCount("x3 birds", count, rest);
    EXPECT_EQ(count, "");
    EXPECT_EQ(rest, "x3 birds");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("plain"), "plain");
}

namespace {

class SpreadsheetTexts : public testing::TestWithParam<const char*> {};

} // namespace

// A text that a spreadsheet would run as a formula goes out with an apostrophe in front and
// comes back in without it: the round trip is exact, apostrophes of the user's own included.
TEST_P(SpreadsheetTexts, AreNeutralisedOnExportAndReadBackExactly)
{
    const QString text = QString::fromUtf8(GetParam());
    TestFolder original;
    original.exec("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) VALUES "
                  "(1, '2023-04-02', '', 0, 0, 0, 0, ?, ?)",
                  {text, text});
    const QString out = original.path() + "/export.csv";
    QStringList before;
    {
        OpenState s(original.path());
        before = sightings(s.db());
        ASSERT_EQ(exportSightings(s.db(), out), 1);
    }
    const auto rows = readAllCsv(readAll(out));
    ASSERT_EQ(rows.size(), 1u);
    const QChar first = text.isEmpty() ? QChar() : text[text.indexOf(QRegularExpression("[^']")) < 0 ? 0 : text.indexOf(QRegularExpression("[^']"))];
    const bool formula = QStringLiteral("=+-@\t\r").contains(first) && !first.isNull();
    for (int column : {4, 5}) { // species comments (the notes) and location name (the site)
        EXPECT_EQ(rows[0][column], formula ? "'" + text : text) << column;
        EXPECT_EQ(unneutralised(rows[0][column]), text);
    }
    TestFolder copy;
    OpenState s(copy.path());
    EXPECT_EQ(storeImport(s.state, readEbirdFile(s.db(), out)), 1);
    EXPECT_EQ(sightings(s.db()), before);
}

INSTANTIATE_TEST_SUITE_P(Texts, SpreadsheetTexts,
                         testing::Values("=HYPERLINK(\"http://example.com\",\"click\")", "+1 555 0100", "-3 degrees",
                                         "@home", "\tindented", "\rafter a return", "'=already quoted",
                                         "''=two apostrophes", "'plain quote", "plain", "a=b", " =after a blank",
                                         "'", "=", "x3 birds"));
