#include "RecordCommands.h"

#include "state/AppState.h"
#include "state/OptionsRow.h"
#include "state/SpeciesOnShow.h"
#include "records/Backup.h"
#include "records/EbirdExport.h"
#include "records/EbirdImport.h"
#include "records/SafeTargets.h"
#include "schema/Schema.h"
#include "state/Startup.h"
#include "frmImportPreview.h"
#include "frmMyLists.h"
#include "frmSightingsLog.h"
#include "frmTaxonomyUpdate.h"
#include "status/StatusTexts.h"
#include "platform/Platform.h"
#include "ui/Counted.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/Guard.h"
#include "ui/MainWindow.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <optional>

namespace fl {

namespace {

void tell(Context& ctx, const QString& text, const QString& title, Platform::Icon icon = Platform::Icon::Information)
{
    ctx.platform.messageBox(text, title, Platform::Buttons::Ok, icon);
}

// A failure: `what` could not be done, why in plain words, the engine's report behind the
// details button.
void tellFailure(Context& ctx, const QString& what, const std::exception& e, const QString& title)
{
    const UserMessage m = userMessage(e);
    ctx.platform.detailedMessageBox(what + QStringLiteral("\n\n") + m.text, m.details, title, Platform::Buttons::Ok,
                                    Platform::Icon::Exclamation);
}

QString password() { return db::passwordFromConnect(QString::fromLatin1(kConnectString)); }

bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo fa(a), fb(b);
    return fa.absoluteFilePath() == fb.absoluteFilePath()
           || (fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath());
}

} // namespace

QString recordsFolder(const AppState& s) { return s.recordsFolder.isEmpty() ? QDir::homePath() : s.recordsFolder; }
void rememberFolder(AppState& s, const QString& chosen) { s.recordsFolder = QFileInfo(chosen).absolutePath(); }

void showSpeciesInMain(Context& ctx, const QString& name)
{
    MainWindow& main = *ctx.main;
    AppState& s = ctx.state;
    if (!main.selectSpeciesByName(name)) {
        auto rs = s.db().openRecordset(QStringLiteral("SELECT Name FROM Birds") + s.qrySort, db::RecordsetKind::Snapshot);
        QStringList names;
        for (; !rs.eof(); rs.moveNext()) names << rs.field(0).toString();
        if (!names.contains(name)) return; // the species is gone
        main.replaceSpeciesList(names, false);
        main.setPanel(panel::Hits, panelText::regionCount(int(names.size())));
        main.setPanel(panel::Type, panelText::findType(QStringLiteral("All Birds")));
        s.searchType = QStringLiteral("All Birds");
        main.selectSpeciesByName(name);
    }
    main.bringToFront();
}

void refreshAfterSightingsChanged(Context& ctx)
{
    MainWindow& main = *ctx.main;
    if (optionsOpen(ctx.state)) main.setPanel(panel::Life, lifePanelText(ctx.state));
    if (main.species().isShown()) main.refreshSpecies();
    if (frmSightingsLog* log = openSightingsLog()) log->reload();
    if (frmMyLists* lists = openMyLists()) lists->reload();
}

void reloadAfterRestore(Context& ctx)
{
    ctx.main->reload();
    if (frmSightingsLog* log = openSightingsLog()) log->reload();
    if (frmMyLists* lists = openMyLists()) lists->reload();
}

void mnuFileImport_Click(Context& ctx)
{
    const QString title = QStringLiteral("Import eBird Data");
    const QString path = ctx.platform.openFileDialog(title, recordsFolder(ctx.state),
                                                     QStringLiteral("eBird data (*.csv);;All files (*)"));
    if (path.isEmpty()) return;
    rememberFolder(ctx.state, path);
    ctx.main->storePendingEdits();
    // The window shows the reading's progress, and Cancel stops it.
    frmImportPreview dialog(ctx, path, ctx.main->dialogParent());
    try {
        Hourglass busy(ctx.platform);
        if (!dialog.readFile()) return;
    } catch (const CsvError& e) {
        dialog.hide();
        tell(ctx, QStringLiteral("%1 cannot be imported.\n\n%2").arg(QFileInfo(path).fileName(), e.message()), title,
             Platform::Icon::Exclamation);
        return;
    }
    dialog.exec();
    // Accepted once something is stored: sightings, or only records of no species with their
    // outings and the regions made for them.
    if (dialog.result() == QDialog::Accepted) refreshAfterSightingsChanged(ctx);
}

namespace {

// What an export wrote, for the message after it.
QString exportReport(const EbirdExportResult& r, EbirdLayout layout)
{
    QString what = counted(r.sightings, "sighting", "sightings");
    if (r.otherRecords > 0) what += QStringLiteral(" and ") + counted(r.otherRecords, "record", "records") + QStringLiteral(" of no species");
    const QString were = r.records() == 1 ? QStringLiteral("was") : QStringLiteral("were");
    QString text;
    if (layout == EbirdLayout::Download) {
        text = QStringLiteral("%1 %2 written to %3 in the layout of eBird's \"My eBird Data\" download.")
                   .arg(what, were, r.files.value(0));
    } else if (r.files.size() == 1) {
        text = QStringLiteral("%1 %2 written to %3 in eBird's record format.").arg(what, were, r.files.value(0));
    } else {
        QStringList names;
        for (const QString& f : r.files) names << QFileInfo(f).fileName();
        text = QStringLiteral("%1 %2 written in eBird's record format to %3 files of at most 1 MB each, as eBird "
                              "takes them, no outing split between two. They are in the folder\n%4:\n\n%5\n\n"
                              "Upload each of them to eBird.")
                   .arg(what, were)
                   .arg(r.files.size())
                   .arg(QDir::toNativeSeparators(QFileInfo(r.files.value(0)).absolutePath()), names.join(u'\n'));
    }
    for (const QString& f : r.oversized)
        text += QStringLiteral("\n\n%1 is larger than 1 MB: it holds one outing that alone is larger, and eBird may "
                               "refuse it.").arg(QFileInfo(f).fileName());
    return text;
}

} // namespace

void mnuFileExport_Click(Context& ctx)
{
    const QString title = QStringLiteral("Export Sightings");
    AppState& s = ctx.state;
    const auto layoutAnswer = ctx.platform.messageBox(
        QStringLiteral("Write the sightings in eBird's record format, to upload them to eBird?\n\nChoose No for the "
                       "layout of eBird's \"My eBird Data\" download: every outing and record with its effort, counts "
                       "and comments, which Featherlog can import again (a sighting's type, such as Male, has no "
                       "column there)."),
        title, Platform::Buttons::YesNoCancel, Platform::Icon::Question);
    if (layoutAnswer == Platform::Answer::Cancel) return;
    EbirdExportOptions options;
    options.layout = layoutAnswer == Platform::Answer::Yes ? EbirdLayout::RecordFormat : EbirdLayout::Download;
    if (s.Reg_ID != 0) {
        const auto answer = ctx.platform.messageBox(
            QStringLiteral("Export only the sightings in %1?\n\nChoose No to export every sighting.").arg(s.regname),
            title, Platform::Buttons::YesNoCancel, Platform::Icon::Question);
        if (answer == Platform::Answer::Cancel) return;
        if (answer == Platform::Answer::Yes) options.regId = s.Reg_ID;
    }
    const QString name = options.layout == EbirdLayout::Download ? QStringLiteral("ebird-data-%1.csv")
                                                                 : QStringLiteral("sightings-%1.csv");
    const QString suggested = QDir(recordsFolder(s)).filePath(name.arg(QDate::currentDate().toString(Qt::ISODate)));
    const QString path = ctx.platform.saveFileDialog(title, suggested, QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty()) return;
    rememberFolder(s, path);
    if (const QString refusal = refusedTarget(path, s.databasePath(), TargetUse::Export); !refusal.isEmpty()) {
        tell(ctx, refusal, title, Platform::Icon::Exclamation);
        return;
    }
    ctx.main->storePendingEdits();
    // A large export is written as several files beside the one named; those that exist are
    // replaced only when the user agrees.
    options.replaceExisting = [&](const QStringList& existing) {
        QStringList names;
        for (const QString& f : existing) names << QFileInfo(f).fileName();
        return ctx.platform.messageBox(QStringLiteral("The export is larger than eBird takes in one file, so it is "
                                                      "written as several files. These exist already:\n\n%1\n\n"
                                                      "Replace them?")
                                           .arg(names.join(u'\n')),
                                       title, Platform::Buttons::YesNo, Platform::Icon::Question)
               == Platform::Answer::Yes;
    };
    EbirdExportResult result;
    try {
        Hourglass busy(ctx.platform);
        result = exportEbird(s.db(), path, options);
    } catch (const std::exception& e) {
        tellFailure(ctx, QStringLiteral("The sightings could not be exported; no file was written."), e, title);
        return;
    }
    if (result.files.isEmpty()) return; // the user kept the files there
    tell(ctx, exportReport(result, options.layout), title,
         result.oversized.isEmpty() ? Platform::Icon::Information : Platform::Icon::Exclamation);
}

void mnuFileBackup_Click(Context& ctx)
{
    const QString title = QStringLiteral("Back Up Database");
    AppState& s = ctx.state;
    // Backups belong with the automatic ones, in the data folder's Backups.
    const QString folder = backupFolder(s.dataFolder);
    QDir().mkpath(folder);
    const QString path = ctx.platform.saveFileDialog(title, QDir(folder).filePath(freeBackupName(folder, QDate::currentDate())),
                                                     QStringLiteral("Featherlog databases (*.mdb)"));
    if (path.isEmpty()) return;
    if (const QString refusal = refusedTarget(path, s.databasePath(), TargetUse::NewBackup); !refusal.isEmpty()) {
        tell(ctx, refusal, title, Platform::Icon::Exclamation);
        return;
    }
    try {
        ctx.main->storePendingEdits();
        Hourglass busy(ctx.platform);
        backupDatabase(s.db(), path, password());
    } catch (const std::exception& e) {
        tellFailure(ctx, QStringLiteral("The backup could not be made; nothing was written."), e, title);
        return;
    }
    clearFailedBackup(s.dataFolder); // a failed automatic backup is made good
    tell(ctx, QStringLiteral("The database was backed up to %1.").arg(path), title);
}

void mnuFileRestore_Click(Context& ctx)
{
    const QString title = QStringLiteral("Restore From Backup");
    AppState& s = ctx.state;
    // The automatic backups and those made by Back Up are in the data folder's Backups.
    const QString path = ctx.platform.openFileDialog(title, backupFolder(s.dataFolder),
                                                     QStringLiteral("Featherlog databases (*.mdb);;All files (*)"));
    if (path.isEmpty()) return;
    QString details;
    QString problem;
    {
        Hourglass busy(ctx.platform);
        problem = sameFile(path, s.databasePath())
                      ? QStringLiteral("It is the database in use.")
                      // The quick check answers at once; the restore itself runs the full one.
                      : checkBackupFile(path, QString::fromLatin1(kConnectString), &details, CheckDepth::Quick);
    }
    if (!problem.isEmpty()) {
        ctx.platform.detailedMessageBox(QStringLiteral("%1 cannot be restored; nothing was changed.\n\n%2")
                                            .arg(QFileInfo(path).fileName(), problem),
                                        details, title, Platform::Buttons::Ok, Platform::Icon::Exclamation);
        return;
    }
    if (ctx.platform.messageBox(QStringLiteral("Replace the database with the backup %1?\n\nThe database in use now is "
                                               "kept in the Backups folder.").arg(QFileInfo(path).fileName()),
                                title, Platform::Buttons::YesNo, Platform::Icon::Question)
        != Platform::Answer::Yes)
        return;
    restoreFromBackup(ctx, path, title);
}

bool restoreFromBackup(Context& ctx, const QString& path, const QString& title)
{
    AppState& s = ctx.state;
    ctx.main->storePendingEdits();
    // The main window lets go of its record sets so that the file can be closed.
    ctx.main->releaseDatabase();
    QString kept;
    std::optional<UserMessage> failure;
    try {
        Hourglass busy(ctx.platform);
        kept = restoreDatabase(s, path);
    } catch (const std::exception& e) {
        failure = userMessage(e);
    }
    if (s.dbBirds) reloadAfterRestore(ctx); // the restored database, or the previous one when that failed
    if (failure) {
        ctx.platform.detailedMessageBox(QStringLiteral("The backup could not be restored.\n\n%1").arg(failure->text),
                                        failure->details, title, Platform::Buttons::Ok, Platform::Icon::Exclamation);
        return false;
    }
    tell(ctx, QStringLiteral("The database was restored from %1.\n\nThe database in use before is kept as %2.")
                  .arg(path, QDir::toNativeSeparators(kept)),
         title);
    return true;
}

void registerRecordCommands(Context& ctx)
{
    CommandRegistry& c = ctx.main->commands();
    c.setHandler(cmd::mnuViewLog, [&ctx] { mnuViewLog_Click(ctx); });
    c.setHandler(cmd::mnuFileImport, [&ctx] { mnuFileImport_Click(ctx); });
    c.setHandler(cmd::mnuFileExport, [&ctx] { mnuFileExport_Click(ctx); });
    c.setHandler(cmd::mnuFileBackup, [&ctx] { mnuFileBackup_Click(ctx); });
    c.setHandler(cmd::mnuFileRestore, [&ctx] { mnuFileRestore_Click(ctx); });
    c.setHandler(cmd::mnuFileTaxonomy, [&ctx] { mnuFileTaxonomy_Click(ctx); });
    // A run that changed data leaves a rolling backup in the Backups folder.
    ctx.main->addExitStep([&ctx] {
        const QString failed = backupOnExit(ctx.state);
        if (failed.isEmpty()) return;
        qWarning("Automatic backup failed: %s", qUtf8Printable(failed));
        ctx.platform.detailedMessageBox(
            QStringLiteral("Featherlog could not make its automatic backup as it closed, so the changes of this session "
                           "are in the database but in no backup yet.\n\nIf the disk is full, make room on it. Then "
                           "start Featherlog and make a backup (File > Back Up Database...); Featherlog will "
                           "remind you."),
            failed, QStringLiteral("Automatic Backup"), Platform::Buttons::Ok, Platform::Icon::Exclamation);
    });
}

} // namespace fl
