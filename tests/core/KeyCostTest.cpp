#include "records/Backup.h"
#include "schema/Schema.h"
#include "TestDatabase.h"
#include "TestProcess.h"
#include "db/Database.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fl;

namespace {

const QByteArray kPassword = db::passwordFromConnect(QString::fromLatin1(kConnectString)).toUtf8();

bool keyedWith(const QString& path, int rounds)
{
    return test::keyedWithRounds(QFile::encodeName(path).constData(), kPassword.constData(), rounds);
}

} // namespace

// The files the tests make, and the backups the program's code makes of them, are keyed at
// the tests' low cost: the suite's speed rests on it.
TEST(KeyCost, TestDatabasesAndTheirBackupsAreKeyedCheaply)
{
    test::TestFolder folder;
    EXPECT_TRUE(keyedWith(folder.databasePath(), test::kTestKeyIterations));
    EXPECT_FALSE(keyedWith(folder.databasePath(), test::programKeyIterations()));

    const QString backup = folder.path() + "/Backups/copy.mdb";
    {
        auto db = folder.open();
        backupDatabase(*db, backup, QString::fromUtf8(kPassword));
    }
    EXPECT_TRUE(keyedWith(backup, test::kTestKeyIterations));
    EXPECT_FALSE(keyedWith(backup, test::programKeyIterations()));
}

// tools/makedb, a program of its own that never lowers the cost, keys the sample database at
// the engine's full cost (SQLCipher's 64,000 rounds or more): the tests' setting stays in the
// tests. The installed program's own files are checked the same way by Package.InstalledProgram.
TEST(KeyCost, MakedbKeysTheSampleDatabaseAtTheFullCost)
{
    EXPECT_GE(test::programKeyIterations(), 64000);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath("bird.mdb");
    QProcess makedb;
    makedb.start(QStringLiteral(MAKEDB), {"--data", QStringLiteral(SAMPLE_DATA_DIR), "--out", out});
    ASSERT_TRUE(makedb.waitForFinished(60000));
    ASSERT_EQ(makedb.exitCode(), 0) << makedb.readAllStandardError().constData();

    EXPECT_TRUE(keyedWith(out, test::programKeyIterations()));
    EXPECT_FALSE(keyedWith(out, test::kTestKeyIterations));
    // Nor does this test program open it as it opens its own files.
    EXPECT_THROW(db::Database::open(out, true, false, QString::fromLatin1(kConnectString)), db::DbError);
}
