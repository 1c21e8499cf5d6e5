#include "records/Backup.h"
#include "records/EbirdImport.h"
#include "EbirdFiles.h"
#include "schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace fl;
using namespace fl::test;

namespace {

const QString kPassword = QStringLiteral("qzmv");
const QString kConnect = QString::fromLatin1(kConnectString);

void addSighting(db::Database& db, int bird, const QString& site)
{
    db.execute("INSERT INTO Sightings (Bird_ID, Date, Type, site, notes) VALUES (?, '2024-01-02', 'Adult', ?, '')",
               {bird, site});
}

} // namespace

TEST(Backup, CopyOfTheOpenDatabaseOpensWithThePasswordAndIsComplete)
{
    TestFolder f;
    OpenState s(f.path());
    addSighting(s.db(), 1, "Pond");
    addSighting(s.db(), 2, "Marsh");
    s.db().execute("DELETE FROM Sightings WHERE site = 'Marsh'"); // the counter stays at 2
    s.db().executeScript("PRAGMA user_version = 7");
    const QString target = backupFolder(f.path()) + "/" + defaultBackupName(QDate(2026, 3, 4));
    EXPECT_TRUE(target.endsWith("/Backups/bird-2026-03-04.mdb"));
    backupDatabase(s.db(), target, kPassword);

    // The program still has its file open and working.
    addSighting(s.db(), 3, "Field");
    EXPECT_EQ(s.count("Sightings"), 2);

    EXPECT_EQ(checkBackupFile(target, kConnect), "");
    EXPECT_FALSE(QFileInfo::exists(target + ".partial"));
    auto copy = db::Database::open(target, true, false, kConnect);
    EXPECT_EQ(copy->scalar("SELECT count(*) FROM Sightings").toInt(), 1);
    EXPECT_EQ(copy->scalar("SELECT count(*) FROM Birds").toInt(), 12);
    EXPECT_EQ(copy->scalar("SELECT count(*) FROM ImportKeys").toInt(), 0);
    EXPECT_EQ(copy->scalar("PRAGMA user_version").toInt(), 7);
    EXPECT_EQ(copy->scalar("SELECT count(*) FROM sqlite_master WHERE type = 'view'").toInt(), 5);
    EXPECT_EQ(copy->scalar("SELECT count(*) FROM sqlite_master WHERE type = 'trigger'").toInt(), 5);
    addSighting(*copy, 4, "Copy");
    EXPECT_EQ(copy->scalar("SELECT max(Sight_ID) FROM Sightings").toInt(), 3) << "automatic numbers go on";
    EXPECT_THROW(db::Database::open(target, false, true, ";PWD=wrong"), db::DbError);
}

TEST(Backup, AFailedBackupLeavesTheTargetAlone)
{
    TestFolder f;
    OpenState s(f.path());
    const QString target = f.path() + "/Backups/keep.mdb";
    QDir().mkpath(f.path() + "/Backups");
    writeFile(target, "an older file");
    db::Transaction tx(s.db());
    EXPECT_THROW(backupDatabase(s.db(), target, kPassword), std::runtime_error) << "not inside a transaction";
    tx.commit();
    writeFile(f.path() + "/blocker", "a file where a folder should be");
    EXPECT_THROW(backupDatabase(s.db(), f.path() + "/blocker/b.mdb", kPassword), std::runtime_error);
    QFile t(target);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll(), "an older file");
}

TEST(Backup, ChecksRefuseFilesThatAreNoBackup)
{
    TestFolder f;
    const QString garbage = f.path() + "/garbage.mdb";
    writeFile(garbage, QByteArray(8192, 'g'));
    EXPECT_TRUE(checkBackupFile(garbage, kConnect).contains("cannot be opened"));
    EXPECT_TRUE(checkBackupFile(f.path() + "/none.mdb", kConnect).contains("does not exist"));
    {
        auto other = db::Database::create(f.path() + "/other.mdb", "another");
        createSchema(*other);
    }
    EXPECT_TRUE(checkBackupFile(f.path() + "/other.mdb", kConnect).contains("cannot be opened")) << "another password";
    {
        auto bare = db::Database::create(f.path() + "/bare.mdb", kPassword);
        bare->execute("CREATE TABLE Birds (ID INTEGER)");
    }
    const QString bare = checkBackupFile(f.path() + "/bare.mdb", kConnect);
    EXPECT_TRUE(bare.contains("lacks the tables")) << qPrintable(bare);
    EXPECT_TRUE(bare.contains("Sightings"));
    {
        auto noOptions = db::Database::create(f.path() + "/noopt.mdb", kPassword);
        createSchema(*noOptions);
    }
    EXPECT_TRUE(checkBackupFile(f.path() + "/noopt.mdb", kConnect).contains("one row"));
    // A damaged copy: a page in the middle overwritten.
    {
        OpenState s(f.path());
        db::Transaction tx(s.db());
        for (int i = 0; i < 300; ++i) addSighting(s.db(), 1 + i % 12, QString(200, QChar(u'a' + i % 26)));
        tx.commit();
        backupDatabase(s.db(), f.path() + "/good.mdb", kPassword);
    }
    QFile good(f.path() + "/good.mdb");
    ASSERT_TRUE(good.open(QIODevice::ReadWrite));
    ASSERT_GT(good.size(), 40000);
    good.seek(good.size() / 2 / 1024 * 1024);
    good.write(QByteArray(1024, '\x5a'));
    good.close();
    EXPECT_FALSE(checkBackupFile(f.path() + "/good.mdb", kConnect).isEmpty());
}

TEST(Backup, RestoreReplacesTheDatabaseAndKeepsThePreviousOne)
{
    TestFolder f;
    OpenState s(f.path());
    addSighting(s.db(), 1, "Before");
    const QString backup = f.path() + "/Backups/b.mdb";
    backupDatabase(s.db(), backup, kPassword);
    // After the backup: another sighting and another region.
    addSighting(s.db(), 2, "After");
    s.state.rsOptions.edit();
    s.state.rsOptions.setField("regname", "Ontario");
    s.state.rsOptions.setField("Reg_ID", 2);
    s.state.rsOptions.update();

    // A bad file is refused and nothing changes.
    writeFile(f.path() + "/bad.mdb", "not a database");
    EXPECT_THROW(restoreDatabase(s.state, f.path() + "/bad.mdb"), std::runtime_error);
    EXPECT_THROW(restoreDatabase(s.state, s.state.databasePath()), std::runtime_error);
    EXPECT_EQ(s.count("Sightings"), 2);
    EXPECT_FALSE(QFileInfo::exists(s.state.databasePath() + ".bak"));

    s.state.regType = "State"; // as after choosing Ontario in this run
    restoreDatabase(s.state, backup);
    EXPECT_EQ(currentRegionType(s.state), "Region") << "the restored region's type, not the one before";
    EXPECT_EQ(s.count("Sightings"), 1);
    EXPECT_EQ(s.db().scalar("SELECT site FROM Sightings").toString(), "Before");
    EXPECT_EQ(s.state.regname, "North America") << "the options are those of the backup";
    EXPECT_EQ(s.state.Reg_ID, 1);
    EXPECT_FALSE(QFileInfo::exists(s.state.databasePath() + ".restore"));
    auto previous = db::Database::open(s.state.databasePath() + ".bak", false, true, kConnect);
    EXPECT_EQ(previous->scalar("SELECT count(*) FROM Sightings").toInt(), 2);
    EXPECT_EQ(previous->scalar("SELECT regname FROM Options").toString(), "Ontario");
    // The restored database is the program's own, opened exclusively.
    EXPECT_THROW(db::Database::open(s.state.databasePath(), false, true, kConnect), db::DbError);
}

TEST(Backup, AutomaticBackupAtExitOnlyAfterChangesAndKeepsFive)
{
    TestFolder f;
    const QString folder = f.path() + "/Backups";
    {
        OpenState s(f.path());
        s.db().scalar("SELECT count(*) FROM Birds");
        EXPECT_FALSE(databaseChanged(s.db()));
        EXPECT_EQ(backupOnExit(s.state), "");
        EXPECT_FALSE(QFileInfo::exists(folder)) << "a run that changed nothing leaves no backup";
    }
    QDir().mkpath(folder);
    for (const char* old : {"bird-auto-20200101-000000.mdb", "bird-auto-20200102-000000.mdb",
                            "bird-auto-20200103-000000.mdb", "bird-auto-20200104-000000.mdb",
                            "bird-auto-20200105-000000.mdb", "bird-2020-01-01.mdb"})
        writeFile(folder + "/" + old, "old");
    {
        OpenState s(f.path());
        addSighting(s.db(), 5, "Changed");
        EXPECT_TRUE(databaseChanged(s.db()));
        EXPECT_EQ(backupOnExit(s.state), "");
    }
    const QStringList autos = QDir(folder).entryList({"bird-auto-*.mdb"}, QDir::Files, QDir::Name);
    ASSERT_EQ(autos.size(), 5);
    EXPECT_EQ(autos.first(), "bird-auto-20200102-000000.mdb") << "the oldest went";
    EXPECT_EQ(checkBackupFile(folder + "/" + autos.last(), kConnect), "");
    EXPECT_TRUE(QFileInfo::exists(folder + "/bird-2020-01-01.mdb")) << "backups made by hand stay";
    // A failure is reported, not raised.
    {
        OpenState s(f.path());
        addSighting(s.db(), 5, "Again");
        QDir(folder).removeRecursively();
        writeFile(folder, "a file in the folder's place");
        EXPECT_FALSE(backupOnExit(s.state).isEmpty());
    }
}
