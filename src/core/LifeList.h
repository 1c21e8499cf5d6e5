#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace fl::db { class Database; }

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

// The same marks computed by one set-based statement (used to check and measure the rebuild).
void rebuildLifeListSetBased(db::Database& db, int regId, const QString& regType);

} // namespace fl
