#pragma once

#include "lifelist/LifeList.h"

#include <QDate>
#include <QString>

namespace fl::db {
class Database;
class Recordset;
} // namespace fl::db

namespace fl {

// A sighting as the user records it.
struct Sighting {
    int birdId = 0;
    QDate date;
    QString type;
    SightingPlaces places{}; // Region, country, state, district; 0 where not given
    QString site;
    QString notes;
};

// What storing or deleting a sighting did.
struct SightingChange {
    int sightId = 0;             // the sighting stored (0 after a delete)
    int birdId = 0;              // its species
    int mark = 0;                // the species' life-list mark in the region now
    bool lifesumChanged = false; // a species joined or left the region's life list
};

// Stores a new sighting and keeps the life list of region `regId` (the current region) by its
// rule (LifeList.h): the species' mark and, when it joins the life list, lifesum in `options`
// (the open Options row). A place first given a sighting gets its checklist
// (regions/ChecklistCopy.h). One transaction (joining the caller's): all of it, or nothing.
// Whatever else is kept for a sighting (an outing, ...) is stored here too.
SightingChange addSighting(db::Database& db, db::Recordset& options, const Sighting& sighting, int regId);

// Stores `sighting` in place of sighting `sightId`, the same way, and marks it reviewed; raises
// db::DbError when there is no such sighting. When the sighting is given another species, the
// species it leaves has its mark derived again in the same step.
SightingChange changeSighting(db::Database& db, db::Recordset& options, int sightId, const Sighting& sighting,
                              int regId);

// Deletes sighting `sightId` and keeps the life list the same way (another sighting of the
// species may take its place); raises db::DbError when there is no such sighting.
SightingChange deleteSighting(db::Database& db, db::Recordset& options, int sightId, int regId);

// The stored sighting `sightId`; raises db::DbError when there is none.
Sighting readSighting(db::Database& db, int sightId);

} // namespace fl
