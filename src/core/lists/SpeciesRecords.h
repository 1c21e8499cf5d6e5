#pragma once

#include <QDate>
#include <QList>

namespace fl::db { class Database; }

namespace fl {

// The dates of the sightings of species `birdId` in region `regId` (a sighting whose four
// places name it; every sighting for 0, the whole list), oldest first.
QList<QDate> sightingDates(db::Database& db, int birdId, int regId);

} // namespace fl
