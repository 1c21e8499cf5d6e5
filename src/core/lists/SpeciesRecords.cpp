#include "lists/SpeciesRecords.h"

#include "db/Connection.h"
#include "db/Database.h"

namespace fl {

QList<QDate> sightingDates(db::Database& db, int birdId, int regId)
{
    db::Connection& conn = *db.connection();
    conn.flushPending();
    db::Statement& st = regId == 0
        ? conn.cached(QStringLiteral("SELECT Date FROM Sightings WHERE Bird_ID = ?1 ORDER BY Date"))
        : conn.cached(QStringLiteral("SELECT Date FROM Sightings WHERE Bird_ID = ?1 AND (Region = ?2 OR country = ?2 "
                                     "OR state = ?2 OR district = ?2) ORDER BY Date"));
    st.reset();
    st.bind(regId == 0 ? QVariantList{birdId} : QVariantList{birdId, regId});
    QList<QDate> dates;
    while (st.step()) dates << st.value(0).toDate();
    st.reset();
    return dates;
}

} // namespace fl
