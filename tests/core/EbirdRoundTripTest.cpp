// The export read back by the import: into an empty copy, each layout gives back what it holds
// (the download every field of every outing and record, the record format the fields it has
// columns for); into the database it came from, it adds nothing.

#include "records/EbirdExport.h"
#include "EbirdFiles.h"
#include "records/CsvReader.h"
#include "records/EbirdImport.h"
#include "regions/CodedRegions.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace fl;
using namespace fl::test;

namespace {

// Both databases know every region of eBird's list with its code, as a user's file does.
void prepare(TestFolder& f)
{
    addUsRegions(f);
    addEbirdRegions(*f.open());
}

QString region(const char* code)
{
    return QStringLiteral("(SELECT Reg_ID FROM Regions WHERE Code = '%1')").arg(QString::fromLatin1(code));
}

// Years of records as the program keeps them: eBird checklists with their effort, outings
// entered in the program (no Submission ID), records of no species, and sightings entered on
// their own; comments with commas, quotes, line breaks and texts a spreadsheet would run.
void addRecords(TestFolder& f)
{
    const QString ontario = region("CA-ON"), canada = region("CA"), essex = region("CA-ON-ES"),
                  california = region("US-CA"), us = region("US"), monterey = region("US-CA-053");
    f.exec(QStringLiteral(
               "INSERT INTO Outings (Outing_ID, Date, StartTime, Duration, Distance, Area, Observers, Protocol, "
               "AllReported, site, Latitude, Longitude, Region, country, state, district, StateCode, CountyCode, "
               "comments, SubmissionID) VALUES "
               "(1, '2014-05-17', '07:05', 95, 2.5, NULL, 3, 'Traveling', 1, 'Point Pelee NP--Tip', 41.9089, -82.5103, "
               "1, %1, %2, %3, 'CA-ON', 'CA-ON-ES', 'Windy, \"cold\"\nfog lifting', 'S18000001'), "
               "(2, '2019-06-01', NULL, 30, NULL, 4.5, 1, 'Area', 0, 'Carmel marsh', 36.5389, -121.9101, 1, %4, %5, %6, "
               "'US-CA', 'US-CA-053', '', 'S56000002'), "
               "(3, '2023-12-26', '13:40', 20, NULL, NULL, 2, 'Stationary', 1, 'Backyard feeder', NULL, NULL, 1, %1, %2, "
               "0, NULL, NULL, '=cold, -12 C', NULL), "
               "(4, '2024-09-09', '06:00', 240, 12.25, NULL, 12, 'Traveling', 0, 'Pelee, east beach', 41.95, -82.51, 1, %1, "
               "%2, %3, 'CA-ON', 'CA-ON-ES', NULL, 'S19000004')")
               .arg(canada, ontario, essex, us, california, monterey));
    f.exec("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes, Outing_ID, Count, "
           "BreedingCode, MediaNumbers) SELECT B, O.Date, '', O.Region, O.country, O.state, O.district, O.site, N, "
           "O.Outing_ID, C, BC, M FROM Outings O JOIN (SELECT 1 AS OID, 1 AS B, 'pair, dabbling' AS N, 12 AS C, "
           "'FL' AS BC, '123 456' AS M UNION ALL SELECT 1, 3, '', NULL, NULL, NULL "
           "UNION ALL SELECT 1, 11, 'bobbing\ttail \"pumping\"', 40, NULL, '98765' "
           "UNION ALL SELECT 2, 2, '', 2, 'NY', NULL UNION ALL SELECT 2, 7, '+ singing', 1, NULL, NULL "
           "UNION ALL SELECT 3, 5, '@feeder', 1, NULL, NULL UNION ALL SELECT 3, 4, '', NULL, NULL, NULL "
           "UNION ALL SELECT 4, 12, 'first of fall\nsecond line', 3, NULL, NULL) E ON E.OID = O.Outing_ID");
    f.exec("INSERT INTO OtherRecords (Outing_ID, Name, sci_name, Category, TaxonOrder, Count, BreedingCode, notes, "
           "MediaNumbers) VALUES "
           "(1, 'gull sp.', 'Larinae sp.', 'spuh', 6453, 4, NULL, 'distant', NULL), "
           "(1, 'Hermit/Wood Thrush', 'Catharus guttatus/Hylocichla mustelina', 'slash', 27100, NULL, NULL, '', NULL), "
           "(4, 'Mallard x American Black Duck (hybrid)', 'Anas platyrhynchos x rubripes', 'hybrid', 470, 1, NULL, "
           "'', '55555')");
    f.exec(QStringLiteral("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) "
                          "VALUES (6, '2012-04-02', '', 1, %1, %2, %3, 'Carmel River mouth', 'singing, \"loud\"'), "
                          "(9, '2016-07-07', '', 1, %4, %5, 0, 'Jack pines', '-3 degrees')")
               .arg(us, california, monterey, canada, ontario));
}

// The records of a database as comparable lines, ids left out and places by their codes.
// `held` leaves out what the record format has no column for.
QStringList records(db::Database& db, bool recordFormatOnly)
{
    const QString place = QStringLiteral("coalesce((SELECT coalesce(Code, Name) FROM Regions WHERE Reg_ID = %1), '-')");
    auto places = [&](const QString& t) {
        return place.arg(t + ".Region") + " || '/' || " + place.arg(t + ".country") + " || '/' || " + place.arg(t + ".state")
               + (recordFormatOnly ? QString() : " || '/' || " + place.arg(t + ".district"));
    };
    auto q = [](const QString& expr) { return "coalesce(" + expr + ", '-')"; };
    const QString breedingMedia = recordFormatOnly ? QStringLiteral("''")
                                                   : q("S.BreedingCode") + " || '|' || " + q("S.MediaNumbers");
    const QString otherExtra = recordFormatOnly ? QStringLiteral("''")
                                                : q("R.BreedingCode") + " || '|' || " + q("R.MediaNumbers") + " || '|' || "
                                                      + q("R.TaxonOrder");
    QStringList out;
    auto add = [&](const QString& sql) {
        auto rs = db.openRecordset(sql, db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) out << rs.field(0).toString();
    };
    // Each outing with its sightings and records of no species.
    add("SELECT O.Date || '|' || " + q("O.StartTime") + " || '|' || " + q("O.Duration") + " || '|' || "
        + q("round(O.Distance, 3)") + " || '|' || " + q("round(O.Area, 3)") + " || '|' || " + q("O.Observers")
        + " || '|' || O.Protocol || '|' || O.AllReported || '|' || " + q("O.site") + " || '|' || " + q("O.Latitude")
        + " || '|' || " + q("O.Longitude") + " || '|' || " + places("O") + " || '|' || "
        // An outing's eBird codes: those it keeps, else its regions' (the file gives the codes of
        // its places, which the import keeps).
        + (recordFormatOnly ? QStringLiteral("''")
                            : q("coalesce(O.StateCode, (SELECT Code FROM Regions WHERE Reg_ID = O.state))") + " || '|' || "
                                  + q("coalesce(O.CountyCode, (SELECT Code FROM Regions WHERE Reg_ID = O.district))")
                                  + " || '|' || " + q("O.SubmissionID"))
        + " || '|' || " + q("nullif(O.comments, '')") + " || ' :: ' || "
        + "coalesce((SELECT group_concat(x, ' ; ') FROM (SELECT B.Name || '=' || coalesce(S.Count, 'X') || '|' || "
          "coalesce(S.notes, '') || '|' || S.Type || '|' || " + breedingMedia + " AS x FROM Sightings S JOIN Birds B "
          "ON B.ID = S.Bird_ID WHERE S.Outing_ID = O.Outing_ID ORDER BY B.Name)), '') || ' :: ' || "
        + "coalesce((SELECT group_concat(x, ' ; ') FROM (SELECT coalesce(R.Name, '') || '|' || coalesce(R.sci_name, '') "
          "|| '|' || R.Category || '=' || coalesce(R.Count, 'X') || '|' || coalesce(R.notes, '') || '|' || " + otherExtra
        + " AS x FROM OtherRecords R WHERE R.Outing_ID = O.Outing_ID ORDER BY R.Name)), '') FROM Outings O");
    // The sightings of no outing. The record format has no other way to write one than as an
    // Incidental checklist: it comes back as the one sighting of such an outing.
    if (recordFormatOnly) {
        add("SELECT S.Date || '|-|-|-|-|-|Incidental|0|' || " + q("S.site") + " || '|-|-|' || " + places("S")
            + " || '||- :: ' || B.Name || '=' || coalesce(S.Count, 'X') || '|' || coalesce(S.notes, '') || '|' || S.Type "
              "|| '|' || " + breedingMedia + " || ' :: ' FROM Sightings S JOIN Birds B ON B.ID = S.Bird_ID "
              "WHERE S.Outing_ID IS NULL");
        out.sort();
        return out;
    }
    add("SELECT 'on its own: ' || B.Name || '|' || S.Date || '|' || S.Type || '|' || " + places("S") + " || '|' || "
        + q("S.site") + " || '|' || coalesce(S.Count, 'X') || '|' || coalesce(S.notes, '') || '|' || " + breedingMedia
        + " FROM Sightings S JOIN Birds B ON B.ID = S.Bird_ID WHERE S.Outing_ID IS NULL");
    out.sort();
    return out;
}

QString exportTo(TestFolder& f, EbirdLayout layout)
{
    OpenState s(f.path());
    EbirdExportOptions options;
    options.layout = layout;
    const QString out = f.path() + "/export.csv";
    const EbirdExportResult r = exportEbird(s.db(), out, options);
    EXPECT_EQ(r.files, QStringList{out});
    return out;
}

struct Imported {
    int stored = 0, already = 0;
};

Imported importInto(TestFolder& f, const QString& file)
{
    OpenState s(f.path());
    const ImportPreview p = readEbirdFile(s.db(), file);
    Imported i;
    i.already = p.alreadyStored;
    i.stored = storeImport(s.state, p);
    return i;
}

QStringList recordsOf(TestFolder& f, bool recordFormatOnly)
{
    OpenState s(f.path());
    return records(s.db(), recordFormatOnly);
}

class RoundTrip : public testing::TestWithParam<EbirdLayout> {};

std::string layoutName(const testing::TestParamInfo<EbirdLayout>& info)
{
    return info.param == EbirdLayout::Download ? "MyEbirdData" : "RecordFormat";
}

} // namespace

TEST_P(RoundTrip, IntoAnEmptyCopyGivesBackWhatTheLayoutHoldsAndIntoTheSameAddsNothing)
{
    const EbirdLayout layout = GetParam();
    const bool recordFormat = layout == EbirdLayout::RecordFormat;
    TestFolder original, copy;
    prepare(original);
    prepare(copy);
    addRecords(original);
    const QStringList before = recordsOf(original, recordFormat), all = recordsOf(original, false);
    ASSERT_EQ(before.size(), 6);
    const QString file = exportTo(original, layout);
    importInto(copy, file);
    EXPECT_EQ(recordsOf(copy, recordFormat).join('\n').toStdString(), before.join('\n').toStdString());
    EXPECT_EQ(importInto(original, file).stored, 0);
    EXPECT_EQ(recordsOf(original, false).join('\n').toStdString(), all.join('\n').toStdString());
}

INSTANTIATE_TEST_SUITE_P(Layouts, RoundTrip, testing::Values(EbirdLayout::RecordFormat, EbirdLayout::Download),
                         layoutName);

namespace {

// A sighting on its own with `text` as its site and notes, exported in `layout` and imported
// into an empty copy.
QStringList afterRoundTrip(const QString& text, EbirdLayout layout, QString* written = nullptr)
{
    TestFolder original, copy;
    original.exec("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) VALUES "
                  "(1, '2023-04-02', '', 1, 3, 2, 0, ?, ?)",
                  {text, text});
    const QString file = exportTo(original, layout);
    if (written) {
        QFile f(file);
        if (f.open(QIODevice::ReadOnly)) *written = QString::fromUtf8(f.readAll());
    }
    importInto(copy, file);
    return recordsOf(copy, layout == EbirdLayout::RecordFormat);
}

class SpreadsheetTexts : public testing::TestWithParam<const char*> {};

} // namespace

// A text that a spreadsheet would run as a formula goes out with an apostrophe in front and
// comes back without it, in either layout: apostrophes of the user's own come back too.
TEST_P(SpreadsheetTexts, AreNeutralisedOnExportAndReadBackExactly)
{
    const QString text = QString::fromUtf8(GetParam());
    TestFolder original;
    original.exec("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) VALUES "
                  "(1, '2023-04-02', '', 1, 3, 2, 0, ?, ?)",
                  {text, text});
    const QStringList lone = recordsOf(original, false), asOuting = recordsOf(original, true);
    ASSERT_EQ(lone.size(), 1);
    QString written;
    EXPECT_EQ(afterRoundTrip(text, EbirdLayout::Download, &written), lone);
    const qsizetype first = text.indexOf(QRegularExpression("[^']"));
    const QChar lead = first < 0 ? QChar() : text[first];
    // A plain number ("-12") is read as a number, never run: it goes out as it is.
    const bool number = QRegularExpression("^-?[0-9]+$").match(text).hasMatch();
    const bool formula = !lead.isNull() && QStringLiteral("=+-@\t\r").contains(lead) && !number;
    const auto rows = readAllCsv(written.toUtf8());
    ASSERT_EQ(rows.size(), 2u);
    const QString site = rows[1].value(int(downloadColumns().indexOf("Location")));
    EXPECT_EQ(site, formula ? "'" + text : text);
    EXPECT_EQ(afterRoundTrip(text, EbirdLayout::RecordFormat), asOuting);
}

INSTANTIATE_TEST_SUITE_P(Texts, SpreadsheetTexts,
                         testing::Values("=HYPERLINK(\"http://example.com\",\"click\")", "+1 555 0100", "-3 degrees",
                                         "@home", "'=already quoted", "''=two apostrophes", "'plain quote", "plain",
                                         "a=b", " =after a blank", "'", "=", "x3 birds", "-12"));

// In the download, sightings on their own stay on their own, each as it was, two of one species
// on one day at one place (a male and a female noted apart) included; imported again, nothing.
TEST(RoundTrip, SightingsOnTheirOwnStayApartInTheDownload)
{
    TestFolder original, copy;
    prepare(original);
    prepare(copy);
    original.exec("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) VALUES "
                  "(4, '2011-05-01', '', 1, 3, 2, 0, 'Garden', 'male, singing'), "
                  "(4, '2011-05-01', '', 1, 3, 2, 0, 'Garden', 'female, carrying food'), "
                  "(5, '2011-05-01', '', 1, 3, 2, 0, 'Garden', '')");
    const QStringList before = recordsOf(original, false);
    const QString file = exportTo(original, EbirdLayout::Download);
    EXPECT_EQ(importInto(copy, file).stored, 3);
    EXPECT_EQ(recordsOf(copy, false), before);
    {
        OpenState s(copy.path());
        EXPECT_EQ(s.count("Outings"), 0);
    }
    EXPECT_EQ(importInto(copy, file).stored, 0);
    EXPECT_EQ(importInto(original, file).stored, 0);
    EXPECT_EQ(recordsOf(original, false), before);
}
