#include "records/Backup.h"

#include "records/SafeTargets.h"
#include "state/AppFolder.h"
#include "state/AppState.h"
#include "schema/Schema.h"
#include "state/Startup.h"
#include "db/Connection.h"
#include "db/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <algorithm>
#include <filesystem>
#include <sqlcipher/sqlite3.h>
#include <unistd.h>

namespace fl {

namespace {

QString sqlText(const QString& s)
{
    QString q = s;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

[[noreturn]] void failWith(const QString& message, const QString& details = {}) { throw BackupError(message, details); }

void removeIfThere(const QString& path)
{
    if (QFileInfo::exists(path)) QFile::remove(path);
}

// Replaces `to` by `from` in one step (both in the same folder).
void replaceFile(const QString& from, const QString& to)
{
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), ec);
    if (ec) failWith(QStringLiteral("Could not put '%1' in place of '%2': %3")
                         .arg(from, to, QString::fromLocal8Bit(ec.message().c_str())));
}

// Copies a file to `to` through a file beside it that takes the name only when it is
// complete and on the disk, so that `to` is never a part of a copy.
void copyDurably(const QString& from, const QString& to)
{
    const QString partial = to + QStringLiteral(".partial");
    removeIfThere(partial);
    QFile in(from);
    QFile out(partial);
    if (!in.open(QIODevice::ReadOnly)) failWith(QStringLiteral("'%1' cannot be read: %2").arg(from, in.errorString()));
    if (!out.open(QIODevice::WriteOnly))
        failWith(QStringLiteral("'%1' cannot be written: %2").arg(partial, out.errorString()));
    bool ok = true;
    while (ok && !in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        ok = !block.isEmpty() && out.write(block) == block.size();
    }
    ok = ok && in.error() == QFileDevice::NoError && out.flush() && ::fsync(out.handle()) == 0;
    const QString problem = out.errorString();
    out.close();
    if (!ok) {
        QFile::remove(partial);
        failWith(QStringLiteral("'%1' could not be copied to '%2': %3").arg(from, to, problem));
    }
    auto removePartial = qScopeGuard([&partial] { QFile::remove(partial); });
    replaceFile(partial, to);
    removePartial.dismiss();
}

const char* const kTables[] = {"Birds", "Orders", "Families", "subFamilies", "Regions", "Checklists",
                               "Sightings", "images", "cdSong", "Links", "Links1", "Options"};

const QString kSeriesTime = QStringLiteral("yyyyMMdd-HHmmss");

QString failedBackupNote(const QString& dataFolder)
{
    return resolvePath(dataFolder, QString::fromLatin1(kDatabaseFile) + QStringLiteral(".backup-failed"));
}

} // namespace

QString backupFolder(const QString& dataFolder) { return resolvePath(dataFolder, QStringLiteral("Backups")); }

QString defaultBackupName(const QDate& day)
{
    return QStringLiteral("bird-") + day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".mdb");
}

QString freeBackupName(const QString& folder, const QDate& day)
{
    QString name = defaultBackupName(day);
    for (int i = 2; QFileInfo::exists(QDir(folder).filePath(name)); ++i)
        name = QStringLiteral("bird-%1-%2.mdb").arg(day.toString(QStringLiteral("yyyy-MM-dd"))).arg(i);
    return name;
}

void backupDatabase(db::Database& db, const QString& target, const QString& password)
{
    if (const QString refusal = refusedTarget(target, db.path(), TargetUse::NewBackup); !refusal.isEmpty())
        failWith(refusal);
    if (db.inTransaction()) failWith(QStringLiteral("A backup cannot be made while a change is being stored."));
    // The start-up check must not be reading while the copy is attached (it could not be detached).
    db.finishBackgroundCheck();
    const QFileInfo info(target);
    if (!QDir().mkpath(info.absolutePath()))
        failWith(QStringLiteral("The folder '%1' cannot be created.").arg(info.absolutePath()));
    // Written beside the target first, so that a failure leaves the target as it was.
    const QString partial = target + QStringLiteral(".partial");
    removeIfThere(partial);
    const qint64 version = db.scalar(QStringLiteral("PRAGMA user_version")).toLongLong();
    // On failure, the part goes, with the journal of its unfinished writing (left when the disk is full).
    auto removePartial = qScopeGuard([&partial] {
        removeIfThere(partial);
        removeIfThere(partial + QStringLiteral("-journal"));
    });
    {
        // The database is opened without the right to create files: the copy starts empty.
        QFile empty(partial);
        if (!empty.open(QIODevice::WriteOnly))
            failWith(QStringLiteral("The file '%1' cannot be written: %2").arg(partial, empty.errorString()));
    }
    db.executeScript(QStringLiteral("ATTACH DATABASE %1 AS featherlog_backup KEY %2")
                         .arg(sqlText(partial), sqlText(password)));
    {
        // Detached however the copy ends; a copy that failed is reported rather than a failed detach.
        auto detach = qScopeGuard([&db] {
            try {
                db.executeScript(QStringLiteral("DETACH DATABASE featherlog_backup"));
            } catch (...) {
            }
        });
        db.executeScript(QStringLiteral("SELECT sqlcipher_export('featherlog_backup'); "
                                        "PRAGMA featherlog_backup.user_version = %1").arg(version));
        detach.dismiss();
    }
    db.executeScript(QStringLiteral("DETACH DATABASE featherlog_backup"));
    // The quick check reads and authenticates every page of the copy, which finds whatever a
    // failing write or disk did to it; the full check would add comparing each index with its
    // table, which an engine-made copy takes over from the database as it is, at many times
    // the time (half a minute at each exit for a database of 200 MB).
    QString details;
    const QString problem = checkBackupFile(partial, QStringLiteral(";PWD=") + password, &details, CheckDepth::Quick);
    if (!problem.isEmpty()) failWith(QStringLiteral("The backup failed its check: ") + problem, details);
    replaceFile(partial, target);
    removePartial.dismiss();
}

QString checkBackupFile(const QString& path, const QString& connect, QString* details, CheckDepth depth)
{
    auto problem = [&](const QString& text, const QString& more = {}) {
        if (details) *details = more;
        return text;
    };
    if (!QFileInfo(path).isFile()) return problem(QStringLiteral("The file '%1' does not exist.").arg(path));
    std::unique_ptr<db::Database> db;
    try {
        db = db::Database::open(path, false, true, connect);
    } catch (const std::exception& e) {
        return problem(QStringLiteral("The file cannot be opened as a Featherlog database: it is damaged, is no "
                                      "Featherlog database, or has another password."),
                       QString::fromUtf8(e.what()));
    }
    try {
        const QString check = db->scalar(depth == CheckDepth::Full ? QStringLiteral("PRAGMA integrity_check")
                                                                   : QStringLiteral("PRAGMA quick_check"))
                                  .toString();
        if (check != u"ok") return problem(QStringLiteral("The file is damaged: the database engine found faults in it."), check);
        QStringList missing;
        for (const char* table : kTables)
            if (db->scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
                           {QString::fromLatin1(table)}).toInt() == 0)
                missing << QString::fromLatin1(table);
        if (!missing.isEmpty())
            return problem(QStringLiteral("The file is not a Featherlog database: it lacks the table%1 %2.")
                               .arg(missing.size() > 1 ? QStringLiteral("s") : QString(), missing.join(QStringLiteral(", "))));
        const int version = schemaVersion(*db);
        if (version > currentSchemaVersion())
            return problem(QStringLiteral("The file was written by a newer version of Featherlog, which this version "
                                          "cannot read; restore it with that version, or choose an older backup."),
                           QStringLiteral("The file's tables are of version %1; this version reads versions up to %2.")
                               .arg(version).arg(currentSchemaVersion()));
        if (db->scalar(QStringLiteral("SELECT count(*) FROM Options")).toInt() != 1)
            return problem(QStringLiteral("The file is not a Featherlog database: its Options table does not hold one row."));
        return problem({});
    } catch (const std::exception& e) {
        return problem(QStringLiteral("The file is damaged: the database engine found faults in it."),
                       QString::fromUtf8(e.what()));
    }
}

QList<SeriesFile> backupSeries(const QString& folder, const char* prefix)
{
    const QRegularExpression pattern(QStringLiteral("^%1-(\\d{8}-\\d{6})(?:-(\\d+))?\\.mdb$")
                                         .arg(QRegularExpression::escape(QString::fromLatin1(prefix))),
                                     QRegularExpression::CaseInsensitiveOption);
    QList<SeriesFile> files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        const auto m = pattern.match(name);
        if (!m.hasMatch()) continue;
        files << SeriesFile{dir.filePath(name), m.captured(2).toLongLong(), QDateTime::fromString(m.captured(1), kSeriesTime)};
    }
    std::sort(files.begin(), files.end(), [](const SeriesFile& a, const SeriesFile& b) {
        if (a.number != b.number) return a.number < b.number;
        return a.path < b.path; // copies from before numbers: their names are their times
    });
    return files;
}

QString nextSeriesName(const QString& folder, const char* prefix, const BackupClock& clock)
{
    qint64 number = 0;
    for (const SeriesFile& f : backupSeries(folder, prefix)) number = std::max(number, f.number);
    const QString stamp = (clock ? clock() : QDateTime::currentDateTime()).toString(kSeriesTime);
    QString path;
    do {
        path = QDir(folder).filePath(QStringLiteral("%1-%2-%3.mdb").arg(QString::fromLatin1(prefix), stamp).arg(++number));
    } while (QFileInfo::exists(path));
    return path;
}

void pruneSeries(const QString& folder, const char* prefix, int keep, const QString& newest)
{
    const QString kept = QFileInfo(newest).absoluteFilePath();
    QList<SeriesFile> older;
    for (const SeriesFile& f : backupSeries(folder, prefix))
        if (QFileInfo(f.path).absoluteFilePath() != kept) older << f;
    const int room = std::max(keep, 1) - (QFileInfo::exists(newest) ? 1 : 0);
    while (older.size() > room) QFile::remove(older.takeFirst().path);
}

namespace {

// Checks `source` and puts a checked copy of it beside the database `live`, ready to take
// its place; returns the copy's path.
QString prepareRestore(const QString& live, const QString& source)
{
    const QString connect = QString::fromLatin1(kConnectString);
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(live).canonicalFilePath())
        failWith(QStringLiteral("That file is the database in use; choose a backup."));
    QString details;
    QString problem = checkBackupFile(source, connect, &details);
    if (!problem.isEmpty()) failWith(problem, details);

    const QString incoming = live + QStringLiteral(".restore");
    removeIfThere(incoming);
    try {
        copyDurably(source, incoming);
    } catch (const BackupError& e) {
        failWith(QStringLiteral("The backup could not be copied beside the database."), e.message());
    }
    problem = checkBackupFile(incoming, connect, &details, CheckDepth::Quick);
    if (!problem.isEmpty()) {
        removeIfThere(incoming);
        failWith(problem, details);
    }
    return incoming;
}

// With the database closed: keeps the file `live` in the Backups folder as a copy of its own,
// whatever state it is in (it holds everything of this run, and a damaged one may still give
// up records), then puts `incoming` in its place. Returns the kept copy; on failure removes
// `incoming` and leaves `live` as it was.
QString keepAndReplace(const QString& dataFolder, const QString& live, const QString& incoming, const BackupClock& clock)
{
    const QString folder = backupFolder(dataFolder);
    try {
        if (!QDir().mkpath(folder)) failWith(QStringLiteral("The folder '%1' cannot be created.").arg(folder));
        const QString kept = nextSeriesName(folder, kBeforeRestoreCopies, clock);
        copyDurably(live, kept);
        replaceFile(incoming, live);
        return kept;
    } catch (const BackupError& e) {
        removeIfThere(incoming);
        failWith(QStringLiteral("The current database could not be kept in the Backups folder, so nothing was restored."),
                 e.message());
    }
}

} // namespace

QString restoreDatabase(AppState& state, const QString& source, const BackupClock& clock, int keep)
{
    const QString live = state.databasePath();
    const QString incoming = prepareRestore(live, source);
    const qint64 changes = state.dbBirds ? databaseChangeCount(*state.dbBirds) : 0;
    closeDatabase(state);
    QString kept;
    try {
        kept = keepAndReplace(state.dataFolder, live, incoming, clock);
    } catch (...) {
        // The database as it was. Not a scope guard: opening it may fail too, and then that
        // failure is the one to tell.
        openAndLoadOptions(state);
        throw;
    }
    // This run's changes, and the restore itself, are to be in the backup at exit.
    state.changesBeforeReopen += changes + 1;
    state.regType.clear(); // read again from the restored Options row when needed
    try {
        openAndLoadOptions(state);
    } catch (const std::exception& e) {
        closeDatabase(state);
        copyDurably(kept, live);
        openAndLoadOptions(state);
        failWith(QStringLiteral("The restored database could not be opened; the previous one is back in use."),
                 QString::fromUtf8(e.what()));
    }
    pruneSeries(backupFolder(state.dataFolder), kBeforeRestoreCopies, keep, kept);
    return kept;
}

QString restoreClosedDatabase(const QString& dataFolder, const QString& source, const BackupClock& clock, int keep)
{
    const QString live = joinPath(dataFolder, QString::fromLatin1(kDatabaseFile));
    const QString kept = keepAndReplace(dataFolder, live, prepareRestore(live, source), clock);
    pruneSeries(backupFolder(dataFolder), kBeforeRestoreCopies, keep, kept);
    return kept;
}

qint64 databaseChangeCount(db::Database& db)
{
    db.connection()->flushPending();
    return sqlite3_total_changes(db.connection()->handle());
}

bool databaseChanged(db::Database& db) { return databaseChangeCount(db) > 0; }

bool runChangedData(AppState& state)
{
    return state.changesBeforeReopen > 0 || (state.dbBirds && databaseChanged(*state.dbBirds));
}

QString backupOnExit(AppState& state, int keep, const BackupClock& clock)
{
    const BackupClock now = clock ? clock : BackupClock([] { return QDateTime::currentDateTime(); });
    try {
        if (!state.dbBirds) return {};
        // A failed backup is made good at the next exit, even one without changes.
        if (!runChangedData(state) && !lastFailedBackup(state.dataFolder)) return {};
        const QString folder = backupFolder(state.dataFolder);
        if (!QDir().mkpath(folder)) failWith(QStringLiteral("The folder '%1' cannot be created.").arg(folder));
        const QString target = nextSeriesName(folder, kAutomaticBackups, now);
        backupDatabase(*state.dbBirds, target, db::passwordFromConnect(QString::fromLatin1(kConnectString)));
        pruneSeries(folder, kAutomaticBackups, keep, target);
        clearFailedBackup(state.dataFolder);
        return {};
    } catch (const std::exception& e) {
        QString reason = QString::fromUtf8(e.what());
        if (const auto* b = dynamic_cast<const BackupError*>(&e); b && !b->details().isEmpty())
            reason += QStringLiteral(" (") + b->details().section(u'\n', 0, 0) + u')';
        try {
            noteFailedBackup(state.dataFolder, {now(), reason});
        } catch (...) {
            // The note could not be written either (a full disk); the message at exit remains.
        }
        return reason;
    }
}

std::optional<FailedBackup> lastFailedBackup(const QString& dataFolder)
{
    QFile note(failedBackupNote(dataFolder));
    if (!note.open(QIODevice::ReadOnly)) return std::nullopt;
    const QString text = QString::fromUtf8(note.read(1 << 16));
    const qsizetype nl = text.indexOf(u'\n');
    FailedBackup f;
    f.when = QDateTime::fromString(text.left(nl < 0 ? text.size() : nl).trimmed(), Qt::ISODate).toLocalTime();
    f.reason = nl < 0 ? QString() : text.mid(nl + 1).trimmed();
    return f;
}

void noteFailedBackup(const QString& dataFolder, const FailedBackup& failure)
{
    QFile note(failedBackupNote(dataFolder));
    if (!note.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("the note cannot be written");
    note.write((failure.when.toUTC().toString(Qt::ISODate) + u'\n' + failure.reason + u'\n').toUtf8());
}

void clearFailedBackup(const QString& dataFolder) { removeIfThere(failedBackupNote(dataFolder)); }

} // namespace fl
