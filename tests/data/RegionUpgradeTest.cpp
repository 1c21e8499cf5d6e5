// The upgrade of a database of the version before region codes: the sample database as it was
// shipped, with a user's own regions and sightings in it.

#include "EarlierSample.h"
#include "FaultVfs.h"
#include "regions/ChecklistCopy.h"
#include "schema/Schema.h"
#include "state/AppState.h"
#include "state/Startup.h"
#include "db/Database.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fl;
using test::FaultVfs;

namespace {

const QString kConnect = QString::fromLatin1(kConnectString);
constexpr int kUsersOhio = 10, kUsersFranklin = 11;

// The sample data as shipped in the tables of version 2, then used: two regions of the user's
// own, sightings in them and in the sample's regions, the current region Texas.
struct VersionTwoFile {
    QTemporaryDir dir;
    QString path() const { return dir.filePath("bird.mdb"); }
    VersionTwoFile()
    {
        test::buildEarlierSample(path(), dir.filePath("csv"));
        auto db = db::Database::open(path(), true, false, kConnect);
        db::Transaction tx(*db);
        db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (?, 'Ohio', 'State')", {kUsersOhio});
        db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (?, 'Franklin County', 'District')", {kUsersFranklin});
        db->execute("INSERT INTO Sightings (Bird_ID, Date, country, state, district, site) "
                    "VALUES (5, '2021-05-02', 3, ?, ?, 'Scioto Audubon')",
                    {kUsersOhio, kUsersFranklin});
        db->execute("INSERT INTO Sightings (Bird_ID, Date, Region, country, state, site) "
                    "VALUES (7, '2022-04-10', 1, 3, 6, 'High Island')");
        db->execute("INSERT INTO Sightings (Bird_ID, Date, district, site) VALUES (7, '2023-09-30', 8, 'Higbee Beach')");
        db->execute("UPDATE Options SET Reg_ID = 6, regname = 'Texas', regType = 'State'");
        tx.commit();
    }
};

// What the upgrade must leave as it is, as one text.
QString kept(db::Database& db, int regionsUpTo)
{
    auto all = [&db](const QString& sql) { return db.scalar("SELECT group_concat(x, '|') FROM (" + sql + ")").toString(); };
    return all(QStringLiteral("SELECT Reg_ID || ':' || Name || ':' || Type AS x FROM Regions WHERE Reg_ID <= %1 "
                              "ORDER BY Reg_ID").arg(regionsUpTo))
           + "#" + all("SELECT Reg_ID || ':' || Bird_ID || ':' || Status || ':' || coalesce(scode, '') AS x "
                       "FROM Checklists ORDER BY Reg_ID, Bird_ID")
           + "#" + all("SELECT Sight_ID || ':' || Bird_ID || ':' || Date || ':' || Region || country || state "
                       "|| district || ':' || site AS x FROM Sightings ORDER BY Sight_ID")
           + "#" + all("SELECT regname || Reg_ID || regType || lifetotal AS x FROM Options");
}

QString keptIn(const QString& path)
{
    auto db = db::Database::open(path, true, false, kConnect);
    const QString integrity = db->scalar("PRAGMA integrity_check").toString();
    if (integrity != "ok") return "damaged: " + integrity;
    return QString::number(schemaVersion(*db)) + "#" + kept(*db, kUsersFranklin) + "#"
           + db->scalar("SELECT count(*) FROM Regions").toString() + ":"
           + QString::number(db->openRecordset("PRAGMA table_info(Regions)", db::RecordsetKind::Snapshot).recordCount());
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(RegionCodesUpgrade, CodesAndRegionsAreAddedAndNothingElseChanges)
{
    VersionTwoFile file;
    const QString before = keptIn(file.path());
    ASSERT_TRUE(before.startsWith("2#"));

    AppState s;
    s.dataFolder = file.dir.path();
    openAndLoadOptions(s);
    db::Database& db = s.db();
    EXPECT_EQ(schemaVersion(db), currentSchemaVersion());
    EXPECT_TRUE(before.startsWith("2#" + kept(db, kUsersFranklin) + "#")) << "ids, names, checklists and sightings as they were";

    const struct {
        int id;
        const char* code; // null: none
    } codes[] = {{1, nullptr},     {2, "CA"},          {3, "US"},          {4, "CA-ON"},      {5, "US-CA"},
                 {6, "US-TX"},     {7, "US-FL"},       {8, "US-NJ-009"},   {9, "US-CA-053"},  {kUsersOhio, "US-OH"},
                 {kUsersFranklin, nullptr}};
    for (const auto& c : codes) {
        const QVariant code = db.scalar("SELECT Code FROM Regions WHERE Reg_ID = ?", {c.id});
        if (c.code) EXPECT_EQ(code.toString(), c.code) << c.id;
        else EXPECT_TRUE(code.isNull()) << c.id;
    }
    // Every other country, state, province and county is there, once.
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Regions WHERE Type = 'Country'").toInt(), 3);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Regions WHERE Type = 'State'").toInt(), 96);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Regions WHERE Type = 'District'").toInt(), 5359 + 1);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Regions WHERE Code IS NOT NULL").toInt(), 3 + 96 + 5359);
    EXPECT_EQ(db.scalar("SELECT Name FROM Regions WHERE Code = 'US-OH-049'").toString(), "Franklin, Ohio");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Regions WHERE Reg_ID > ? AND Reg_ID IN (SELECT Reg_ID FROM Checklists)",
                        {kUsersFranklin}).toInt(), 0)
        << "no list is stored for them up front";
    // The saved queries give the codes too.
    {
        auto districts = db.openRecordset("GetDistricts", db::RecordsetKind::Snapshot);
        EXPECT_TRUE(districts.hasField("Code"));
        EXPECT_EQ(districts.recordCount(), 5360);
    }

    // The user's Ohio, without a list, takes the United States' list when first needed,
    // and Franklin, Ohio then the one of Ohio.
    EXPECT_EQ(provideChecklist(db, kUsersOhio).copiedFrom, 3);
    const int franklin = db.scalar("SELECT Reg_ID FROM Regions WHERE Code = 'US-OH-049'").toInt();
    EXPECT_EQ(provideChecklist(db, franklin).copiedFrom, kUsersOhio);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = ?", {franklin}).toInt(),
              db.scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = 3").toInt());
    EXPECT_EQ(db.scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_TRUE(db.openRecordset("PRAGMA foreign_key_check", db::RecordsetKind::Snapshot).eof());
    closeDatabase(s);

    // The next start finds nothing to do and writes nothing.
    const QByteArray upgraded = bytesOf(file.path());
    AppState again;
    again.dataFolder = file.dir.path();
    openAndLoadOptions(again);
    closeDatabase(again);
    EXPECT_EQ(bytesOf(file.path()), upgraded);
}

TEST(RegionCodesUpgrade, AFailedUpgradeLeavesTheFileAsItWas)
{
    VersionTwoFile original;
    const QString before = keptIn(original.path());
    const QString work = original.dir.filePath("work/bird.mdb");
    ASSERT_TRUE(QDir().mkpath(original.dir.filePath("work")));
    auto upgrade = [&] {
        AppState s;
        s.dataFolder = original.dir.filePath("work");
        try {
            openAndLoadOptions(s, FaultVfs::name());
        } catch (const std::exception&) {
            closeDatabase(s); // while the disk still fails
            return false;
        }
        closeDatabase(s);
        return true;
    };
    auto fresh = [&] {
        QFile::remove(work);
        ASSERT_TRUE(QFile::copy(original.path(), work));
    };

    // How many writes and syncs a good upgrade makes.
    fresh();
    FaultVfs::arm(FaultVfs::Kind::Write, 0);
    ASSERT_TRUE(upgrade());
    const int writes = FaultVfs::writes(), syncs = FaultVfs::syncs();
    FaultVfs::disarm();
    ASSERT_GT(writes, 10);
    const QString after = keptIn(work);
    ASSERT_TRUE(after.startsWith(QString::number(currentSchemaVersion()) + "#"));

    const struct {
        FaultVfs::Kind kind;
        int n;
    } faults[] = {{FaultVfs::Kind::Write, 1},          {FaultVfs::Kind::Write, writes / 3},
                  {FaultVfs::Kind::Write, writes - 1}, {FaultVfs::Kind::Write, writes},
                  {FaultVfs::Kind::Sync, 1},           {FaultVfs::Kind::Sync, syncs}};
    int failed = 0;
    for (const auto& f : faults) {
        for (bool sticky : {false, true}) {
            SCOPED_TRACE(QStringLiteral("%1 %2 failing%3")
                             .arg(f.kind == FaultVfs::Kind::Write ? "write" : "sync")
                             .arg(f.n)
                             .arg(sticky ? " and after" : "")
                             .toStdString());
            fresh();
            FaultVfs::arm(f.kind, f.n, sticky);
            const bool succeeded = upgrade();
            const bool fired = FaultVfs::fired();
            FaultVfs::disarm();
            EXPECT_TRUE(fired);
            const QString now = keptIn(work);
            if (succeeded) EXPECT_EQ(now, after) << "reported success";
            else EXPECT_EQ(now, before) << "a failed upgrade changes nothing";
            failed += !succeeded;
        }
    }
    EXPECT_GE(failed, 6) << "most of these faults make the upgrade fail";
}
