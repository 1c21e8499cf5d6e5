#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace fl::db {
class Database;
class Recordset;
} // namespace fl::db

namespace fl {

// What choosing a region found: its species names in list order, how many there are, and
// how many of them have been sighted in the region.
struct RegionList {
    QStringList names;
    int total = 0;
    int sighted = 0;
};

// Rebuilds the life-list marks of every species for a region: each species of the region's
// checklist is marked with its earliest sighting in the region (by date; the lower sighting
// number on the same date), every other species with 0. `regType` is the region-type word
// naming the Sightings column ("Region", "Country", "State", "District").
// A region whose checklist is empty changes nothing and gives no result. The marks change in
// one transaction: all of them, or none.
std::optional<RegionList> rebuildLifeList(db::Database& db, int regId, const QString& regType, const QString& qrySort);

// What recomputing one species' mark did.
struct SpeciesMark {
    int mark = 0;                // the species' mark now: 0 or the Sight_ID of its life-list sighting
    bool lifesumChanged = false; // the species joined or left the life list, so lifesum moved by one
};

// The life-list sighting of one species in region `regId`, as the rebuild would choose it:
// its earliest sighting by date (the lower sighting number on the same date) with the region
// in any of its four places; with `regId` 0 (World) every sighting counts. 0 when there is none.
int earliestSightingInRegion(db::Database& db, int birdId, int regId);

// Derives the mark of the species in `bird` (its Birds row, fields ID and LifeList) from its
// sightings in region `regId` after one of them was added, changed or removed, and writes it
// through `bird`. When the species joins or leaves the life list, `options` (the Options row)
// gets lifesum one up or one down (never below 0). Run it inside the transaction of the change.
SpeciesMark recomputeSpeciesMark(db::Database& db, db::Recordset& bird, db::Recordset& options, int regId);

// The whole list of species ("World") in the order of `qrySort`: every species is marked
// with its earliest sighting anywhere (by date; the lower sighting number on the same date),
// or 0 without one. Joins the caller's transaction when there is one.
RegionList rebuildWorldLifeList(db::Database& db, const QString& qrySort);

// The marks of the rebuild alone: one set-based statement (no checks, no transaction of its own).
void rebuildLifeListSetBased(db::Database& db, int regId, const QString& regType);

} // namespace fl
