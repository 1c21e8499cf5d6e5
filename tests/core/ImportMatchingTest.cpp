// Which species an eBird record names: by species code where the file has one, by name, and
// through the taxonomy's subspecies groups, forms and intergrades; and which records name no
// single species.

#include "EbirdFiles.h"
#include "records/EbirdImport.h"

#include <gtest/gtest.h>

using namespace fl;
using namespace fl::test;

namespace {

struct MatchCase {
    const char* label;
    const char* code; // the file's Species Code column; "" for a file without one
    const char* common;
    const char* sci;
    int birdId;            // 0: no species of the database, for `why`
    SkipReason why = SkipReason::NotInDatabase;
    const char* category = "species"; // the word it is kept under
};

void PrintTo(const MatchCase& c, std::ostream* os) { *os << c.label; }

constexpr int kJunco = 13;

const MatchCase kCases[] = {
    {"species by scientific name", "", "Mallard", "Anas platyrhynchos", 1},
    {"species by common name when the scientific is unknown", "", "American Robin", "Turdus wrongname", 4},
    {"species by its code whatever the names say", "babwar", "Bay-breasted Warbler?", "Setophaga sp.", 12},
    {"subspecies group", "", "Dark-eyed Junco (Slate-colored)", "Junco hyemalis hyemalis/carolinensis",
     kJunco},
    {"form with a slash inside its subspecies part", "", "Dark-eyed Junco (Slate-colored/cismontanus)",
     "Junco hyemalis hyemalis/carolinensis/cismontanus", kJunco},
    {"intergrade", "", "Dark-eyed Junco (Oregon x Pink-sided)",
     "Junco hyemalis [oreganus Group] x mearnsi", kJunco},
    {"form known by its code only, through the forms table", "orejun", "", "", kJunco},
    {"group the table lacks, by its species' name", "", "Palm Warbler (Yellow)", "Setophaga palmarum hypochrysea", 11},
    {"group with a slash the table lacks", "", "Yellow Warbler (Northern/Golden)",
     "Setophaga petechia aestiva/petechia", 7},
    {"intergrade the table lacks", "", "Yellow Warbler (Northern x Mangrove)", "Setophaga petechia aestiva x erithachorides",
     7},
    {"gull/tern sp. is a spuh, not a slash", "", "gull/tern sp.", "Laridae sp.", 0, SkipReason::Spuh, "spuh"},
    {"genera slash is a spuh", "", "eider sp.", "Polysticta/Somateria sp.", 0, SkipReason::Spuh, "spuh"},
    {"two species are a slash", "", "Hermit/Wood Thrush", "Catharus guttatus/Hylocichla mustelina", 0, SkipReason::Slash, "slash"},
    {"two species of a genus are a slash", "", "Northern/Mangrove Yellow Warbler", "Setophaga aestiva/petechia", 0,
     SkipReason::Slash, "slash"},
    {"hybrid", "", "Mallard x American Black Duck (hybrid)", "Anas platyrhynchos x rubripes", 0, SkipReason::Hybrid, "hybrid"},
    {"domestic type", "", "Mallard (Domestic type)", "Anas platyrhynchos (Domestic type)", 0, SkipReason::Domestic, "domestic"},
    {"species not in the database", "", "Northern Cardinal", "Cardinalis cardinalis", 0, SkipReason::NotInDatabase},
    {"form of a species not in the database", "", "Northern Cardinal (Northern)", "Cardinalis cardinalis [cardinalis Group]",
     0, SkipReason::NotInDatabase, "form"},
    {"subspecies group with a slash of a species not in the database", "", "Song Sparrow (melodia/atlantica)",
     "Melospiza melodia melodia/atlantica", 0, SkipReason::NotInDatabase, "form"},
};

class ImportMatching : public ::testing::TestWithParam<MatchCase> {
protected:
    static void SetUpTestSuite()
    {
        folder = new TestFolder;
        folder->exec("INSERT INTO Families VALUES (4, 2, 'New World Sparrows', 'Passerellidae', 4, 7, '', '', 177)");
        folder->exec("INSERT INTO Birds (ID, Name, sci_name, Data, family_ID, sortOrder, SpeciesCode, AlphaCode) "
                     "VALUES (13, 'Dark-eyed Junco', 'Junco hyemalis', 'Snowbird.', 4, 130, 'daejun', 'DEJU')");
        const char* forms[][4] = {
            {"slcjun", "issf", "Dark-eyed Junco (Slate-colored)", "Junco hyemalis hyemalis/carolinensis"},
            {"daejun5", "form", "Dark-eyed Junco (Slate-colored/cismontanus)", "Junco hyemalis hyemalis/carolinensis/cismontanus"},
            {"orejun", "issf", "Dark-eyed Junco (Oregon)", "Junco hyemalis [oreganus Group]"},
            {"daejun3", "intergrade", "Dark-eyed Junco (Oregon x Pink-sided)", "Junco hyemalis [oreganus Group] x mearnsi"}};
        for (const auto& f : forms)
            folder->exec("INSERT INTO TaxonForms VALUES (?, ?, ?, ?, 13)",
                         {QString::fromLatin1(f[0]), QString::fromLatin1(f[1]), QString::fromLatin1(f[2]),
                          QString::fromLatin1(f[3])});
        state = new OpenState(folder->path());
    }
    static void TearDownTestSuite()
    {
        delete state;
        delete folder;
    }
    static inline TestFolder* folder = nullptr;
    static inline OpenState* state = nullptr;
};

} // namespace

TEST_P(ImportMatching, NamesOneSpeciesOrSaysWhyNot)
{
    const MatchCase& c = GetParam();
    // A download with the record, and a Species Code column when the case has a code.
    DownloadRecord r{"S900", QString::fromUtf8(c.common), QString::fromUtf8(c.sci), "2", "CA-ON", "", "Tip", "2024-05-17", "", ""};
    QStringList header = kDownloadHeader;
    QByteArray text = downloadText({r}, header);
    if (*c.code) {
        const qsizetype eol = text.indexOf('\n');
        text = text.left(eol - 1) + ",Species Code\r\n" + text.mid(eol + 1).trimmed() + "," + c.code + "\r\n";
    }
    const QString path = folder->path() + "/record.csv";
    writeFile(path, text);
    const ImportPreview p = readEbirdFile(state->db(), path);
    ASSERT_EQ(p.recordsRead, 1);
    ASSERT_EQ(p.outings.size(), 1u);
    const ImportOuting& o = p.outings[0];
    if (c.birdId) {
        ASSERT_EQ(o.sightings.size(), 1u) << p.skippedTotal() << " skipped";
        EXPECT_EQ(o.sightings[0].birdId, c.birdId);
        EXPECT_TRUE(o.others.empty());
    } else {
        // Listed by kind, and kept as a record of no species with the taxonomy's word for it.
        EXPECT_TRUE(o.sightings.empty());
        EXPECT_EQ(p.skippedCount(c.why), 1) << qPrintable(skipReasonText(c.why));
        ASSERT_EQ(o.others.size(), 1u);
        EXPECT_EQ(o.others[0].category, c.category);
        EXPECT_EQ(o.others[0].common, c.common);
        EXPECT_EQ(o.others[0].sci, c.sci);
    }
}

INSTANTIATE_TEST_SUITE_P(Records, ImportMatching, ::testing::ValuesIn(kCases));
