#include "lists/CustomLists.h"

#include "db/Database.h"

#include <QHash>
#include <QSet>

namespace fl {

QList<CustomList> readCustomLists(db::Database& db)
{
    QList<CustomList> lists;
    QHash<int, qsizetype> at;
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT List_ID, Name FROM CustomLists ORDER BY Name, List_ID"),
                                   db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) {
            CustomList l;
            l.id = rs.field(0).toInt();
            l.name = rs.field(1).toString();
            at.insert(l.id, lists.size());
            lists << l;
        }
    }
    auto places = db.openRecordset(QStringLiteral("SELECT List_ID, Reg_ID, Site FROM CustomListPlaces "
                                                  "ORDER BY List_ID, Site, Reg_ID"),
                                   db::RecordsetKind::Snapshot);
    for (; !places.eof(); places.moveNext()) {
        const auto it = at.constFind(places.field(0).toInt());
        if (it == at.constEnd()) continue;
        CustomList& l = lists[*it];
        if (!places.field(1).isNull()) l.regions << places.field(1).toInt();
        else l.sites << places.field(2).toString();
    }
    return lists;
}

QString customListNameProblem(db::Database& db, const QString& name, int exceptId)
{
    const QString n = name.trimmed();
    if (n.isEmpty()) return QStringLiteral("A custom list needs a name.");
    const QVariant other = db.scalar(QStringLiteral("SELECT Name FROM CustomLists WHERE Name = ? AND List_ID <> ?"),
                                     {n, exceptId});
    if (!other.isNull()) return QStringLiteral("There is already a custom list named \"%1\".").arg(other.toString());
    return {};
}

namespace {

void checkName(db::Database& db, const QString& name, int exceptId)
{
    if (const QString problem = customListNameProblem(db, name, exceptId); !problem.isEmpty())
        throw CustomListError(problem);
}

void storePlaces(db::Database& db, const CustomList& list, int id)
{
    QSet<int> regions;
    QSet<QString> sites;
    for (int r : list.regions)
        if (r > 0 && !regions.contains(r)) {
            regions.insert(r);
            if (db.scalar(QStringLiteral("SELECT 1 FROM Regions WHERE Reg_ID = ?"), {r}).isNull())
                throw CustomListError(QStringLiteral("One of the list's regions no longer exists."));
            db.execute(QStringLiteral("INSERT INTO CustomListPlaces (List_ID, Reg_ID) VALUES (?, ?)"), {id, r});
        }
    for (const QString& s : list.sites) {
        const QString site = s.trimmed();
        const QString key = site.toCaseFolded();
        if (site.isEmpty() || sites.contains(key)) continue;
        sites.insert(key);
        db.execute(QStringLiteral("INSERT INTO CustomListPlaces (List_ID, Site) VALUES (?, ?)"), {id, site});
    }
    if (regions.isEmpty() && sites.isEmpty())
        throw CustomListError(QStringLiteral("A custom list needs at least one region or site."));
}

} // namespace

int createCustomList(db::Database& db, const CustomList& list)
{
    db::Transaction tx(db);
    checkName(db, list.name, 0);
    db.execute(QStringLiteral("INSERT INTO CustomLists (Name) VALUES (?)"), {list.name.trimmed()});
    const int id = db.scalar(QStringLiteral("SELECT last_insert_rowid()")).toInt();
    storePlaces(db, list, id);
    tx.commit();
    return id;
}

void updateCustomList(db::Database& db, const CustomList& list)
{
    db::Transaction tx(db);
    if (db.scalar(QStringLiteral("SELECT 1 FROM CustomLists WHERE List_ID = ?"), {list.id}).isNull())
        throw CustomListError(QStringLiteral("The custom list no longer exists."));
    checkName(db, list.name, list.id);
    db.execute(QStringLiteral("UPDATE CustomLists SET Name = ? WHERE List_ID = ?"), {list.name.trimmed(), list.id});
    db.execute(QStringLiteral("DELETE FROM CustomListPlaces WHERE List_ID = ?"), {list.id});
    storePlaces(db, list, list.id);
    tx.commit();
}

void renameCustomList(db::Database& db, int id, const QString& name)
{
    db::Transaction tx(db);
    checkName(db, name, id);
    if (db.execute(QStringLiteral("UPDATE CustomLists SET Name = ? WHERE List_ID = ?"), {name.trimmed(), id}) == 0)
        throw CustomListError(QStringLiteral("The custom list no longer exists."));
    tx.commit();
}

bool deleteCustomList(db::Database& db, int id)
{
    db::Transaction tx(db);
    const bool deleted = db.execute(QStringLiteral("DELETE FROM CustomLists WHERE List_ID = ?"), {id}) > 0;
    tx.commit();
    return deleted;
}

} // namespace fl
