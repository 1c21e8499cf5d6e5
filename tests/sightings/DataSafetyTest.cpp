// The user's database is never lost: commands that write files refuse the program's own, a
// failed automatic backup is told, damage is noticed and a good backup offered, and failures
// are told in plain words with the engine's report behind the details button.

#include "FaultVfs.h"
#include "WindowSteps.h"

#include "records/Backup.h"
#include "records/SafeTargets.h"
#include "schema/Schema.h"
#include "sightings/DataSafety.h"
#include "sightings/frmImportPreview.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace fl;
using test::FaultVfs;
using test::Harness;
using test::writeFile;

namespace {

const QString kConnect = QString::fromLatin1(kConnectString);

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// 3,000 sightings with long notes, so that the table spans many pages.
void fillSightings(db::Database& db)
{
    db::Transaction tx(db);
    for (int i = 0; i < 3000; ++i)
        db.execute("INSERT INTO Sightings (Bird_ID, Date, Type, site, notes) VALUES (?, '2024-01-02', '', ?, '')",
                   {1 + i % 12, QString(180, QChar(u'a' + i % 26))});
    tx.commit();
}

// Overwrites every 16th kilobyte of the middle third of a file (from `from` of its length).
void damage(const QString& path, double from = 1.0 / 3)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) throw std::runtime_error("cannot open the file to damage");
    for (qint64 at = qint64(double(file.size()) * from) / 1024 * 1024; at < file.size() * 2 / 3; at += 16 * 1024) {
        file.seek(at);
        file.write(QByteArray(1024, '\x5a'));
    }
}

const ScriptedPlatform::Message* findMessage(const ScriptedPlatform& p, const QString& part)
{
    for (const auto& m : p.messages)
        if (m.text.contains(part)) return &m;
    return nullptr;
}

} // namespace

// File > Export Sightings..., the path of bird.mdb typed, "already exists" answered Yes.
TEST(DataSafety, ExportRefusesTheDatabaseItsFilesAndTheBackups)
{
    Harness h([](test::TestFolder& f) { f.exec("INSERT INTO Sightings (Bird_ID, Date, site) VALUES (1, '2024-01-02', 'Pond')"); });
    const QString db = h.state.databasePath();
    QDir(h.folder.path()).mkdir("Backups");
    writeFile(h.folder.path() + "/Backups/bird-auto-20260101-000000-1.mdb", "a backup");
    const QByteArray backup = readAll(h.folder.path() + "/Backups/bird-auto-20260101-000000-1.mdb");
    for (const QString& path : {db, db + "-journal", h.folder.path() + "/Backups/bird-auto-20260101-000000-1.mdb",
                                h.folder.path() + "/Backups/sightings.csv"}) {
        h.platform.messages.clear();
        h.platform.answers.push_back(Platform::Answer::Yes); // eBird's record format
        h.platform.answers.push_back(Platform::Answer::No);  // every sighting, not only the region's
        h.platform.files.push_back(path);
        h.run(cmd::mnuFileExport);
        ASSERT_EQ(h.platform.messages.size(), 3) << qPrintable(path);
        EXPECT_TRUE(h.platform.messages[2].text.contains("Nothing was written")) << qPrintable(h.platform.messages[2].text);
        EXPECT_EQ(h.platform.messages[2].icon, Platform::Icon::Exclamation);
    }
    EXPECT_FALSE(QFileInfo::exists(h.folder.path() + "/Backups/sightings.csv"));
    EXPECT_EQ(readAll(h.folder.path() + "/Backups/bird-auto-20260101-000000-1.mdb"), backup);
    // The database is whole, in use, and opens again after the program closes.
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Sightings").toInt(), 1);
    h.w->close();
    auto again = db::Database::open(db, true, false, kConnect);
    EXPECT_EQ(again->scalar("SELECT site FROM Sightings").toString(), "Pond");
}

TEST(DataSafety, BackUpNeverReplacesABackupAndOffersAFreeName)
{
    Harness h;
    const QString folder = h.folder.path() + "/Backups";
    QDir().mkpath(folder);
    const QString today = folder + "/" + defaultBackupName(QDate::currentDate());
    writeFile(today, "this morning's backup");
    h.platform.files.push_back(today);
    h.run(cmd::mnuFileBackup);
    EXPECT_TRUE(h.messageTexts().last().contains("never replaces a backup")) << qPrintable(h.messageTexts().last());
    EXPECT_EQ(readAll(today), "this morning's backup");
    // The dialog comes back in that folder, with a name no file has.
    h.platform.files.push_back(QString()); // cancelled
    h.run(cmd::mnuFileBackup);
    EXPECT_EQ(h.platform.suggestedFiles.last(), QDir(folder).filePath(freeBackupName(folder, QDate::currentDate())));
    EXPECT_TRUE(h.platform.suggestedFiles.last().endsWith("-2.mdb")) << qPrintable(h.platform.suggestedFiles.last());
    h.platform.files.push_back(h.platform.suggestedFiles.last());
    h.run(cmd::mnuFileBackup);
    EXPECT_EQ(checkBackupFile(h.platform.suggestedFiles.last(), kConnect), "");
    EXPECT_EQ(readAll(today), "this morning's backup");
}

// The disk fills up while the program closes: the user hears of it then, and again at the
// next start, with what to do.
TEST(DataSafety, AFailedExitBackupIsToldAtExitAndAgainAtTheNextStart)
{
    QString note;
    {
        Harness h({}, FaultVfs::name());
        h.db().execute("INSERT INTO Sightings (Bird_ID, Date, site) VALUES (3, '2025-05-05', 'Marsh')");
        FaultVfs::arm(FaultVfs::Kind::Write, 1, true);
        h.w->close();
        FaultVfs::disarm();
        const ScriptedPlatform::Message* m = findMessage(h.platform, "could not make its automatic backup");
        ASSERT_NE(m, nullptr) << qPrintable(h.messageTexts().join("\n---\n"));
        EXPECT_EQ(m->title, "Automatic Backup");
        EXPECT_TRUE(m->text.contains("make room on it")) << qPrintable(m->text);
        EXPECT_FALSE(m->details.isEmpty());
        note = h.folder.databasePath() + ".backup-failed";
        ASSERT_TRUE(QFileInfo::exists(note));
        const QByteArray text = readAll(note);
        Harness next([&](test::TestFolder& f) { writeFile(f.databasePath() + ".backup-failed", text); });
        checkDataAfterStart(next.ctx);
        const ScriptedPlatform::Message* reminder = findMessage(next.platform, "last closed");
        ASSERT_NE(reminder, nullptr) << qPrintable(next.messageTexts().join("\n---\n"));
        EXPECT_TRUE(reminder->text.contains("File > Back Up Database...")) << qPrintable(reminder->text);
        EXPECT_EQ(reminder->details, m->details) << "what went wrong, as told at exit";
        // The next exit makes the backup, though that run changed nothing, and the note goes.
        next.w->close();
        EXPECT_EQ(backupSeries(next.folder.path() + "/Backups", kAutomaticBackups).size(), 1);
        EXPECT_FALSE(QFileInfo::exists(next.folder.databasePath() + ".backup-failed"));
    }
}

// Damage in the database is told in plain words when met, and found after start while the
// program goes on; the user is offered the newest good backup, and gets it.
TEST(DataSafety, DamageIsToldWhenMetAndFoundAfterStartAndTheNewestGoodBackupRestored)
{
    Harness h([](test::TestFolder& f) {
        auto db = f.open();
        fillSightings(*db);
        backupDatabase(*db, f.path() + "/Backups/bird-auto-20260101-100000-1.mdb", "qzmv");
        db->execute("INSERT INTO Sightings (Bird_ID, Date, site) VALUES (1, '2026-01-02', 'after the backup')");
        db.reset();
        damage(f.databasePath());
    });
    ASSERT_EQ(h.names().size(), 12) << "the program starts and shows its list";
    // A damaged page met while working: plain words and what to do, the engine's text and its
    // SQL behind the details button.
    h.run(cmd::mnuViewLog);
    const ScriptedPlatform::Message* met = findMessage(h.platform, "The database is damaged");
    ASSERT_NE(met, nullptr) << qPrintable(h.messageTexts().join("\n---\n"));
    EXPECT_TRUE(met->text.contains("File > Restore From Backup...")) << qPrintable(met->text);
    EXPECT_FALSE(met->text.contains("SELECT", Qt::CaseInsensitive)) << qPrintable(met->text);
    EXPECT_TRUE(met->details.contains("SELECT", Qt::CaseInsensitive)) << qPrintable(met->details);

    // The check after start finds it too.
    checkDataAfterStart(h.ctx);
    EXPECT_TRUE(QTest::qWaitFor([&] { return findMessage(h.platform, "found damage") != nullptr; }, 20000));
    const ScriptedPlatform::Message* m = findMessage(h.platform, "found damage");
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->text.contains("The newest good backup is bird-auto-20260101-100000-1.mdb")) << qPrintable(m->text);
    EXPECT_TRUE(m->text.contains("Restore it now?"));
    EXPECT_EQ(m->buttons, Platform::Buttons::YesNo);
    EXPECT_FALSE(m->details.isEmpty()) << "the engine's report";
    EXPECT_FALSE(m->text.contains("Page ")) << "no part of the report in the message";
    // Answered Yes (the scripted default): the backup is in use, the damaged file kept.
    EXPECT_TRUE(h.messageTexts().last().startsWith("The database was restored from")) << qPrintable(h.messageTexts().last());
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Sightings").toInt(), 3000);
    EXPECT_EQ(h.state.db().quickCheck().damage, "");
    EXPECT_EQ(backupSeries(h.folder.path() + "/Backups", kBeforeRestoreCopies).size(), 1);
}

// The database cannot be opened at start because it is damaged: said in plain words, with the
// newest good backup offered in its place.
TEST(DataSafety, ADamagedDatabaseAtStartIsToldPlainlyAndAGoodBackupOffered)
{
    test::TestFolder f;
    // Starts the program on the folder with `answers` scripted; its messages and whether it opened.
    auto start = [&f](std::deque<Platform::Answer> answers,
                      const std::function<void(AppState&)>& opened = {}) {
        ScriptedPlatform platform;
        AppState state;
        Context ctx{state, platform, nullptr};
        state.dataFolder = f.path();
        platform.answers = std::move(answers);
        const bool ok = openDatabaseAtStart(ctx);
        EXPECT_EQ(ok, bool(opened));
        if (ok && opened) opened(state);
        EXPECT_EQ(state.dbBirds != nullptr, ok);
        if (ok) closeDatabase(state);
        return platform.messages;
    };
    {
        auto db = f.open();
        db->execute("INSERT INTO Sightings (Bird_ID, Date, site) VALUES (1, '2024-01-02', 'Pond')");
        backupDatabase(*db, f.path() + "/Backups/bird-2026-01-01.mdb", "qzmv");
    }
    damage(f.databasePath(), 0); // the first pages too: it does not open
    auto told = start({Platform::Answer::No});
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].text.startsWith("Featherlog cannot open its database, "))
        << qPrintable(told[0].text);
    EXPECT_TRUE(told[0].text.contains("damaged"));
    EXPECT_TRUE(told[0].text.contains("The newest good backup is bird-2026-01-01.mdb"))
        << qPrintable(told[0].text);
    EXPECT_FALSE(told[0].details.isEmpty());

    start({Platform::Answer::Yes}, [&f](AppState& state) {
        EXPECT_EQ(state.db().scalar("SELECT site FROM Sightings").toString(), "Pond");
        const QList<SeriesFile> kept = backupSeries(f.path() + "/Backups", kBeforeRestoreCopies);
        ASSERT_EQ(kept.size(), 1) << "the damaged file is kept";
        EXPECT_FALSE(checkBackupFile(kept[0].path, kConnect).isEmpty());
    });

    // Without a good backup: said so, and the program ends.
    QDir(f.path() + "/Backups").removeRecursively();
    damage(f.databasePath(), 0);
    told = start({});
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].text.contains("no good backup")) << qPrintable(told[0].text);
    // A missing file is the engine's own message, as ever.
    QFile::remove(f.databasePath());
    told = start({});
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].text.startsWith("Could not find file")) << qPrintable(told[0].text);
}

// Restoring a damaged backup: one plain sentence; the engine's long report is behind the
// details button, not in the message.
TEST(DataSafety, RestoringADamagedBackupIsOneSentenceWithTheDetailsBehindAButton)
{
    Harness h;
    const QString backup = h.folder.path() + "/damaged.mdb";
    {
        test::TestFolder other;
        auto db = other.open();
        fillSightings(*db);
        backupDatabase(*db, backup, "qzmv");
    }
    damage(backup);
    h.platform.files.push_back(backup);
    h.run(cmd::mnuFileRestore);
    ASSERT_EQ(h.platform.messages.size(), 1);
    const auto& m = h.platform.messages[0];
    EXPECT_EQ(m.text, "damaged.mdb cannot be restored; nothing was changed.\n\n"
                      "The file is damaged: the database engine found faults in it.");
    EXPECT_FALSE(m.details.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(h.state.databasePath()));
}

// Changes cannot be saved in the data folder: said at start.
TEST(DataSafety, AnUnwritableDataFolderIsToldAtStart)
{
    Harness h;
    checkDataAfterStart(h.ctx);
    EXPECT_EQ(findMessage(h.platform, "cannot save changes"), nullptr) << "a folder that can be written";
    ASSERT_TRUE(QFile::setPermissions(h.state.databasePath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    checkDataAfterStart(h.ctx);
    const ScriptedPlatform::Message* m = findMessage(h.platform, "cannot save changes");
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->text.contains("is read-only")) << qPrintable(m->text);
    EXPECT_TRUE(m->text.contains("nothing you change will be kept")) << qPrintable(m->text);
    QFile::setPermissions(h.state.databasePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// A file that is no eBird file is refused; one whose lines end in CR alone has every record read.
TEST(DataSafety, ImportRefusesAFileThatIsNoEbirdFileAndReadsCarriageReturnLineEnds)
{
    Harness h;
    const QString notes = h.folder.path() + "/notes.csv";
    writeFile(notes, "Name,When\nMallard,today\n");
    h.platform.files.push_back(notes);
    h.run(cmd::mnuFileImport);
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_TRUE(h.messageTexts()[0].startsWith("notes.csv cannot be imported."))
        << qPrintable(h.messageTexts()[0]);
    EXPECT_TRUE(h.messageTexts()[0].contains("not an eBird file"));

    const QString path = h.folder.path() + "/mac.csv";
    writeFile(path, "Submission ID,Common Name,Scientific Name,Count,Date\r"
                    "S1,Mallard,Anas platyrhynchos,2,2025-05-01\r"
                    "S1,Wood Duck,Aix sponsa,1,2025-05-01\r"
                    "S1,Canada Goose,Branta canadensis,-4,2025-05-01\r");
    h.platform.files.push_back(path);
    QString read, skipped;
    test::inWindow<frmImportPreview>([&] { h.run(cmd::mnuFileImport); }, [&](frmImportPreview& d) {
        read = d.lblRead->text();
        skipped = d.lstSkipped->topLevelItemCount() > 0 ? d.lstSkipped->topLevelItem(0)->text(0)
                                                        : QString();
        QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
    });
    EXPECT_EQ(read, "3");
    EXPECT_EQ(skipped, "Count not a whole number from 1 to 1,000,000,000");
}
