// Files the user names for the program to write never replace the database, its companions
// or the backups; what is written appears whole or not at all.

#include "EbirdFiles.h"
#include "records/Backup.h"
#include "records/EbirdExport.h"
#include "records/SafeTargets.h"
#include "state/DataFolderCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace fl;
using namespace fl::test;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

struct Target {
    const char* name; // in the data folder; "@link" names a link made to the database
    TargetUse use;
    bool refused;
};

class SafeTargets : public testing::TestWithParam<Target> {};

} // namespace

TEST_P(SafeTargets, TheDatabaseItsFilesAndTheBackupsAreRefused)
{
    TestFolder f;
    const QString folder = f.path();
    QDir(folder).mkdir("Backups");
    QDir(folder).mkdir("exports");
    writeFile(folder + "/Backups/bird-auto-20260101-000000-1.mdb", "a backup");
    writeFile(folder + "/bird.mdb-journal", "");
    writeFile(folder + "/bird.mdb.bak", "an earlier copy");
    writeFile(folder + "/exports/old.csv", "an earlier export");
    ASSERT_TRUE(QFile::link(f.databasePath(), folder + "/exports/link.csv"));
    ASSERT_EQ(::link(QFile::encodeName(f.databasePath()).constData(), QFile::encodeName(folder + "/exports/hard.csv").constData()), 0);
    ASSERT_TRUE(QFile::link(folder + "/Backups/bird-auto-20260101-000000-1.mdb", folder + "/exports/backup-link.mdb"));

    const Target t = GetParam();
    const QString why = refusedTarget(QDir(folder).filePath(QString::fromLatin1(t.name)), f.databasePath(), t.use);
    EXPECT_EQ(!why.isEmpty(), t.refused) << t.name << ": " << qPrintable(why);
    if (t.refused) {
        EXPECT_TRUE(why.contains("Nothing was written")) << qPrintable(why);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, SafeTargets,
    testing::Values(Target{"bird.mdb", TargetUse::Export, true}, Target{"BIRD.MDB", TargetUse::Export, true},
                    Target{"bird.mdb-journal", TargetUse::Export, true}, Target{"bird.mdb.bak", TargetUse::NewBackup, true},
                    Target{"bird.mdb.restore", TargetUse::Export, true}, Target{"./exports/../bird.mdb", TargetUse::Export, true},
                    Target{"exports/link.csv", TargetUse::Export, true}, Target{"exports/hard.csv", TargetUse::Export, true},
                    Target{"exports/backup-link.mdb", TargetUse::NewBackup, true},
                    Target{"Backups/bird-auto-20260101-000000-1.mdb", TargetUse::NewBackup, true},
                    Target{"backups/new.csv", TargetUse::Export, true}, Target{"Backups/new.mdb", TargetUse::NewBackup, false},
                    Target{"exports", TargetUse::Export, true}, Target{"exports/old.csv", TargetUse::Export, false},
                    Target{"exports/new.csv", TargetUse::Export, false}, Target{"sightings.csv", TargetUse::Export, false},
                    Target{"my-bird.mdb", TargetUse::NewBackup, false}));

// File > Export Sightings over the database, answered Yes to "already exists": refused, and
// the database stays the database.
TEST(SafeFiles, ExportOverTheDatabaseIsRefusedAndTheDatabaseStaysWhole)
{
    TestFolder f;
    f.exec("INSERT INTO Sightings (Bird_ID, Date, Type, site, notes) VALUES (1, '2024-01-02', '', 'Pond', '')");
    const QByteArray before = readAll(f.databasePath());
    {
        OpenState s(f.path());
        try {
            exportSightings(s.db(), s.state.databasePath());
            ADD_FAILURE() << "the database was written over";
        } catch (const std::runtime_error& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains("Featherlog's database")) << e.what();
        }
        EXPECT_THROW(exportSightings(s.db(), f.path() + "/Backups/x.csv"), std::runtime_error);
        EXPECT_THROW(backupDatabase(s.db(), s.state.databasePath(), "qzmv"), std::runtime_error);
        EXPECT_THROW(backupDatabase(s.db(), s.state.databasePath() + "-journal", "qzmv"), std::runtime_error);
    }
    EXPECT_EQ(readAll(f.databasePath()), before);
    OpenState again(f.path());
    EXPECT_EQ(again.count("Sightings"), 1);
    EXPECT_EQ(QDir(f.path()).entryList(QDir::Files), QStringList{"bird.mdb"}) << "no part of a file was left";
}

// The disk refuses more bytes half way (a file size limit does what a full disk does): the
// earlier file stays as it was and no part of the new one is left beside it.
TEST(SafeFiles, AnExportThatFailsHalfWayLeavesTheEarlierFile)
{
    TestFolder f;
    {
        auto db = f.open();
        db::Transaction tx(*db);
        for (int i = 0; i < 4000; ++i)
            db->execute("INSERT INTO Sightings (Bird_ID, Date, Type, site, notes) VALUES (?, '2024-01-02', '', ?, '')",
                        {1 + i % 12, QString(60, QChar(u'a' + i % 26))});
        tx.commit();
    }
    QDir(f.path()).mkdir("out");
    const QString out = f.path() + "/out/sightings.csv";
    writeFile(out, "the export of last year");
    OpenState s(f.path());

    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 100 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    try {
        exportSightings(s.db(), out);
    } catch (const std::runtime_error&) {
        failed = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_TRUE(failed);
    EXPECT_EQ(readAll(out), "the export of last year");
    EXPECT_EQ(QDir(f.path() + "/out").entryList(QDir::Files), QStringList{"sightings.csv"});
    // Without the limit it is written whole.
    EXPECT_EQ(exportSightings(s.db(), out), 4000);
    EXPECT_GT(readAll(out).size(), 200 * 1024);
}

TEST(DataFolderCheck, AFolderOrDatabaseThatCannotBeWrittenIsNamed)
{
    TestFolder f;
    EXPECT_EQ(unsavableReason(f.path(), f.databasePath()), "");
    EXPECT_EQ(QDir(f.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"bird.mdb"}) << "the trial file is gone";
    // Nobody, not even the administrator, creates files here.
    const QString proc = unsavableReason("/proc", "/proc/bird.mdb");
    EXPECT_TRUE(proc.startsWith("no file can be written in the folder /proc")) << qPrintable(proc);
    ASSERT_TRUE(QFile::setPermissions(f.databasePath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const QString file = unsavableReason(f.path(), f.databasePath());
    EXPECT_TRUE(file.startsWith("the database file ")) << qPrintable(file);
    EXPECT_TRUE(file.endsWith("bird.mdb is read-only")) << qPrintable(file);
    if (geteuid() != 0) {
        // Without the administrator's rights a folder's permissions hold as well.
        QFile::setPermissions(f.databasePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::setPermissions(f.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_TRUE(unsavableReason(f.path(), f.databasePath()).startsWith("no file can be written"));
        QFile::setPermissions(f.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}
