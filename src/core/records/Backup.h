#pragma once

#include <QDate>
#include <QString>

namespace fl::db { class Database; }

namespace fl {

struct AppState;

// The folder of backups ("Backups" in the data folder).
QString backupFolder(const QString& dataFolder);
// The default name of a backup made on `day`: "bird-YYYY-MM-DD.mdb".
QString defaultBackupName(const QDate& day);

// Writes an encrypted copy of the open database to `target` (with the same password),
// while the database stays open, and checks that the copy opens and passes an integrity
// check before it takes the target's name. Must not be called inside a transaction.
// Raises std::runtime_error or db::DbError, with `target` unchanged, on any failure.
void backupDatabase(db::Database& db, const QString& target, const QString& password);

// Checks a file offered as a backup: it opens with the password, passes the integrity
// check and holds the program's tables with one Options row. Returns an empty text for a
// good file, otherwise the reason for the user.
QString checkBackupFile(const QString& path, const QString& connect);

// Replaces the database of `state` by the backup `source`: checks it first (a bad file
// raises std::runtime_error with the reason, and nothing changes), then closes the
// database, keeps the current file as "bird.mdb.bak", puts the backup in its place in one
// step, reopens it and reloads the options. Should reopening fail, the previous file is put
// back and reopened before the error is raised.
void restoreDatabase(AppState& state, const QString& source);

// Whether anything has been written to the open database since it was opened.
bool databaseChanged(db::Database& db);
// The number of rows written since it was opened (grows with every change).
qint64 databaseChangeCount(db::Database& db);

// The automatic backup at exit: when the run changed data, writes a backup into the
// Backups folder ("bird-auto-YYYYMMDD-HHMMSS.mdb") and keeps the newest `keep` of them.
// Never raises; returns an empty text, or what went wrong.
QString backupOnExit(AppState& state, int keep = 5);

} // namespace fl
