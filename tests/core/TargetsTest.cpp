// Targets: the species of a region's checklist not yet seen there, the most common first.

#include "lists/Targets.h"
#include "TestDatabase.h"
#include "db/Database.h"

#include <gtest/gtest.h>

using namespace fl;

namespace {

// The targets' names with their level, most common first.
std::string targets(db::Database& db, int regId, int month)
{
    QStringList out;
    for (const Target& t : regionTargets(db, regId, month))
        out << t.name + " " + codes::abundanceWord(t.commonness.level);
    return out.join(", ").toStdString();
}

class TargetsTest : public testing::Test {
protected:
    void SetUp() override
    {
        db = folder.open();
        // Point Pelee's checklist: every kind of code.
        const struct {
            int bird;
            const char* status;
            const char* scode;
        } entries[] = {
            {1, "B", "FP/"},        // Mallard: common all year
            {2, "B", "US/"},        // Wood Duck: uncommon in summer
            {3, "V", "CW/FT/"},     // Canada Goose: abundant in winter, common on migration
            {4, "B", "CS/RW/"},     // American Robin: seen, so never a target
            {5, "T", "RT/"},        // Hermit Thrush: rare on migration
            {6, "R", ""},           // Wood Thrush: a rarity without detail
            {7, "B", "/////////"},  // Yellow Warbler: a breeder without detail
            {8, "E", "XP/"},        // Ovenbird: extinct here, never a target
            {9, "N", nullptr},      // Common Yellowthroat: no status, no detail
            {10, "B", "XS/"},       // Kirtland's Warbler: very rare in summer
        };
        db::Transaction tx(*db);
        for (const auto& e : entries)
            db->execute("INSERT INTO Checklists (Bird_ID, Reg_ID, Status, scode) VALUES (?, ?, ?, ?)",
                        {e.bird, test::kEmptyRegion, QString::fromLatin1(e.status),
                         e.scode ? QVariant(QString::fromLatin1(e.scode)) : QVariant()});
        // The robin was seen at Point Pelee (as the district of a sighting), the Hermit Thrush
        // only elsewhere in Ontario, which does not take it off Point Pelee's targets.
        db->execute("INSERT INTO Sightings (Bird_ID, Date, country, state, district) VALUES (4, '2021-05-01', 3, 2, 4)");
        db->execute("INSERT INTO Sightings (Bird_ID, Date, country, state) VALUES (5, '2021-05-01', 3, 2)");
        tx.commit();
    }
    test::TestFolder folder;
    std::unique_ptr<db::Database> db;
};

} // namespace

TEST_F(TargetsTest, OrderedByHowCommonTheyAreOverTheYear)
{
    EXPECT_EQ(targets(*db, test::kEmptyRegion, 0),
              "Canada Goose Abundant, Mallard Common, Wood Duck Uncommon, Yellow Warbler Present, Hermit Thrush Rare, "
              "Wood Thrush Very rare, Kirtland's Warbler Very rare, Common Yellowthroat ");
}

TEST_F(TargetsTest, AMonthKeepsThoseThatAreThereThen)
{
    // January: the goose is abundant, the mallard common; the summer birds and the migrant
    // are away. Species without detail stay, ranked by their status.
    EXPECT_EQ(targets(*db, test::kEmptyRegion, 1),
              "Canada Goose Abundant, Mallard Common, Yellow Warbler Present, Wood Thrush Very rare, Common Yellowthroat ");
    // May: migration and summer.
    EXPECT_EQ(targets(*db, test::kEmptyRegion, 5),
              "Canada Goose Common, Mallard Common, Wood Duck Uncommon, Yellow Warbler Present, Hermit Thrush Rare, "
              "Wood Thrush Very rare, Kirtland's Warbler Very rare, Common Yellowthroat ");
    // July: no migrants.
    EXPECT_EQ(targets(*db, test::kEmptyRegion, 7),
              "Mallard Common, Wood Duck Uncommon, Yellow Warbler Present, Wood Thrush Very rare, "
              "Kirtland's Warbler Very rare, Common Yellowthroat ");
}

TEST_F(TargetsTest, SeenInTheRegionOnlyCounts)
{
    // Seen in Ontario (the state column): off Ontario's targets, still one of Point Pelee's.
    const std::string ontario = targets(*db, test::kOntario, 0);
    EXPECT_EQ(ontario.find("Hermit Thrush"), std::string::npos) << ontario;
    EXPECT_EQ(ontario.find("American Robin"), std::string::npos) << ontario;
    EXPECT_NE(ontario.find("Wood Thrush"), std::string::npos) << ontario;
    EXPECT_NE(targets(*db, test::kEmptyRegion, 0).find("Hermit Thrush"), std::string::npos);
    // Seeing it at the point takes it off.
    db->execute("INSERT INTO Sightings (Bird_ID, Date, district) VALUES (5, '2022-09-01', 4)");
    EXPECT_EQ(targets(*db, test::kEmptyRegion, 0).find("Hermit Thrush"), std::string::npos);
    // The whole list has no checklist, so no targets.
    EXPECT_EQ(targets(*db, 0, 0), "");
}
