#include "ShippedDatabase.h"

#include "records/Csv.h"
#include "ui/Silhouettes.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace fl;
using test::SampleData;

namespace {

const QString kData = QStringLiteral(SAMPLE_DATA_DIR);

bool validCode(const QString& scode)
{
    static const QString letters[3] = {"CFURX", "PpSsWwTVR", "LI"};
    if (scode.size() % 3 != 0 || scode.size() > 9) return false;
    for (int i = 0; i < scode.size(); ++i)
        if (scode[i] != u'/' && !letters[i % 3].contains(scode[i])) return false;
    return true;
}

} // namespace

TEST(SampleSources, EveryFileIsWellFormed)
{
    for (const QString& table : dataTables()) {
        const QString file = kData + "/" + table + ".csv";
        if (!QFile::exists(file)) continue;
        const auto rows = readCsvFile(file);
        ASSERT_FALSE(rows.empty()) << qPrintable(table);
        for (size_t r = 1; r < rows.size(); ++r)
            ASSERT_EQ(rows[r].size(), rows[0].size()) << qPrintable(table) << " row " << r + 1;
    }
}

TEST_F(SampleData, SpeciesAreCompleteAndUnique)
{
    EXPECT_GT(count("SELECT count(*) FROM Birds"), 950);
    EXPECT_EQ(count("SELECT count(DISTINCT lower(Name)) FROM Birds"), count("SELECT count(*) FROM Birds"));
    EXPECT_EQ(count("SELECT count(*) FROM Birds WHERE trim(coalesce(Name,'')) = '' OR trim(coalesce(sci_name,'')) = '' "
                    "OR trim(coalesce(Data,'')) = ''"), 0);
    EXPECT_EQ(count("SELECT count(DISTINCT sortOrder) FROM Birds"), count("SELECT count(*) FROM Birds"));
    EXPECT_EQ(count("SELECT count(*) FROM Birds WHERE LifeList <> 0 OR coalesce(song,'') <> ''"), 0);
    // Regular species carry at least two sentences.
    auto rs = db->openRecordset("SELECT Name, Data FROM Birds, Checklists WHERE Birds.ID = Checklists.Bird_ID "
                                "AND Reg_ID = 1 AND Status IN ('B', 'V', 'T')", db::RecordsetKind::Snapshot);
    static const QRegularExpression sentenceEnd(QStringLiteral("[.!?](\\s|$)"));
    for (; !rs.eof(); rs.moveNext())
        EXPECT_GE(rs.field("Data").toString().count(sentenceEnd), 2) << qPrintable(rs.field("Name").toString());
}

TEST_F(SampleData, EveryDescriptionGivesTheLengthOnceInInchesAndCentimetres)
{
    // The one accepted form is "11 in (28 cm)"; anything else measured in cm or inches is a leftover.
    static const QRegularExpression length(QStringLiteral("(\\d+(?:\\.\\d+)?) in \\((\\d+(?:\\.\\d+)?) cm\\)"));
    static const QRegularExpression stray(
        QStringLiteral("\\b(?:cm|mm|centimet\\w*|inch\\w*)\\b|(?<![\\d.])\\d{1,3}(?:\\.\\d+)?\\s*(?:in\\b|\")"),
        QRegularExpression::CaseInsensitiveOption);
    auto rs = db->openRecordset("SELECT Name, Data FROM Birds", db::RecordsetKind::Snapshot);
    int checked = 0;
    for (; !rs.eof(); rs.moveNext(), ++checked) {
        const QString name = rs.field("Name").toString();
        QString data = rs.field("Data").toString();
        const auto m = length.match(data);
        if (!m.hasMatch()) {
            ADD_FAILURE() << qPrintable(name) << ": no length in inches and cm";
            continue;
        }
        const double inches = m.captured(1).toDouble();
        const double cm = m.captured(2).toDouble();
        EXPECT_NEAR(cm, inches * 2.54, 3.0) << qPrintable(name) << ": " << qPrintable(m.captured(0));
        EXPECT_GE(inches, 2.5) << qPrintable(name);
        EXPECT_LE(inches, 65.0) << qPrintable(name);
        data.remove(m.capturedStart(), m.capturedLength());
        EXPECT_FALSE(length.match(data).hasMatch()) << qPrintable(name) << ": more than one length";
        const auto left = stray.match(data);
        EXPECT_FALSE(left.hasMatch()) << qPrintable(name) << ": another length statement near \""
                                      << qPrintable(data.mid(qMax(0, int(left.capturedStart()) - 20), 50)) << '"';
    }
    EXPECT_GT(checked, 950);
}

TEST_F(SampleData, EveryReferenceResolvesAndTheTaxonomicSequenceIsConsistent)
{
    EXPECT_EQ(count("SELECT count(*) FROM Birds WHERE family_ID NOT IN (SELECT Fam_ID FROM Families)"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM Families WHERE Order_ID NOT IN (SELECT Order_ID FROM Orders)"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM subFamilies WHERE Fam_ID NOT IN (SELECT Fam_ID FROM Families)"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM Birds WHERE subFam_ID <> 0 AND NOT EXISTS (SELECT 1 FROM subFamilies "
                    "WHERE subFamilies.subFam_ID = Birds.subFam_ID AND subFamilies.Fam_ID = Birds.family_ID)"), 0)
        << "a species' subfamily belongs to its family";
    EXPECT_EQ(count("SELECT count(*) FROM Checklists WHERE Bird_ID NOT IN (SELECT ID FROM Birds) "
                    "OR Reg_ID NOT IN (SELECT Reg_ID FROM Regions)"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM Families WHERE Fam_ID NOT IN (SELECT family_ID FROM Birds)"), 0)
        << "no empty families";
    EXPECT_EQ(count("SELECT count(*) FROM GetClassName"), count("SELECT count(*) FROM Families"));

    // Walking the species in checklist order meets each family once, in family order,
    // and the families' orders in order.
    auto rs = db->openRecordset("SELECT Families.Sortorder AS f, Orders.SortOrder AS o FROM Birds, Families, Orders "
                                "WHERE Birds.family_ID = Families.Fam_ID AND Families.Order_ID = Orders.Order_ID "
                                "ORDER BY Birds.sortOrder", db::RecordsetKind::Snapshot);
    int lastFamily = -1, lastOrder = -1;
    for (; !rs.eof(); rs.moveNext()) {
        const int f = rs.field("f").toInt(), o = rs.field("o").toInt();
        EXPECT_GE(f, lastFamily);
        EXPECT_GE(o, lastOrder);
        lastFamily = f;
        lastOrder = o;
    }
    EXPECT_EQ(count("SELECT count(DISTINCT Sortorder) FROM Families"), count("SELECT count(*) FROM Families"));
    EXPECT_EQ(count("SELECT count(DISTINCT SortOrder) FROM Orders"), count("SELECT count(*) FROM Orders"));
    EXPECT_EQ(count("SELECT count(*) FROM Orders WHERE trim(coalesce(Caption,'')) = ''"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM Families WHERE trim(coalesce(Caption,'')) = '' OR trim(coalesce(notes,'')) = ''"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM subFamilies WHERE trim(coalesce(Caption,'')) = '' OR trim(coalesce(notes,'')) = ''"), 0);
}

TEST_F(SampleData, StatusLettersAndCodesAreValidAndTheWizardFindsFamiliesOfEveryKind)
{
    EXPECT_EQ(count("SELECT count(*) FROM Checklists WHERE Status NOT IN ('B','V','T','R','E','N') "
                    "OR Status IS NULL OR length(Status) <> 1"), 0);
    for (const QString& code : column("SELECT DISTINCT coalesce(scode, '') FROM Checklists"))
        EXPECT_TRUE(validCode(code)) << qPrintable(code);
    EXPECT_EQ(count("SELECT count(*) FROM Checklists WHERE Reg_ID = 1"), count("SELECT count(*) FROM Birds"))
        << "North America lists every species";
    // The wizard finds families of every kind with each of its criteria.
    const QString criteria[] = {" AND (Status = 'B') ", " AND (scode LIKE '*W*' OR Scode like '*P*') ",
                                " AND (scode LIKE '*C*') "};
    for (int kind = 0; kind < 8; ++kind) {
        EXPECT_GE(count(QStringLiteral("SELECT count(*) FROM Families WHERE Type = %1").arg(kind)), 1) << kind;
        for (const QString& c : criteria) {
            const QString sql = QStringLiteral("SELECT count(*) FROM (SELECT distinct Families.Fam_ID FROM Birds, "
                                               "Families, Checklists WHERE Birds.ID = Checklists.Bird_ID AND "
                                               "Birds.family_ID = Families.Fam_ID AND Reg_ID = 1 AND Families.Type = %1%2)")
                                    .arg(kind).arg(c);
            EXPECT_GE(count(sql), 1) << "kind " << kind << qPrintable(c);
        }
    }
}

TEST_F(SampleData, RegionsAndOptions)
{
    EXPECT_EQ(db->scalar("SELECT Name FROM Regions WHERE Reg_ID = 1").toString(), "North America");
    EXPECT_EQ(db->scalar("SELECT Type FROM Regions WHERE Reg_ID = 1").toString(), "Region");
    EXPECT_EQ(column("SELECT Name FROM GetCountries"), (QStringList{"Canada", "Mexico", "United States"}));
    // The regions of the data files have checklists; the others get theirs when first used.
    EXPECT_EQ(count("SELECT count(*) FROM Regions WHERE Reg_ID <= 9 AND Reg_ID NOT IN (SELECT Reg_ID FROM Checklists)"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM Regions WHERE Reg_ID > 9 AND (Reg_ID IN (SELECT Reg_ID FROM Checklists) "
                    "OR CopiedFrom IS NOT NULL)"), 0);
    auto o = db->openRecordset("Options", db::RecordsetKind::Snapshot);
    ASSERT_EQ(o.recordCount(), 1);
    EXPECT_EQ(o.field("regname").toString(), "North America");
    EXPECT_EQ(o.field("Reg_ID").toInt(), 1);
    EXPECT_EQ(o.field("regType").toString(), "Region");
    EXPECT_EQ(o.field("searchType").toString(), "All Birds");
    EXPECT_EQ(o.field("qrySort").toString(), " Order By Birds.sortOrder");
    EXPECT_EQ(o.field("qryResult").toString(), "");
    EXPECT_FALSE(o.field("qryResult").isNull());
    EXPECT_FALSE(o.field("wincolor").toBool());
    EXPECT_FALSE(o.field("SongCD").toBool());
    EXPECT_EQ(o.field("lifetotal").toInt(), count("SELECT count(*) FROM Checklists WHERE Reg_ID = 1"));
    EXPECT_EQ(o.field("lifesum").toInt(), 0);
    EXPECT_EQ(count("SELECT count(*) FROM Sightings") + count("SELECT count(*) FROM images")
                  + count("SELECT count(*) FROM cdSong"), 0);
}

TEST_F(SampleData, TopicLinksAndEveryPictureNumberHasAPicture)
{
    for (const char* topic : {"Bird Photos", "Bird Songs", "Checklists", "Bird Houses", "Feeding Birds", "Optics",
                              "Organizations", "Other Sites"})
        EXPECT_GE(count(QStringLiteral("SELECT count(*) FROM Links1 WHERE Subject = '%1'").arg(topic)), 2) << topic;
    EXPECT_EQ(count("SELECT count(*) FROM Links1 WHERE URL NOT LIKE 'https://*' OR trim(Title) = ''"), 0);

    for (const QString& n : column("SELECT images FROM Families UNION SELECT images FROM subFamilies")) {
        if (n.toInt() == 0) continue;
        EXPECT_TRUE(hasSilhouette(n.toInt())) << qPrintable(n);
    }
    EXPECT_EQ(count("SELECT count(*) FROM Families WHERE images = 0 OR images IS NULL"), 0);
}

TEST(Silhouettes, NumberedPicturesAtTheirSizes)
{
    EXPECT_FALSE(hasSilhouette(107));
    EXPECT_TRUE(silhouette(107).isNull());
    EXPECT_TRUE(silhouette(100).isNull());
    EXPECT_TRUE(silhouette(181).isNull());
    for (int n = 101; n <= 180; ++n) {
        if (n == 107) continue;
        const QPixmap p = silhouette(n);
        ASSERT_FALSE(p.isNull()) << n;
        EXPECT_GE(p.width(), 40) << n;
        EXPECT_LE(p.width(), 314) << n;
        EXPECT_GE(p.height(), 65) << n;
        EXPECT_LE(p.height(), 101) << n;
        // Something is drawn: not every pixel is transparent.
        const QImage img = p.toImage();
        int inked = 0;
        for (int y = 0; y < img.height(); y += 2)
            for (int x = 0; x < img.width(); x += 2) inked += qAlpha(img.pixel(x, y)) > 128;
        EXPECT_GT(inked, 20) << n;
    }
}

TEST_F(SampleData, OpensOnlyWithThePasswordAndStaysUnderThreeTimesItsSizeBeforeTheRegions)
{
    EXPECT_THROW(db::Database::open(path, false, false, ";PWD=wrong"), db::DbError);
    // 859,136 bytes with its nine regions.
    EXPECT_LT(QFileInfo(path).size(), 3 * 859136);
}

TEST_F(SampleData, TheNineRegionsKeepIdsNamesAndChecklistsAndGetTheirCodes)
{
    const struct {
        int id;
        const char* name;
        const char* type;
        const char* code; // null: none
    } expected[] = {
        {1, "North America", "Region", nullptr}, {2, "Canada", "Country", "CA"},
        {3, "United States", "Country", "US"},   {4, "Ontario", "State", "CA-ON"},
        {5, "California", "State", "US-CA"},     {6, "Texas", "State", "US-TX"},
        {7, "Florida", "State", "US-FL"},        {8, "Cape May County", "District", "US-NJ-009"},
        {9, "Monterey County", "District", "US-CA-053"},
    };
    const auto file = readCsvFile(kData + "/Checklists.csv");
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        auto rs = db->openRecordset("SELECT Name, Type, Code FROM Regions WHERE Reg_ID = ?", db::RecordsetKind::Snapshot,
                                    {e.id});
        ASSERT_FALSE(rs.eof());
        EXPECT_EQ(rs.field("Name").toString(), e.name);
        EXPECT_EQ(rs.field("Type").toString(), e.type);
        if (e.code) EXPECT_EQ(rs.field("Code").toString(), e.code);
        else EXPECT_TRUE(rs.field("Code").isNull());
        int rows = 0;
        for (size_t r = 1; r < file.size(); ++r) rows += file[r][1].toInt() == e.id;
        EXPECT_GT(rows, 0);
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Checklists WHERE Reg_ID = %1").arg(e.id)), rows);
    }
}

TEST_F(SampleData, EveryStateProvinceAndCountyIsThereOnceWithItsCode)
{
    EXPECT_EQ(count("SELECT count(*) FROM Regions WHERE Type = 'Country' AND Code IN ('US', 'CA', 'MX')"), 3);
    // States and provinces: the 50 states and the District of Columbia, 10 provinces and 3
    // territories, 31 Mexican states and Mexico City.
    for (const auto& [country, states] : {std::pair{"US", 51}, {"CA", 13}, {"MX", 32}})
        EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM Regions WHERE Type = 'State' AND substr(Code, 1, 3) = '%1-'")
                            .arg(country)),
                  states) << country;
    EXPECT_EQ(count("SELECT count(*) FROM Regions WHERE Type = 'State'"), 96);
    EXPECT_EQ(count("SELECT count(*) FROM Regions WHERE Type = 'District' AND Code IS NOT NULL"), 5359);
    EXPECT_EQ(count("SELECT count(*) FROM Regions WHERE Type = 'District'"), 5359);
    // Each region is there once. The kinds, parents and names of eBird's list are checked on
    // the list itself, and the nine regions of the data files keep theirs (TheNineRegions...).
    EXPECT_EQ(count("SELECT count(*) FROM Regions"), 1 + 3 + 96 + 5359);
    const struct {
        const char* code;
        const char* name;
    } named[] = {
        {"US-OH", "Ohio"}, {"CA-QC", "Quebec"}, {"MX-MEX", "México"}, {"US-DC", "District of Columbia"},
        {"US-OH-049", "Franklin, Ohio"}, {"US-TX-201", "Harris, Texas"}, {"CA-QC-QU", "Québec, Quebec"},
        {"CA-ON-SD", "Stormont, Dundas and Glengarry, Ontario"}, {"MX-NLE-040", "Monterrey, Nuevo León"},
    };
    for (const auto& n : named)
        EXPECT_EQ(db->scalar("SELECT Name FROM Regions WHERE Code = ?", {QString::fromLatin1(n.code)}).toString(),
                  QString::fromUtf8(n.name)) << n.code;
}
