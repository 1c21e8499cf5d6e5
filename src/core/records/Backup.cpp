#include "records/Backup.h"

#include "state/AppFolder.h"
#include "state/AppState.h"
#include "schema/ImportKeys.h"
#include "schema/Schema.h"
#include "state/Startup.h"
#include "db/Connection.h"
#include "db/Database.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <sqlcipher/sqlite3.h>
#include <stdexcept>

namespace fl {

namespace {

QString sqlText(const QString& s)
{
    QString q = s;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

[[noreturn]] void failWith(const QString& message) { throw std::runtime_error(message.toStdString()); }

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

const char* const kTables[] = {"Birds", "Orders", "Families", "subFamilies", "Regions", "Checklists",
                               "Sightings", "images", "cdSong", "Links", "Links1", "Options"};

} // namespace

QString backupFolder(const QString& dataFolder) { return resolvePath(dataFolder, QStringLiteral("Backups")); }

QString defaultBackupName(const QDate& day)
{
    return QStringLiteral("bird-") + day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".mdb");
}

void backupDatabase(db::Database& db, const QString& target, const QString& password)
{
    if (db.inTransaction()) failWith(QStringLiteral("A backup cannot be made while a change is being stored."));
    const QFileInfo info(target);
    if (!QDir().mkpath(info.absolutePath()))
        failWith(QStringLiteral("The folder '%1' cannot be created.").arg(info.absolutePath()));
    // Written beside the target first, so that a failure leaves the target as it was.
    const QString partial = target + QStringLiteral(".partial");
    removeIfThere(partial);
    const qint64 version = db.scalar(QStringLiteral("PRAGMA user_version")).toLongLong();
    try {
        {
            // The database is opened without the right to create files: the copy starts empty.
            QFile empty(partial);
            if (!empty.open(QIODevice::WriteOnly))
                failWith(QStringLiteral("The file '%1' cannot be written: %2").arg(partial, empty.errorString()));
        }
        db.executeScript(QStringLiteral("ATTACH DATABASE %1 AS featherlog_backup KEY %2")
                             .arg(sqlText(partial), sqlText(password)));
        try {
            db.executeScript(QStringLiteral("SELECT sqlcipher_export('featherlog_backup'); "
                                            "PRAGMA featherlog_backup.user_version = %1").arg(version));
        } catch (...) {
            db.executeScript(QStringLiteral("DETACH DATABASE featherlog_backup"));
            throw;
        }
        db.executeScript(QStringLiteral("DETACH DATABASE featherlog_backup"));
        const QString problem = checkBackupFile(partial, QStringLiteral(";PWD=") + password);
        if (!problem.isEmpty()) failWith(QStringLiteral("The backup failed its check: ") + problem);
        replaceFile(partial, target);
    } catch (...) {
        removeIfThere(partial);
        throw;
    }
}

QString checkBackupFile(const QString& path, const QString& connect)
{
    if (!QFileInfo(path).isFile()) return QStringLiteral("The file '%1' does not exist.").arg(path);
    try {
        auto db = db::Database::open(path, false, true, connect);
        const QString check = db->scalar(QStringLiteral("PRAGMA integrity_check")).toString();
        if (check != u"ok") return QStringLiteral("The file is damaged (%1).").arg(check);
        QStringList missing;
        for (const char* table : kTables)
            if (db->scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
                           {QString::fromLatin1(table)}).toInt() == 0)
                missing << QString::fromLatin1(table);
        if (!missing.isEmpty())
            return QStringLiteral("The file is not a Featherlog database: it lacks the table%1 %2.")
                .arg(missing.size() > 1 ? QStringLiteral("s") : QString(), missing.join(QStringLiteral(", ")));
        if (db->scalar(QStringLiteral("SELECT count(*) FROM Options")).toInt() != 1)
            return QStringLiteral("The file is not a Featherlog database: its Options table does not hold one row.");
        return {};
    } catch (const std::exception& e) {
        return QStringLiteral("The file cannot be opened as a Featherlog database with the program's password (%1).")
            .arg(QString::fromUtf8(e.what()));
    }
}

void restoreDatabase(AppState& state, const QString& source)
{
    const QString connect = QString::fromLatin1(kConnectString);
    const QString live = state.databasePath();
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(live).canonicalFilePath())
        failWith(QStringLiteral("That file is the database in use; choose a backup."));
    QString problem = checkBackupFile(source, connect);
    if (!problem.isEmpty()) failWith(problem);

    // A copy beside the database, checked again, is what takes its place.
    const QString incoming = live + QStringLiteral(".restore");
    removeIfThere(incoming);
    if (!QFile::copy(source, incoming)) failWith(QStringLiteral("The backup could not be copied beside the database."));
    problem = checkBackupFile(incoming, connect);
    if (!problem.isEmpty()) {
        removeIfThere(incoming);
        failWith(problem);
    }

    closeDatabase(state);
    const QString previous = live + QStringLiteral(".bak");
    const QString keep = previous + QStringLiteral(".new");
    try {
        removeIfThere(keep);
        if (!QFile::copy(live, keep)) failWith(QStringLiteral("The current database could not be kept as '%1'.").arg(previous));
        replaceFile(keep, previous);
        replaceFile(incoming, live);
    } catch (...) {
        removeIfThere(keep);
        removeIfThere(incoming);
        openAndLoadOptions(state); // the database as it was
        throw;
    }
    state.regType.clear(); // read again from the restored Options row when needed
    try {
        openAndLoadOptions(state);
    } catch (const std::exception& e) {
        closeDatabase(state);
        replaceFile(previous, live);
        QFile::copy(live, previous);
        openAndLoadOptions(state);
        failWith(QStringLiteral("The restored database could not be opened (%1); the previous one is back in use.")
                     .arg(QString::fromUtf8(e.what())));
    }
}

qint64 databaseChangeCount(db::Database& db)
{
    db.connection()->flushPending();
    return sqlite3_total_changes(db.connection()->handle());
}

bool databaseChanged(db::Database& db) { return databaseChangeCount(db) > 0; }

QString backupOnExit(AppState& state, int keep)
{
    try {
        if (!state.dbBirds || !databaseChanged(*state.dbBirds)) return {};
        const QString folder = backupFolder(state.dataFolder);
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString target = folder + QStringLiteral("/bird-auto-") + stamp + QStringLiteral(".mdb");
        for (int i = 2; QFileInfo::exists(target); ++i)
            target = folder + QStringLiteral("/bird-auto-%1-%2.mdb").arg(stamp).arg(i);
        backupDatabase(*state.dbBirds, target, db::passwordFromConnect(QString::fromLatin1(kConnectString)));
        // The names sort by time; the oldest go.
        QStringList autos = QDir(folder).entryList({QStringLiteral("bird-auto-*.mdb")}, QDir::Files, QDir::Name);
        while (autos.size() > keep) QFile::remove(folder + u'/' + autos.takeFirst());
        return {};
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

} // namespace fl
