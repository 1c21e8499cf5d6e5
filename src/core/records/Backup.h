#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>

namespace fl::db { class Database; }

namespace fl {

struct AppState;

// The clock that names backups (local time). Tests give one of their own; the computer's
// clock may be wrong, so nothing but the names depends on it.
using BackupClock = std::function<QDateTime()>;

// A failure of a backup or restore: one plain sentence for the user, and the details (the
// engine's own report) for whoever looks further.
class BackupError : public std::runtime_error {
public:
    explicit BackupError(const QString& message, const QString& details = {})
        : std::runtime_error(message.toStdString()), m_message(message), m_details(details) {}
    const QString& message() const noexcept { return m_message; }
    const QString& details() const noexcept { return m_details; }

private:
    QString m_message;
    QString m_details;
};

// The folder of backups beside the database ("Backups" in the data folder).
QString backupFolder(const QString& dataFolder);
// The default name of a backup made on `day`: "bird-YYYY-MM-DD.mdb".
QString defaultBackupName(const QDate& day);
// A name in `folder` for a backup made by hand on `day` that no file has yet: the default
// name, or the same with "-2", "-3" ... before ".mdb".
QString freeBackupName(const QString& folder, const QDate& day);

// Writes an encrypted copy of the open database to `target` (with the same password),
// while the database stays open, and checks that the copy opens and passes an integrity
// check before it takes the target's name. Refuses a target that is the database or one of
// its own files, or a backup that exists in the Backups folder (see refusedTarget()). Must
// not be called inside a transaction. Raises std::runtime_error or db::DbError, with
// `target` unchanged, on any failure.
void backupDatabase(db::Database& db, const QString& target, const QString& password);

// How thoroughly a file is checked: Full reads every row and index entry (the integrity
// check), Quick the structure of every page (the quick check, several times faster).
enum class CheckDepth { Full, Quick };

// Checks a file offered as a backup: it opens with the password, passes the check, holds
// the program's tables with one Options row, and its tables are of a version this program
// reads (not a newer one). Returns an empty text for a good file, otherwise the reason for
// the user in one sentence; `details` gets what the engine reported, if anything.
QString checkBackupFile(const QString& path, const QString& connect, QString* details = nullptr,
                        CheckDepth depth = CheckDepth::Full);

// The copies the program makes by itself in the Backups folder are series of files named
// "<prefix>-<yyyyMMdd-HHmmss>-<n>.mdb": the local time from the clock, and n counting the
// copies of the series in the order they were written. Their order is n's, never the time's.
inline constexpr auto kAutomaticBackups = "bird-auto";
inline constexpr auto kBeforeRestoreCopies = "bird-before-restore";

struct SeriesFile {
    QString path;
    qint64 number = 0; // 0 for a copy named before numbers were given
    QDateTime written; // from its name (local time); may be wrong
};
// The copies of a series, oldest first.
QList<SeriesFile> backupSeries(const QString& folder, const char* prefix);
// The name of the series' next copy: numbered after every copy there is.
QString nextSeriesName(const QString& folder, const char* prefix, const BackupClock& clock);
// Deletes the oldest copies of the series until `keep` are left; `newest`, the copy just
// written, is never deleted.
void pruneSeries(const QString& folder, const char* prefix, int keep, const QString& newest);

// Replaces the database of `state` by the backup `source`. Checks it first (a bad file, or
// one of a newer version, raises BackupError with the reason, and nothing changes), then
// closes the database, keeps the current file in the Backups folder as a copy of its own
// ("bird-before-restore-...mdb", kept like the automatic backups, the newest `keep` of them),
// puts the backup in its place in one step, reopens it and reloads the options. Should
// reopening fail, the previous file is put back and reopened before the error is raised. No
// earlier backup is touched. Returns the path of the copy of the previous database.
QString restoreDatabase(AppState& state, const QString& source, const BackupClock& clock = {}, int keep = 5);
// The same for a database that is not open (one that failed to open at start, being
// damaged): the file in `dataFolder` is kept in the Backups folder and `source` takes its place.
QString restoreClosedDatabase(const QString& dataFolder, const QString& source, const BackupClock& clock = {},
                              int keep = 5);

// Whether anything has been written to the open database since it was opened.
bool databaseChanged(db::Database& db);
// The number of rows written since it was opened (grows with every change).
qint64 databaseChangeCount(db::Database& db);
// Whether this run changed data: through the open database, or before it was replaced.
bool runChangedData(AppState& state);

// The automatic backup at exit: when the run changed data (or the last automatic backup
// failed), writes a backup into the Backups folder and keeps the newest `keep` of them.
// Never raises; returns an empty text, or what went wrong. A failure is also noted beside
// the database (see lastFailedBackup()) until a backup succeeds.
QString backupOnExit(AppState& state, int keep = 5, const BackupClock& clock = {});

// The note of an automatic backup that failed, read at the next start.
struct FailedBackup {
    QDateTime when; // local time
    QString reason;
};
std::optional<FailedBackup> lastFailedBackup(const QString& dataFolder);
void noteFailedBackup(const QString& dataFolder, const FailedBackup& failure);
// After a backup that succeeded (automatic or by hand).
void clearFailedBackup(const QString& dataFolder);

} // namespace fl
