#include "lifelist/LifeList.h"

#include "state/OptionsRow.h"
#include "db/Database.h"

#include <algorithm>

namespace fl {

namespace {

// The rule's earliest counting sighting of the species `bird` (an SQL expression), in region ?1.
QString earliestSql(const QString& bird)
{
    return QStringLiteral("(SELECT Sight_ID FROM Sightings WHERE Sightings.Bird_ID = %1 AND %2 "
                          "ORDER BY Date, Sight_ID LIMIT 1)")
        .arg(bird, countsForRegionSql(QStringLiteral("?1"), QStringLiteral("Sightings")));
}

} // namespace

std::optional<RegionList> rebuildLifeList(db::Database& db, int regId, const QString& qrySort)
{
    db::Transaction tx(db);
    if (db.scalar(QStringLiteral("SELECT 1 FROM Checklists WHERE Reg_ID = ? LIMIT 1"), {regId}).isNull())
        return std::nullopt; // nothing has changed

    rebuildLifeListSetBased(db, regId);
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

void rebuildLifeListSetBased(db::Database& db, int regId)
{
    db.execute(QStringLiteral("UPDATE Birds SET LifeList = CASE WHEN ID IN (SELECT Bird_ID FROM Checklists WHERE Reg_ID = ?1) "
                              "THEN coalesce(%1, 0) ELSE 0 END "
                              "WHERE LifeList <> 0 OR ID IN (SELECT Bird_ID FROM Checklists WHERE Reg_ID = ?1)")
                   .arg(earliestSql(QStringLiteral("Birds.ID"))),
               {regId});
}

RegionList rebuildWorldLifeList(db::Database& db, const QString& qrySort)
{
    db::Transaction tx(db);
    const QString earliest = QStringLiteral("coalesce(%1, 0)").arg(earliestSql(QStringLiteral("Birds.ID")));
    db.execute(QStringLiteral("UPDATE Birds SET LifeList = %1 WHERE LifeList <> %1").arg(earliest), {0});
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

int earliestSightingInRegion(db::Database& db, int birdId, int regId)
{
    const QVariant id = db.scalar(QStringLiteral("SELECT %1").arg(earliestSql(QStringLiteral("?2"))), {regId, birdId});
    return id.isNull() ? 0 : id.toInt();
}

int lifeListMark(db::Database& db, int birdId, int regId)
{
    if (regId != 0
        && db.scalar(QStringLiteral("SELECT 1 FROM Checklists WHERE Reg_ID = ? AND Bird_ID = ?"), {regId, birdId}).isNull())
        return 0;
    return earliestSightingInRegion(db, birdId, regId);
}

SpeciesMark recomputeSpeciesMark(db::Database& db, db::Recordset& options, int birdId, int regId)
{
    const int old = db.scalar(QStringLiteral("SELECT LifeList FROM Birds WHERE ID = ?"), {birdId}).toInt();
    SpeciesMark result;
    result.mark = lifeListMark(db, birdId, regId);
    if (result.mark != old) db.execute(QStringLiteral("UPDATE Birds SET LifeList = ? WHERE ID = ?"), {result.mark, birdId});
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

} // namespace fl
