// The export in eBird's record format and in the layout of eBird's "My eBird Data" download:
// each column of each layout, the files of at most 1 MB, the region's records, the message's
// facts (files, records of no species).

#include "records/EbirdExport.h"
#include "EbirdFiles.h"
#include "records/CsvReader.h"
#include "records/EbirdImport.h"
#include "records/EbirdLayouts.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <set>

using namespace fl;
using namespace fl::test;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// Two outings and a sighting of no outing:
// - an eBird checklist in Ontario with its effort, a counted Mallard with its comments,
//   breeding code and media, an uncounted Canada Goose, and a gull sp. (a record of no species);
// - an area count in California without time, observers or coordinates, the county a region of
//   the program's own with no code;
// - a Wood Thrush seen on its own in California, its count kept in its notes by an earlier import.
void addRecords(TestFolder& f)
{
    addUsRegions(f);
    f.exec("INSERT INTO Outings (Outing_ID, Date, StartTime, Duration, Distance, Area, Observers, Protocol, AllReported, "
           "site, Latitude, Longitude, Region, country, state, district, StateCode, CountyCode, comments, SubmissionID) "
           "VALUES (1, '2024-05-17', '07:05', 95, 2.5, NULL, 3, 'Traveling', 1, 'Point Pelee, Tip', 41.9089, -82.5103, "
           "1, 3, 2, 4, 'CA-ON', 'CA-ON-ES', 'Windy, \"cold\"\nfog', 'S12345678'), "
           "(2, '2024-06-01', NULL, 30, NULL, 4.5, NULL, 'Area', 0, 'Carmel marsh', NULL, NULL, 1, 5, 6, 7, NULL, NULL, "
           "'', NULL)");
    f.exec("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes, Outing_ID, Count, "
           "BreedingCode, MediaNumbers) VALUES "
           "(1, '2024-05-17', '', 1, 3, 2, 4, 'Point Pelee, Tip', 'pair, dabbling', 1, 12, 'FL', '123 456'), "
           "(3, '2024-05-17', '', 1, 3, 2, 4, 'Point Pelee, Tip', '', 1, NULL, NULL, NULL), "
           "(2, '2024-06-01', '', 1, 5, 6, 7, 'Carmel marsh', '', 2, 2, NULL, NULL), "
           "(6, '2023-04-02', 'Male', 1, 5, 6, 7, 'Carmel River mouth', 'x3\nsinging', NULL, NULL, NULL, NULL)");
    f.exec("INSERT INTO OtherRecords (Outing_ID, Name, sci_name, Category, TaxonOrder, Count, notes) VALUES "
           "(1, 'gull sp.', 'Larinae sp.', 'spuh', 6453, 4, 'distant')");
}

std::vector<QStringList> exported(const QString& folder, EbirdLayout layout, EbirdExportResult* result = nullptr)
{
    OpenState s(folder);
    const QString out = folder + "/export.csv";
    EbirdExportOptions options;
    options.layout = layout;
    const EbirdExportResult r = exportEbird(s.db(), out, options);
    if (result) *result = r;
    return readAllCsv(readAll(out));
}

struct ColumnCase {
    const char* column;
    // The lone Wood Thrush, the Canada Goose, the Mallard, the gull sp., the Wood Duck of the area count.
    const char* values[5];
};

// The columns of each layout with what they hold for each record, in the order of export.
const ColumnCase kRecordFormatColumns[] = {
    ColumnCase{"Common Name", {"Wood Thrush", "Canada Goose", "Mallard", "gull sp.", "Wood Duck"}},
    ColumnCase{"Genus", {"Hylocichla", "Branta", "Anas", "Larinae", "Aix"}},
    ColumnCase{"Species", {"mustelina", "canadensis", "platyrhynchos", "sp.", "sponsa"}},
    ColumnCase{"Number", {"3", "X", "12", "4", "2"}},
    ColumnCase{"Species Comments", {"singing", "", "pair, dabbling", "distant", ""}},
    ColumnCase{"Location Name", {"Carmel River mouth", "Point Pelee, Tip", "Point Pelee, Tip", "Point Pelee, Tip",
                                 "Carmel marsh"}},
    ColumnCase{"Latitude", {"", "41.9089", "41.9089", "41.9089", ""}},
    ColumnCase{"Longitude", {"", "-82.5103", "-82.5103", "-82.5103", ""}},
    ColumnCase{"Date", {"04/02/2023", "05/17/2024", "05/17/2024", "05/17/2024", "06/01/2024"}},
    ColumnCase{"Start Time", {"", "07:05", "07:05", "07:05", ""}},
    ColumnCase{"State/Province", {"CA", "ON", "ON", "ON", "CA"}},
    ColumnCase{"Country Code", {"US", "CA", "CA", "CA", "US"}},
    ColumnCase{"Protocol", {"Incidental", "Traveling", "Traveling", "Traveling", "Area"}},
    ColumnCase{"Number of Observers", {"", "3", "3", "3", ""}},
    ColumnCase{"Duration", {"", "95", "95", "95", "30"}},
    ColumnCase{"All Observations Reported", {"N", "Y", "Y", "Y", "N"}},
    // 2.5 km and 4.5 ha.
    ColumnCase{"Effort Distance Miles", {"", "1.5534", "1.5534", "1.5534", ""}},
    ColumnCase{"Effort Area Acres", {"", "", "", "", "11.1197"}},
    // The outing's comments, nothing of the program's own.
    ColumnCase{"Checklist Comments", {"", "Windy, \"cold\"\nfog", "Windy, \"cold\"\nfog", "Windy, \"cold\"\nfog", ""}},
};

const ColumnCase kDownloadColumns[] = {
    ColumnCase{"Submission ID", {"", "S12345678", "S12345678", "S12345678", ""}},
    ColumnCase{"Common Name", {"Wood Thrush", "Canada Goose", "Mallard", "gull sp.", "Wood Duck"}},
    ColumnCase{"Scientific Name", {"Hylocichla mustelina", "Branta canadensis", "Anas platyrhynchos", "Larinae sp.",
                                   "Aix sponsa"}},
    ColumnCase{"Taxonomic Order", {"40", "10", "30", "6453", "20"}},
    ColumnCase{"Count", {"3", "X", "12", "4", "2"}},
    ColumnCase{"State/Province", {"US-CA", "CA-ON", "CA-ON", "CA-ON", "US-CA"}},
    // eBird's name of the county by its code; a district of the user's own by its name.
    ColumnCase{"County", {"Monterey County", "Essex", "Essex", "Essex", "Monterey County"}},
    ColumnCase{"Location ID", {"", "", "", "", ""}},
    ColumnCase{"Location", {"Carmel River mouth", "Point Pelee, Tip", "Point Pelee, Tip", "Point Pelee, Tip",
                            "Carmel marsh"}},
    ColumnCase{"Latitude", {"", "41.9089", "41.9089", "41.9089", ""}},
    ColumnCase{"Longitude", {"", "-82.5103", "-82.5103", "-82.5103", ""}},
    ColumnCase{"Date", {"2023-04-02", "2024-05-17", "2024-05-17", "2024-05-17", "2024-06-01"}},
    ColumnCase{"Time", {"", "07:05 AM", "07:05 AM", "07:05 AM", ""}},
    ColumnCase{"Protocol", {"eBird - Casual Observation", "eBird - Traveling Count", "eBird - Traveling Count",
                            "eBird - Traveling Count", "eBird - Exhaustive Area Count"}},
    ColumnCase{"Duration (Min)", {"", "95", "95", "95", "30"}},
    ColumnCase{"All Obs Reported", {"0", "1", "1", "1", "0"}},
    ColumnCase{"Distance Traveled (km)", {"", "2.5", "2.5", "2.5", ""}},
    ColumnCase{"Area Covered (ha)", {"", "", "", "", "4.5"}},
    ColumnCase{"Number of Observers", {"", "3", "3", "3", ""}},
    ColumnCase{"Breeding Code", {"", "", "FL", "", ""}},
    ColumnCase{"Observation Details", {"singing", "", "pair, dabbling", "distant", ""}},
    ColumnCase{"Checklist Comments", {"", "Windy, \"cold\"\nfog", "Windy, \"cold\"\nfog", "Windy, \"cold\"\nfog", ""}},
    ColumnCase{"ML Catalog Numbers", {"", "", "123 456", "", ""}},
};

} // namespace

// Each layout exported once: each of its columns holds, record by record, what it asks for.
TEST(EbirdExport, EachColumnOfEachLayoutHoldsWhatItAsks)
{
    TestFolder f;
    addRecords(f);
    auto check = [](const std::vector<QStringList>& rows, size_t first, const QStringList& columns, qsizetype width,
                    const auto& cases) {
        for (const ColumnCase& c : cases) {
            SCOPED_TRACE(c.column);
            const qsizetype at = columns.indexOf(QString::fromLatin1(c.column));
            ASSERT_GE(at, 0) << "a column of the layout";
            for (size_t i = first; i < rows.size(); ++i) {
                ASSERT_EQ(rows[i].size(), width) << i;
                EXPECT_EQ(rows[i][at].toStdString(), c.values[i - first]) << "row " << i;
            }
        }
    };
    const auto records = exported(f.path(), EbirdLayout::RecordFormat);
    ASSERT_EQ(records.size(), 5u) << "no header row, one line a record";
    check(records, 0, recordFormatColumns(), 19, kRecordFormatColumns);
    const auto download = exported(f.path(), EbirdLayout::Download);
    ASSERT_EQ(download.size(), 6u) << "the header row, one line a record";
    EXPECT_EQ(download[0], downloadColumns());
    check(download, 1, downloadColumns(), 23, kDownloadColumns);
}

TEST(EbirdLayouts, UnitsTimesAndProtocolNames)
{
    EXPECT_EQ(decimalField(2.5 / kKmPerMile, 4), "1.5534");
    EXPECT_EQ(decimalField(1.609344 / kKmPerMile, 4), "1") << "no trailing zeros";
    EXPECT_EQ(decimalField(0.00001, 4), "0");
    EXPECT_EQ(decimalField(1 / kHaPerAcre, 4), "2.4711");
    EXPECT_EQ(exactDecimalField(0.1), "0.1");
    EXPECT_EQ(exactDecimalField(-82.51034567), "-82.51034567");
    EXPECT_EQ(exactDecimalField(1234567.5), "1234567.5") << "no group separators";
    EXPECT_EQ(recordFormatTime(QTime(19, 5)), "19:05");
    EXPECT_EQ(downloadTime(QTime(19, 5)), "07:05 PM");
    EXPECT_EQ(downloadTime(QTime(0, 30)), "12:30 AM");
    EXPECT_EQ(downloadTime(QTime(12, 0)), "12:00 PM");
    EXPECT_EQ(recordFormatTime(QTime()), "");
    // The download's protocol names, read back as the program's.
    for (const char* p : {"Traveling", "Stationary", "Incidental", "Area", "Historical", "Banding",
                          "Nocturnal Flight Call Count", "eBird Pelagic Protocol", "Random"}) {
        const QString ours = QString::fromLatin1(p);
        EXPECT_EQ(ebirdProtocolName(downloadProtocolName(ours)), ours) << p;
        EXPECT_EQ(downloadProtocolName(ours.toUpper()), downloadProtocolName(ours)) << p;
    }
    EXPECT_EQ(downloadProtocolName("Something new"), "Something new");
}

// The records that count for a region, whole outings with their records of no species.
TEST(EbirdExport, OnlyTheRegionsOutingsAndSightings)
{
    TestFolder f;
    addRecords(f);
    OpenState s(f.path());
    const QString out = f.path() + "/ontario.csv";
    EbirdExportOptions options;
    options.regId = kOntario;
    EbirdExportResult r = exportEbird(s.db(), out, options);
    EXPECT_EQ(r.sightings, 2);
    EXPECT_EQ(r.otherRecords, 1);
    EXPECT_EQ(r.outings, 1);
    EXPECT_EQ(r.files, QStringList{out});
    const auto rows = readAllCsv(readAll(out));
    ASSERT_EQ(rows.size(), 3u);
    for (const QStringList& row : rows) EXPECT_EQ(row[8], "05/17/2024");
    options.regId = 6; // California: the area count and the lone sighting
    options.layout = EbirdLayout::Download;
    r = exportEbird(s.db(), out, options);
    EXPECT_EQ(r.sightings, 2);
    EXPECT_EQ(r.otherRecords, 0);
    EXPECT_EQ(r.outings, 1);
    EXPECT_EQ(readAllCsv(readAll(out)).size(), 3u) << "the header and two records";
    options.regId = 999; // a region without records
    EXPECT_EQ(exportEbird(s.db(), out, options).records(), 0);
    EXPECT_EQ(readAllCsv(readAll(out)).size(), 1u) << "the header alone";
    EXPECT_EQ(exportSightings(s.db(), out), 4) << "every sighting";
    EXPECT_THROW(exportSightings(s.db(), f.path() + "/no/such/folder/x.csv"), std::runtime_error);
}

TEST(EbirdExport, PartFileNames)
{
    EXPECT_EQ(exportPartPath("/x/may.csv", 1), "/x/may-1.csv");
    EXPECT_EQ(exportPartPath("/x/may.2024.csv", 12), "/x/may.2024-12.csv");
    EXPECT_EQ(exportPartPath("/x/may", 2), "/x/may-2");
}

namespace {

// `outings` eBird checklists of 12 species each, every record with a comment of `repeats`
// times 25 characters: with 7, about 3,500 bytes an outing in the record format.
void addOutings(TestFolder& f, int outings, int repeats = 7)
{
    auto db = f.open();
    db::Transaction tx(*db);
    const QString comment = QString("Seen well in good light; ").repeated(repeats);
    for (int o = 1; o <= outings; ++o) {
        const QString date = QDate(2015, 1, 1).addDays(o / 3).toString(Qt::ISODate);
        db->execute("INSERT INTO Outings (Outing_ID, Date, StartTime, Duration, Distance, Observers, Protocol, site, "
                    "Latitude, Longitude, state, StateCode, comments, SubmissionID) VALUES "
                    "(?, ?, ?, 60, 1.2, 1, 'Traveling', ?, 42.5, -81.2, 2, 'CA-ON', ?, ?)",
                    {o, date, QString("%1:00").arg(6 + o % 3, 2, 10, QChar('0')), QString("Site %1").arg(o % 50),
                     QString("outing %1").arg(o), QString("S%1").arg(1000000 + o)});
        for (int b = 1; b <= 12; ++b)
            db->execute("INSERT INTO Sightings (Bird_ID, Date, Type, state, site, notes, Outing_ID, Count) "
                        "VALUES (?, ?, '', 2, ?, ?, ?, ?)",
                        {b, date, QString("Site %1").arg(o % 50), comment, o, b * o % 40 + 1});
    }
    tx.commit();
}

} // namespace

// A record-format export of about 3 MB: three files of at most 1 MB named after the one
// chosen, each outing whole in one of them, every record once.
TEST(EbirdExport, ThreeMegabytesGiveThreeFilesNoOutingSplit)
{
    TestFolder f;
    addOutings(f, 265, 32);
    OpenState s(f.path());
    const QString out = f.path() + "/sightings.csv";
    const EbirdExportResult r = exportEbird(s.db(), out);
    EXPECT_EQ(r.sightings, 265 * 12);
    EXPECT_EQ(r.outings, 265);
    ASSERT_EQ(r.files, (QStringList{f.path() + "/sightings-1.csv", f.path() + "/sightings-2.csv",
                                     f.path() + "/sightings-3.csv"}));
    EXPECT_TRUE(r.oversized.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(out)) << "the parts only";
    qint64 total = 0;
    std::map<QString, int> fileOfOuting;
    std::set<QString> records;
    for (int i = 0; i < r.files.size(); ++i) {
        const QByteArray bytes = readAll(r.files[i]);
        total += bytes.size();
        EXPECT_LE(bytes.size(), kUploadFileLimit) << qPrintable(r.files[i]);
        if (i < 2) {
            EXPECT_GT(bytes.size(), kUploadFileLimit * 9 / 10) << "filled before the next is begun";
        }
        for (const QStringList& row : readAllCsv(bytes)) {
            ASSERT_EQ(row.size(), 19);
            const auto [at, fresh] = fileOfOuting.emplace(row[18], i);
            EXPECT_EQ(at->second, i) << qPrintable(row[18]) << " is split";
            EXPECT_TRUE(records.insert(row[18] + u'|' + row[0]).second) << "written once";
        }
    }
    EXPECT_GT(total, 2800000);
    EXPECT_EQ(fileOfOuting.size(), 265u);
    EXPECT_EQ(records.size(), 265u * 12);

    // A smaller export is one file with the name chosen.
    EbirdExportOptions one;
    one.regId = 999;
    EXPECT_EQ(exportEbird(s.db(), out, one).files, QStringList{out});
    // The download is a full copy, never split.
    EbirdExportOptions download;
    download.layout = EbirdLayout::Download;
    const EbirdExportResult d = exportEbird(s.db(), f.path() + "/all.csv", download);
    EXPECT_EQ(d.files, QStringList{f.path() + "/all.csv"});
    EXPECT_EQ(readAllCsv(readAll(d.files[0])).size(), 265u * 12 + 1);
}

// An outing that alone is larger than the limit gets a file of its own and is named; the
// outings before and after it go into files of their own.
TEST(EbirdExport, AnOutingLargerThanAFileIsWrittenWholeAndNamed)
{
    TestFolder f;
    addOutings(f, 5);
    OpenState s(f.path());
    EbirdExportOptions options;
    options.fileLimit = 4000; // a little more than one outing
    s.db().execute("UPDATE Sightings SET notes = notes || notes WHERE Outing_ID = 3");
    const QString out = f.path() + "/x.csv";
    const EbirdExportResult r = exportEbird(s.db(), out, options);
    ASSERT_EQ(r.files.size(), 5);
    EXPECT_EQ(r.oversized, QStringList{exportPartPath(out, 3)});
    for (int i = 0; i < 5; ++i) {
        const auto rows = readAllCsv(readAll(r.files[i]));
        ASSERT_EQ(rows.size(), 12u) << i;
        EXPECT_EQ(rows[0][18], QString("outing %1").arg(i + 1));
    }
}

// Files of an earlier export in the way: replaced only when the user agrees; declined,
// nothing is written at all.
TEST(EbirdExport, PartsThatExistAreReplacedOnlyWhenAgreed)
{
    TestFolder f;
    addOutings(f, 5);
    OpenState s(f.path());
    const QString out = f.path() + "/x.csv";
    writeFile(exportPartPath(out, 2), "last year's");
    writeFile(exportPartPath(out, 9), "older still");
    EbirdExportOptions options;
    options.fileLimit = 4000;
    QStringList asked;
    options.replaceExisting = [&](const QStringList& existing) {
        asked = existing;
        return false;
    };
    const EbirdExportResult declined = exportEbird(s.db(), out, options);
    EXPECT_EQ(asked, QStringList{exportPartPath(out, 2)});
    EXPECT_TRUE(declined.files.isEmpty());
    EXPECT_EQ(readAll(exportPartPath(out, 2)), "last year's");
    EXPECT_FALSE(QFileInfo::exists(exportPartPath(out, 1)));
    EXPECT_EQ(QDir(f.path()).entryList({"x*"}, QDir::Files), (QStringList{"x-2.csv", "x-9.csv"}))
        << "no part of a file left";
    options.replaceExisting = [](const QStringList&) { return true; };
    EXPECT_EQ(exportEbird(s.db(), out, options).files.size(), 5);
    EXPECT_EQ(readAllCsv(readAll(exportPartPath(out, 2)))[0][18], "outing 2");
    EXPECT_EQ(readAll(exportPartPath(out, 9)), "older still") << "not the export's";
}

// A record-format file as a user writes it, with the header row and plain codes: one outing.
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
