#include "records/Backup.h"
#include "records/DatabaseCheck.h"
#include "records/EbirdImport.h"
#include "EbirdFiles.h"
#include "FaultVfs.h"
#include "schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <future>
#include <gtest/gtest.h>
#include <memory>

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

// Overwrites every 16th kilobyte of the middle third of a file.
void damage(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) throw std::runtime_error("cannot open the file to damage");
    for (qint64 at = file.size() / 3 / 1024 * 1024; at < file.size() * 2 / 3; at += 16 * 1024) {
        file.seek(at);
        file.write(QByteArray(1024, '\x5a'));
    }
}

} // namespace

TEST(Backup, CopyOfTheOpenDatabaseOpensWithThePasswordAndIsComplete)
{
    TestFolder f;
    OpenState s(f.path());
    addSighting(s.db(), 1, "Pond");
    addSighting(s.db(), 2, "Marsh");
    s.db().execute("DELETE FROM Sightings WHERE site = 'Marsh'"); // the counter stays at 2
    s.db().executeScript("PRAGMA user_version = 1"); // an older version than the program's: it goes with the copy
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
    EXPECT_EQ(copy->scalar("PRAGMA user_version").toInt(), 1);
    EXPECT_EQ(copy->scalar("SELECT count(*) FROM sqlite_master WHERE type = 'view'").toInt(), 5);
    const QString triggers = "SELECT count(*) FROM sqlite_master WHERE type = 'trigger'";
    EXPECT_GE(copy->scalar(triggers).toInt(), 5);
    EXPECT_EQ(copy->scalar(triggers).toInt(), s.db().scalar(triggers).toInt()) << "every trigger goes with the copy";
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
    EXPECT_THROW(restoreDatabase(s.state, f.path() + "/bad.mdb"), BackupError);
    EXPECT_THROW(restoreDatabase(s.state, s.state.databasePath()), BackupError);
    EXPECT_EQ(s.count("Sightings"), 2);
    EXPECT_TRUE(backupSeries(f.path() + "/Backups", kBeforeRestoreCopies).isEmpty());

    s.state.regType = "State"; // as after choosing Ontario in this run
    const QString kept = restoreDatabase(s.state, backup);
    EXPECT_EQ(currentRegionType(s.state), "Region") << "the restored region's type, not the one before";
    EXPECT_EQ(s.count("Sightings"), 1);
    EXPECT_EQ(s.db().scalar("SELECT site FROM Sightings").toString(), "Before");
    EXPECT_EQ(s.state.regname, "North America") << "the options are those of the backup";
    EXPECT_EQ(s.state.Reg_ID, 1);
    EXPECT_FALSE(QFileInfo::exists(s.state.databasePath() + ".restore"));
    EXPECT_FALSE(QFileInfo::exists(s.state.databasePath() + ".bak")) << "no slot that the next restore overwrites";
    EXPECT_TRUE(QFileInfo(kept).fileName().startsWith("bird-before-restore-")) << qPrintable(kept);
    EXPECT_EQ(QFileInfo(kept).absolutePath(), QFileInfo(f.path() + "/Backups").absoluteFilePath());
    auto previous = db::Database::open(kept, false, true, kConnect);
    EXPECT_EQ(previous->scalar("SELECT count(*) FROM Sightings").toInt(), 2);
    EXPECT_EQ(previous->scalar("SELECT regname FROM Options").toString(), "Ontario");
    // The restored database is the program's own, opened exclusively.
    EXPECT_THROW(db::Database::open(s.state.databasePath(), false, true, kConnect), db::DbError);
}

namespace {

// The clock gives each copy's name its time; each call is a second later.
BackupClock clockFrom(QDateTime start)
{
    auto t = std::make_shared<QDateTime>(start);
    return [t] {
        const QDateTime now = *t;
        *t = t->addSecs(1);
        return now;
    };
}

} // namespace

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
    // Copies named before they had numbers, and one made by hand.
    for (const char* old : {"bird-auto-20200101-000000.mdb", "bird-auto-20200102-000000.mdb",
                            "bird-auto-20200103-000000.mdb", "bird-auto-20200104-000000.mdb",
                            "bird-auto-20200105-000000.mdb", "bird-2020-01-01.mdb"})
        writeFile(folder + "/" + old, "old");
    {
        OpenState s(f.path());
        addSighting(s.db(), 5, "Changed");
        EXPECT_TRUE(databaseChanged(s.db()));
        EXPECT_EQ(backupOnExit(s.state, 5, clockFrom(QDateTime(QDate(2026, 3, 4), QTime(9, 30)))), "");
    }
    const QList<SeriesFile> autos = backupSeries(folder, kAutomaticBackups);
    ASSERT_EQ(autos.size(), 5);
    EXPECT_EQ(QFileInfo(autos.first().path).fileName(), "bird-auto-20200102-000000.mdb") << "the oldest went";
    EXPECT_EQ(QFileInfo(autos.last().path).fileName(), "bird-auto-20260304-093000-1.mdb");
    EXPECT_EQ(checkBackupFile(autos.last().path, kConnect), "");
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

// The computer's clock was ahead and is now set right: the new copy's name says an earlier
// time than the copies before it. It is still the newest, and the oldest go.
TEST(Backup, RollingBackupsFollowTheOrderOfWritingNotTheClock)
{
    TestFolder f;
    const QString folder = f.path() + "/Backups";
    const BackupClock ahead = clockFrom(QDateTime(QDate(2031, 1, 1), QTime(12, 0)));
    const BackupClock behind = clockFrom(QDateTime(QDate(2025, 6, 1), QTime(8, 0)));
    auto runWithChange = [&](const BackupClock& clock, const QString& site) {
        OpenState s(f.path());
        addSighting(s.db(), 1, site);
        return backupOnExit(s.state, 3, clock);
    };
    for (int i = 0; i < 3; ++i) ASSERT_EQ(runWithChange(ahead, QString("ahead %1").arg(i)), "");
    for (int i = 0; i < 2; ++i) ASSERT_EQ(runWithChange(behind, QString("behind %1").arg(i)), "");
    const QList<SeriesFile> autos = backupSeries(folder, kAutomaticBackups);
    ASSERT_EQ(autos.size(), 3);
    QStringList names;
    for (const SeriesFile& a : autos) names << QFileInfo(a.path).fileName();
    EXPECT_EQ(names, (QStringList{"bird-auto-20310101-120002-3.mdb", "bird-auto-20250601-080000-4.mdb",
                                  "bird-auto-20250601-080001-5.mdb"}));
    // The newest copy holds the last run's sighting.
    auto newest = db::Database::open(autos.last().path, false, true, kConnect);
    EXPECT_EQ(newest->scalar("SELECT count(*) FROM Sightings WHERE site = 'behind 1'").toInt(), 1);
    // Keeping one never deletes the copy just written, whatever its name.
    {
        OpenState s(f.path());
        addSighting(s.db(), 1, "last");
        ASSERT_EQ(backupOnExit(s.state, 1, clockFrom(QDateTime(QDate(2000, 1, 1), QTime(0, 0)))), "");
    }
    const QList<SeriesFile> left = backupSeries(folder, kAutomaticBackups);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(QFileInfo(left[0].path).fileName(), "bird-auto-20000101-000000-6.mdb");
}

// A run imports many sightings, then restores one backup and another: the imported
// sightings are still in a file of their own, the exit backup is made, and no backup is
// overwritten along the way.
TEST(Backup, RestoresKeepTheRunsWorkAndTheExitBackupCoversTheWholeRun)
{
    TestFolder f;
    const QString folder = f.path() + "/Backups";
    QDir().mkpath(folder);
    {
        OpenState s(f.path());
        addSighting(s.db(), 1, "A");
        backupDatabase(s.db(), folder + "/a.mdb", kPassword);
        addSighting(s.db(), 2, "B");
        backupDatabase(s.db(), folder + "/b.mdb", kPassword);
    }
    writeFile(f.databasePath() + ".bak", "a copy an earlier version kept");
    const BackupClock clock = clockFrom(QDateTime(QDate(2026, 5, 1), QTime(7, 0)));
    OpenState s(f.path());
    {
        db::Transaction tx(s.db());
        for (int i = 0; i < 1995; ++i) addSighting(s.db(), 1 + i % 12, QString("imported %1").arg(i));
        tx.commit();
    }
    restoreDatabase(s.state, folder + "/a.mdb", clock);
    EXPECT_FALSE(databaseChanged(s.db())) << "the reopened database has written nothing yet";
    restoreDatabase(s.state, folder + "/b.mdb", clock);
    EXPECT_EQ(s.count("Sightings"), 2);
    EXPECT_TRUE(runChangedData(s.state));
    ASSERT_EQ(backupOnExit(s.state, 5, clock), "");

    const QList<SeriesFile> kept = backupSeries(folder, kBeforeRestoreCopies);
    ASSERT_EQ(kept.size(), 2);
    auto first = db::Database::open(kept[0].path, false, true, kConnect);
    EXPECT_EQ(first->scalar("SELECT count(*) FROM Sightings WHERE site LIKE 'imported*'").toInt(), 1995);
    auto second = db::Database::open(kept[1].path, false, true, kConnect);
    EXPECT_EQ(second->scalar("SELECT count(*) FROM Sightings").toInt(), 1) << "backup A as it was restored";
    const QList<SeriesFile> autos = backupSeries(folder, kAutomaticBackups);
    ASSERT_EQ(autos.size(), 1) << "the run changed data, though not since the last reopen";
    auto exit = db::Database::open(autos[0].path, false, true, kConnect);
    EXPECT_EQ(exit->scalar("SELECT count(*) FROM Sightings").toInt(), 2);
    QFile bak(f.databasePath() + ".bak");
    ASSERT_TRUE(bak.open(QIODevice::ReadOnly));
    EXPECT_EQ(bak.readAll(), "a copy an earlier version kept");
}

namespace {

// Every file in the Backups folder, with its bytes.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        QFile file(folder + "/" + name);
        if (file.open(QIODevice::ReadOnly)) files.insert(name, file.readAll());
    }
    return files;
}

} // namespace

// A backup whose tables are of a version this program does not know is refused by the check
// before anything is swapped; so is a damaged one; no earlier backup is touched either way.
TEST(Backup, ABackupOfANewerVersionOrADamagedOneIsRefusedBeforeAnythingChanges)
{
    TestFolder f;
    const QString folder = f.path() + "/Backups";
    OpenState s(f.path());
    addSighting(s.db(), 1, "current");
    const QString newer = f.path() + "/newer.mdb";
    backupDatabase(s.db(), folder + "/bird-auto-20260101-000000-1.mdb", kPassword);
    backupDatabase(s.db(), newer, kPassword);
    {
        auto n = db::Database::open(newer, true, false, kConnect);
        n->executeScript(QStringLiteral("PRAGMA user_version = %1").arg(currentSchemaVersion() + 1));
    }
    writeFile(s.state.databasePath() + ".bak", "kept by an earlier version");
    const QMap<QString, QByteArray> before = snapshot(folder);
    QString details;
    const QString why = checkBackupFile(newer, kConnect, &details);
    EXPECT_TRUE(why.contains("newer version of Featherlog")) << qPrintable(why);
    EXPECT_TRUE(details.contains(QString("version %1").arg(currentSchemaVersion() + 1))) << qPrintable(details);
    try {
        restoreDatabase(s.state, newer);
        ADD_FAILURE() << "a newer file was restored";
    } catch (const BackupError& e) {
        EXPECT_EQ(e.message(), why);
    }
    EXPECT_EQ(snapshot(folder), before);
    QFile bak(s.state.databasePath() + ".bak");
    ASSERT_TRUE(bak.open(QIODevice::ReadOnly));
    EXPECT_EQ(bak.readAll(), "kept by an earlier version");
    EXPECT_EQ(s.count("Sightings"), 1) << "the database in use is the same and still open";
    EXPECT_FALSE(QFileInfo::exists(s.state.databasePath() + ".restore"));
}

// A damaged backup: one plain sentence, and the engine's report as the details.
TEST(Backup, ADamagedBackupIsOneSentenceWithTheEnginesReportAsDetails)
{
    TestFolder f;
    OpenState s(f.path());
    {
        db::Transaction tx(s.db());
        for (int i = 0; i < 2000; ++i) addSighting(s.db(), 1 + i % 12, QString(150, QChar(u'a' + i % 26)));
        tx.commit();
    }
    const QString path = f.path() + "/damaged.mdb";
    backupDatabase(s.db(), path, kPassword);
    damage(path); // pages in the middle of the sightings
    for (CheckDepth depth : {CheckDepth::Full, CheckDepth::Quick}) {
        QString details;
        const QString why = checkBackupFile(path, kConnect, &details, depth);
        EXPECT_EQ(why, "The file is damaged: the database engine found faults in it.");
        EXPECT_FALSE(why.contains('\n'));
        EXPECT_FALSE(details.isEmpty());
    }
}

// The disk fills up as the program closes: the automatic backup fails, leaves no part of a
// file, and is noted; the next run makes it even without changes, and the note goes.
TEST(Backup, AFailedExitBackupIsNotedUntilABackupSucceeds)
{
    TestFolder f;
    const QString folder = f.path() + "/Backups";
    AppState state;
    state.dataFolder = f.path();
    openAndLoadOptions(state, FaultVfs::name());
    addSighting(state.db(), 1, "not yet in a backup");
    const QDateTime closing(QDate(2026, 2, 3), QTime(18, 45));
    FaultVfs::arm(FaultVfs::Kind::Write, 1, true);
    const QString failed = backupOnExit(state, 5, [&] { return closing; });
    const bool fired = FaultVfs::fired();
    FaultVfs::disarm();
    ASSERT_TRUE(fired);
    EXPECT_FALSE(failed.isEmpty());
    const auto note = lastFailedBackup(f.path());
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->reason, failed);
    EXPECT_EQ(note->when, closing);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).join(", ").toStdString(), "") << "no part of a backup is left";
    closeDatabase(state);

    openAndLoadOptions(state);
    EXPECT_FALSE(runChangedData(state));
    EXPECT_EQ(backupOnExit(state, 5, [&] { return closing.addDays(1); }), "");
    EXPECT_FALSE(lastFailedBackup(f.path()).has_value());
    const QList<SeriesFile> autos = backupSeries(folder, kAutomaticBackups);
    ASSERT_EQ(autos.size(), 1);
    auto copy = db::Database::open(autos[0].path, false, true, kConnect);
    EXPECT_EQ(copy->scalar("SELECT count(*) FROM Sightings WHERE site = 'not yet in a backup'").toInt(), 1);
    closeDatabase(state);
    // A run after that, without changes, makes none.
    openAndLoadOptions(state);
    EXPECT_EQ(backupOnExit(state), "");
    EXPECT_EQ(backupSeries(folder, kAutomaticBackups).size(), 1);
    closeDatabase(state);
}

namespace {

// A database of 3,000 sightings with long notes, closed, in `f`.
void fillSightings(TestFolder& f)
{
    auto db = f.open();
    db::Transaction tx(*db);
    for (int i = 0; i < 3000; ++i) addSighting(*db, 1 + i % 12, QString(180, QChar(u'a' + i % 26)));
    tx.commit();
}

void setWritten(const QString& path, const QDateTime& when)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.setFileTime(when, QFileDevice::FileModificationTime))
        throw std::runtime_error("cannot set the time of a file");
}

db::Database::CheckResult checkInBackground(db::Database& db)
{
    std::promise<db::Database::CheckResult> promise;
    auto result = promise.get_future();
    db.checkInBackground([&](const db::Database::CheckResult& r, const std::atomic<bool>&) { promise.set_value(r); });
    return result.get();
}

} // namespace

TEST(DatabaseCheck, FindsDamageInTheBackgroundAndTheNewestGoodBackup)
{
    TestFolder f;
    fillSightings(f);
    const QString folder = f.path() + "/Backups";
    {
        OpenState s(f.path());
        const db::Database::CheckResult sound = checkInBackground(s.db());
        EXPECT_TRUE(sound.checked);
        EXPECT_EQ(sound.damage, "");
        EXPECT_EQ(s.count("Sightings"), 3000) << "the program goes on using the database";
        backupDatabase(s.db(), folder + "/bird-auto-20260101-100000-1.mdb", kPassword);
        backupDatabase(s.db(), folder + "/bird-2026-01-02.mdb", kPassword);
        backupDatabase(s.db(), folder + "/bird-before-restore-20251231-100000-1.mdb", kPassword);
    }
    setWritten(folder + "/bird-before-restore-20251231-100000-1.mdb", QDateTime(QDate(2025, 12, 31), QTime(10, 0)));
    setWritten(folder + "/bird-auto-20260101-100000-1.mdb", QDateTime(QDate(2026, 1, 1), QTime(10, 0)));
    setWritten(folder + "/bird-2026-01-02.mdb", QDateTime(QDate(2026, 1, 2), QTime(10, 0)));
    writeFile(folder + "/notes.txt", "not a backup");
    EXPECT_EQ(newestGoodBackup(f.path())->path, QFileInfo(folder + "/bird-2026-01-02.mdb").absoluteFilePath());
    damage(folder + "/bird-2026-01-02.mdb");
    setWritten(folder + "/bird-2026-01-02.mdb", QDateTime(QDate(2026, 1, 2), QTime(10, 0)));
    const auto good = newestGoodBackup(f.path());
    ASSERT_TRUE(good.has_value());
    EXPECT_EQ(good->path, QFileInfo(folder + "/bird-auto-20260101-100000-1.mdb").absoluteFilePath())
        << "the damaged newer one is passed over";
    EXPECT_EQ(good->written, QDateTime(QDate(2026, 1, 1), QTime(10, 0)));
    std::atomic<bool> stop{true};
    EXPECT_FALSE(newestGoodBackup(f.path(), &stop).has_value()) << "stops when asked";

    damage(f.databasePath());
    OpenState s(f.path()); // the damage lies in pages that opening does not read
    const db::Database::CheckResult found = checkInBackground(s.db());
    EXPECT_TRUE(found.checked);
    EXPECT_FALSE(found.damage.isEmpty());
}

// The start-up check reads the database on the program's own connection while the user may
// already be closing: the backup at exit, which brings its copy onto that connection, must
// neither fail because of the check nor be read by it.
TEST(DatabaseCheck, ABackupWhileTheStartUpCheckRunsIsWrittenAndLeftOutOfTheCheck)
{
    TestFolder f;
    fillSightings(f);
    const QString folder = backupFolder(f.path());
    OpenState s(f.path());
    for (int round = 0; round < 10; ++round) {
        std::promise<db::Database::CheckResult> promise;
        auto result = promise.get_future();
        s.db().checkInBackground(
            [&promise](const db::Database::CheckResult& r, const std::atomic<bool>&) { promise.set_value(r); });
        const QString target = folder + QStringLiteral("/bird-auto-20260101-100000-%1.mdb").arg(round + 1);
        EXPECT_NO_THROW(backupDatabase(s.db(), target, kPassword)) << "round " << round;
        const db::Database::CheckResult checked = result.get();
        EXPECT_TRUE(checked.checked) << "round " << round;
        EXPECT_EQ(checked.damage.toStdString(), "") << "round " << round;
        EXPECT_EQ(checkBackupFile(target, kConnect).toStdString(), "") << "round " << round;
        EXPECT_NO_THROW(s.db().executeScript("ATTACH DATABASE ':memory:' AS featherlog_backup; "
                                             "DETACH DATABASE featherlog_backup"))
            << "the copy is detached, round " << round;
        if (HasFailure()) break;
    }
    // A copy still attached when a check starts is not the database's damage.
    QFile::copy(f.databasePath(), f.path() + "/other.mdb");
    damage(f.path() + "/other.mdb");
    s.db().executeScript(QStringLiteral("ATTACH DATABASE '%1' AS other KEY '%2'").arg(f.path() + "/other.mdb", kPassword));
    const db::Database::CheckResult checked = checkInBackground(s.db());
    EXPECT_TRUE(checked.checked);
    EXPECT_EQ(checked.damage.toStdString(), "");
    s.db().executeScript(QStringLiteral("DETACH DATABASE other"));
}
