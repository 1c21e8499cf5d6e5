#pragma once

#include <QString>
#include <array>

namespace fl {

// The four places of a sighting, in the order of the region kinds: its Region, country,
// state and district (Sightings columns of the same names), each a region's id or 0 when
// that place is not given.
using SightingPlaces = std::array<int, 4>;

// The one rule for whether a sighting counts for a region, and so for its life list: for
// the whole list of species ("World", region 0) every sighting counts; for a region, a
// sighting counts when one of its four places is that region. Regions are told apart by
// their ids, never by their names, which two regions may share.
bool countsForRegion(const SightingPlaces& places, int regId);

// The same rule as an SQL condition on the Sightings columns, with the region's id given by
// the parameter `param` ("?2"); `table` qualifies the columns ("S" gives "S.Region ...").
QString countsForRegionSql(const QString& param, const QString& table = {});

} // namespace fl
