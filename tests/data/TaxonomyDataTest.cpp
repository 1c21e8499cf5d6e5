// The shipped data and the taxonomy: codes and names follow the 2025 eBird/Clements
// taxonomy, the official four-letter codes reach the species box and Search By Name, and
// taxonomy updates of real size: from the earlier sample data and from v2024 to v2025.

#include "EarlierSample.h"
#include "Harness.h"
#include "ShippedDatabase.h"

#include "records/Csv.h"
#include "records/DataImport.h"
#include "schema/Schema.h"
#include "search/frmName.h"
#include "taxonomy/BandingCode.h"
#include "taxonomy/TaxonomyUpdate.h"

#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;
using test::csvRows;
using test::buildEarlierSample;
using test::SampleData;

namespace {

const QString kData = QStringLiteral(SAMPLE_DATA_DIR);
const QString kTaxonomy = QStringLiteral(SAMPLE_DATA_DIR "/../tests/data/taxonomy");

QString taxonomyFile(const char* version)
{
    return kTaxonomy + QStringLiteral("/ebird-taxonomy-na-%1.csv").arg(QLatin1String(version));
}

// What the species box offers for typed text.
QStringList offered(Harness& h, const QString& text)
{
    QLineEdit* edit = h.page().list()->lineEdit();
    edit->selectAll();
    QTest::keyClick(h.page().list(), Qt::Key_Backspace);
    for (const QChar c : text) QTest::keyClick(h.page().list(), c.toLatin1());
    QStringList names;
    QCompleter* c = h.page().list()->completer();
    for (int i = 0; i < c->completionCount(); ++i) {
        c->setCurrentRow(i);
        names << c->currentCompletion();
    }
    return names;
}

// Codes the Institute for Bird Populations gives and the word rule gets wrong.
struct OfficialCode {
    const char* name;
    const char* official; // "" for a species it gives no code
    const char* rule;
};
const OfficialCode kOfficial[] = {
    {"Savannah Sparrow", "SAVS", "SASP"},   {"Sagebrush Sparrow", "SABS", "SASP"},
    {"Saltmarsh Sparrow", "SALS", "SASP"},  {"American Robin", "AMRO", "AMRO"},
    {"Canada Goose", "CANG", "CAGO"},       {"Cackling Goose", "CACG", "CAGO"},
    {"Northern Shoveler", "NSHO", "NOSH"},  {"Barn Swallow", "BARS", "BASW"},
    {"Cedar Waxwing", "CEDW", "CEWA"},      {"MacGillivray's Warbler", "MGWA", "MAWA"},
    {"Black-throated Gray Warbler", "BTYW", "BTGW"}, {"Black-faced Bunting", "", "BFBU"},
};

} // namespace

TEST_F(SampleData, EverySpeciesHasItsCodesAndTheNamesOfTheTaxonomy)
{
    // Every species of the 2025 taxonomy file by code.
    QStringList header;
    const auto file = csvRows(taxonomyFile("v2025"), &header);
    const qsizetype cCode = header.indexOf("SPECIES_CODE"), cCat = header.indexOf("CATEGORY"),
                    cCommon = header.indexOf("PRIMARY_COM_NAME"), cSci = header.indexOf("SCI_NAME"),
                    cReport = header.indexOf("REPORT_AS");
    QHash<QString, QStringList> taxa;
    for (const QStringList& r : file) taxa.insert(r[cCode], r);

    auto rs = db->openRecordset("SELECT ID, Name, sci_name, SpeciesCode FROM Birds", db::RecordsetKind::Snapshot);
    int species = 0;
    for (; !rs.eof(); rs.moveNext(), ++species) {
        const QString code = rs.field(3).toString();
        ASSERT_TRUE(taxa.contains(code)) << qPrintable(rs.field(1).toString()) << " " << qPrintable(code);
        const QStringList& t = taxa[code];
        EXPECT_EQ(t[cCat], "species") << qPrintable(code);
        EXPECT_EQ(rs.field(1).toString(), t[cCommon]) << qPrintable(code);
        EXPECT_EQ(rs.field(2).toString(), t[cSci]) << qPrintable(code);
    }
    EXPECT_EQ(species, 1013);
    EXPECT_EQ(db->scalar("SELECT count(DISTINCT SpeciesCode) FROM Birds").toInt(), species);
    // The deliberate choices among the daughters of splits: the North American bird.
    for (const auto& [id, name] : std::initializer_list<std::pair<int, const char*>>{
             {218, "Hudsonian Whimbrel"}, {333, "American Herring Gull"}, {455, "Western Cattle-Egret"},
             {641, "Eastern Warbling Vireo"}, {966, "Northern Yellow Warbler"}, {413, "Cory's Shearwater"}})
        EXPECT_EQ(text("SELECT Name FROM Birds WHERE ID = ?", {id}), name);
    EXPECT_EQ(text("SELECT sci_name FROM Birds WHERE Name = 'Western Warbling Vireo'"), "Vireo swainsoni");
    EXPECT_EQ(text("SELECT group_concat(Reg_ID) FROM (SELECT Reg_ID FROM Checklists, Birds WHERE Bird_ID = ID AND "
                   "Name = 'Eastern Warbling Vireo' ORDER BY Reg_ID)"), "1,2,3,4,6,7,8")
        << "the western regions went to Western Warbling Vireo";

    // The forms table: the taxonomy's groups, forms and intergrades of these species.
    auto forms = db->openRecordset("SELECT FormCode, Category, TaxonForms.Name, SpeciesCode FROM TaxonForms, Birds "
                                   "WHERE Bird_ID = ID", db::RecordsetKind::Snapshot);
    int formCount = 0;
    for (; !forms.eof(); forms.moveNext(), ++formCount) {
        const QStringList& t = taxa[forms.field(0).toString()];
        ASSERT_FALSE(t.isEmpty()) << qPrintable(forms.field(0).toString());
        EXPECT_EQ(t[cCat], forms.field(1).toString());
        EXPECT_EQ(t[cCommon], forms.field(2).toString());
        EXPECT_EQ(t[cReport], forms.field(3).toString());
    }
    EXPECT_GT(formCount, 800);
    EXPECT_EQ(text("SELECT Birds.Name FROM TaxonForms, Birds WHERE Bird_ID = ID AND TaxonForms.Name = "
                   "'Dark-eyed Junco (Slate-colored)'"), "Dark-eyed Junco");

    // The official codes where the rule got them wrong.
    for (const OfficialCode& c : kOfficial) {
        const QVariant code = db->scalar("SELECT AlphaCode FROM Birds WHERE Name = ?", {QString::fromUtf8(c.name)});
        if (*c.official) {
            EXPECT_EQ(code.toString(), c.official) << c.name;
        } else {
            EXPECT_TRUE(code.isNull()) << c.name << ": no code where the list gives none";
        }
        EXPECT_EQ(bandingCode(QString::fromUtf8(c.name)), c.rule) << c.name;
    }
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Birds WHERE AlphaCode IS NULL").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT count(DISTINCT AlphaCode) FROM Birds").toInt(),
              db->scalar("SELECT count(AlphaCode) FROM Birds").toInt()) << "no two species share a code";
}

TEST(SampleCodes, TheSpeciesBoxAndSearchByNameFindOfficialCodesAndScientificNames)
{
    Harness h([](test::TestFolder& f) { buildDatabase(kData, f.databasePath(), true); });
    h.w->show();
    QApplication::setActiveWindow(h.w.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(h.w.get()));
    h.page().list()->setFocus();
    for (const OfficialCode& c : kOfficial) {
        if (*c.official) {
            EXPECT_EQ(offered(h, c.official), QStringList{c.name}) << c.official;
        }
    }
    EXPECT_EQ(offered(h, "SASP"), QStringList()) << "the rule's code of three sparrows is nobody's";
    EXPECT_EQ(offered(h, "BFBU"), QStringList{"Black-faced Bunting"}) << "the rule, where the list gives no code";
    EXPECT_EQ(offered(h, "sabs"), QStringList{"Sagebrush Sparrow"}) << "in any letter case";

    // Search By Name finds an exact code or scientific name.
    auto find = [&](const QString& typed) {
        frmName d(h.ctx, h.w.get());
        d.txtName->setText(typed);
        d.cmdFind_Click();
        return d.result() == QDialog::Accepted ? h.names() : QStringList();
    };
    EXPECT_EQ(find("SAVS"), QStringList{"Savannah Sparrow"});
    EXPECT_EQ(find("cang"), QStringList{"Canada Goose"});
    EXPECT_EQ(find(" Passerculus sandwichensis "), QStringList{"Savannah Sparrow"});
    EXPECT_EQ(find("turdus migratorius"), QStringList{"American Robin"});
    EXPECT_EQ(find("Passerculus"), QStringList()) << "a scientific name is found whole, not in part";
    // Names are found as before; a code that is also part of a name finds both.
    const QStringList oven = find("OVEN");
    EXPECT_TRUE(oven.contains("Ovenbird"));
    EXPECT_GT(find("sparrow").size(), 30);
    const QStringList wren = find("wren");
    EXPECT_TRUE(wren.contains("Wrentit")) << "WREN is Wrentit's code";
    EXPECT_TRUE(wren.contains("Carolina Wren"));
}

namespace {

QHash<QString, QString> speciesByCode(db::Database& db)
{
    QHash<QString, QString> out;
    auto rs = db.openRecordset("SELECT SpeciesCode, Name, sci_name, AlphaCode FROM Birds", db::RecordsetKind::Snapshot);
    for (; !rs.eof(); rs.moveNext())
        out.insert(rs.field(0).toString(),
                   rs.field(1).toString() + " | " + rs.field(2).toString() + " | " + rs.field(3).toString());
    return out;
}

} // namespace

TEST(TaxonomyUpdates, TheEarlierSampleDataUpgradesAndFollowsTheTaxonomyLikeTheShippedData)
{
    QTemporaryDir dir;
    buildEarlierSample(dir.filePath("bird.mdb"), dir.filePath("csv"));
    // Sightings of a renamed species and of the split Warbling Vireo.
    {
        auto db = db::Database::open(dir.filePath("bird.mdb"), true, false, QString::fromLatin1(kConnectString));
        db->executeScript("INSERT INTO Sightings (Bird_ID, Date, Region) VALUES (333, '2020-01-05', 1);"
                          "INSERT INTO Sightings (Bird_ID, Date, Region) VALUES (641, '2021-05-20', 1);"
                          "INSERT INTO Sightings (Bird_ID, Date, Region) VALUES (641, '2022-05-21', 1)");
    }
    AppState s;
    s.dataFolder = dir.path();
    openAndLoadOptions(s); // upgrades the file
    db::Database& db = s.db();
    EXPECT_EQ(schemaVersion(db), currentSchemaVersion());
    EXPECT_EQ(db.scalar("SELECT SpeciesCode || ' ' || AlphaCode FROM Birds WHERE Name = 'Herring Gull'").toString(),
              "amhgul1 AHGU") << "the upgrade gives the species their codes";
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Birds WHERE SpeciesCode IS NULL").toInt(), 0);

    const TaxonomyFile file = TaxonomyFile::read(taxonomyFile("v2025"));
    const TaxonomyPlan plan = planTaxonomyUpdate(db, file);
    EXPECT_EQ(plan.renames.size(), 32u);
    ASSERT_EQ(plan.splits.size(), 1u) << "Warbling Vireo";
    EXPECT_EQ(plan.splits[0].oldName, "Warbling Vireo");
    EXPECT_EQ(plan.splits[0].daughters[size_t(plan.splits[0].keeper)].common, "Eastern Warbling Vireo");
    EXPECT_EQ(plan.sightingsToReview(), 2);
    EXPECT_TRUE(plan.lumps.empty());
    EXPECT_TRUE(plan.missing.empty()) << "every species of the sample data is in the 2025 taxonomy";
    EXPECT_EQ(plan.newSpecies(), 1);
    ASSERT_TRUE(applyTaxonomyUpdate(s, file, plan));
    EXPECT_EQ(db.scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_FALSE(planTaxonomyUpdate(db, file).hasChanges());

    // Names, scientific names and codes are those of the shipped data.
    QTemporaryDir shipped;
    buildDatabase(kData, shipped.filePath("bird.mdb"), false);
    auto expected = db::Database::open(shipped.filePath("bird.mdb"), true, false, QString::fromLatin1(kConnectString));
    EXPECT_EQ(speciesByCode(db), speciesByCode(*expected));
    EXPECT_EQ(db.scalar("SELECT count(*) FROM TaxonForms").toInt(), expected->scalar("SELECT count(*) FROM TaxonForms").toInt());
    EXPECT_EQ(db.scalar("SELECT Bird_ID FROM Sightings WHERE Date = '2020-01-05'").toInt(), 333);
    EXPECT_EQ(db.scalar("SELECT Name FROM Birds WHERE ID = 333").toString(), "American Herring Gull");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Sightings WHERE Bird_ID = 641 AND NeedsReview = 1").toInt(), 2);
    EXPECT_GT(db.scalar("SELECT sortOrder FROM Birds WHERE Name = 'Western Warbling Vireo'").toInt(),
              db.scalar("SELECT sortOrder FROM Birds WHERE Name = 'Eastern Warbling Vireo'").toInt());
    EXPECT_LT(db.scalar("SELECT sortOrder FROM Birds WHERE Name = 'Western Warbling Vireo'").toInt(),
              db.scalar("SELECT sortOrder FROM Birds WHERE Name = 'Red-eyed Vireo'").toInt());
    closeDatabase(s);
}

TEST(TaxonomyUpdates, FromV2024ToV2025)
{
    // A database that follows the 2024 taxonomy, built from the file itself, with sightings.
    test::TestFolder folder(false);
    folder.exec("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (1, 'North America', 'Region')");
    folder.exec("INSERT INTO Options VALUES ('North America', 1, 'Region', 'All Birds', ' Order By Birds.sortOrder', '', "
                "0, 0, 0, 0)");
    AppState s;
    s.dataFolder = folder.path();
    openAndLoadOptions(s);
    db::Database& db = s.db();
    const TaxonomyFile v2024 = TaxonomyFile::read(taxonomyFile("v2024"));
    TaxonomyPlanOptions everything;
    everything.addUnrelated = true;
    ASSERT_TRUE(applyTaxonomyUpdate(s, v2024, planTaxonomyUpdate(db, v2024, everything)));
    ASSERT_EQ(db.scalar("SELECT count(*) FROM Birds").toInt(), v2024.speciesCount());
    db.execute("INSERT INTO Checklists SELECT ID, 1, 'B', '' FROM Birds");
    for (const char* code : {"whimbr", "warvir", "yelwar", "hoopoe", "relthr1", "amhgul1"})
        db.execute("INSERT INTO Sightings (Bird_ID, Date, Region) SELECT ID, '2023-05-01', 1 FROM Birds "
                   "WHERE SpeciesCode = ?", {QString::fromLatin1(code)});

    const TaxonomyFile v2025 = TaxonomyFile::read(taxonomyFile("v2025"));
    TaxonomyPlan plan = planTaxonomyUpdate(db, v2025);
    QStringList split;
    for (const auto& sp : plan.splits) split << sp.oldName;
    split.sort();
    EXPECT_EQ(split, (QStringList{"Elegant Trogon", "Fea's Petrel", "Monk Parakeet", "Nutting's Flycatcher",
                                  "Red-legged Thrush", "Warbling Vireo", "Whimbrel", "White-throated Thrush",
                                  "Willow Ptarmigan", "Yellow Warbler"}))
        << qPrintable(split.join(", "));
    QHash<QString, QString> renamed;
    for (const auto& r : plan.renames) renamed.insert(r.oldName, r.to.common);
    EXPECT_EQ(renamed.value("Eurasian Hoopoe"), "Common Hoopoe");
    EXPECT_TRUE(plan.lumps.empty());
    EXPECT_EQ(plan.sightingsToReview(), 4) << "Whimbrel, Warbling Vireo, Yellow Warbler, Red-legged Thrush";
    // The North American daughters keep the records.
    for (int i = 0; i < int(plan.splits.size()); ++i) {
        const auto& d = plan.splits[size_t(i)].daughters;
        for (int k = 0; k < int(d.size()); ++k)
            if (d[size_t(k)].code == u"whimbr3" || d[size_t(k)].code == u"yelwar1") plan.setKeeper(i, k);
    }
    const int before = db.scalar("SELECT count(*) FROM Birds").toInt();
    ASSERT_TRUE(applyTaxonomyUpdate(s, v2025, plan));
    EXPECT_EQ(db.scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Birds").toInt(), before + plan.newSpecies());
    EXPECT_EQ(db.scalar("SELECT Name FROM Birds, Sightings WHERE Bird_ID = ID AND NeedsReview = 1 AND "
                        "SpeciesCode = 'whimbr3'").toString(), "Hudsonian Whimbrel");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Sightings WHERE NeedsReview = 1").toInt(), 4);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Sightings").toInt(), 6);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Checklists WHERE Bird_ID IN (SELECT ID FROM Birds WHERE SpeciesCode "
                        "IN ('whimbr5', 'manwar1', 'wewvir2'))").toInt(), 0) << "new species start with no checklist";
    EXPECT_EQ(db.scalar("SELECT AlphaCode FROM Birds WHERE SpeciesCode = 'wewvir2'").toString(), "WEWV");
    EXPECT_FALSE(planTaxonomyUpdate(db, v2025).hasChanges()) << "a second run finds nothing to do";
    closeDatabase(s);
}

TEST(TaxonomyFiles, WhatIsNoTaxonomyIsRefusedWithItsReason)
{
    QTemporaryDir dir;
    struct Bad {
        const char* name;
        QByteArray text;
        const char* says;
    };
    const Bad bad[] = {
        {"empty.csv", "", "is empty"},
        {"MyEBirdData.csv", "Submission ID,Common Name,Scientific Name,Taxonomic Order,Count\nS1,Mallard,Anas "
                            "platyrhynchos,300,2\n", "the columns TAXON_ORDER, CATEGORY, SPECIES_CODE, PRIMARY_COM_NAME, SCI_NAME are missing"},
        {"nospecies.csv", "TAXON_ORDER,CATEGORY,SPECIES_CODE,PRIMARY_COM_NAME,SCI_NAME\n1,spuh,duck1,duck sp.,Anatidae sp.\n",
         "lists no species"},
        {"twice.csv", "TAXON_ORDER,CATEGORY,SPECIES_CODE,PRIMARY_COM_NAME,SCI_NAME\n1,species,mallar3,Mallard,Anas "
                      "platyrhynchos\n2,species,MALLAR3,Mallard,Anas platyrhynchos\n", "the code MALLAR3 is given twice"},
        {"orphan.csv", "TAXON_ORDER,CATEGORY,SPECIES_CODE,PRIMARY_COM_NAME,SCI_NAME,REPORT_AS\n1,species,mallar3,Mallard,"
                       "Anas platyrhynchos,\n2,issf,x1,Mallard (X),Anas platyrhynchos x,nosuch\n", "not a species of the file"},
        {"noorder.csv", "TAXON_ORDER,CATEGORY,SPECIES_CODE,PRIMARY_COM_NAME,SCI_NAME\nfirst,species,mallar3,Mallard,Anas "
                        "platyrhynchos\n", "line 2"},
        {"binary.csv", QByteArray("TAXON_ORDER,CATEGORY,SPECIES_CODE,PRIMARY_COM_NAME,SCI_NAME\n\x00\x01\x02", 63),
         "cannot be read as a taxonomy"},
    };
    for (const Bad& b : bad) {
        const QString path = dir.filePath(QString::fromLatin1(b.name));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b.text);
        f.close();
        try {
            TaxonomyFile::read(path);
            ADD_FAILURE() << b.name << " was read as a taxonomy";
        } catch (const TaxonomyError& e) {
            EXPECT_TRUE(e.message().contains(QString::fromLatin1(b.says))) << b.name << ": " << qPrintable(e.message());
        }
    }
    // The real files read, in both layouts (v2024's eight columns, v2025's with more).
    EXPECT_EQ(TaxonomyFile::read(taxonomyFile("v2024")).speciesCount(), 1012);
    const TaxonomyFile v2025 = TaxonomyFile::read(taxonomyFile("v2025"));
    ASSERT_NE(v2025.find("AMHGUL1"), nullptr) << "codes in any letter case";
    EXPECT_EQ(v2025.find("amhgul1")->family, "Laridae");
    EXPECT_EQ(v2025.find("amhgul1")->familyName, "Gulls, Terns, and Skimmers");
}
