#include "state/AppFolder.h"
#include "state/AppState.h"
#include "state/Startup.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fl;

TEST(Startup, ReadsTheOptionsRow)
{
    test::TestFolder folder;
    folder.exec("UPDATE Options SET wincolor = 1, SongCD = 0, qryResult = ' AND Status = ''B'''");
    AppState s;
    s.dataFolder = folder.path();
    openAndLoadOptions(s);
    EXPECT_EQ(s.regname, "North America");
    EXPECT_EQ(s.Reg_ID, 1);
    EXPECT_EQ(s.searchType, "All Birds");
    EXPECT_EQ(s.qrySort, " Order By Birds.sortOrder");
    EXPECT_EQ(s.qryResult, " AND Status = 'B'");
    EXPECT_TRUE(s.wincolor);
    EXPECT_FALSE(s.SongCD);
    EXPECT_TRUE(s.regType.isEmpty()) << "the region type is not read at start-up";
    EXPECT_EQ(lifePanelText(s), "Life List: 0 of 12");
}

TEST(Startup, StartupQueryForWorldAndForARegion)
{
    AppState s;
    s.qrySort = kSortByName;
    s.qryResult = " AND Status = 'B'";
    s.Reg_ID = 0;
    EXPECT_EQ(startupListQuery(s), "SELECT ID, Name, Lifelist FROM Birds  Order BY Birds.Name");
    s.Reg_ID = 2;
    EXPECT_EQ(startupListQuery(s), "SELECT Name from Birds, Checklists Where Birds.ID = Checklists.Bird_ID "
                                   "AND Reg_ID = 2 AND Status = 'B' Order BY Birds.Name");

    test::TestFolder folder;
    folder.exec("UPDATE Checklists SET Status = 'V' WHERE Reg_ID = 2 AND Bird_ID = 1");
    auto db = folder.open();
    auto rs = db->openRecordset(startupListQuery(s), db::RecordsetKind::Snapshot);
    EXPECT_EQ(rs.recordCount(), 5) << "the stored extra condition filters the region's list";
    s.Reg_ID = 0;
    s.qrySort = kSortByList;
    rs = db->openRecordset(startupListQuery(s), db::RecordsetKind::Snapshot);
    EXPECT_EQ(rs.recordCount(), 12);
    EXPECT_EQ(rs.field("Name").toString(), "Canada Goose");
}

TEST(AppFolder, FindsFoldersWhateverTheirCase)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Images");
    QFile f(dir.filePath("Images/Robin.JPG"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(resolvePath(dir.path(), "images/robin.jpg"), dir.filePath("Images/Robin.JPG"));
    EXPECT_EQ(resolvePath(dir.path(), "IMAGES/none.jpg"), dir.filePath("Images/none.jpg"));
    EXPECT_EQ(resolvePath(dir.path(), "Songs/a.wav"), dir.filePath("Songs/a.wav"));
}
