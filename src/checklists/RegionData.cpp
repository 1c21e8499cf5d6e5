#include "RegionData.h"

#include "regions/RegionKinds.h"
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

} // namespace fl
