#pragma once

#include "outings/Outing.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace fl::db {
class Database;
class Recordset;
} // namespace fl::db

namespace fl {

// The outing `outingId` with its species in checklist order. Raises db::DbError when there
// is no such outing.
Outing loadOuting(db::Database& db, int outingId);

// How many sightings the outing holds.
int outingSightingCount(db::Database& db, int outingId);
// The outing's records of no species of the database (a spuh, a hybrid, a form the database
// lacks), each as "name: count" ("X" for no count), in taxonomic order.
QStringList outingOtherRecords(db::Database& db, int outingId);

// What saving or deleting an outing did to the life list of the scope's region.
struct OutingChange {
    int outingId = 0;
    int lifesum = 0; // species of the region's list on its life list now
};

// Stores the outing and its species in one transaction (joining the caller's): a new outing
// gets its row and one sighting per species; a stored one gets its row changed, its kept
// species' sightings changed, the species taken off deleted and the new ones added. Each place
// given the outing gets its checklist when it first needs one. The life-list marks of every
// species the outing had or has are derived again for the scope's region, and `options` (the
// Options row) gets the region's lifesum. On success the outing and its entries carry their
// ids; on failure nothing is stored and they are as they were. Raises db::DbError, also for an
// outing that outingProblem() finds fault with.
OutingChange saveOuting(db::Database& db, Outing& outing, const LifeListScope& scope, db::Recordset& options);

// Deletes the outing and its sightings in one transaction, and derives the marks of its species
// and lifesum again as saveOuting does.
OutingChange deleteOuting(db::Database& db, int outingId, const LifeListScope& scope, db::Recordset& options);

// Derives the life-list marks of `birdIds` for the scope's region from their sightings (the
// earliest that counts for the region by countsForRegionSql, by date, the lower sighting number
// on the same date, for a species of the region's list; 0 otherwise) in one statement, and
// returns the region's lifesum.
int updateLifeListMarks(db::Database& db, const LifeListScope& scope, const QList<int>& birdIds);

// Whether a sighting at these places (Region, country, state, district) counts for the life
// list of the scope's region: the rule of regions/RegionRule.h.
bool countsForRegion(const int (&places)[4], const LifeListScope& scope);

// The sites of the latest outings and sightings, the most recent first, each once.
QStringList recentSites(db::Database& db, int limit = 15);
// The places (Region, country, state, district) of the latest outing or sighting at `site`;
// false when the site was never used.
bool placesOfSite(db::Database& db, const QString& site, int (&places)[4]);

} // namespace fl
