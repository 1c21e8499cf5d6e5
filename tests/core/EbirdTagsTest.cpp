#include "records/EbirdTags.h"
#include "EbirdFiles.h"
#include "records/CsvReader.h"
#include "records/EbirdImport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace fl;
using namespace fl::test;

namespace {

// Texts that hold the tag's own codes, its separators and line ends as plain text.
const char* const kAwkward[] = {
    "100%3B sure", "a%0Ab%25", "%25", "%", "%%3B", "50% off; then more", "line\nbreak", "cr\r\nlf",
    "%0D%0A", "a=b", " spaced ", "%253B", "Featherlog: inside",
};

class PlaceTagText : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST_P(PlaceTagText, ComesBackUnchangedInEveryField)
{
    const QString text = QString::fromUtf8(GetParam());
    for (int field = 0; field < 5; ++field) {
        PlaceTag tag;
        QString* fields[] = {&tag.region, &tag.country, &tag.state, &tag.district, &tag.type};
        *fields[field] = text;
        tag.state = field == 2 ? text : QStringLiteral("Ontario"); // a neighbour on at least one side
        const QString written = formatPlaceTag(tag);
        EXPECT_EQ(written.count(u';'), field == 2 ? 0 : 1) << "no separator is taken from the text: " << qPrintable(written);
        EXPECT_FALSE(written.contains(u'\n') || written.contains(u'\r')) << "one line";
        const PlaceTag back = parsePlaceTag(written);
        ASSERT_TRUE(back.present) << qPrintable(written);
        EXPECT_EQ(back.region, tag.region) << qPrintable(written);
        EXPECT_EQ(back.country, tag.country) << qPrintable(written);
        EXPECT_EQ(back.state, tag.state) << qPrintable(written);
        EXPECT_EQ(back.district, tag.district) << qPrintable(written);
        EXPECT_EQ(back.type, tag.type) << qPrintable(written);
    }
}

INSTANTIATE_TEST_SUITE_P(Awkward, PlaceTagText, ::testing::ValuesIn(kAwkward));

// Region names and a type holding percent codes go out in an export and come back from it
// as they were typed.
TEST(PlaceTag, PercentCodesSurviveExportAndImport)
{
    auto regions = [](TestFolder& f) {
        f.exec("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (5, '100%3B sure', 'Country'), "
               "(6, 'a%0Ab%25', 'District')");
    };
    TestFolder original;
    regions(original);
    original.exec("INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) VALUES "
                  "(3, '2024-05-01', '%25 Male%3B', 0, 5, 2, 6, 'Lake', '')");
    const QString out = original.path() + "/export.csv";
    {
        OpenState s(original.path());
        ASSERT_EQ(exportSightings(s.db(), out), 1);
    }
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto rows = readAllCsv(file.readAll());
    ASSERT_EQ(rows.size(), 1u);
    const PlaceTag tag = parsePlaceTag(rows[0].value(18));
    ASSERT_TRUE(tag.present) << qPrintable(rows[0].value(18));
    EXPECT_EQ(tag.country, "100%3B sure");
    EXPECT_EQ(tag.district, "a%0Ab%25");
    EXPECT_EQ(tag.type, "%25 Male%3B");

    TestFolder copy;
    regions(copy);
    OpenState s(copy.path());
    ASSERT_EQ(storeImport(s.state, readEbirdFile(s.db(), out)), 1);
    auto rs = s.db().openRecordset("SELECT Type, country, state, district FROM Sightings", db::RecordsetKind::Snapshot);
    EXPECT_EQ(rs.field(0).toString(), "%25 Male%3B");
    EXPECT_EQ(rs.field(1).toInt(), 5) << "the country named 100%3B sure";
    EXPECT_EQ(rs.field(2).toInt(), 2);
    EXPECT_EQ(rs.field(3).toInt(), 6) << "the district named a%0Ab%25";
}
