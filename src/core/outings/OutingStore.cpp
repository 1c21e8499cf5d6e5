#include "outings/OutingStore.h"

#include "outings/OutingRules.h"
#include "regions/RegionRule.h"
#include "regions/ChecklistCopy.h"
#include "regions/RegionKinds.h"
#include "state/OptionsRow.h"
#include "db/Connection.h"
#include "db/Database.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace fl {

namespace {

QVariant orNull(const QString& text)
{
    const QString t = text.trimmed();
    return t.isEmpty() ? QVariant() : QVariant(t);
}

template <class T>
QVariant orNull(const std::optional<T>& value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

template <class T>
std::optional<T> optionalOf(const QVariant& v)
{
    if (v.isNull()) return std::nullopt;
    return v.value<T>();
}

// The values of an Outings row, in the order of kOutingColumns.
constexpr auto kOutingColumns = "Date, StartTime, Duration, Distance, Area, Observers, Protocol, AllReported, site, "
                                "Latitude, Longitude, Region, country, state, district, StateCode, CountyCode, "
                                "comments, SubmissionID";

QVariantList outingValues(const Outing& o)
{
    return {o.date,
            o.startTime.isValid() ? QVariant(o.startTime.toString(QStringLiteral("HH:mm"))) : QVariant(),
            orNull(o.duration),
            orNull(o.distance),
            orNull(o.area),
            orNull(o.observers),
            o.protocol.trimmed(),
            o.allReported,
            o.site.trimmed(),
            orNull(o.latitude),
            orNull(o.longitude),
            o.places[0],
            o.places[1],
            o.places[2],
            o.places[3],
            orNull(o.stateCode.toUpper()),
            orNull(o.countyCode.toUpper()),
            o.comments,
            orNull(o.submissionId)};
}

// A list of species ids for an IN clause: numbers only, never text.
QString idList(const QList<int>& ids)
{
    QStringList parts;
    parts.reserve(ids.size());
    for (int id : ids) parts << QString::number(id);
    return parts.join(u',');
}

void writeLifesum(db::Recordset& options, int lifesum)
{
    OptionsChange change;
    change.lifesum = lifesum;
    writeOptionsRow(options, change);
}

} // namespace

Outing loadOuting(db::Database& db, int outingId)
{
    auto row = db.openRecordset(QStringLiteral("SELECT Outing_ID, %1 FROM Outings WHERE Outing_ID = ?")
                                    .arg(QString::fromLatin1(kOutingColumns)),
                                db::RecordsetKind::Snapshot, {outingId});
    if (row.eof()) throw db::DbError(QStringLiteral("Outing %1 is not in the database.").arg(outingId));
    Outing o;
    o.id = outingId;
    o.date = row.field(QStringLiteral("Date")).toDate();
    o.startTime = QTime::fromString(row.field(QStringLiteral("StartTime")).toString(), QStringLiteral("HH:mm"));
    o.duration = optionalOf<int>(row.field(QStringLiteral("Duration")));
    o.distance = optionalOf<double>(row.field(QStringLiteral("Distance")));
    o.area = optionalOf<double>(row.field(QStringLiteral("Area")));
    o.observers = optionalOf<int>(row.field(QStringLiteral("Observers")));
    o.protocol = row.field(QStringLiteral("Protocol")).toString();
    o.allReported = row.field(QStringLiteral("AllReported")).toBool();
    o.site = row.field(QStringLiteral("site")).toString();
    o.latitude = optionalOf<double>(row.field(QStringLiteral("Latitude")));
    o.longitude = optionalOf<double>(row.field(QStringLiteral("Longitude")));
    for (int k = 0; k < 4; ++k) o.places[k] = row.field(regionKinds()[size_t(k)].sightingsColumn).toInt();
    o.stateCode = row.field(QStringLiteral("StateCode")).toString();
    o.countyCode = row.field(QStringLiteral("CountyCode")).toString();
    o.comments = row.field(QStringLiteral("comments")).toString();
    o.submissionId = row.field(QStringLiteral("SubmissionID")).toString();

    auto species = db.openRecordset(
        QStringLiteral("SELECT Sightings.Sight_ID, Sightings.Bird_ID, Sightings.Count, Sightings.notes, "
                       "Sightings.BreedingCode, Sightings.MediaNumbers FROM Sightings INNER JOIN Birds "
                       "ON Birds.ID = Sightings.Bird_ID WHERE Sightings.Outing_ID = ? ORDER BY Birds.sortOrder, Birds.ID"),
        db::RecordsetKind::Snapshot, {outingId});
    for (; !species.eof(); species.moveNext()) {
        OutingEntry e;
        e.sightId = species.field(0).toInt();
        e.birdId = species.field(1).toInt();
        e.count = optionalOf<qint64>(species.field(2));
        e.comments = species.field(3).toString();
        e.breedingCode = species.field(4).toString();
        e.mediaNumbers = species.field(5).toString();
        o.entries.push_back(std::move(e));
    }
    return o;
}

int outingSightingCount(db::Database& db, int outingId)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM Sightings WHERE Outing_ID = ?"), {outingId}).toInt();
}

QStringList outingOtherRecords(db::Database& db, int outingId)
{
    QStringList records;
    for (auto rs = db.openRecordset(QStringLiteral("SELECT coalesce(nullif(trim(Name), ''), sci_name), Count FROM OtherRecords "
                                                   "WHERE Outing_ID = ? ORDER BY TaxonOrder IS NULL, TaxonOrder, Other_ID"),
                                    db::RecordsetKind::Snapshot, {outingId});
         !rs.eof(); rs.moveNext()) {
        const QVariant count = rs.field(1);
        records << QStringLiteral("%1: %2").arg(rs.field(0).toString(), count.isNull() ? QStringLiteral("X") : count.toString());
    }
    return records;
}

OutingChange saveOuting(db::Database& db, Outing& outing, const LifeListScope& scope, db::Recordset& options)
{
    if (const QString problem = outingProblem(outing); !problem.isEmpty()) throw db::DbError(problem);
    db::Transaction tx(db);
    db::Connection& conn = *db.connection();
    conn.flushPending();
    const QString columns = QString::fromLatin1(kOutingColumns);
    QVariantList values = outingValues(outing);

    int id = outing.id;
    QHash<int, int> stored; // species -> its sighting, of the outing as stored
    QList<int> affected;
    if (id == 0) {
        QStringList marks;
        for (qsizetype i = 0; i < values.size(); ++i) marks << QStringLiteral("?");
        db.execute(QStringLiteral("INSERT INTO Outings (%1) VALUES (%2)").arg(columns, marks.join(u',')), values);
        id = int(conn.lastInsertRowid());
    } else {
        for (auto rs = db.openRecordset(QStringLiteral("SELECT Bird_ID, Sight_ID FROM Sightings WHERE Outing_ID = ?"),
                                        db::RecordsetKind::Snapshot, {id});
             !rs.eof(); rs.moveNext())
            stored.insert(rs.field(0).toInt(), rs.field(1).toInt());
        affected = stored.keys();
        QStringList assignments;
        for (const QString& c : columns.split(QStringLiteral(", "))) assignments << c + QStringLiteral(" = ?");
        values << id;
        // Its sightings follow the outing's date, site and places (a trigger moves them).
        if (db.execute(QStringLiteral("UPDATE Outings SET %1 WHERE Outing_ID = ?").arg(assignments.join(u',')), values)
            != 1)
            throw db::DbError(QStringLiteral("Outing %1 is no longer in the database.").arg(id));
    }

    db::CachedStatement insert = conn.cached(QStringLiteral(
        "INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes, Outing_ID, Count, "
        "BreedingCode, MediaNumbers) VALUES (?, ?, '', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    db::CachedStatement change = conn.cached(QStringLiteral(
        "UPDATE Sightings SET Count = ?, notes = ?, BreedingCode = ?, MediaNumbers = ? WHERE Sight_ID = ?"));
    std::vector<int> sightIds;
    sightIds.reserve(outing.entries.size());
    const QString site = outing.site.trimmed();
    for (const OutingEntry& e : outing.entries) {
        const QVariant count = orNull(e.count);
        if (auto it = stored.find(e.birdId); it != stored.end()) {
            change->bind({count, e.comments, orNull(e.breedingCode), orNull(e.mediaNumbers), it.value()});
            change->step();
            change->reset();
            sightIds.push_back(it.value());
            stored.erase(it);
        } else {
            insert->bind({e.birdId, outing.date, outing.places[0], outing.places[1], outing.places[2], outing.places[3],
                         site, e.comments, id, count, orNull(e.breedingCode), orNull(e.mediaNumbers)});
            insert->step();
            insert->reset();
            sightIds.push_back(int(conn.lastInsertRowid()));
            affected << e.birdId;
        }
    }
    // The species taken off the outing.
    if (!stored.isEmpty()) {
        db::CachedStatement remove = conn.cached(QStringLiteral("DELETE FROM Sightings WHERE Sight_ID = ?"));
        for (int sightId : std::as_const(stored)) {
            remove->bind({sightId});
            remove->step();
            remove->reset();
        }
    }
    provideChecklists(db, {outing.places[0], outing.places[1], outing.places[2], outing.places[3]});

    OutingChange result;
    result.outingId = id;
    result.lifesum = updateLifeListMarks(db, scope, affected);
    writeLifesum(options, result.lifesum);
    tx.commit();

    outing.id = id;
    for (size_t i = 0; i < sightIds.size(); ++i) outing.entries[i].sightId = sightIds[i];
    return result;
}

OutingChange deleteOuting(db::Database& db, int outingId, const LifeListScope& scope, db::Recordset& options)
{
    db::Transaction tx(db);
    QList<int> species;
    for (auto rs = db.openRecordset(QStringLiteral("SELECT Bird_ID FROM Sightings WHERE Outing_ID = ?"),
                                    db::RecordsetKind::Snapshot, {outingId});
         !rs.eof(); rs.moveNext())
        species << rs.field(0).toInt();
    db.execute(QStringLiteral("DELETE FROM Sightings WHERE Outing_ID = ?"), {outingId});
    if (db.execute(QStringLiteral("DELETE FROM Outings WHERE Outing_ID = ?"), {outingId}) != 1)
        throw db::DbError(QStringLiteral("Outing %1 is no longer in the database.").arg(outingId));
    OutingChange result;
    result.lifesum = updateLifeListMarks(db, scope, species);
    writeLifesum(options, result.lifesum);
    tx.commit();
    return result;
}

int updateLifeListMarks(db::Database& db, const LifeListScope& scope, const QList<int>& birdIds)
{
    QList<int> ids = birdIds;
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    if (scope.regId == 0) {
        if (!ids.isEmpty())
            db.execute(QStringLiteral("UPDATE Birds SET LifeList = coalesce((SELECT Sight_ID FROM Sightings "
                                      "WHERE Sightings.Bird_ID = Birds.ID ORDER BY Date, Sight_ID LIMIT 1), 0) "
                                      "WHERE ID IN (%1)")
                           .arg(idList(ids)));
        return db.scalar(QStringLiteral("SELECT count(*) FROM Birds WHERE LifeList > 0")).toInt();
    }
    if (!ids.isEmpty())
        db.execute(QStringLiteral("UPDATE Birds SET LifeList = CASE WHEN EXISTS (SELECT 1 FROM Checklists "
                                  "WHERE Checklists.Reg_ID = ?1 AND Checklists.Bird_ID = Birds.ID) "
                                  "THEN coalesce((SELECT Sight_ID FROM Sightings WHERE %1 "
                                  "AND Sightings.Bird_ID = Birds.ID ORDER BY Date, Sight_ID LIMIT 1), 0) ELSE 0 END "
                                  "WHERE ID IN (%2)")
                       .arg(countsForRegionSql(QStringLiteral("?1"), QStringLiteral("Sightings")), idList(ids)),
                   {scope.regId});
    return db.scalar(QStringLiteral("SELECT count(*) FROM Checklists INNER JOIN Birds ON Birds.ID = Checklists.Bird_ID "
                                    "WHERE Checklists.Reg_ID = ? AND Birds.LifeList > 0"),
                     {scope.regId})
        .toInt();
}

bool countsForRegion(const int (&places)[4], const LifeListScope& scope)
{
    return countsForRegion(SightingPlaces{places[0], places[1], places[2], places[3]}, scope.regId);
}

QStringList recentSites(db::Database& db, int limit)
{
    struct Use {
        QString site;
        QDate date;
    };
    std::vector<Use> uses;
    for (auto rs = db.openRecordset(
             QStringLiteral("SELECT site, Date FROM (SELECT site, Date FROM Outings ORDER BY Date DESC, Outing_ID DESC "
                            "LIMIT 300) UNION ALL SELECT site, Date FROM (SELECT site, Date FROM Sightings "
                            "ORDER BY Sight_ID DESC LIMIT 300)"),
             db::RecordsetKind::Snapshot);
         !rs.eof(); rs.moveNext()) {
        const QString site = rs.field(0).toString().trimmed();
        if (!site.isEmpty()) uses.push_back({site, rs.field(1).toDate()});
    }
    std::stable_sort(uses.begin(), uses.end(), [](const Use& a, const Use& b) { return a.date > b.date; });
    QStringList sites;
    QSet<QString> seen;
    for (const Use& u : uses) {
        const QString key = u.site.toCaseFolded();
        if (seen.contains(key)) continue;
        seen.insert(key);
        sites << u.site;
        if (sites.size() >= limit) break;
    }
    return sites;
}

bool placesOfSite(db::Database& db, const QString& site, int (&places)[4])
{
    const QString s = site.trimmed();
    if (s.isEmpty()) return false;
    for (const char* sql : {"SELECT Region, country, state, district FROM Outings WHERE site = ? "
                            "ORDER BY Date DESC, Outing_ID DESC LIMIT 1",
                            "SELECT Region, country, state, district FROM Sightings WHERE site = ? "
                            "ORDER BY Sight_ID DESC LIMIT 1"}) {
        auto rs = db.openRecordset(QString::fromLatin1(sql), db::RecordsetKind::Snapshot, {s});
        if (rs.eof()) continue;
        for (int k = 0; k < 4; ++k) places[k] = rs.field(k).toInt();
        return true;
    }
    return false;
}

} // namespace fl
