#include "schema/OutingTables.h"

#include "db/Database.h"

namespace fl {

namespace {

// Bounds that only a typing mistake goes past: a day's minutes, a continent's distances.
constexpr auto kOutingTables = R"SQL(
CREATE TABLE Outings (
    Outing_ID    INTEGER PRIMARY KEY AUTOINCREMENT,
    Date         DATE NOT NULL CHECK (date(julianday(Date)) IS Date),
    StartTime    TEXT CHECK (StartTime IS NULL OR (StartTime GLOB '[0-2][0-9]:[0-5][0-9]' AND StartTime < '24:00')),
    Duration     INTEGER CHECK (Duration IS NULL OR (typeof(Duration) = 'integer' AND Duration BETWEEN 1 AND 1440)),
    Distance     REAL CHECK (Distance IS NULL OR (typeof(Distance) IN ('integer', 'real') AND Distance BETWEEN 0 AND 10000)),
    Area         REAL CHECK (Area IS NULL OR (typeof(Area) IN ('integer', 'real') AND Area > 0 AND Area <= 1000000)),
    Observers    INTEGER CHECK (Observers IS NULL OR (typeof(Observers) = 'integer' AND Observers BETWEEN 1 AND 1000)),
    Protocol     TEXT NOT NULL DEFAULT 'Traveling'
                 CHECK (length(Protocol) BETWEEN 1 AND 100 AND Protocol = trim(Protocol)),
    AllReported  BOOLEAN NOT NULL DEFAULT 1 CHECK (AllReported IN (0, 1)),
    site         TEXT COLLATE NOCASE,
    Latitude     REAL CHECK (Latitude IS NULL OR (typeof(Latitude) IN ('integer', 'real') AND Latitude BETWEEN -90 AND 90)),
    Longitude    REAL CHECK (Longitude IS NULL OR (typeof(Longitude) IN ('integer', 'real')
                                                   AND Longitude BETWEEN -180 AND 180)),
    Region       INTEGER NOT NULL DEFAULT 0,
    country      INTEGER NOT NULL DEFAULT 0,
    state        INTEGER NOT NULL DEFAULT 0,
    district     INTEGER NOT NULL DEFAULT 0,
    StateCode    TEXT CHECK (StateCode IS NULL OR (StateCode GLOB '[A-Z][A-Z]-[A-Z0-9]*' AND StateCode NOT GLOB '*-*-*')),
    CountyCode   TEXT CHECK (CountyCode IS NULL OR (CountyCode GLOB '[A-Z][A-Z]-[A-Z0-9]*-[A-Z0-9]*'
                                                    AND CountyCode NOT GLOB '*-*-*-*')),
    comments     TEXT COLLATE NOCASE,
    SubmissionID TEXT UNIQUE CHECK (SubmissionID IS NULL OR (length(SubmissionID) BETWEEN 1 AND 40
                                                            AND SubmissionID = trim(SubmissionID))),
    CHECK ((Latitude IS NULL) = (Longitude IS NULL)),
    CHECK (CountyCode IS NULL OR StateCode IS NULL OR substr(CountyCode, 1, length(StateCode) + 1) = StateCode || '-')
);
CREATE INDEX OutingsDate ON Outings(Date);
CREATE INDEX OutingsSite ON Outings(site);

ALTER TABLE Sightings ADD COLUMN Outing_ID INTEGER REFERENCES Outings(Outing_ID);
ALTER TABLE Sightings ADD COLUMN Count INTEGER
    CHECK (Count IS NULL OR (typeof(Count) = 'integer' AND Count BETWEEN 1 AND 1000000000));
ALTER TABLE Sightings ADD COLUMN BreedingCode TEXT
    CHECK (BreedingCode IS NULL OR (length(BreedingCode) BETWEEN 1 AND 64 AND BreedingCode = trim(BreedingCode)));
ALTER TABLE Sightings ADD COLUMN MediaNumbers TEXT
    CHECK (MediaNumbers IS NULL OR (MediaNumbers GLOB '*[0-9]*' AND MediaNumbers NOT GLOB '*[^0-9 ]*'));
CREATE UNIQUE INDEX SightingsOuting ON Sightings(Outing_ID, Bird_ID) WHERE Outing_ID IS NOT NULL;
-- A year's sightings, for the year lists; a species' sightings anywhere.
CREATE INDEX SightingsDate ON Sightings(Date);
CREATE INDEX SightingsBird ON Sightings(Bird_ID, Date);

-- The sightings of an outing are on its date, at its site and places.
CREATE TRIGGER SightingsOfAnOutingInsert BEFORE INSERT ON Sightings
    WHEN NEW.Outing_ID IS NOT NULL AND NEW.Date IS NOT (SELECT Date FROM Outings WHERE Outing_ID = NEW.Outing_ID)
    BEGIN SELECT RAISE(ABORT, 'A sighting of an outing has the date of the outing.'); END;
CREATE TRIGGER SightingsOfAnOutingUpdate BEFORE UPDATE OF Date, Outing_ID ON Sightings
    WHEN NEW.Outing_ID IS NOT NULL AND NEW.Date IS NOT (SELECT Date FROM Outings WHERE Outing_ID = NEW.Outing_ID)
    BEGIN SELECT RAISE(ABORT, 'A sighting of an outing has the date of the outing.'); END;
CREATE TRIGGER OutingsMoveTheirSightings AFTER UPDATE OF Date, site, Region, country, state, district ON Outings
    BEGIN
        UPDATE Sightings SET Date = NEW.Date, site = NEW.site, Region = NEW.Region, country = NEW.country,
                             state = NEW.state, district = NEW.district
        WHERE Outing_ID = NEW.Outing_ID;
    END;
-- A deleted region leaves the outings in it without that place, as it leaves their sightings.
CREATE TRIGGER OutingsLoseADeletedRegion AFTER DELETE ON Regions
    BEGIN
        UPDATE Outings SET Region = 0 WHERE Region = OLD.Reg_ID;
        UPDATE Outings SET country = 0 WHERE country = OLD.Reg_ID;
        UPDATE Outings SET state = 0 WHERE state = OLD.Reg_ID;
        UPDATE Outings SET district = 0 WHERE district = OLD.Reg_ID;
    END;
)SQL";

} // namespace

void addOutingTables(db::Database& db) { db.executeScript(QString::fromUtf8(kOutingTables)); }

} // namespace fl
