#include "schema/ImportKeys.h"

#include "db/Database.h"

namespace fl {

void createImportKeysTable(db::Database& db)
{
    // The key alone identifies a record, so the table is its own index. Sight_ID tells which
    // sighting a record became; the key stays when that sighting is deleted, so that a later
    // import of the same file does not bring back what the user removed.
    db.executeScript(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS ImportKeys ("
        " SourceKey TEXT NOT NULL PRIMARY KEY,"
        " Sight_ID INTEGER"
        ") WITHOUT ROWID"));
}

} // namespace fl
