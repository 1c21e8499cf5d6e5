// The species on show: one owner of its row, pictures and links, and one signal that tells
// every window of a change.

#include "state/SpeciesOnShow.h"
#include "state/AppState.h"
#include "state/Startup.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

using namespace fl;

namespace {

struct Shown {
    test::TestFolder folder;
    AppState state;
    std::unique_ptr<SpeciesOnShow> species;
    QList<int> told; // the ids speciesChanged gave, in order
    Shown()
    {
        folder.exec("INSERT INTO images (Bird_ID, File, Title) VALUES (3, 'b.jpg', 'Second'), (3, 'a.jpg', 'First')");
        folder.exec("INSERT INTO Links (Bird_ID, Title, URL) VALUES (3, 'Goose facts', 'https://example.org/goose')");
        state.dataFolder = folder.path();
        openAndLoadOptions(state);
        species = std::make_unique<SpeciesOnShow>(state);
        QObject::connect(species.get(), &SpeciesOnShow::speciesChanged, [this](int id) { told << id; });
    }
    ~Shown()
    {
        species->release();
        closeDatabase(state);
    }
    QVariant scalar(const QString& sql) { return state.db().scalar(sql); }
};

} // namespace

TEST(SpeciesOnShow, ShowingOpensTheRowPicturesAndLinksAndTellsOnce)
{
    Shown s;
    EXPECT_FALSE(s.species->isShown());
    EXPECT_EQ(s.species->id(), 0);
    EXPECT_EQ(s.species->name(), "");

    ASSERT_TRUE(s.species->show("Canada Goose"));
    EXPECT_EQ(s.told, (QList<int>{3}));
    EXPECT_EQ(s.species->id(), 3);
    EXPECT_EQ(s.species->scientificName(), "Branta canadensis");
    EXPECT_EQ(s.species->song(), "canada.wav");
    EXPECT_EQ(s.species->familyId(), 1);
    ASSERT_TRUE(s.species->pictureShown());
    EXPECT_EQ(s.species->pictures().field("File").toString(), "a.jpg") << "in the order of the file names";
    EXPECT_EQ(s.species->links().recordCount(), 1);

    // A name that is not a species': nothing on show, and the windows hear of it.
    EXPECT_FALSE(s.species->show("Dodo"));
    EXPECT_FALSE(s.species->isShown());
    EXPECT_FALSE(s.species->pictures().isOpen());
    EXPECT_EQ(s.told, (QList<int>{3, 0}));
    s.species->clear();
    EXPECT_EQ(s.told, (QList<int>{3, 0})) << "nothing was on show: nothing to tell";
}

TEST(SpeciesOnShow, ChangesAreStoredAndToldOrRefused)
{
    Shown s;
    EXPECT_THROW(s.species->setSong("x.wav"), std::runtime_error) << "no species on show";
    EXPECT_THROW(s.species->addLink("t", "u"), std::runtime_error);
    ASSERT_TRUE(s.species->show("Mallard"));
    s.told.clear();

    s.species->setSong("mallard.wav");
    EXPECT_EQ(s.scalar("SELECT song FROM Birds WHERE ID = 1").toString(), "mallard.wav");
    EXPECT_EQ(s.species->song(), "mallard.wav");
    EXPECT_EQ(s.told, (QList<int>{1}));

    s.species->setDescription("Dabbling duck.");
    EXPECT_EQ(s.scalar("SELECT Data FROM Birds WHERE ID = 1").toString(), "Dabbling duck.");
    EXPECT_EQ(s.told, (QList<int>{1})) << "the description is the page's own";

    s.species->addPicture("z.jpg", "Drake");
    s.species->addPicture("c.jpg", "Hen");
    EXPECT_EQ(s.species->pictures().field("Title").toString(), "Hen") << "the newest is current";
    s.species->pictures().movePrevious();
    EXPECT_EQ(s.species->pictures().field("Title").toString(), "Drake") << "in the order they were linked";
    s.species->addLink("Duck page", "https://example.org/duck");
    EXPECT_EQ(s.scalar("SELECT count(*) FROM Links WHERE Bird_ID = 1").toInt(), 1);

    // A sighting stored elsewhere: refresh reads the mark and tells.
    s.state.db().execute("UPDATE Birds SET LifeList = 42 WHERE ID = 1");
    EXPECT_EQ(s.species->lifeListSighting(), 0);
    s.species->refresh();
    EXPECT_EQ(s.species->lifeListSighting(), 42);
    EXPECT_EQ(s.told, (QList<int>{1, 1}));

    s.species->release();
    EXPECT_FALSE(s.species->isShown());
    EXPECT_EQ(s.told, (QList<int>{1, 1})) << "letting go tells nobody";
}
