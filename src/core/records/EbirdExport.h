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
// Texts that a spreadsheet would run as formulas are neutralised (see neutralised()).
// `regId` 0 writes every sighting; otherwise only those that count for that region (the life
// list's rule, regions/RegionRule.h).
// The file is written beside its name and put in place only when it is complete; the
// database and the program's own files are refused (see refusedTarget()). Returns the number of
// sightings written; raises std::runtime_error (or db::DbError) on failure.
int exportSightings(db::Database& db, const QString& path, int regId = 0);

// Splits notes into a count (the first line "x<digits>", at most 1,000,000,000, or empty) and
// the rest.
void splitCount(const QString& notes, QString& count, QString& rest);

// The largest count of birds a record may give.
inline constexpr qint64 kMaxCount = 1000000000;

// One CSV field, quoted when it has to be.
QString csvField(const QString& value);

// A text that a spreadsheet would take for a formula (one that starts with =, +, -, @, a tab
// or a carriage return, perhaps after apostrophes) gets an apostrophe in front, the usual
// way to keep it text. unneutralised() takes that apostrophe off again, so that a text
// exported and imported again is the text it was.
QString neutralised(const QString& text);
QString unneutralised(const QString& text);

} // namespace fl
