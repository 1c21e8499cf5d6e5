#include "schema/Schema.h"

#include "schema/CustomListTables.h"
#include "schema/ImportKeys.h"
#include "schema/TaxonomyTables.h"
#include "schema/OutingTables.h"
#include "schema/OtherRecordsTable.h"

#include "regions/CodedRegions.h"

#include "db/Database.h"

#include <iterator>

namespace fl {

namespace {

// Text columns compare without regard to letter case, as the program's queries expect.
// Dates are stored as ISO text (YYYY-MM-DD), so that ordering by date is right.
constexpr auto kSchema = R"SQL(
CREATE TABLE Orders (
    Order_ID  INTEGER PRIMARY KEY,
    Name      TEXT COLLATE NOCASE,
    sci_name  TEXT COLLATE NOCASE,
    SortOrder INTEGER,
    Caption   TEXT COLLATE NOCASE
);
CREATE TABLE Families (
    Fam_ID    INTEGER PRIMARY KEY,
    Order_ID  INTEGER REFERENCES Orders(Order_ID),
    Family    TEXT COLLATE NOCASE,
    sci_name  TEXT COLLATE NOCASE,
    Sortorder INTEGER,
    Type      INTEGER,
    Caption   TEXT COLLATE NOCASE,
    notes     TEXT COLLATE NOCASE,
    images    INTEGER DEFAULT 0
);
CREATE TABLE subFamilies (
    subFam_ID INTEGER PRIMARY KEY,
    Fam_ID    INTEGER REFERENCES Families(Fam_ID),
    Name      TEXT COLLATE NOCASE,
    sci_name  TEXT COLLATE NOCASE,
    Caption   TEXT COLLATE NOCASE,
    notes     TEXT COLLATE NOCASE,
    images    INTEGER DEFAULT 0
);
CREATE TABLE Birds (
    ID        INTEGER PRIMARY KEY,
    Name      TEXT COLLATE NOCASE UNIQUE,
    sci_name  TEXT COLLATE NOCASE,
    Data      TEXT COLLATE NOCASE,
    family_ID INTEGER,
    subFam_ID INTEGER DEFAULT 0,
    sortOrder INTEGER,
    song      TEXT COLLATE NOCASE,
    LifeList  INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE Regions (
    Reg_ID    INTEGER PRIMARY KEY AUTOINCREMENT,
    Name      TEXT COLLATE NOCASE,
    Type      TEXT COLLATE NOCASE
);
CREATE TABLE Checklists (
    Bird_ID   INTEGER NOT NULL REFERENCES Birds(ID) ON DELETE CASCADE,
    Reg_ID    INTEGER NOT NULL REFERENCES Regions(Reg_ID) ON DELETE CASCADE,
    Status    TEXT COLLATE NOCASE,
    scode     TEXT COLLATE NOCASE
);
CREATE TABLE Sightings (
    Sight_ID  INTEGER PRIMARY KEY AUTOINCREMENT,
    Bird_ID   INTEGER NOT NULL REFERENCES Birds(ID) ON DELETE CASCADE,
    Date      DATE,
    Type      TEXT COLLATE NOCASE,
    Region    INTEGER NOT NULL DEFAULT 0,
    country   INTEGER NOT NULL DEFAULT 0,
    state     INTEGER NOT NULL DEFAULT 0,
    district  INTEGER NOT NULL DEFAULT 0,
    site      TEXT COLLATE NOCASE,
    notes     TEXT COLLATE NOCASE
);
CREATE TABLE images (
    Bird_ID   INTEGER NOT NULL REFERENCES Birds(ID) ON DELETE CASCADE,
    File      TEXT COLLATE NOCASE,
    Title     TEXT COLLATE NOCASE
);
CREATE TABLE cdSong (
    Bird_ID   INTEGER NOT NULL REFERENCES Birds(ID) ON DELETE CASCADE,
    Track     INTEGER,
    start     REAL,
    duration  REAL
);
CREATE TABLE Links (
    Bird_ID   INTEGER NOT NULL REFERENCES Birds(ID) ON DELETE CASCADE,
    Title     TEXT COLLATE NOCASE,
    URL       TEXT COLLATE NOCASE
);
CREATE TABLE Links1 (
    Subject   TEXT COLLATE NOCASE,
    Title     TEXT COLLATE NOCASE,
    URL       TEXT COLLATE NOCASE
);
CREATE TABLE Options (
    regname    TEXT,
    Reg_ID     INTEGER,
    regType    TEXT,
    searchType TEXT,
    qrySort    TEXT,
    qryResult  TEXT,
    wincolor   BOOLEAN,
    SongCD     BOOLEAN,
    lifetotal  INTEGER,
    lifesum    INTEGER
);

-- The options table holds exactly one row.
CREATE TRIGGER OptionsSingleRowInsert BEFORE INSERT ON Options
    WHEN (SELECT count(*) FROM Options) >= 1
    BEGIN SELECT RAISE(ABORT, 'The Options table holds exactly one row.'); END;
CREATE TRIGGER OptionsSingleRowDelete BEFORE DELETE ON Options
    BEGIN SELECT RAISE(ABORT, 'The Options row cannot be deleted.'); END;

CREATE INDEX BirdsSortOrder ON Birds(sortOrder);
CREATE INDEX BirdsFamily ON Birds(family_ID, subFam_ID);
CREATE INDEX FamiliesOrder ON Families(Order_ID, Sortorder);
CREATE INDEX SubFamiliesFamily ON subFamilies(Fam_ID);
CREATE UNIQUE INDEX ChecklistsRegionBird ON Checklists(Reg_ID, Bird_ID);
CREATE INDEX ChecklistsBird ON Checklists(Bird_ID);
CREATE INDEX SightingsBirdDate ON Sightings(Bird_ID, Date);
CREATE INDEX SightingsRegion ON Sightings(Region, Bird_ID, Date);
CREATE INDEX SightingsCountry ON Sightings(country, Bird_ID, Date);
CREATE INDEX SightingsState ON Sightings(state, Bird_ID, Date);
CREATE INDEX SightingsDistrict ON Sightings(district, Bird_ID, Date);
CREATE INDEX ImagesBird ON images(Bird_ID, File);
CREATE INDEX CdSongBird ON cdSong(Bird_ID);
CREATE INDEX LinksBird ON Links(Bird_ID);
CREATE INDEX Links1Subject ON Links1(Subject);
CREATE INDEX RegionsType ON Regions(Type, Name);

CREATE VIEW GetClassName AS
    SELECT Families.Fam_ID AS Fam_ID, Families.Family AS Family, Orders.Name AS Name
    FROM Families INNER JOIN Orders ON Families.Order_ID = Orders.Order_ID;
CREATE VIEW GetRegions AS
    SELECT Name, Reg_ID FROM Regions WHERE Type = 'Region' ORDER BY Name;
CREATE VIEW GetCountries AS
    SELECT Name, Reg_ID FROM Regions WHERE Type = 'Country' ORDER BY Name;
CREATE VIEW GetStates AS
    SELECT Name, Reg_ID FROM Regions WHERE Type = 'State' ORDER BY Name;
CREATE VIEW GetDistricts AS
    SELECT Name, Reg_ID FROM Regions WHERE Type = 'District' ORDER BY Name;
)SQL";

// Version 1: stored sighting dates are real dates (ISO text, checked), and the fields of the
// Options row that start-up reads are never NULL. The engine adds such checks only by
// building the table anew, so both tables are copied; dates are brought to the ISO form
// and missing options get the values of a new database. (A day past the end of its month
// becomes the first days of the next: the engine's own reading of such a date.)
constexpr auto kVersion1 = R"SQL(
CREATE TEMP TABLE __sightingsSeq AS SELECT seq FROM sqlite_sequence WHERE name = 'Sightings';
CREATE TABLE Sightings_v1 (
    Sight_ID  INTEGER PRIMARY KEY AUTOINCREMENT,
    Bird_ID   INTEGER NOT NULL REFERENCES Birds(ID) ON DELETE CASCADE,
    Date      DATE NOT NULL CHECK (date(julianday(Date)) IS Date),
    Type      TEXT COLLATE NOCASE,
    Region    INTEGER NOT NULL DEFAULT 0,
    country   INTEGER NOT NULL DEFAULT 0,
    state     INTEGER NOT NULL DEFAULT 0,
    district  INTEGER NOT NULL DEFAULT 0,
    site      TEXT COLLATE NOCASE,
    notes     TEXT COLLATE NOCASE
);
INSERT INTO Sightings_v1 SELECT Sight_ID, Bird_ID, coalesce(date(julianday(Date)), Date), Type, Region, country, state,
    district, site, notes FROM Sightings;
DROP TABLE Sightings;
ALTER TABLE Sightings_v1 RENAME TO Sightings;
-- Numbers of deleted sightings are never given out again.
DELETE FROM sqlite_sequence WHERE name = 'Sightings';
INSERT INTO sqlite_sequence (name, seq) SELECT 'Sightings',
    max(coalesce((SELECT seq FROM temp.__sightingsSeq), 0), coalesce((SELECT max(Sight_ID) FROM Sightings), 0));
DROP TABLE temp.__sightingsSeq;
CREATE INDEX SightingsBirdDate ON Sightings(Bird_ID, Date);
CREATE INDEX SightingsRegion ON Sightings(Region, Bird_ID, Date);
CREATE INDEX SightingsCountry ON Sightings(country, Bird_ID, Date);
CREATE INDEX SightingsState ON Sightings(state, Bird_ID, Date);
CREATE INDEX SightingsDistrict ON Sightings(district, Bird_ID, Date);

CREATE TABLE Options_v1 (
    regname    TEXT NOT NULL,
    Reg_ID     INTEGER NOT NULL,
    regType    TEXT,
    searchType TEXT NOT NULL,
    qrySort    TEXT NOT NULL,
    qryResult  TEXT NOT NULL,
    wincolor   BOOLEAN NOT NULL DEFAULT 0,
    SongCD     BOOLEAN NOT NULL DEFAULT 0,
    lifetotal  INTEGER,
    lifesum    INTEGER
);
INSERT INTO Options_v1 SELECT
    coalesce(regname, (SELECT Name FROM Regions WHERE Regions.Reg_ID = Options.Reg_ID), 'World'),
    coalesce(Reg_ID, 0), regType, coalesce(searchType, 'All Birds'),
    coalesce(qrySort, ' Order By Birds.sortOrder'), coalesce(qryResult, ''), coalesce(wincolor, 0),
    coalesce(SongCD, 0), lifetotal, lifesum
    FROM Options;
DROP TABLE Options;
ALTER TABLE Options_v1 RENAME TO Options;
CREATE TRIGGER OptionsSingleRowInsert BEFORE INSERT ON Options
    WHEN (SELECT count(*) FROM Options) >= 1
    BEGIN SELECT RAISE(ABORT, 'The Options table holds exactly one row.'); END;
CREATE TRIGGER OptionsSingleRowDelete BEFORE DELETE ON Options
    BEGIN SELECT RAISE(ABORT, 'The Options row cannot be deleted.'); END;
)SQL";

void upgradeToVersion1(db::Database& db)
{
    const QVariant bad = db.scalar(QStringLiteral("SELECT Sight_ID FROM Sightings WHERE julianday(Date) IS NULL LIMIT 1"));
    if (!bad.isNull())
        throw db::DbError(QStringLiteral("Sighting %1 has no valid date; the database cannot be brought up to date.")
                              .arg(bad.toString()));
    db.executeScript(QString::fromUtf8(kVersion1));
}

// Step i brings a file of version i to version i + 1. A new step is one more line here.
constexpr UpgradeStep kUpgradeSteps[] = {
    upgradeToVersion1,
    createImportKeysTable, // version 2: the source keys of imported records
    addRegionCodes,        // version 3: eBird's region codes, every region of the three countries
    addTaxonomyTables,     // version 4: species codes, the taxonomy's forms, sightings to review
    addOutingTables,       // version 5: outings with their counts and effort
    createCustomListTables, // version 6: the user's custom lists of places
    createOtherRecordsTable, // version 7: an outing's records of no species of the database
};

constexpr int kCurrentVersion = int(std::size(kUpgradeSteps));

void setVersion(db::Database& db, int version)
{
    db.executeScript(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

} // namespace

int currentSchemaVersion() { return kCurrentVersion; }

int versionAfterStep(UpgradeStep step)
{
    for (int v = 0; v < kCurrentVersion; ++v)
        if (kUpgradeSteps[v] == step) return v + 1;
    return 0;
}

int schemaVersion(db::Database& db) { return db.scalar(QStringLiteral("PRAGMA user_version")).toInt(); }

void createSchema(db::Database& db, int version)
{
    if (version < 0 || version > kCurrentVersion)
        throw db::DbError(QStringLiteral("Unknown database version %1.").arg(version));
    db::Transaction tx(db);
    db.executeScript(QString::fromUtf8(kSchema));
    for (int v = 0; v < version; ++v) kUpgradeSteps[v](db);
    setVersion(db, version);
    tx.commit();
}

int checkSchemaVersion(db::Database& db)
{
    if (db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'Options'"))
            .toInt() == 0)
        throw db::DbError(db::notOurDatabaseMessage(db.path()));
    const int version = schemaVersion(db);
    if (version > kCurrentVersion || version < 0)
        throw db::DbError(QStringLiteral("%1 was written by a newer version of Featherlog (database version %2; "
                                         "this program knows up to %3).")
                              .arg(db.path()).arg(version).arg(kCurrentVersion));
    return version;
}

void upgradeSchema(db::Database& db)
{
    const int version = checkSchemaVersion(db);
    if (version == kCurrentVersion) return;
    db::Transaction tx(db);
    for (int v = version; v < kCurrentVersion; ++v) kUpgradeSteps[v](db);
    setVersion(db, kCurrentVersion);
    tx.commit();
}

} // namespace fl
