#include "RegionData.h"

#include "RegionKinds.h"
#include "db/Database.h"

namespace fl {

int createRegion(db::Database& db, const QString& type, const QString& name)
{
    db::Transaction tx(db);
    db.execute(QStringLiteral("INSERT INTO Regions (Type, Name) VALUES (?, ?)"), {type, name});
    const int id = db.scalar(QStringLiteral("SELECT last_insert_rowid()")).toInt();
    tx.commit();
    return id;
}

void deleteRegion(db::Database& db, const RegionKind& kind, int regId)
{
    // The column name comes from the fixed table of kinds, never from the user.
    const QString column = kind.sightingsColumn;
    db::Transaction tx(db);
    db.execute(QStringLiteral("Update sightings Set %1 = 0 Where %1 = ?").arg(column), {regId});
    db.execute(QStringLiteral("DELETE FROM Checklists WHERE Reg_ID = ?"), {regId});
    db.execute(QStringLiteral("DELETE FROM Regions WHERE Reg_ID = ?"), {regId});
    tx.commit();
}

RegionList rebuildWorldLifeList(db::Database& db, const QString& qrySort)
{
    db::Transaction tx(db);
    db.execute(QStringLiteral("UPDATE Birds SET LifeList = coalesce((SELECT Sight_ID FROM Sightings "
                              "WHERE Sightings.Bird_ID = Birds.ID ORDER BY Date, Sight_ID LIMIT 1), 0) "
                              "WHERE LifeList <> coalesce((SELECT Sight_ID FROM Sightings "
                              "WHERE Sightings.Bird_ID = Birds.ID ORDER BY Date, Sight_ID LIMIT 1), 0)"));
    RegionList list;
    auto birds = db.openRecordset(QStringLiteral("SELECT ID, Name, Lifelist FROM Birds ") + qrySort,
                                  db::RecordsetKind::Snapshot);
    list.names.reserve(birds.recordCount());
    for (; !birds.eof(); birds.moveNext()) {
        list.names << birds.field(1).toString();
        if (birds.field(2).toInt() > 0) ++list.sighted;
    }
    list.total = int(list.names.size());
    tx.commit();
    return list;
}

} // namespace fl
