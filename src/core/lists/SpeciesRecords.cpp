#include "lists/SpeciesRecords.h"

#include "db/Connection.h"
#include "db/Database.h"

namespace fl {

QList<QDate> sightingDates(db::Database& db, int birdId, int regId)
{
    db::Connection& conn = *db.connection();
    conn.flushPending();
    db::CachedStatement st = regId == 0
        ? conn.cached(QStringLiteral("SELECT Date FROM Sightings WHERE Bird_ID = ?1 ORDER BY Date"))
        // The region is tested on the species' rows only: an OR of the place columns would
        // let the engine read every sighting of a wide region through their indexes.
        : conn.cached(QStringLiteral("SELECT Date FROM Sightings WHERE Bird_ID = ?1 "
                                     "AND ?2 IN (Region, country, state, district) ORDER BY Date"));
    st->bind(regId == 0 ? QVariantList{birdId} : QVariantList{birdId, regId});
    QList<QDate> dates;
    while (st->step()) dates << st->value(0).toDate();
    return dates;
}

} // namespace fl
