#pragma once

#include <QString>

namespace fl {

// eBird's record format has no column for a sighting's county, its region of type "Region"
// or what was seen ("Male"). Earlier versions of the export wrote them into the checklist
// comments as a tag,
//   Featherlog: Region=North America; Country=Canada; State=Ontario; District=Point Pelee; Type=Male
// (place names as the regions are named). The export no longer does (the checklist comments
// go to eBird as they are); the import still reads the tag of such older files.
struct PlaceTag {
    bool present = false;
    QString region, country, state, district, type;
};

QString formatPlaceTag(const PlaceTag& tag);
// The tag when `text` is one (leading and trailing blanks ignored); otherwise not present.
PlaceTag parsePlaceTag(const QString& text);

} // namespace fl
