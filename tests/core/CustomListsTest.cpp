// Custom lists: storing them, and the upgrade step that brings their tables to an older file.

#include "lists/CustomLists.h"
#include "OlderFiles.h"
#include "schema/CustomListTables.h"

#include <gtest/gtest.h>

using namespace fl;
using namespace fl::test;

namespace {

QString described(const QList<CustomList>& lists)
{
    QStringList out;
    for (const CustomList& l : lists) {
        QStringList places;
        for (int r : l.regions) places << QString::number(r);
        places << l.sites;
        out << l.name + ": " + places.join(", ");
    }
    return out.join(" | ");
}

} // namespace

TEST(CustomLists, CreateRenameUpdateDelete)
{
    TestFolder folder;
    auto db = folder.open();
    const int yard = createCustomList(*db, {0, QStringLiteral("  Yard "), {}, {QStringLiteral("Home"), QStringLiteral(" home "), QStringLiteral(" ")}});
    const int pelee = createCustomList(*db, {0, QStringLiteral("Pelee"), {kEmptyRegion, kEmptyRegion, 0}, {QStringLiteral("Tip")}});
    EXPECT_EQ(described(readCustomLists(*db)), "Pelee: 4, Tip | Yard: Home") << "names trimmed, repeats dropped";

    // Names: needed, and not another list's in any letter case.
    EXPECT_EQ(customListNameProblem(*db, " "), "A custom list needs a name.");
    EXPECT_EQ(customListNameProblem(*db, "yARD"), "There is already a custom list named \"Yard\".");
    EXPECT_EQ(customListNameProblem(*db, "yard", yard), "") << "a list may keep its own name";
    EXPECT_THROW(createCustomList(*db, {0, QStringLiteral("PELEE"), {}, {QStringLiteral("x")}}), CustomListError);
    EXPECT_THROW(renameCustomList(*db, yard, QStringLiteral("pelee")), CustomListError);
    EXPECT_THROW(renameCustomList(*db, 999, QStringLiteral("Nowhere")), CustomListError);
    renameCustomList(*db, yard, QStringLiteral("Back yard"));

    // A list needs a place; a region that is gone is refused; nothing is half stored.
    EXPECT_THROW(createCustomList(*db, {0, QStringLiteral("Empty"), {}, {QStringLiteral("  ")}}), CustomListError);
    EXPECT_THROW(createCustomList(*db, {0, QStringLiteral("Lost"), {998}, {}}), CustomListError);
    try {
        updateCustomList(*db, {pelee, QStringLiteral("Pelee"), {kCanada}, {}});
        updateCustomList(*db, {pelee, QStringLiteral("Pelee 2"), {997}, {QStringLiteral("Tip")}});
        FAIL() << "a region that does not exist was stored";
    } catch (const CustomListError& e) {
        EXPECT_EQ(e.message(), "One of the list's regions no longer exists.");
    }
    EXPECT_EQ(described(readCustomLists(*db)), "Back yard: Home | Pelee: 3");
    EXPECT_FALSE(db->inTransaction());

    // A region's places go with it; a list's with the list.
    db->execute("DELETE FROM Regions WHERE Reg_ID = ?", {kCanada});
    EXPECT_EQ(described(readCustomLists(*db)), "Back yard: Home | Pelee: ");
    EXPECT_TRUE(deleteCustomList(*db, pelee));
    EXPECT_FALSE(deleteCustomList(*db, pelee));
    EXPECT_EQ(db->scalar("SELECT count(*) FROM CustomListPlaces WHERE List_ID = ?", {pelee}).toInt(), 0);
    EXPECT_EQ(described(readCustomLists(*db)), "Back yard: Home");
}

TEST(CustomListsUpgrade, AFileOfThePreviousVersionGetsTheTablesAndKeepsItsRecords)
{
    OlderFolder old(versionAfterStep(createCustomListTables) - 1);
    {
        auto db = old.open();
        db->execute("INSERT INTO Sightings (Bird_ID, Date, state, site) VALUES (3, '2024-12-31', 2, 'Rondeau')");
        ASSERT_FALSE(hasTable(*db, "CustomLists"));
    }
    auto before = [](db::Database& db) {
        return db.scalar("SELECT group_concat(Sight_ID || Bird_ID || Date || state || site) FROM Sightings").toString() + "#"
               + db.scalar("SELECT group_concat(Reg_ID || Name) FROM Regions").toString() + "#"
               + db.scalar("SELECT regname || Reg_ID FROM Options").toString();
    };
    QString kept;
    {
        auto db = old.open();
        kept = before(*db);
        upgradeSchema(*db);
    }
    auto db = old.open();
    EXPECT_EQ(schemaVersion(*db), currentSchemaVersion());
    EXPECT_EQ(before(*db), kept);
    EXPECT_EQ(db->scalar("PRAGMA integrity_check").toString(), "ok");
    const int id = createCustomList(*db, {0, QStringLiteral("Rondeau"), {kOntario}, {QStringLiteral("Rondeau")}});
    EXPECT_EQ(described(readCustomLists(*db)), "Rondeau: 2, Rondeau");
    EXPECT_GT(id, 0);
    EXPECT_THROW(db->execute("INSERT INTO CustomListPlaces (List_ID, Reg_ID, Site) VALUES (?, 2, 'x')", {id}), db::DbError)
        << "a place is a region or a site, not both";
    EXPECT_THROW(db->execute("INSERT INTO CustomLists (Name) VALUES ('rondeau')"), db::DbError);
}
