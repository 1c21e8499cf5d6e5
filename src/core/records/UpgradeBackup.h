#pragma once

#include <QDateTime>
#include <QString>

namespace fl::db { class Database; }

namespace fl {

// The name of the copy kept of a database of version `fromVersion` before it is brought up
// to date: "bird-v<version>-before-upgrade-YYYYMMDD-HHMMSS.mdb".
QString upgradeBackupName(int fromVersion, const QDateTime& when);

// Writes that copy of the open database into the Backups folder of `dataFolder` (created
// when missing; a name already taken gets a number) and returns its path. Raises
// std::runtime_error when the copy cannot be written or fails its check; the database is
// then not to be upgraded, so that the file stays one the older program still opens.
QString backupBeforeUpgrade(db::Database& db, const QString& dataFolder, int fromVersion);

} // namespace fl
