#include "LifeList.h"

#include "RegionKinds.h"
#include "db/Database.h"

namespace fl {

namespace {

QString checkedType(const QString& regType)
{
    if (const RegionKind* kind = regionKindOfType(regType)) return kind->sightingsColumn;
    throw db::DbError(QStringLiteral("Unknown region type: ") + regType);
}

} // namespace

std::optional<RegionList> rebuildLifeList(db::Database& db, int regId, const QString& regType, const QString& qrySort)
{
    const QString column = checkedType(regType);
    const QString id = QString::number(regId);
    db::Transaction tx(db);
    auto birds = db.openRecordset(
        QStringLiteral("SELECT ID, Name, LifeList from Birds Inner Join Checklists ON Birds.ID = Checklists.Bird_ID "
                       "Where Reg_ID = ") + id + qrySort,
        db::RecordsetKind::Dynaset);
    if (birds.recordCount() == 0) return std::nullopt; // nothing has changed yet

    db.execute(QStringLiteral("UPDATE BIRDS SET Lifelist = 0 where Lifelist <> 0"));
    RegionList list;
    birds.moveLast();
    list.total = birds.recordCount();
    birds.moveFirst();
    auto sightings = db.openRecordset(QStringLiteral("Select Sight_ID, Bird_ID from sightings where ") + column
                                          + QStringLiteral(" = ") + id
                                          + QStringLiteral(" ORDER BY Bird_ID, Date, Sight_ID"),
                                      db::RecordsetKind::Snapshot);
    list.names.reserve(list.total);
    db::WriteBatch batch(db);
    const QString birdId = QStringLiteral("Bird_ID");
    const QString lifeList = QStringLiteral("lifelist");
    for (; !birds.eof(); birds.moveNext()) {
        list.names << birds.field(1).toString();
        if (sightings.recordCount() == 0) continue;
        sightings.findFirst(birdId, birds.field(0));
        if (!sightings.noMatch()) {
            birds.edit();
            birds.setField(lifeList, sightings.field(0));
            birds.update();
            ++list.sighted;
        }
    }
    batch.flush();
    tx.commit();
    return list;
}

void rebuildLifeListSetBased(db::Database& db, int regId, const QString& regType)
{
    const QString column = checkedType(regType);
    db.execute(QStringLiteral(
                   "UPDATE Birds SET LifeList = CASE WHEN ID IN (SELECT Bird_ID FROM Checklists WHERE Reg_ID = ?1) "
                   "THEN coalesce((SELECT Sight_ID FROM Sightings WHERE Sightings.%1 = ?1 "
                   "AND Sightings.Bird_ID = Birds.ID ORDER BY Date, Sight_ID LIMIT 1), 0) ELSE 0 END "
                   "WHERE LifeList <> 0 OR ID IN (SELECT Bird_ID FROM Checklists WHERE Reg_ID = ?1)")
                   .arg(column),
               {regId});
}

} // namespace fl
