#include "records/DatabaseCheck.h"

#include "records/Backup.h"
#include "schema/Schema.h"
#include "state/AppState.h"

#include <QDir>
#include <QFileInfo>
#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>

namespace fl {

std::optional<GoodBackup> newestGoodBackup(const QString& dataFolder, const std::atomic<bool>* stop)
{
    const QDir dir(backupFolder(dataFolder));
    QFileInfoList files = dir.entryInfoList({QStringLiteral("*.mdb")}, QDir::Files);
    std::stable_sort(files.begin(), files.end(),
                     [](const QFileInfo& a, const QFileInfo& b) { return a.lastModified() > b.lastModified(); });
    const QString connect = QString::fromLatin1(kConnectString);
    for (const QFileInfo& file : files) {
        if (stop && *stop) return std::nullopt;
        if (checkBackupFile(file.absoluteFilePath(), connect, nullptr, CheckDepth::Quick).isEmpty())
            return GoodBackup{file.absoluteFilePath(), file.lastModified()};
    }
    return std::nullopt;
}

void startDamageCheck(AppState& state, std::function<void(const DamageFinding&)> found)
{
    if (!state.dbBirds) return;
    const QString folder = state.dataFolder;
    state.dbBirds->checkInBackground(
        [folder, found = std::move(found)](const db::Database::CheckResult& result, const std::atomic<bool>& closing) {
            if (!result.checked || result.damage.isEmpty()) return;
            DamageFinding finding;
            finding.report = result.damage;
            finding.backup = newestGoodBackup(folder, &closing);
            QCoreApplication* app = QCoreApplication::instance();
            if (closing || !app) return;
            QMetaObject::invokeMethod(app, [found, finding]() noexcept { found(finding); }, Qt::QueuedConnection);
        });
}

} // namespace fl
