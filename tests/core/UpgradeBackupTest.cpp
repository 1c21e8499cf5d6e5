#include "records/Backup.h"
#include "records/UpgradeBackup.h"
#include "state/AppState.h"
#include "state/Startup.h"
#include "schema/Schema.h"
#include "TestDatabase.h"
#include "db/Database.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace fl;

namespace {

const QString kConnect = QString::fromLatin1(kConnectString);

// A data folder whose database has the tables of version 0, with one sighting of the user's.
struct OldDataFolder {
    QTemporaryDir dir;
    QString folder() const { return dir.path(); }
    QString database() const { return dir.filePath("bird.mdb"); }
    OldDataFolder()
    {
        auto db = db::Database::create(database(), db::passwordFromConnect(kConnect));
        createSchema(*db, 0);
        test::insertFixture(*db);
        db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, site) VALUES (4, 3, '2019-03-04', 'Point Pelee')");
    }
};

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList backups(const QString& folder)
{
    return QDir(folder + "/Backups").entryList(QDir::Files, QDir::Name);
}

// Opens the database of `state` as the program does, with the backup before an upgrade.
void openAsTheProgram(AppState& state)
{
    openAndLoadOptions(state, {}, [&state](db::Database& db, int fromVersion) {
        backupBeforeUpgrade(db, state.dataFolder, fromVersion);
    });
}

} // namespace

TEST(UpgradeBackup, NameSaysTheVersionAndTheTime)
{
    EXPECT_EQ(upgradeBackupName(0, QDateTime(QDate(2026, 3, 9), QTime(7, 5, 2))),
              "bird-v0-before-upgrade-20260309-070502.mdb");
    EXPECT_EQ(upgradeBackupName(12, QDateTime(QDate(2031, 12, 31), QTime(23, 59, 59))),
              "bird-v12-before-upgrade-20311231-235959.mdb");
}

TEST(UpgradeBackup, AnOlderFileIsBackedUpAsItWasThenBroughtUpToDate)
{
    OldDataFolder old;
    AppState s;
    s.dataFolder = old.folder();
    openAsTheProgram(s);
    EXPECT_EQ(schemaVersion(s.db()), currentSchemaVersion());
    closeDatabase(s);

    const QStringList made = backups(old.folder());
    ASSERT_EQ(made.size(), 1);
    EXPECT_TRUE(made[0].startsWith("bird-v0-before-upgrade-")) << qPrintable(made[0]);
    const QString copy = old.folder() + "/Backups/" + made[0];
    EXPECT_EQ(checkBackupFile(copy, kConnect), "");
    {
        auto db = db::Database::open(copy, true, true, kConnect);
        EXPECT_EQ(schemaVersion(*db), 0) << "the copy is the file as the older program left it";
        EXPECT_EQ(db->scalar("SELECT site FROM Sightings WHERE Sight_ID = 4").toString(), "Point Pelee");
    }

    // The next start has nothing to bring up to date and writes no further copy.
    AppState again;
    again.dataFolder = old.folder();
    openAsTheProgram(again);
    closeDatabase(again);
    EXPECT_EQ(backups(old.folder()), made);
}

TEST(UpgradeBackup, ACurrentFileGetsNoCopy)
{
    test::TestFolder current;
    AppState s;
    s.dataFolder = current.path();
    openAsTheProgram(s);
    closeDatabase(s);
    EXPECT_FALSE(QFileInfo::exists(current.path() + "/Backups"));
}

TEST(UpgradeBackup, ANewerFileIsRefusedWithoutACopy)
{
    test::TestFolder newer;
    newer.exec(QStringLiteral("PRAGMA user_version = %1").arg(currentSchemaVersion() + 1));
    const QByteArray before = bytesOf(newer.databasePath());
    AppState s;
    s.dataFolder = newer.path();
    try {
        openAsTheProgram(s);
        FAIL() << "opened a file of a newer version";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.message().contains("newer version of Featherlog")) << qPrintable(e.message());
    }
    EXPECT_FALSE(s.dbBirds) << "the file is closed again";
    EXPECT_FALSE(QFileInfo::exists(newer.path() + "/Backups"));
    EXPECT_EQ(bytesOf(newer.databasePath()), before);
}

TEST(UpgradeBackup, WithoutTheCopyTheFileStaysAsItWas)
{
    OldDataFolder old;
    QFile blocker(old.folder() + "/Backups");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the Backups folder belongs
    blocker.close();
    const QByteArray before = bytesOf(old.database());
    AppState s;
    s.dataFolder = old.folder();
    try {
        openAsTheProgram(s);
        FAIL() << "brought the file up to date without a backup";
    } catch (const std::runtime_error& e) {
        const QString message = QString::fromUtf8(e.what());
        EXPECT_TRUE(message.contains("is from an older version of Featherlog. It was left as it was"))
            << qPrintable(message);
    }
    EXPECT_FALSE(s.dbBirds);
    EXPECT_EQ(bytesOf(old.database()), before);
    auto db = db::Database::open(old.database(), true, false, kConnect);
    EXPECT_EQ(schemaVersion(*db), 0) << "the older program still opens it";
}

TEST(UpgradeBackup, ANameAlreadyTakenGetsANumber)
{
    OldDataFolder old;
    auto db = db::Database::open(old.database(), true, false, kConnect);
    const QString first = backupBeforeUpgrade(*db, old.folder(), 0);
    const QString second = backupBeforeUpgrade(*db, old.folder(), 0);
    EXPECT_NE(first, second);
    EXPECT_TRUE(QFileInfo(first).isFile());
    EXPECT_TRUE(QFileInfo(second).isFile());
    // Within the same second the second copy is numbered.
    if (QFileInfo(first).fileName().chopped(4) == QFileInfo(second).fileName().chopped(6)) {
        EXPECT_TRUE(second.endsWith("-2.mdb")) << qPrintable(second);
    }
}
