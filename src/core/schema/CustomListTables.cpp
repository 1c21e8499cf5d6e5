#include "schema/CustomListTables.h"

#include "db/Database.h"

namespace fl {

void createCustomListTables(db::Database& db)
{
    db.executeScript(QStringLiteral(R"SQL(
CREATE TABLE CustomLists (
    List_ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Name    TEXT NOT NULL COLLATE NOCASE UNIQUE CHECK (trim(Name) <> '')
);
CREATE TABLE CustomListPlaces (
    List_ID INTEGER NOT NULL REFERENCES CustomLists(List_ID) ON DELETE CASCADE,
    Reg_ID  INTEGER REFERENCES Regions(Reg_ID) ON DELETE CASCADE,
    Site    TEXT COLLATE NOCASE CHECK (Site IS NULL OR trim(Site) <> ''),
    CHECK ((Reg_ID IS NULL) <> (Site IS NULL))
);
CREATE UNIQUE INDEX CustomListPlacesRegion ON CustomListPlaces(List_ID, Reg_ID) WHERE Reg_ID IS NOT NULL;
CREATE UNIQUE INDEX CustomListPlacesSite ON CustomListPlaces(List_ID, Site) WHERE Site IS NOT NULL;
CREATE INDEX CustomListPlacesByRegion ON CustomListPlaces(Reg_ID) WHERE Reg_ID IS NOT NULL;
)SQL"));
}

} // namespace fl
