#include "schema/TaxonomyTables.h"

#include "db/Database.h"

#include <QFile>
#include <QStringList>

// The list is read by the CSV rules the data files follow, without the records library.
static void initSchemaResources() { Q_INIT_RESOURCE(schema); }

namespace fl {

namespace {

// The codes are CHAR columns so that an empty cell of a data file loads as NULL.
constexpr auto kTaxonomyTables = R"SQL(
ALTER TABLE Birds ADD COLUMN SpeciesCode CHAR(12) COLLATE NOCASE;
ALTER TABLE Birds ADD COLUMN AlphaCode CHAR(4) COLLATE NOCASE;
CREATE UNIQUE INDEX BirdsSpeciesCode ON Birds(SpeciesCode);
CREATE INDEX BirdsAlphaCode ON Birds(AlphaCode);
CREATE TABLE TaxonForms (
    FormCode  CHAR(12) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Category  TEXT COLLATE NOCASE NOT NULL CHECK (Category IN ('issf', 'form', 'intergrade')),
    Name      TEXT COLLATE NOCASE,
    sci_name  TEXT COLLATE NOCASE,
    Bird_ID   INTEGER NOT NULL REFERENCES Birds(ID) ON DELETE CASCADE
);
CREATE INDEX TaxonFormsBird ON TaxonForms(Bird_ID);
ALTER TABLE Sightings ADD COLUMN NeedsReview INTEGER NOT NULL DEFAULT 0 CHECK (NeedsReview IN (0, 1));
)SQL";

// One line of the list: the fields between commas, a field in double quotes holding commas
// or doubled quotes.
QStringList splitLine(const QString& line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') field += line[++i];
            else if (c == u'"') quoted = false;
            else field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

} // namespace

void addTaxonomyTables(db::Database& db)
{
    db.executeScript(QString::fromUtf8(kTaxonomyTables));
    if (db.scalar(QStringLiteral("SELECT count(*) FROM Birds")).toInt() == 0) return;

    initSchemaResources();
    QFile list(QStringLiteral(":/schema/upgrade-species-codes.csv"));
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
        throw db::DbError(QStringLiteral("The list of species codes is missing from the program."));
    const QStringList lines = QString::fromUtf8(list.readAll()).split(u'\n', Qt::SkipEmptyParts);
    // A code goes to the one species of that common and scientific name, and only while no
    // other species has it.
    const QString sql = QStringLiteral(
        "UPDATE Birds SET SpeciesCode = ?, AlphaCode = nullif(?, '') WHERE ID = "
        "(SELECT CASE WHEN count(*) = 1 THEN min(ID) END FROM Birds WHERE Name = ? AND sci_name = ?) "
        "AND SpeciesCode IS NULL AND NOT EXISTS (SELECT 1 FROM Birds WHERE SpeciesCode = ?)");
    for (qsizetype i = 1; i < lines.size(); ++i) { // the first line is the header
        const QStringList f = splitLine(lines[i]);
        if (f.size() < 5) continue;
        db.execute(sql, {f[3], f[4], f[1], f[2], f[3]});
    }
}

} // namespace fl
