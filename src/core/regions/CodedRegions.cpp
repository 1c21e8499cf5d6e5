#include "regions/CodedRegions.h"

#include "regions/EbirdRegions.h"
#include "regions/RegionNames.h"

#include "db/Connection.h"
#include "db/Database.h"

#include <QHash>
#include <QSet>

namespace fl {

namespace {

// CopiedFrom: NULL while a region has never been needed, the Reg_ID of the region its
// checklist was copied from while that copy is unchanged, 0 once the list is its own. Any
// change of a region's checklist rows makes the list its own.
constexpr auto kVersion3 = R"SQL(
ALTER TABLE Regions ADD COLUMN Code TEXT COLLATE NOCASE;
ALTER TABLE Regions ADD COLUMN CopiedFrom INTEGER;
CREATE UNIQUE INDEX RegionsCode ON Regions(Code);

CREATE TRIGGER ChecklistsOwnAfterInsert AFTER INSERT ON Checklists BEGIN
    UPDATE Regions SET CopiedFrom = 0 WHERE Reg_ID = NEW.Reg_ID AND CopiedFrom IS NOT 0;
END;
CREATE TRIGGER ChecklistsOwnAfterUpdate AFTER UPDATE ON Checklists BEGIN
    UPDATE Regions SET CopiedFrom = 0 WHERE Reg_ID IN (OLD.Reg_ID, NEW.Reg_ID) AND CopiedFrom IS NOT 0;
END;
CREATE TRIGGER ChecklistsOwnAfterDelete AFTER DELETE ON Checklists BEGIN
    UPDATE Regions SET CopiedFrom = 0 WHERE Reg_ID = OLD.Reg_ID AND CopiedFrom IS NOT 0;
END;

DROP VIEW GetRegions;
DROP VIEW GetCountries;
DROP VIEW GetStates;
DROP VIEW GetDistricts;
CREATE VIEW GetRegions AS
    SELECT Name, Reg_ID, Code FROM Regions WHERE Type = 'Region' ORDER BY Name;
CREATE VIEW GetCountries AS
    SELECT Name, Reg_ID, Code FROM Regions WHERE Type = 'Country' ORDER BY Name;
CREATE VIEW GetStates AS
    SELECT Name, Reg_ID, Code FROM Regions WHERE Type = 'State' ORDER BY Name;
CREATE VIEW GetDistricts AS
    SELECT Name, Reg_ID, Code FROM Regions WHERE Type = 'District' ORDER BY Name;
)SQL";

// eBird's regions of one kind by the search key of a name; a name that two regions share
// finds neither.
class NameIndex {
public:
    void add(const QString& name, const QString& code)
    {
        const QString key = regionSearchKey(name.trimmed());
        const auto it = m_codes.find(key);
        if (it == m_codes.end()) m_codes.insert(key, code);
        else if (*it != code) it->clear();
    }
    QString find(const QString& name) const { return m_codes.value(regionSearchKey(name.trimmed())); }

private:
    QHash<QString, QString> m_codes;
};

struct Indexes {
    NameIndex countries, states, counties, bareCounties;
    Indexes()
    {
        for (const EbirdRegion& r : ebirdRegions()) {
            if (r.type == u"Country") countries.add(r.name, r.code);
            else if (r.type == u"State") states.add(r.name, r.code);
            else {
                counties.add(r.name, r.code);
                bareCounties.add(r.ebirdName, r.code);
            }
        }
    }

    // The code of the eBird region that a region of type `type` named `name` stands for.
    QString codeFor(const QString& type, const QString& name) const
    {
        if (type.compare(u"Country", Qt::CaseInsensitive) == 0) return countries.find(name);
        if (type.compare(u"State", Qt::CaseInsensitive) == 0) return states.find(name);
        if (type.compare(u"District", Qt::CaseInsensitive) != 0) return {};
        const QString county = QStringLiteral(" County");
        if (QString code = counties.find(name); !code.isEmpty()) return code;
        // "Franklin County, Ohio"
        const qsizetype comma = name.lastIndexOf(u',');
        if (comma > 0) {
            QString bare = name.left(comma).trimmed();
            if (bare.endsWith(county, Qt::CaseInsensitive)) bare.chop(county.size());
            if (QString code = counties.find(countyRegionName(bare.trimmed(), name.mid(comma + 1).trimmed()));
                !code.isEmpty())
                return code;
        }
        // "Cape May County", "Cape May": only when no other county has that name.
        if (QString code = bareCounties.find(name); !code.isEmpty()) return code;
        const QString trimmed = name.trimmed();
        if (trimmed.endsWith(county, Qt::CaseInsensitive)) return bareCounties.find(trimmed.chopped(county.size()));
        return {};
    }
};

QSet<QString> codesInUse(db::Database& db)
{
    QSet<QString> codes;
    auto rs = db.openRecordset(QStringLiteral("SELECT Code FROM Regions WHERE Code IS NOT NULL"),
                               db::RecordsetKind::Snapshot);
    codes.reserve(rs.recordCount());
    for (; !rs.eof(); rs.moveNext()) codes.insert(rs.field(0).toString().toUpper());
    return codes;
}

// Gives the regions without a code the code of the eBird region they name, the earliest
// region first when two name the same one.
void codeExistingRegions(db::Database& db)
{
    const Indexes index;
    QSet<QString> taken = codesInUse(db);
    QList<std::pair<int, QString>> found;
    {
        auto rs = db.openRecordset(QStringLiteral("SELECT Reg_ID, Name, Type FROM Regions WHERE Code IS NULL "
                                                  "ORDER BY Reg_ID"),
                                   db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) {
            const QString code = index.codeFor(rs.field(2).toString(), rs.field(1).toString());
            if (code.isEmpty() || taken.contains(code)) continue;
            taken.insert(code);
            found.append({rs.field(0).toInt(), code});
        }
    }
    for (const auto& [id, code] : found)
        db.execute(QStringLiteral("UPDATE Regions SET Code = ? WHERE Reg_ID = ?"), {code, id});
}

} // namespace

int addEbirdRegions(db::Database& db)
{
    db::Transaction tx(db);
    codeExistingRegions(db);
    const QSet<QString> taken = codesInUse(db);
    db::Connection& conn = *db.connection();
    conn.flushPending();
    const db::CachedStatement insert =
        conn.cached(QStringLiteral("INSERT INTO Regions (Name, Type, Code) VALUES (?, ?, ?)"));
    int added = 0;
    for (const EbirdRegion& r : ebirdRegions()) {
        if (taken.contains(r.code)) continue;
        insert->bind({r.name, r.type, r.code});
        insert->step();
        ++added;
    }
    tx.commit();
    return added;
}

void addRegionCodes(db::Database& db)
{
    db.executeScript(QString::fromUtf8(kVersion3));
    if (db.scalar(QStringLiteral("SELECT count(*) FROM Options")).toInt() > 0) addEbirdRegions(db);
}

} // namespace fl
