#include "schema/Schema.h"
#include "records/DataImport.h"
#include "regions/EbirdRegions.h"
#include "TestDatabase.h"
#include "db/Database.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fl;

namespace {
void write(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}
} // namespace

class Builder : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString data() const { return dir.filePath("data"); }
    QString out() const { return dir.filePath("bird.mdb"); }
    void SetUp() override
    {
        QDir().mkpath(data());
        write(data() + "/Orders.csv", "Order_ID,Name,sci_name,SortOrder,Caption\n1,Waterfowl,Anseriformes,1,Ducks\n");
        write(data() + "/Families.csv",
              "Fam_ID,Order_ID,Family,sci_name,Sortorder,Type,Caption,notes,images\n1,1,Ducks,Anatidae,1,0,c,n,119\n");
        write(data() + "/Birds.csv", "ID,Name,sci_name,Data,family_ID,subFam_ID,sortOrder,song,LifeList\n"
                                     "1,Mallard,Anas platyrhynchos,\"A duck, \"\"common\"\".\",1,0,1,,0\n");
        write(data() + "/Regions.csv", "Reg_ID,Name,Type\n1,North America,Region\n");
        write(data() + "/Checklists.csv", "Bird_ID,Reg_ID,Status,scode\n1,1,B,\n");
        write(data() + "/Options.csv", "regname,Reg_ID,regType,searchType,qrySort,qryResult,wincolor,SongCD,lifetotal,lifesum\n"
                                       "North America,1,Region,All Birds, Order By Birds.sortOrder,,0,0,1,0\n");
    }
};

TEST_F(Builder, BuildsAnEncryptedDatabaseFromCsv)
{
    // The six rows of the files, and every country, state, province and county.
    EXPECT_EQ(buildDatabase(data(), out(), false), 6 + int(ebirdRegions().size()));
    auto db = db::Database::open(out(), true, false, QString::fromLatin1(kConnectString));
    EXPECT_EQ(db->scalar("SELECT Data FROM Birds").toString(), "A duck, \"common\".");
    EXPECT_EQ(db->scalar("SELECT song IS NULL FROM Birds").toInt(), 0) << "empty text stays text";
    EXPECT_EQ(db->scalar("SELECT qryResult FROM Options").toString(), "");
    EXPECT_EQ(db->scalar("SELECT qrySort FROM Options").toString(), " Order By Birds.sortOrder") << "leading blank kept";
    db.reset();
    EXPECT_THROW(db::Database::open(out(), true, false, ";PWD=nope"), db::DbError);
}

TEST_F(Builder, BrokenReferenceFailsAndLeavesNoFile)
{
    write(data() + "/Checklists.csv", "Bird_ID,Reg_ID,Status,scode\n7,1,B,\n");
    EXPECT_THROW(buildDatabase(data(), out(), false), std::runtime_error);
    EXPECT_FALSE(QFile::exists(out()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 0) << "no temporary file is left";
}

TEST_F(Builder, WrongFieldCountIsReportedWithItsRow)
{
    write(data() + "/Regions.csv", "Reg_ID,Name,Type\n1,North America\n");
    try {
        buildDatabase(data(), out(), false);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("row 2"), std::string::npos) << e.what();
    }
}

TEST_F(Builder, FailedForcedBuildKeepsTheOldDatabase)
{
    buildDatabase(data(), out(), false);
    QFile original(out());
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    original.close();

    // A reference to a missing species, then a second Options row: both fail the build.
    write(data() + "/Checklists.csv", "Bird_ID,Reg_ID,Status,scode\n7,1,B,\n");
    EXPECT_THROW(buildDatabase(data(), out(), true), std::runtime_error);
    write(data() + "/Checklists.csv", "Bird_ID,Reg_ID,Status,scode\n1,1,B,\n");
    write(data() + "/Sightings.csv", "Sight_ID,Bird_ID,Date\n1,1,last week\n");
    EXPECT_THROW(buildDatabase(data(), out(), true), std::runtime_error) << "a date that is no date";
    QFile::remove(data() + "/Sightings.csv");
    write(data() + "/Options.csv", "regname,Reg_ID,regType,searchType,qrySort,qryResult,wincolor,SongCD,lifetotal,lifesum\n");
    EXPECT_THROW(buildDatabase(data(), out(), true), std::runtime_error) << "no Options row";

    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), before) << "the old database is untouched";
    original.close();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"bird.mdb"}) << "no temporary file is left";
    auto db = db::Database::open(out(), true, false, QString::fromLatin1(kConnectString));
    EXPECT_EQ(db->scalar("SELECT Name FROM Birds").toString(), "Mallard");
}

TEST_F(Builder, OnlyAForcedBuildReplacesTheOldDatabase)
{
    buildDatabase(data(), out(), false);
    EXPECT_THROW(buildDatabase(data(), out(), false), std::runtime_error);
    write(data() + "/Birds.csv", "ID,Name,sci_name,Data,family_ID,subFam_ID,sortOrder,song,LifeList\n"
                                 "1,Mallard,Anas platyrhynchos,Rebuilt,1,0,1,,0\n");
    EXPECT_EQ(buildDatabase(data(), out(), true), 6 + int(ebirdRegions().size()));
    auto db = db::Database::open(out(), true, false, QString::fromLatin1(kConnectString));
    EXPECT_EQ(db->scalar("SELECT Data FROM Birds").toString(), "Rebuilt");
    EXPECT_EQ(schemaVersion(*db), currentSchemaVersion());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"bird.mdb"});
}
