#include "state/AppState.h"

#include "state/AppFolder.h"
#include "schema/Schema.h"

namespace fl {

db::Database& AppState::db() const
{
    if (!dbBirds) throw db::DbError(QStringLiteral("The bird database is not open."));
    return *dbBirds;
}

QString AppState::databasePath() const
{
    return joinPath(dataFolder, QString::fromLatin1(kDatabaseFile));
}

} // namespace fl
