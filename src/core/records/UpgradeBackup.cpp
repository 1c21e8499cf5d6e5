#include "records/UpgradeBackup.h"

#include "db/Database.h"
#include "records/Backup.h"
#include "schema/Schema.h"

#include <QFileInfo>
#include <stdexcept>

namespace fl {

QString upgradeBackupName(int fromVersion, const QDateTime& when)
{
    return QStringLiteral("bird-v%1-before-upgrade-%2.mdb")
        .arg(fromVersion)
        .arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

QString backupBeforeUpgrade(db::Database& db, const QString& dataFolder, int fromVersion)
{
    const QString folder = backupFolder(dataFolder);
    const QString name = upgradeBackupName(fromVersion, QDateTime::currentDateTime());
    QString target = folder + u'/' + name;
    for (int i = 2; QFileInfo::exists(target); ++i)
        target = folder + u'/' + QFileInfo(name).completeBaseName() + QStringLiteral("-%1.mdb").arg(i);
    try {
        backupDatabase(db, target, db::passwordFromConnect(QString::fromLatin1(kConnectString)));
    } catch (const std::exception& e) {
        throw std::runtime_error(
            QStringLiteral("%1 is from an older version of Featherlog. It was left as it was, because the backup "
                           "that is made before bringing it up to date could not be written: %2")
                .arg(db.path(), QString::fromUtf8(e.what()))
                .toStdString());
    }
    return target;
}

} // namespace fl
