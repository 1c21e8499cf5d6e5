#include "regions/ChecklistCopy.h"
#include "regions/CodedRegions.h"
#include "regions/EbirdRegions.h"
#include "regions/RegionCodes.h"
#include "regions/RegionNames.h"
#include "TestDatabase.h"
#include "db/Database.h"

#include <QSet>
#include <ostream>
#include <gtest/gtest.h>

using namespace fl;

// --- eBird's region list as the program carries it ---

TEST(EbirdRegionList, ThreeCountriesTheirStatesAndCounties)
{
    int countries = 0, states = 0, counties = 0;
    QSet<QString> codes;
    QSet<QString> names[3];
    for (const EbirdRegion& r : ebirdRegions()) {
        EXPECT_FALSE(codes.contains(r.code)) << qPrintable(r.code);
        codes.insert(r.code);
        const QString parent = parentRegionCode(r.code);
        EXPECT_TRUE(parent.isEmpty() || codes.contains(parent)) << qPrintable(r.code) << " comes before its parent";
        const int level = int(r.code.count(u'-'));
        ASSERT_LE(level, 2) << qPrintable(r.code);
        EXPECT_EQ(r.type, (QStringList{"Country", "State", "District"}[level])) << qPrintable(r.code);
        (level == 0 ? countries : level == 1 ? states : counties)++;
        const QString key = regionSearchKey(r.name);
        EXPECT_FALSE(names[level].contains(key)) << qPrintable(r.name) << " is not unique within its kind";
        names[level].insert(key);
    }
    EXPECT_EQ(countries, 3);
    EXPECT_EQ(states, 96);
    EXPECT_EQ(counties, 5359);
}

struct NamedRegion {
    const char* code;
    const char* ebirdName;
    const char* name;
};
void PrintTo(const NamedRegion& r, std::ostream* os) { *os << r.code; }

class EbirdRegionNames : public ::testing::TestWithParam<NamedRegion> {};

TEST_P(EbirdRegionNames, CountiesCarryTheirState)
{
    const NamedRegion& e = GetParam();
    const EbirdRegion* r = ebirdRegion(QString::fromLatin1(e.code).toLower());
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->code, e.code);
    EXPECT_EQ(r->ebirdName, QString::fromUtf8(e.ebirdName));
    EXPECT_EQ(r->name, QString::fromUtf8(e.name));
}

INSTANTIATE_TEST_SUITE_P(
    Regions, EbirdRegionNames,
    ::testing::Values(NamedRegion{"US", "United States", "United States"}, NamedRegion{"MX", "Mexico", "Mexico"},
                      NamedRegion{"US-OH", "Ohio", "Ohio"}, NamedRegion{"CA-QC", "Quebec", "Quebec"},
                      NamedRegion{"MX-MEX", "México", "México"},
                      NamedRegion{"MX-DIF", "Ciudad de México", "Ciudad de México"},
                      NamedRegion{"US-OH-049", "Franklin", "Franklin, Ohio"},
                      NamedRegion{"US-VT-011", "Franklin", "Franklin, Vermont"},
                      NamedRegion{"CA-QC-QU", "Québec", "Québec, Quebec"},
                      NamedRegion{"CA-ON-SD", "Stormont, Dundas and Glengarry", "Stormont, Dundas and Glengarry, Ontario"},
                      NamedRegion{"US-NJ-009", "Cape May", "Cape May, New Jersey"}),
    [](const ::testing::TestParamInfo<NamedRegion>& p) {
        return QString::fromLatin1(p.param.code).replace('-', '_').toStdString();
    });

TEST(EbirdRegionList, UnknownCodesAndAncestors)
{
    for (const char* code : {"", "US-", "US-ZZ", "XX", "US-OH-999", "GB"})
        EXPECT_EQ(ebirdRegion(QString::fromLatin1(code)), nullptr) << code;
    EXPECT_EQ(ancestorRegionCodes("US-OH-049"), (QStringList{"US-OH", "US"}));
    EXPECT_EQ(ancestorRegionCodes("CA-ON"), QStringList{"CA"});
    EXPECT_EQ(ancestorRegionCodes("MX"), QStringList{});
    EXPECT_EQ(parentRegionCode("MX-NLE-040"), "MX-NLE");
    ASSERT_NE(ebirdRegion("mx-cmx"), nullptr) << "Mexico City under its ISO code";
    EXPECT_EQ(ebirdRegion("mx-cmx")->code, "MX-DIF");
}

struct CountyCase {
    const char* state;
    const char* county;
    const char* code;
};
void PrintTo(const CountyCase& c, std::ostream* os) { *os << c.state << " \"" << c.county << '"'; }

class CountyOfAFile : public ::testing::TestWithParam<CountyCase> {};

TEST_P(CountyOfAFile, FoundByStateAndName)
{
    const CountyCase& c = GetParam();
    EXPECT_EQ(countyCodeInState(QString::fromLatin1(c.state), QString::fromUtf8(c.county)), QString::fromLatin1(c.code));
}

INSTANTIATE_TEST_SUITE_P(
    Regions, CountyOfAFile,
    ::testing::Values(CountyCase{"US-OH", "Franklin", "US-OH-049"}, CountyCase{"us-oh", " franklin county ", "US-OH-049"},
                      CountyCase{"US-TX", "Franklin", "US-TX-159"}, CountyCase{"US-CA", "Monterey County", "US-CA-053"},
                      CountyCase{"CA-QC", "Quebec", "CA-QC-QU"}, CountyCase{"CA-QC", "Québec", "CA-QC-QU"},
                      CountyCase{"US-OH", "Cape May", ""}, CountyCase{"US-OH", "", ""}, CountyCase{"US-ZZ", "Franklin", ""},
                      CountyCase{"US-OH", "Franklin Township", ""}),
    [](const ::testing::TestParamInfo<CountyCase>& p) { return "Case" + std::to_string(p.index); });

TEST(RegionNames, SearchKeysFoldCaseAccentsAndApostrophes)
{
    EXPECT_EQ(regionSearchKey("Québec"), regionSearchKey("QUEBEC"));
    EXPECT_EQ(regionSearchKey("San Luis Potosí"), "san luis potosi");
    EXPECT_EQ(regionSearchKey(QString::fromUtf8("L\u2019Assomption")), "l'assomption");
    EXPECT_EQ(regionSearchKey("Nuevo León"), "nuevo leon");
    EXPECT_NE(regionSearchKey("Franklin"), regionSearchKey("Franklyn"));
    EXPECT_EQ(countyRegionName("Franklin", "Ohio"), "Franklin, Ohio");
}

TEST(RegionCodes, StatesFromTheRegionList)
{
    EXPECT_EQ(subdivisionNameForCode("US-CA"), "California");
    EXPECT_EQ(subdivisionNameForCode("US-CA-053"), "") << "a county is no state";
    EXPECT_EQ(subdivisionNameForCode("US"), "");
    EXPECT_EQ(subdivisionCodeForName("quebec"), "CA-QC");
    EXPECT_EQ(subdivisionCodeForName("Nuevo Leon", "MX"), "MX-NLE") << "accents ignored";
    EXPECT_EQ(subdivisionCodeForName("Ohio", "CA"), "") << "not in that country";
}

// --- Giving the regions their codes, and the missing regions ---

namespace {

int count(db::Database& db, const QString& sql, const QVariantList& params = {})
{
    return db.scalar(sql, params).toInt();
}

QVariant codeOf(db::Database& db, int regId) { return db.scalar("SELECT Code FROM Regions WHERE Reg_ID = ?", {regId}); }

} // namespace

TEST(CodedRegions, ExistingRegionsGetTheCodeTheyNameAndTheRestAreAdded)
{
    test::TestFolder f; // North America, Ontario, Canada, Point Pelee
    auto db = f.open();
    const struct {
        int id;
        const char* name;
        const char* type;
        const char* code; // null: none
    } regions[] = {
        {10, "United States", "Country", "US"},
        {11, "ohio", "State", "US-OH"},                  // letter case ignored
        {12, "Ohio County", "District", nullptr},        // Indiana, Kentucky or West Virginia?
        {13, "Cape May County", "District", "US-NJ-009"}, // the only Cape May
        {14, "Franklin County", "District", nullptr},    // 24 Franklins: none is meant
        {15, "Franklin County, Ohio", "District", "US-OH-049"},
        {16, "Monterey", "District", "US-CA-053"},
        {17, "Nuevo Leon", "State", "MX-NLE"},             // accents ignored
        {18, "Ohio", "State", nullptr},                  // a second Ohio: the first one has the code
        {19, "Québec, Quebec", "District", "CA-QC-QU"},
        {20, "Hudson Bay", "Region", nullptr},
    };
    for (const auto& r : regions)
        db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (?, ?, ?)",
                    {r.id, QString::fromUtf8(r.name), QString::fromLatin1(r.type)});
    const int before = count(*db, "SELECT count(*) FROM Regions");
    const int added = addEbirdRegions(*db);

    EXPECT_EQ(codeOf(*db, test::kCanada).toString(), "CA");
    EXPECT_EQ(codeOf(*db, test::kOntario).toString(), "CA-ON");
    EXPECT_TRUE(codeOf(*db, test::kNorthAmerica).isNull());
    EXPECT_TRUE(codeOf(*db, test::kEmptyRegion).isNull()) << "Point Pelee is no eBird region";
    int coded = 2;
    for (const auto& r : regions) {
        SCOPED_TRACE(r.name);
        if (r.code) {
            EXPECT_EQ(codeOf(*db, r.id).toString(), r.code);
            ++coded;
        } else {
            EXPECT_TRUE(codeOf(*db, r.id).isNull());
        }
    }
    EXPECT_EQ(added, int(ebirdRegions().size()) - coded);
    EXPECT_EQ(count(*db, "SELECT count(*) FROM Regions"), before + added);
    EXPECT_EQ(count(*db, "SELECT count(*) FROM Regions WHERE Code IS NOT NULL"), int(ebirdRegions().size()));
    EXPECT_EQ(db->scalar("SELECT Name FROM Regions WHERE Code = 'US-OH-049'").toString(), "Franklin County, Ohio")
        << "a coded region keeps its name";
    EXPECT_EQ(db->scalar("SELECT Name FROM Regions WHERE Code = 'US-TX-159'").toString(), "Franklin, Texas");
    EXPECT_EQ(count(*db, "SELECT count(*) FROM Regions WHERE Type = 'State' AND Name = 'Ohio'"), 2)
        << "no third Ohio is added";

    // Once every region is there, nothing more is added and no code changes.
    EXPECT_EQ(addEbirdRegions(*db), 0);
    EXPECT_EQ(codeOf(*db, 11).toString(), "US-OH");
    // A code is given once.
    EXPECT_THROW(db->execute("UPDATE Regions SET Code = 'us-oh' WHERE Reg_ID = 18"), db::DbError);
}

// --- The checklist of a region's first use ---

namespace {

// The fixture's regions with their codes, and every other region of eBird's list.
struct CodedFolder {
    test::TestFolder folder;
    std::unique_ptr<db::Database> db;
    CodedFolder()
    {
        db = folder.open();
        addEbirdRegions(*db);
    }
    int id(const char* code)
    {
        return db->scalar("SELECT Reg_ID FROM Regions WHERE Code = ?", {QString::fromLatin1(code)}).toInt();
    }
    // The region's checklist as one text, in species order.
    QString list(int regId)
    {
        return db->scalar("SELECT group_concat(x, ' ') FROM (SELECT Bird_ID || Status || coalesce(scode, '') AS x "
                          "FROM Checklists WHERE Reg_ID = ? ORDER BY Bird_ID)",
                          {regId})
            .toString();
    }
};

struct FirstUseCase {
    const char* code;
    int ancestor; // the fixture region whose list is copied
};
void PrintTo(const FirstUseCase& c, std::ostream* os) { *os << c.code; }

class FirstUse : public ::testing::TestWithParam<FirstUseCase> {};

} // namespace

TEST_P(FirstUse, CopiesTheNearestAncestorsListOnce)
{
    const FirstUseCase& c = GetParam();
    CodedFolder f;
    const int region = f.id(c.code);
    ASSERT_GT(region, 0);
    const QString ancestors = f.list(c.ancestor);
    ASSERT_FALSE(ancestors.isEmpty());
    ASSERT_EQ(f.list(region), "");

    const ChecklistOrigin origin = provideChecklist(*f.db, region);
    EXPECT_TRUE(origin.isCopy());
    EXPECT_EQ(origin.copiedFrom, c.ancestor);
    EXPECT_EQ(origin.name, f.db->scalar("SELECT Name FROM Regions WHERE Reg_ID = ?", {c.ancestor}).toString());
    EXPECT_EQ(f.list(region), ancestors) << "the same species with the same statuses";

    // Needed again: nothing is copied twice, and the list is still known as the copy.
    const ChecklistOrigin again = provideChecklist(*f.db, region);
    EXPECT_EQ(again.copiedFrom, c.ancestor);
    EXPECT_EQ(f.list(region), ancestors);
    EXPECT_EQ(count(*f.db, "SELECT count(*) FROM Checklists WHERE Reg_ID = ?", {region}),
              count(*f.db, "SELECT count(*) FROM Checklists WHERE Reg_ID = ?", {c.ancestor}));
    EXPECT_EQ(f.list(c.ancestor), ancestors) << "the ancestor's list is left alone";
}

// The fixture: North America lists 12 species, Canada 5, Ontario 6; the others have no list.
INSTANTIATE_TEST_SUITE_P(Regions, FirstUse,
                         ::testing::Values(FirstUseCase{"US-OH-049", test::kNorthAmerica}, // Ohio, US: no lists
                                           FirstUseCase{"US", test::kNorthAmerica},
                                           FirstUseCase{"CA-ON-ES", test::kOntario},
                                           FirstUseCase{"CA-QC", test::kCanada},
                                           FirstUseCase{"CA-QC-QU", test::kCanada}, // Quebec has none
                                           FirstUseCase{"MX-NLE-040", test::kNorthAmerica}),
                         [](const ::testing::TestParamInfo<FirstUseCase>& p) {
                             return QString::fromLatin1(p.param.code).replace('-', '_').toStdString();
                         });

TEST(FirstUse, ARegionWithAListOfItsOwnOrWithoutACodeIsLeftAlone)
{
    CodedFolder f;
    const QString ontario = f.list(test::kOntario);
    EXPECT_FALSE(provideChecklist(*f.db, test::kOntario).isCopy());
    EXPECT_EQ(f.list(test::kOntario), ontario);
    EXPECT_EQ(f.db->scalar("SELECT CopiedFrom FROM Regions WHERE Reg_ID = ?", {test::kOntario}).toInt(), 0);

    // Point Pelee (no code) and a region made in Checklist Maintenance have no ancestors.
    f.db->execute("INSERT INTO Regions (Name, Type) VALUES ('My Patch', 'District')");
    const int patch = f.db->scalar("SELECT max(Reg_ID) FROM Regions").toInt();
    for (int id : {test::kEmptyRegion, patch, 0, 123456}) {
        EXPECT_FALSE(provideChecklist(*f.db, id).isCopy()) << id;
        EXPECT_EQ(f.list(id), "") << id;
    }
}

TEST(FirstUse, AChangedListIsTheRegionsOwnAndAnEmptiedOneStaysEmpty)
{
    CodedFolder f;
    const int ohio = f.id("US-OH");
    ASSERT_TRUE(provideChecklist(*f.db, ohio).isCopy());
    // Any stored change, as the checklist editor makes them: the list is Ohio's own from then on.
    f.db->execute("UPDATE Checklists SET scode = 'CP/' WHERE Reg_ID = ? AND Bird_ID = 1", {ohio});
    EXPECT_FALSE(provideChecklist(*f.db, ohio).isCopy());
    // Its county copies it, with the state's own statuses: the nearest ancestor with a list.
    const int franklin = f.id("US-OH-049");
    const ChecklistOrigin origin = provideChecklist(*f.db, franklin);
    EXPECT_EQ(origin.copiedFrom, ohio);
    EXPECT_EQ(origin.name, "Ohio");
    EXPECT_EQ(f.list(franklin), f.list(ohio));

    const int texas = f.id("US-TX");
    ASSERT_TRUE(provideChecklist(*f.db, texas).isCopy());
    f.db->execute("DELETE FROM Checklists WHERE Reg_ID = ?", {texas});
    EXPECT_FALSE(provideChecklist(*f.db, texas).isCopy());
    EXPECT_EQ(f.list(texas), "") << "the user emptied it: it is not copied again";

    const int utah = f.id("US-UT");
    ASSERT_TRUE(provideChecklist(*f.db, utah).isCopy());
    f.db->execute("INSERT INTO Checklists VALUES (1, ?, 'N', '')", {f.id("US-UT-035")}); // another region
    EXPECT_TRUE(provideChecklist(*f.db, utah).isCopy()) << "a change elsewhere leaves the copy a copy";
}

TEST(FirstUse, TheCopyIsPartOfTheCallersTransaction)
{
    CodedFolder f;
    const int ohio = f.id("US-OH");
    {
        db::Transaction tx(*f.db);
        provideChecklists(*f.db, {0, f.id("US"), ohio, f.id("US-OH-049")});
        EXPECT_EQ(f.list(f.id("US-OH-049")), f.list(test::kNorthAmerica));
        EXPECT_EQ(provideChecklist(*f.db, f.id("US-OH-049")).copiedFrom, ohio) << "the widest place is copied first";
    } // rolled back
    for (const char* code : {"US", "US-OH", "US-OH-049"}) {
        EXPECT_EQ(f.list(f.id(code)), "") << code;
        EXPECT_TRUE(f.db->scalar("SELECT CopiedFrom FROM Regions WHERE Code = ?", {QString::fromLatin1(code)}).isNull());
    }
}
