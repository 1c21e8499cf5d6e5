#include "Harness.h"
#include "ui/ImageList.h"

#include <QAction>
#include <QTextEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

TEST(BirdPage, TypedTextIsStoredInThatSpeciesOnlyAndTheNextShowsItsNamesAndTrimmedText)
{
    Harness h;
    h.page().description()->setFocus();
    h.page().description()->moveCursor(QTextCursor::End);
    QTest::keyClicks(h.page().description(), " Honks.");
    EXPECT_TRUE(h.w->descriptionEdited());
    h.run(cmd::mnuViewNext); // Wood Duck
    EXPECT_FALSE(h.w->descriptionEdited()) << "a page written by the program is not the user's edit";
    EXPECT_EQ(h.scalar("SELECT Data FROM Birds WHERE ID = 3").toString(), "Large goose. Honks.");
    EXPECT_EQ(h.scalar("SELECT Data FROM Birds WHERE ID = 2").toString(), "  Ornate duck of wooded swamps.  ")
        << "the next species is not written";
    EXPECT_EQ(h.page().label(0)->text(), "Wood Duck");
    EXPECT_EQ(h.page().label(4)->text(), " (Aix sponsa)");
    EXPECT_EQ(h.page().label(1)->text(), "Family : Ducks, Geese, and Waterfowl");
    EXPECT_EQ(h.page().label(2)->text(), "Order : Waterfowl");
    EXPECT_EQ(h.page().description()->toPlainText(), "Ornate duck of wooded swamps.");
    const int dpi = h.w->logicalDpiY();
    EXPECT_NEAR(h.page().label(4)->x(), h.page().label(0)->x() + h.page().label(0)->width() + twipsToPixels(100, dpi), 1)
        << "the scientific name follows the common name";
    h.run(cmd::mnuViewNext); // choosing without typing stores nothing
    EXPECT_EQ(h.scalar("SELECT Data FROM Birds WHERE ID = 2").toString(), "  Ornate duck of wooded swamps.  ");
}

TEST(BirdPage, ClosingStoresAPendingEdit)
{
    Harness h;
    h.page().description()->moveCursor(QTextCursor::End);
    QTest::keyClicks(h.page().description(), "!");
    h.w->close();
    // The program has closed the database; read it again.
    EXPECT_FALSE(h.state.dbBirds);
    EXPECT_EQ(h.folder.scalar("SELECT Data FROM Birds WHERE ID = 3").toString(), "Large goose.!");
    h.w.reset();
}

TEST(BirdPage, StatusLineForEveryLetterAndTheSeasonalIconForTheCode)
{
    const struct {
        const char* status;
        const char* line;
    } cases[] = {{"B", "Status: Breeder"}, {"T", "Status: Transient"}, {"E", "Status: Extinct"},
                 {"R", "Status: Rarity"},  {"V", "Status: Visitor"},   {"N", "Status: No Status"},
                 {"r", "Status: No Status"}, {"Z", "Status: No Status"}, {"", "Status: No Status"}};
    Harness h;
    for (const auto& c : cases) {
        h.db().execute("UPDATE Checklists SET Status = ? WHERE Reg_ID = 1 AND Bird_ID = 2", {QString(c.status)});
        h.run(cmd::mnuViewFirst);
        h.run(cmd::mnuViewNext);
        EXPECT_EQ(h.page().status()->text(), c.line) << c.status;
        h.run(cmd::mnuViewFirst);
    }
    h.db().execute("UPDATE Checklists SET Status = NULL WHERE Reg_ID = 1 AND Bird_ID = 2");
    h.run(cmd::mnuViewNext);
    EXPECT_EQ(h.page().status()->text(), "Status: No Status");

    // The seasonal icon follows the current code.
    h.run(cmd::mnuViewFirst);
    EXPECT_EQ(h.w->species().statusCode(), "FS/");
    EXPECT_FALSE(h.page().icon(1)->icon().isNull());
    for (const QVariant& code : {QVariant(QString("   ")), QVariant(QString("/////////")), QVariant(QString()),
                                 QVariant()}) {
        h.db().execute("UPDATE Checklists SET scode = ? WHERE Reg_ID = 1 AND Bird_ID = 2", {code});
        h.run(cmd::mnuViewNext);
        EXPECT_EQ(h.w->species().statusCode(), "") << qPrintable(code.toString());
        EXPECT_TRUE(h.page().icon(1)->icon().isNull());
        h.run(cmd::mnuViewFirst);
        EXPECT_FALSE(h.page().icon(1)->icon().isNull());
    }
}

TEST(BirdPage, SongSightingAndLinkCommandsFollowTheSpecies)
{
    Harness h([](test::TestFolder& f) {
        f.exec("UPDATE Birds SET LifeList = 7 WHERE ID = 2");
        f.exec("INSERT INTO Links VALUES (2, 'Duck page', 'https://example.org/duck')");
    });
    h.stubCommands({cmd::mnuFilePlay, cmd::mnuFileSong, cmd::mnuFileSongDelete});
    // Canada Goose: a song, not sighted, no links.
    EXPECT_TRUE(h.enabled(cmd::mnuFilePlay));
    EXPECT_TRUE(h.buttonEnabled("Play"));
    EXPECT_TRUE(h.enabled(cmd::mnuFileSongDelete));
    EXPECT_FALSE(h.enabled(cmd::mnuFileSong));
    EXPECT_TRUE(h.enabled(cmd::mnuFileSighting));
    EXPECT_TRUE(h.buttonEnabled("Add"));
    EXPECT_FALSE(h.enabled(cmd::mnuViewDetails));
    EXPECT_FALSE(h.buttonEnabled("View"));
    EXPECT_TRUE(h.page().icon(0)->icon().isNull());
    // Wood Duck: null song, sighted, a link.
    h.run(cmd::mnuViewNext);
    EXPECT_FALSE(h.enabled(cmd::mnuFilePlay));
    EXPECT_FALSE(h.buttonEnabled("Play"));
    EXPECT_FALSE(h.enabled(cmd::mnuFileSongDelete));
    EXPECT_TRUE(h.enabled(cmd::mnuFileSong));
    EXPECT_FALSE(h.enabled(cmd::mnuFileSighting));
    EXPECT_FALSE(h.buttonEnabled("Add"));
    EXPECT_TRUE(h.enabled(cmd::mnuViewDetails));
    EXPECT_TRUE(h.buttonEnabled("View"));
    EXPECT_FALSE(h.page().icon(0)->icon().isNull());
    EXPECT_EQ(h.w->species().links().recordCount(), 1);
    // Mallard: empty song.
    h.run(cmd::mnuViewNext);
    EXPECT_FALSE(h.enabled(cmd::mnuFilePlay));
    EXPECT_TRUE(h.enabled(cmd::mnuFileSong));
}

TEST(BirdPage, OddRowsDoNotCrash)
{
    Harness h([](test::TestFolder& f) {
        f.exec("UPDATE Birds SET Data = NULL, family_ID = 99 WHERE ID = 2");
        f.exec("UPDATE Birds SET Name = 'Say \"Hi\" O''Duck' WHERE ID = 1");
    });
    h.run(cmd::mnuViewNext);
    EXPECT_EQ(h.page().description()->toPlainText(), "");
    EXPECT_EQ(h.page().label(1)->text(), "Family : ");
    EXPECT_EQ(h.page().label(2)->text(), "Order : ");
    h.run(cmd::mnuViewNext);
    EXPECT_EQ(h.shown(), "Say \"Hi\" O'Duck") << "names with quotes are found";
    EXPECT_EQ(h.page().description()->toPlainText(), "A common duck.");
    // A name that no longer matches any species clears the page.
    h.db().execute("UPDATE Birds SET Name = 'Gone' WHERE ID = 6");
    h.run(cmd::mnuViewNext);
    EXPECT_EQ(h.shown(), "");
    EXPECT_FALSE(h.enabled(cmd::mnuFileSighting));
    h.run(cmd::mnuViewNext);
    EXPECT_EQ(h.shown(), "Hermit Thrush") << "the next species restores the page";
    EXPECT_TRUE(h.enabled(cmd::mnuFileSighting));
}

TEST(BirdPage, SpeciesMissingFromTheRegionChecklistShowsNoStatus)
{
    Harness h([](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 2, qryResult = ''");
    });
    h.db().execute("DELETE FROM Checklists WHERE Reg_ID = 2 AND Bird_ID = 2");
    h.run(cmd::mnuViewNext);
    EXPECT_EQ(h.shown(), "Wood Duck");
    EXPECT_EQ(h.page().status()->text(), "Status: No Status");
    EXPECT_EQ(h.w->species().statusCode(), "");
}
