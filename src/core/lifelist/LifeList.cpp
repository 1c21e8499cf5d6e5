#include "lifelist/LifeList.h"

#include "state/OptionsRow.h"
#include "regions/RegionKinds.h"
#include "db/Database.h"

#include <algorithm>

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
    checkedType(regType);
    db::Transaction tx(db);
    if (db.scalar(QStringLiteral("SELECT 1 FROM Checklists WHERE Reg_ID = ? LIMIT 1"), {regId}).isNull())
        return std::nullopt; // nothing has changed

    rebuildLifeListSetBased(db, regId, regType);
    RegionList list;
    auto names = db.openRecordset(QStringLiteral("SELECT Birds.Name, Birds.LifeList FROM Birds INNER JOIN Checklists "
                                                 "ON Birds.ID = Checklists.Bird_ID WHERE Checklists.Reg_ID = ?")
                                      + qrySort,
                                  db::RecordsetKind::Snapshot, {regId});
    list.total = names.recordCount();
    list.names.reserve(list.total);
    for (; !names.eof(); names.moveNext()) {
        list.names << names.field(0).toString();
        if (names.field(1).toInt() > 0) ++list.sighted;
    }
    tx.commit();
    return list;
}

int earliestSightingInRegion(db::Database& db, int birdId, int regId)
{
    const QVariant id = regId == 0
        ? db.scalar(QStringLiteral("SELECT Sight_ID FROM Sightings WHERE Bird_ID = ?1 ORDER BY Date, Sight_ID LIMIT 1"),
                    {birdId})
        : db.scalar(QStringLiteral("SELECT Sight_ID FROM Sightings WHERE Bird_ID = ?1 AND (Region = ?2 OR country = ?2 "
                                   "OR state = ?2 OR district = ?2) ORDER BY Date, Sight_ID LIMIT 1"),
                    {birdId, regId});
    return id.isNull() ? 0 : id.toInt();
}

SpeciesMark recomputeSpeciesMark(db::Database& db, db::Recordset& bird, db::Recordset& options, int regId)
{
    const QString lifeList = QStringLiteral("lifelist");
    const int old = bird.field(lifeList).toInt();
    SpeciesMark result;
    result.mark = earliestSightingInRegion(db, bird.field(QStringLiteral("id")).toInt(), regId);
    if (result.mark != old) {
        bird.edit();
        bird.setField(lifeList, result.mark);
        bird.update();
    }
    const bool wasSighted = old > 0, isSighted = result.mark > 0;
    if (wasSighted != isSighted) {
        const int sum = options.field(QStringLiteral("lifesum")).toInt();
        OptionsChange change;
        change.lifesum = isSighted ? sum + 1 : std::max(0, sum - 1);
        writeOptionsRow(options, change);
        result.lifesumChanged = true;
    }
    return result;
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
