#include "state/DataFolderCheck.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace fl {

QString unsavableReason(const QString& folder, const QString& database)
{
    const QFileInfo db(database);
    if (db.exists()) {
        const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
        if (!db.isWritable() || !(db.permissions() & writeBits))
            return QStringLiteral("the database file %1 is read-only").arg(QDir::toNativeSeparators(db.absoluteFilePath()));
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".featherlog-write-test-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("no file can be written in the folder %1 (%2)")
            .arg(QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath()), probe.errorString());
    return {};
}

} // namespace fl
