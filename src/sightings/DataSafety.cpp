#include "DataSafety.h"

#include "RecordCommands.h"
#include "db/ErrorText.h"
#include "platform/Platform.h"
#include "records/Backup.h"
#include "records/DatabaseCheck.h"
#include "state/AppState.h"
#include "state/DataFolderCheck.h"
#include "state/Startup.h"
#include "ui/Context.h"
#include "ui/Guard.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>
#include <QWidget>
#include <cstdio>
#include <memory>

namespace fl {

namespace {

const QString kTitle = QStringLiteral("Featherlog");

QString fileName(const QString& path) { return QFileInfo(path).fileName(); }

QString when(const QDateTime& t) { return QLocale().toString(t, QLocale::LongFormat); }

// "The newest good backup is ..., written ...": the offer of a restore.
QString backupOffer(const GoodBackup& b)
{
    return QStringLiteral("The newest good backup is %1, written %2. Restore it now? The damaged database is kept in "
                          "the Backups folder; changes made after that backup are not in it.")
        .arg(fileName(b.path), when(b.written));
}

void offerRestoreOfDamaged(Context& ctx, const DamageFinding& finding)
{
    const QString damage = QStringLiteral("Featherlog found damage in its database, %1: some of your records may "
                                          "be unreadable, and changes may fail.")
                               .arg(QDir::toNativeSeparators(ctx.state.databasePath()));
    if (!finding.backup) {
        ctx.platform.detailedMessageBox(
            damage + QStringLiteral("\n\nThere is no good backup to restore. Export your sightings now (File > Export "
                                    "Sightings...) and keep a copy of the database file before you change anything."),
            finding.report, kTitle, Platform::Buttons::Ok, Platform::Icon::Critical);
        return;
    }
    if (ctx.platform.detailedMessageBox(damage + QStringLiteral("\n\n") + backupOffer(*finding.backup), finding.report,
                                        kTitle, Platform::Buttons::YesNo, Platform::Icon::Critical)
        == Platform::Answer::Yes)
        restoreFromBackup(ctx, finding.backup->path, QStringLiteral("Restore From Backup"));
}

} // namespace

bool openDatabaseAtStart(Context& ctx, const BeforeUpgrade& beforeUpgrade)
{
    AppState& s = ctx.state;
    // Every way of ending here is told on the standard error output as well.
    auto say = [&](const QString& text, const QString& details, Platform::Buttons buttons) {
        std::fprintf(stderr, "featherlog: %s\n", qUtf8Printable(text));
        return ctx.platform.detailedMessageBox(text, details, kTitle, buttons, Platform::Icon::Critical);
    };
    try {
        openAndLoadOptions(s, {}, beforeUpgrade);
        return true;
    } catch (const db::DbError& e) {
        closeDatabase(s);
        if (!db::isDamage(e)) {
            say(e.message(), {}, Platform::Buttons::Ok);
            return false;
        }
        const QString damaged = QStringLiteral("Featherlog cannot open its database, %1: the file is damaged or is not "
                                               "a Featherlog database.")
                                    .arg(QDir::toNativeSeparators(s.databasePath()));
        std::optional<GoodBackup> backup;
        {
            Hourglass busy(ctx.platform);
            backup = newestGoodBackup(s.dataFolder);
        }
        if (!backup) {
            say(damaged + QStringLiteral("\n\nThere is no good backup in the Backups folder to put in its place. Keep a "
                                         "copy of the file: it may still hold most of your records."),
                e.message(), Platform::Buttons::Ok);
            return false;
        }
        if (say(damaged + QStringLiteral("\n\n") + backupOffer(*backup), e.message(), Platform::Buttons::YesNo)
            != Platform::Answer::Yes)
            return false;
        try {
            Hourglass busy(ctx.platform);
            restoreClosedDatabase(s.dataFolder, backup->path);
            openAndLoadOptions(s, {}, beforeUpgrade);
            return true;
        } catch (const std::exception& again) {
            closeDatabase(s);
            say(QStringLiteral("The backup could not be put in place of the damaged database."),
                QString::fromUtf8(again.what()), Platform::Buttons::Ok);
            return false;
        }
    } catch (const std::exception& e) {
        closeDatabase(s);
        say(QString::fromUtf8(e.what()), {}, Platform::Buttons::Ok);
        return false;
    }
}

void checkDataAfterStart(Context& ctx)
{
    AppState& s = ctx.state;
    if (const QString reason = unsavableReason(s.dataFolder, s.databasePath()); !reason.isEmpty())
        ctx.platform.messageBox(QStringLiteral("Featherlog cannot save changes in its data folder: %1.\n\nYou can look "
                                               "things up, but nothing you change will be kept. Give Featherlog a data "
                                               "folder it may write to, or ask for the right to write to this one.")
                                    .arg(reason),
                                kTitle, Platform::Buttons::Ok, Platform::Icon::Exclamation);
    if (const auto failed = lastFailedBackup(s.dataFolder))
        ctx.platform.detailedMessageBox(
            QStringLiteral("The automatic backup when Featherlog last closed (%1) failed, so the changes of that "
                           "session are in the database but in no backup.\n\nMake a backup now (File > Back Up "
                           "Database...). If the disk is full, make room on it first.")
                .arg(when(failed->when)),
            failed->reason, QStringLiteral("Automatic Backup"), Platform::Buttons::Ok, Platform::Icon::Exclamation);
    if (!s.dbBirds) return;
    // The finding belongs to this database: a restore in the meantime makes it stale.
    const std::weak_ptr<db::Connection> checked = s.dbBirds->connection();
    // The main window lives as long as the context: while it is there, so is the context.
    const QPointer<QWidget> window = ctx.main ? ctx.main->dialogParent() : nullptr;
    startDamageCheck(s, [&ctx, checked, window](const DamageFinding& finding) {
        if (!window) return;
        runGuarded(ctx.platform, QStringLiteral("The damage found in the database could not be reported."), [&] {
            const auto now = ctx.state.dbBirds ? ctx.state.dbBirds->connection() : nullptr;
            if (!now || now != checked.lock()) return;
            offerRestoreOfDamaged(ctx, finding);
        });
    });
}

} // namespace fl
