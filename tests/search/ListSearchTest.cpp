#include "Harness.h"

#include "lists/ListQueries.h"

#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

TEST(ListQueries, RegionAndWorldForms)
{
    const QString S = kSortByList;
    EXPECT_EQ(listSearchQuery(ListSearch::Birds, 5, S),
              "SELECT Name from Birds, Checklists Where Birds.ID = Checklists.Bird_ID AND Reg_ID = 5 Order By Birds.sortOrder");
    EXPECT_EQ(listSearchQuery(ListSearch::Birds, 0, S), "SELECT Birds.Name, Birds.ID FROM Birds Order By Birds.sortOrder");
    EXPECT_EQ(listSearchQuery(ListSearch::Songs, 5, S),
              "SELECT Name from Birds, Checklists Where Birds.ID = Checklists.Bird_ID AND Reg_ID = 5 AND (Song >= 'A')  "
              "Order By Birds.sortOrder");
    EXPECT_EQ(listSearchQuery(ListSearch::CdSongs, 0, S),
              "SELECT Birds.ID, Birds.Name From Birds inner join cdsong On Birds.ID = cdsong.Bird_ID ");
    EXPECT_EQ(listSearchQuery(ListSearch::CdSongs, 5, S),
              "SELECT Name from Birds, Checklists, cdSong Where  Birds.ID = Checklists.Bird_ID AND Reg_ID = 5 AND "
              "Birds.ID = cdsong.Bird_ID Order By Birds.sortOrder");
    EXPECT_EQ(listSearchQuery(ListSearch::Life, 5, S), "select name from birds where Lifelist > 0  Order By Birds.sortOrder");
    EXPECT_EQ(listSearchQuery(ListSearch::MissingRare, 5, S),
              "SELECT Name from Birds, Checklists Where Birds.ID = Checklists.Bird_ID AND Reg_ID = 5 AND Lifelist = 0  "
              "AND Status <> 'R'  Order By Birds.sortOrder");
}

TEST(ListSearches, SongsAndCdSongsInTheRegion)
{
    Harness h([](test::TestFolder& f) {
        f.exec("UPDATE Birds SET song = '1st.wav' WHERE ID = 6"); // sorts below "A"
        f.exec("UPDATE Birds SET song = 'a.wav' WHERE ID = 7");
        f.exec("INSERT INTO cdSong VALUES (8, 3, 0, 10), (2, 4, 5, 10)");
    });
    h.run(cmd::mnuSearchSongs);
    EXPECT_EQ(h.names(), (QStringList{"Canada Goose", "American Robin", "Yellow Warbler"}));
    EXPECT_EQ(h.panel("Type"), "Find : All Songs");
    EXPECT_EQ(h.state.searchType, "All Songs");
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 3");
    h.run(cmd::mnuSortName);
    h.run(cmd::mnuSearchCD);
    EXPECT_EQ(h.names(), (QStringList{"Ovenbird", "Wood Duck"}));
    EXPECT_EQ(h.panel("Type"), "Find : All CD Songs");
    EXPECT_EQ(h.platform.hourglassDepth, 0);
}

TEST(ListSearches, LifeAndMissingWithTheirMessages)
{
    Harness h;
    h.run(cmd::mnuSearchSongs);
    h.run(cmd::mnuSearchLife);
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text, "There have not been any sightings in this region.");
    EXPECT_EQ(h.platform.messages[0].title, "Search Not Successfull");
    EXPECT_EQ(h.names().size(), 2) << "the list stays";
    EXPECT_EQ(h.panel("Type"), "Find : All Songs") << "the title stays";
    EXPECT_EQ(h.platform.hourglassDepth, 0);

    h.db().execute("UPDATE Birds SET LifeList = 1 WHERE ID IN (3, 5)");
    h.db().execute("UPDATE Checklists SET Status = 'R' WHERE Bird_ID = 12 AND Reg_ID = 1");
    // A status never given is dropped with the rarities.
    h.db().execute("UPDATE Checklists SET Status = NULL WHERE Bird_ID = 1 AND Reg_ID = 1");
    h.run(cmd::mnuSearchLife);
    EXPECT_EQ(h.names(), (QStringList{"Canada Goose", "Hermit Thrush"}));
    EXPECT_EQ(h.panel("Type"), "Find : Life Sightings");
    h.run(cmd::mnuMissingAll);
    EXPECT_EQ(h.names().size(), 10);
    EXPECT_EQ(h.panel("Type"), "Find : Missing Sightings");
    h.run(cmd::mnuMissingRare);
    EXPECT_EQ(h.names().size(), 8);
    EXPECT_FALSE(h.names().contains("Bay-breasted Warbler"));
    EXPECT_FALSE(h.names().contains("Mallard"));
    EXPECT_EQ(h.panel("Type"), "Find : Missing Sightings-No Rarities");

    h.db().execute("UPDATE Birds SET LifeList = 1");
    h.run(cmd::mnuMissingAll);
    EXPECT_EQ(h.platform.messages.last().text, "Every bird in the region has been sighted. Congratulations! ");
    EXPECT_EQ(h.names().size(), 8);
}

TEST(ListSearches, WorldForms)
{
    Harness h([](test::TestFolder& f) {
        f.exec("UPDATE Options SET Reg_ID = 0, regname = 'World'");
        f.exec("DELETE FROM Checklists WHERE Bird_ID = 9");
        f.exec("INSERT INTO Sightings (Bird_ID, Date, Region) VALUES (3, '2020-01-01', 0), (4, '2021-01-01', 2)");
        f.exec("INSERT INTO cdSong VALUES (8, 3, 0, 10), (2, 4, 5, 10)");
    });
    h.run(cmd::mnuSearchBird);
    EXPECT_EQ(h.names().size(), 12) << "every species, whatever the checklists";
    h.run(cmd::mnuMissingAll);
    EXPECT_EQ(h.names().size(), 10) << "species never sighted anywhere";
    EXPECT_FALSE(h.names().contains("Canada Goose"));
    EXPECT_FALSE(h.names().contains("American Robin"));
    h.run(cmd::mnuMissingRare);
    EXPECT_EQ(h.names().size(), 10);
    h.run(cmd::mnuSearchCD);
    EXPECT_EQ(h.names().size(), 2);
    h.run(cmd::mnuSearchSongs);
    EXPECT_EQ(h.names(), (QStringList{"Canada Goose", "American Robin"}));
}

TEST(ListSearches, DatabaseErrorsAreShownAndChangeNothing)
{
    Harness h;
    h.run(cmd::mnuSearchSongs);
    h.db().execute("DROP TABLE cdSong");
    h.run(cmd::mnuSearchCD);
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_TRUE(h.platform.messages[0].text.contains("cdSong", Qt::CaseInsensitive)) << qPrintable(h.platform.messages[0].text);
    EXPECT_EQ(h.names().size(), 2);
    EXPECT_EQ(h.state.searchType, "All Songs");
    EXPECT_EQ(h.state.rsResult.recordCount(), 2) << "the current result is kept";
    EXPECT_EQ(h.platform.hourglassDepth, 0);
}
