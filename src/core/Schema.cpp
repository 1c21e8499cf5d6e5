#include "Schema.h"

#include "db/Database.h"

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

} // namespace

void createSchema(db::Database& db)
{
    db::Transaction tx(db);
    db.executeScript(QString::fromUtf8(kSchema));
    tx.commit();
}

} // namespace fl
