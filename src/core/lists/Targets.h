#pragma once

#include "status/Seasons.h"

#include <QString>
#include <vector>

namespace fl::db { class Database; }

namespace fl {

// A species on a region's checklist that the user has not yet seen there.
struct Target {
    int birdId = 0;
    QString name;
    QString sciName;
    QString status; // the checklist's status letter
    QString scode;  // and detail code
    codes::Commonness commonness; // in the chosen month, or over the year
};

// The targets of region `regId`: the species of its checklist with no sighting in the region
// (one whose four places do not name it; a sighting elsewhere does not count), extinct species
// (status E) left out, the most common first (codes::commonness(), in `month` 1 to 12, or
// over the year for 0), ties in checklist order. With a month, a species whose detail code
// says it is absent then is left out; one without a detail code stays, placed by its status.
// An empty result for World (regId 0), which has no checklist.
std::vector<Target> regionTargets(db::Database& db, int regId, int month = 0);

} // namespace fl
