#include "TestDatabase.h"

#include "schema/Schema.h"

#include <QFile>
#include <stdexcept>
#include <sys/stat.h>

namespace fl::test {

TestFolder::TestFolder(bool withFixture)
{
    if (!m_dir.isValid()) throw std::runtime_error("no temporary folder");
    m_db = db::Database::create(databasePath(), db::passwordFromConnect(QString::fromLatin1(kConnectString)));
    createSchema(*m_db);
    if (withFixture) insertFixture(*m_db);
    m_stamp = stampOf(databasePath());
}

TestFolder::~TestFolder() = default;

QString TestFolder::databasePath() const { return m_dir.filePath(QString::fromLatin1(kDatabaseFile)); }

std::unique_ptr<db::Database> TestFolder::open() const
{
    return db::Database::open(databasePath(), true, false, QString::fromLatin1(kConnectString));
}

TestFolder::FileStamp TestFolder::stampOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

db::Database& TestFolder::connection() const
{
    // The connection keeps the file it opened (a replaced file is another file) and pages
    // it read; a file changed behind its back (by the program, a copy, damage written into
    // it) is opened again rather than trusted to the engine's own check of its header.
    if (m_db && stampOf(databasePath()) != m_stamp) m_db.reset();
    if (!m_db) {
        m_db = db::Database::open(databasePath(), false, false, QString::fromLatin1(kConnectString));
        m_stamp = stampOf(databasePath());
    }
    return *m_db;
}

void TestFolder::exec(const QString& sql, const QVariantList& params) const
{
    db::Database& db = connection();
    db.execute(sql, params);
    m_stamp = stampOf(databasePath());
}

QVariant TestFolder::scalar(const QString& sql, const QVariantList& params) const
{
    db::Database& db = connection();
    QVariant value = db.scalar(sql, params);
    m_stamp = stampOf(databasePath());
    return value;
}

void insertFixture(db::Database& db)
{
    db::Transaction tx(db);
    db.executeScript(QStringLiteral(R"SQL(
INSERT INTO Orders VALUES (1, 'Waterfowl', 'Anseriformes', 1, 'Ducks and geese.');
INSERT INTO Orders VALUES (2, 'Perching Birds', 'Passeriformes', 2, 'Songbirds.');
INSERT INTO Families VALUES (1, 1, 'Ducks, Geese, and Waterfowl', 'Anatidae', 1, 0, 'Waterfowl.', 'Broad bills', 119);
INSERT INTO Families VALUES (2, 2, 'Thrushes', 'Turdidae', 2, 7, 'Thrushes.', 'Round heads', 176);
INSERT INTO Families VALUES (3, 2, 'Wood-Warblers', 'Parulidae', 3, 7, 'Warblers.', 'Small and bright', 178);
INSERT INTO Birds (ID, Name, sci_name, Data, family_ID, subFam_ID, sortOrder, song, LifeList) VALUES
    (1, 'Mallard', 'Anas platyrhynchos', 'A common duck.', 1, 0, 30, '', 0),
    (2, 'Wood Duck', 'Aix sponsa', '  Ornate duck of wooded swamps.  ', 1, 0, 20, NULL, 0),
    (3, 'Canada Goose', 'Branta canadensis', 'Large goose.', 1, 0, 10, 'canada.wav', 0),
    (4, 'American Robin', 'Turdus migratorius', 'Red-breasted thrush.', 2, 0, 60, 'robin.wav', 0),
    (5, 'Hermit Thrush', 'Catharus guttatus', 'Spotted thrush.', 2, 0, 50, '', 0),
    (6, 'Wood Thrush', 'Hylocichla mustelina', 'Flute-like song.', 2, 0, 40, '', 0),
    (7, 'Yellow Warbler', 'Setophaga petechia', 'All yellow.', 3, 0, 70, '', 0),
    (8, 'Ovenbird', 'Seiurus aurocapilla', 'Teacher song.', 3, 0, 80, '', 0),
    (9, 'Common Yellowthroat', 'Geothlypis trichas', 'Masked warbler.', 3, 0, 90, '', 0),
    (10, 'Kirtland''s Warbler', 'Setophaga kirtlandii', 'Rare jack-pine warbler.', 3, 0, 100, '', 0),
    (11, 'Palm Warbler', 'Setophaga palmarum', 'Tail-wagging warbler.', 3, 0, 110, '', 0),
    (12, 'Bay-breasted Warbler', 'Setophaga castanea', 'Chestnut sides.', 3, 0, 120, '', 0);
INSERT INTO Regions (Reg_ID, Name, Type) VALUES (1, 'North America', 'Region');
INSERT INTO Regions (Reg_ID, Name, Type) VALUES (2, 'Ontario', 'State');
INSERT INTO Regions (Reg_ID, Name, Type) VALUES (3, 'Canada', 'Country');
INSERT INTO Regions (Reg_ID, Name, Type) VALUES (4, 'Point Pelee', 'District');
INSERT INTO Checklists SELECT ID, 1, 'B', 'FS/' FROM Birds;
INSERT INTO Checklists SELECT ID, 2, 'B', 'CP/' FROM Birds WHERE ID <= 6;
INSERT INTO Checklists SELECT ID, 3, 'V', 'UW/' FROM Birds WHERE ID <= 4 OR ID = 7;
INSERT INTO Options VALUES ('North America', 1, 'Region', 'All Birds', ' Order By Birds.sortOrder', '', 0, 0, 12, 0);
)SQL"));
    // The taxonomy's codes, in a file that has them.
    bool hasCodes = false;
    for (auto info = db.openRecordset(QStringLiteral("PRAGMA table_info(Birds)"), db::RecordsetKind::Snapshot);
         !info.eof(); info.moveNext())
        hasCodes = hasCodes || info.field(QStringLiteral("name")).toString() == u"SpeciesCode";
    if (hasCodes) {
        const char* const codes[][2] = {{"mallar3", "MALL"}, {"wooduc", "WODU"}, {"cangoo", "CANG"},
                                        {"amerob", "AMRO"},  {"herthr", "HETH"}, {"woothr", "WOTH"},
                                        {"yelwar", "YEWA"},  {"ovenbi1", "OVEN"}, {"comyel", "COYE"},
                                        {"kirwar", "KIWA"},  {"palwar", "PAWA"}, {"babwar", "BBWA"}};
        for (int id = 1; id <= 12; ++id)
            db.execute(QStringLiteral("UPDATE Birds SET SpeciesCode = ?, AlphaCode = ? WHERE ID = ?"),
                       {QString::fromLatin1(codes[id - 1][0]), QString::fromLatin1(codes[id - 1][1]), id});
    }
    tx.commit();
}

} // namespace fl::test
