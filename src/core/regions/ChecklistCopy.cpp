#include "regions/ChecklistCopy.h"

#include "regions/EbirdRegions.h"
#include "regions/RegionCodes.h"

#include "db/Database.h"

namespace fl {

namespace {

bool hasChecklist(db::Database& db, int regId)
{
    return !db.scalar(QStringLiteral("SELECT 1 FROM Checklists WHERE Reg_ID = ? LIMIT 1"), {regId}).isNull();
}

// The regions above one with code `code`, nearest first: those of its ancestors' codes that
// the file has, then the continent.
QList<int> ancestorRegions(db::Database& db, const QString& code)
{
    QList<int> ids;
    for (const QString& c : ancestorRegionCodes(code)) {
        const QVariant id = db.scalar(QStringLiteral("SELECT Reg_ID FROM Regions WHERE Code = ?"), {c});
        if (!id.isNull()) ids << id.toInt();
    }
    const QVariant continent =
        db.scalar(QStringLiteral("SELECT Reg_ID FROM Regions WHERE Type = 'Region' AND Name = ? AND Code IS NULL "
                                 "ORDER BY Reg_ID LIMIT 1"),
                  {QString::fromLatin1(kContinentRegion)});
    if (!continent.isNull()) ids << continent.toInt();
    return ids;
}

ChecklistOrigin originOf(db::Database& db, int from)
{
    ChecklistOrigin o;
    o.copiedFrom = from;
    o.name = db.scalar(QStringLiteral("SELECT Name FROM Regions WHERE Reg_ID = ?"), {from}).toString();
    return o;
}

} // namespace

ChecklistOrigin provideChecklist(db::Database& db, int regId)
{
    if (regId <= 0) return {};
    db::Transaction tx(db);
    auto region = db.openRecordset(QStringLiteral("SELECT Code, CopiedFrom FROM Regions WHERE Reg_ID = ?"),
                                   db::RecordsetKind::Snapshot, {regId});
    if (region.eof()) return {};
    const QString code = region.field(0).toString();
    const QVariant copiedFrom = region.field(1);
    region.close();
    if (!copiedFrom.isNull()) return copiedFrom.toInt() > 0 ? originOf(db, copiedFrom.toInt()) : ChecklistOrigin();
    if (hasChecklist(db, regId)) {
        db.execute(QStringLiteral("UPDATE Regions SET CopiedFrom = 0 WHERE Reg_ID = ?"), {regId});
        tx.commit();
        return {};
    }
    if (code.isEmpty()) return {};
    for (const int from : ancestorRegions(db, code)) {
        if (!hasChecklist(db, from)) continue;
        db.execute(QStringLiteral("INSERT INTO Checklists (Bird_ID, Reg_ID, Status, scode) "
                                  "SELECT Bird_ID, ?1, Status, scode FROM Checklists WHERE Reg_ID = ?2"),
                   {regId, from});
        db.execute(QStringLiteral("UPDATE Regions SET CopiedFrom = ? WHERE Reg_ID = ?"), {from, regId});
        tx.commit();
        return originOf(db, from);
    }
    return {};
}

void provideChecklists(db::Database& db, const QList<int>& regIds)
{
    db::Transaction tx(db);
    for (const int id : regIds) provideChecklist(db, id);
    tx.commit();
}

} // namespace fl
