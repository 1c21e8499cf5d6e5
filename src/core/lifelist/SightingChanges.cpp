#include "lifelist/SightingChanges.h"

#include "db/Database.h"
#include "regions/ChecklistCopy.h"
#include "regions/RegionKinds.h"

#include <QStringList>

namespace fl {

namespace {

// The columns of a sighting's fields, in the order of values().
QStringList columns()
{
    QStringList c{QStringLiteral("Bird_ID"), QStringLiteral("Date"), QStringLiteral("Type")};
    for (const RegionKind& kind : regionKinds()) c << kind.sightingsColumn;
    c << QStringLiteral("site") << QStringLiteral("notes");
    return c;
}

QVariantList values(const Sighting& s)
{
    QVariantList v{s.birdId, s.date, s.type};
    for (int place : s.places) v << place;
    v << s.site << s.notes;
    return v;
}

int birdOf(db::Database& db, int sightId)
{
    const QVariant bird = db.scalar(QStringLiteral("SELECT Bird_ID FROM Sightings WHERE Sight_ID = ?"), {sightId});
    if (bird.isNull()) throw db::DbError(QStringLiteral("The sighting %1 is no longer stored.").arg(sightId));
    return bird.toInt();
}

SightingChange markOf(db::Database& db, db::Recordset& options, int sightId, int birdId, int regId)
{
    const SpeciesMark m = recomputeSpeciesMark(db, options, birdId, regId);
    return {sightId, birdId, m.mark, m.lifesumChanged};
}

} // namespace

SightingChange addSighting(db::Database& db, db::Recordset& options, const Sighting& sighting, int regId)
{
    db::Transaction tx(db);
    const QStringList c = columns();
    db.execute(QStringLiteral("INSERT INTO Sightings (%1) VALUES (%2)")
                   .arg(c.join(QStringLiteral(", ")), QStringList(c.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
               values(sighting));
    const int sightId = db.scalar(QStringLiteral("SELECT last_insert_rowid()")).toInt();
    provideChecklists(db, {sighting.places.begin(), sighting.places.end()}); // places first given a sighting
    const SightingChange change = markOf(db, options, sightId, sighting.birdId, regId);
    tx.commit();
    return change;
}

SightingChange changeSighting(db::Database& db, db::Recordset& options, int sightId, const Sighting& sighting,
                              int regId)
{
    db::Transaction tx(db);
    const int before = birdOf(db, sightId);
    QStringList set;
    for (const QString& column : columns()) set << column + QStringLiteral(" = ?");
    set << QStringLiteral("NeedsReview = 0"); // a sighting saved by its observer is reviewed
    db.execute(QStringLiteral("UPDATE Sightings SET %1 WHERE Sight_ID = ?").arg(set.join(QStringLiteral(", "))),
               values(sighting) << sightId);
    provideChecklists(db, {sighting.places.begin(), sighting.places.end()});
    const bool beforeMoved = before != sighting.birdId && recomputeSpeciesMark(db, options, before, regId).lifesumChanged;
    SightingChange change = markOf(db, options, sightId, sighting.birdId, regId);
    change.lifesumChanged = change.lifesumChanged || beforeMoved;
    tx.commit();
    return change;
}

SightingChange deleteSighting(db::Database& db, db::Recordset& options, int sightId, int regId)
{
    db::Transaction tx(db);
    const int birdId = birdOf(db, sightId);
    db.execute(QStringLiteral("DELETE FROM Sightings WHERE Sight_ID = ?"), {sightId});
    const SightingChange change = markOf(db, options, 0, birdId, regId);
    tx.commit();
    return change;
}

Sighting readSighting(db::Database& db, int sightId)
{
    auto rs = db.openRecordset(QStringLiteral("SELECT %1 FROM Sightings WHERE Sight_ID = ?").arg(columns().join(QStringLiteral(", "))),
                               db::RecordsetKind::Snapshot, {sightId});
    if (rs.eof()) throw db::DbError(QStringLiteral("The sighting %1 is no longer stored.").arg(sightId));
    Sighting s;
    s.birdId = rs.field(0).toInt();
    s.date = rs.field(1).toDate();
    s.type = rs.field(2).toString();
    for (int k = 0; k < 4; ++k) s.places[size_t(k)] = rs.field(3 + k).toInt();
    s.site = rs.field(7).toString();
    s.notes = rs.field(8).toString();
    return s;
}

} // namespace fl
