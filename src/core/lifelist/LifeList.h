#pragma once

#include "regions/RegionRule.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace fl::db {
class Database;
class Recordset;
} // namespace fl::db

namespace fl {

// The life list of a region is derived data: a species' mark (Birds.LifeList) is the id of its
// life-list sighting in the current region, 0 when it has none, and the Options row counts the
// region's species (lifetotal) and those with a mark (lifesum). Every change keeps them as
// this rule derives them:
//   a species on the region's checklist (every species for "World", region 0) is marked with
//   its earliest sighting that counts for the region (RegionRule.h), by date, the lower
//   sighting number on the same date; every other species has the mark 0.

// What choosing a region found: its species names in list order, how many there are, and
// how many of them have been sighted in the region.
struct RegionList {
    QStringList names;
    int total = 0;
    int sighted = 0;
};

// Rebuilds the life-list marks of every species for region `regId` (not 0) by the rule above.
// A region whose checklist is empty changes nothing and gives no result. The marks change in
// one transaction: all of them, or none.
std::optional<RegionList> rebuildLifeList(db::Database& db, int regId, const QString& qrySort);

// The whole list of species ("World") in the order of `qrySort`, every species marked by the
// rule. Joins the caller's transaction when there is one.
RegionList rebuildWorldLifeList(db::Database& db, const QString& qrySort);

// The marks of the rebuild alone: one set-based statement (no checks, no transaction of its own).
void rebuildLifeListSetBased(db::Database& db, int regId);

// The earliest sighting of a species that counts for region `regId`, by the rule; 0 when there
// is none. The species' checklist plays no part here.
int earliestSightingInRegion(db::Database& db, int birdId, int regId);

// The mark species `birdId` has by the rule in region `regId`.
int lifeListMark(db::Database& db, int birdId, int regId);

// What deriving one species' mark did.
struct SpeciesMark {
    int mark = 0;                // the species' mark now: 0 or the Sight_ID of its life-list sighting
    bool lifesumChanged = false; // the species joined or left the life list, so lifesum moved by one
};

// Derives the mark of species `birdId` in region `regId` after one of its sightings was added,
// changed or removed, and stores it. When the species joins or leaves the life list, `options`
// (the Options row) gets lifesum one up or one down (never below 0). Run it inside the
// transaction of the change.
SpeciesMark recomputeSpeciesMark(db::Database& db, db::Recordset& options, int birdId, int regId);

} // namespace fl
