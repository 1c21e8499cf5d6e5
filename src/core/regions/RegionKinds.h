#pragma once

#include <QString>
#include <array>

namespace fl {

// A kind of checklist region: how the windows name it, the type word stored with a region
// choice, the saved query that lists its regions, and the Sightings column that holds a
// sighting's region of that kind.
struct RegionKind {
    QString caption;         // "Province/State"
    QString type;            // "State"
    QString savedQuery;      // "GetStates"
    QString sightingsColumn; // "state"
};

// The four kinds, from the widest to the narrowest.
const std::array<RegionKind, 4>& regionKinds();

// The kind whose type word is `type` (compared ignoring case), or null.
const RegionKind* regionKindOfType(const QString& type);

} // namespace fl
