#include "state/AppFolder.h"

#include <QDir>
#include <QFileInfo>

namespace fl {

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty()) return name;
    return QDir(folder).filePath(name);
}

QString resolvePath(const QString& folder, const QString& name)
{
    QString current = folder.isEmpty() ? QStringLiteral(".") : folder;
    const QStringList parts = QDir::fromNativeSeparators(name).split(u'/', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        QString next = QDir(current).filePath(part);
        if (!QFileInfo::exists(next)) {
            const QStringList entries = QDir(current).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
            for (const QString& entry : entries) {
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    next = QDir(current).filePath(entry);
                    break;
                }
            }
        }
        current = next;
    }
    return current;
}

} // namespace fl
