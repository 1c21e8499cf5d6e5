#include "records/SafeTargets.h"

#include "records/Backup.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace fl {

namespace {

std::filesystem::path fsPath(const QString& path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

// Whether two names reach the same file (through links too); false when either is missing.
bool sameFile(const QString& a, const QString& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(fsPath(a), fsPath(b), ec) && !ec;
}

// The folder a (perhaps not yet existing) file would be in, with links resolved.
QString canonicalFolderOf(const QString& file)
{
    const QFileInfo info(QFileInfo(file).absolutePath());
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool isInside(const QString& folder, const QString& outer)
{
    return folder.compare(outer, Qt::CaseInsensitive) == 0
        || folder.startsWith(outer + u'/', Qt::CaseInsensitive);
}

} // namespace

QString refusedTarget(const QString& target, const QString& database, TargetUse use)
{
    const QFileInfo targetInfo(target);
    const QString name = targetInfo.fileName();
    const QFileInfo dbInfo(database);
    const QString dbName = dbInfo.fileName();
    const QString dataFolder = canonicalFolderOf(database);
    const QString folder = canonicalFolderOf(target);

    const QString ownFile = QStringLiteral(
        "%1 is Featherlog's database or one of its own files; writing over it would destroy your records. "
        "Nothing was written. Choose another name or folder.");
    if (name.isEmpty() || targetInfo.isDir())
        return QStringLiteral("%1 is a folder, not a file. Nothing was written.").arg(target);
    // The database and its companions, by name in its folder ...
    if (folder.compare(dataFolder, Qt::CaseInsensitive) == 0 && name.startsWith(dbName, Qt::CaseInsensitive))
        return ownFile.arg(name);
    // ... and by any other name or link that reaches them.
    if (targetInfo.exists()) {
        const QStringList companions = QDir(dbInfo.absolutePath()).entryList({dbName + u'*'}, QDir::Files | QDir::Hidden);
        for (const QString& companion : companions)
            if (sameFile(target, QDir(dbInfo.absolutePath()).filePath(companion))) return ownFile.arg(name);
    }

    const QString backups = backupFolder(dbInfo.absolutePath());
    const QString backupsCanonical = QFileInfo(backups).exists() ? QFileInfo(backups).canonicalFilePath()
                                                                 : QDir::cleanPath(QFileInfo(backups).absoluteFilePath());
    if (isInside(folder, backupsCanonical)) {
        if (use == TargetUse::Export)
            return QStringLiteral("The Backups folder holds Featherlog's backups, and nothing else is written there. "
                                  "Nothing was written. Choose another folder.");
        if (targetInfo.exists())
            return QStringLiteral("%1 is a backup in the Backups folder, and Featherlog never replaces a backup. "
                                  "Nothing was written. Choose a new name.").arg(name);
    }
    if (targetInfo.exists()) {
        QDir dir(backups);
        for (const QString& file : dir.entryList(QDir::Files | QDir::Hidden))
            if (sameFile(target, dir.filePath(file)))
                return QStringLiteral("%1 is a backup in the Backups folder, and Featherlog never replaces a backup. "
                                      "Nothing was written. Choose another name.").arg(name);
    }
    return {};
}

} // namespace fl
