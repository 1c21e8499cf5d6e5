#pragma once

namespace fl::db { class Database; }

namespace fl {

// Adds the table that remembers where imported sightings came from (for files made before
// it existed): ImportKeys(SourceKey, Sight_ID), one row per imported record, keyed by the
// record's source key (an eBird checklist's Submission ID and the species). Does nothing
// when the table is already there.
void createImportKeysTable(db::Database& db);

} // namespace fl
