#include "schema/OtherRecordsTable.h"

#include "db/Database.h"

namespace fl {

void createOtherRecordsTable(db::Database& db)
{
    db.executeScript(QStringLiteral(R"SQL(
CREATE TABLE OtherRecords (
    Other_ID     INTEGER PRIMARY KEY AUTOINCREMENT,
    Outing_ID    INTEGER NOT NULL REFERENCES Outings(Outing_ID) ON DELETE CASCADE,
    Name         TEXT COLLATE NOCASE,
    sci_name     TEXT COLLATE NOCASE,
    Category     TEXT NOT NULL COLLATE NOCASE
                 CHECK (Category IN ('spuh', 'slash', 'hybrid', 'intergrade', 'domestic', 'issf', 'form', 'species')),
    TaxonOrder   REAL CHECK (TaxonOrder IS NULL OR typeof(TaxonOrder) IN ('integer', 'real')),
    Count        INTEGER CHECK (Count IS NULL OR (typeof(Count) = 'integer' AND Count BETWEEN 1 AND 1000000000)),
    BreedingCode TEXT CHECK (BreedingCode IS NULL OR (length(BreedingCode) BETWEEN 1 AND 64
                                                      AND BreedingCode = trim(BreedingCode))),
    notes        TEXT COLLATE NOCASE,
    MediaNumbers TEXT CHECK (MediaNumbers IS NULL OR (MediaNumbers GLOB '*[0-9]*' AND MediaNumbers NOT GLOB '*[^0-9 ]*')),
    SourceKey    TEXT UNIQUE CHECK (SourceKey IS NULL OR length(SourceKey) > 0),
    CHECK (coalesce(trim(Name), '') <> '' OR coalesce(trim(sci_name), '') <> '')
);
CREATE INDEX OtherRecordsOuting ON OtherRecords(Outing_ID);
)SQL"));
}

} // namespace fl
