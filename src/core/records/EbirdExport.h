#pragma once

#include <QString>

namespace fl::db { class Database; }

namespace fl {

// Writes sightings to `path` as CSV in eBird's record format (the layout eBird takes for
// uploading records: Common Name, Genus, Species, Number, Species Comments, Location Name,
// Latitude, Longitude, Date (MM/DD/YYYY), Start Time, State/Province, Country Code, Protocol,
// Number of Observers, Duration, All Observations Reported, Effort Distance Miles, Effort
// Area Acres, Checklist Comments), one line per sighting, oldest first, without a header row.
// A count kept in the notes ("x3" on their first line) becomes the Number, otherwise "X".
// The county, the region of type "Region" and the Type, which the format has no column
// for, go into the checklist comments as a tag that the import reads back.
// `regId` 0 writes every sighting; otherwise only those whose `regType` column is `regId`.
// The file is replaced only when it has been written completely. Returns the number of
// sightings written; raises std::runtime_error (or db::DbError) on failure.
int exportSightings(db::Database& db, const QString& path, int regId = 0, const QString& regType = {});

// Splits notes into a count (the first line "x<digits>", or empty) and the rest.
void splitCount(const QString& notes, QString& count, QString& rest);

// One CSV field, quoted when it has to be.
QString csvField(const QString& value);

} // namespace fl
