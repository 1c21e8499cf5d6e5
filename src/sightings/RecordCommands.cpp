#include "RecordCommands.h"

#include "AppState.h"
#include "Backup.h"
#include "EbirdExport.h"
#include "EbirdImport.h"
#include "Schema.h"
#include "Startup.h"
#include "browser/frmDisplay.h"
#include "frmImportPreview.h"
#include "frmSightingsLog.h"
#include "platform/Platform.h"
#include "ui/Context.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace fl {

namespace {

void tell(Context& ctx, const QString& text, const QString& title, Platform::Icon icon = Platform::Icon::Information)
{
    ctx.platform.messageBox(text, title, Platform::Buttons::Ok, icon);
}

QString password() { return db::passwordFromConnect(QString::fromLatin1(kConnectString)); }

bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo fa(a), fb(b);
    return fa.absoluteFilePath() == fb.absoluteFilePath()
           || (fa.exists() && fb.exists() && fa.canonicalFilePath() == fb.canonicalFilePath());
}

} // namespace

void showSpeciesInMain(Context& ctx, const QString& name)
{
    frmDisplay& main = *ctx.main;
    AppState& s = ctx.state;
    int at = main.cmbNames->findText(name, Qt::MatchFixedString);
    if (at < 0) {
        auto rs = s.db().openRecordset(QStringLiteral("SELECT Name FROM Birds") + s.qrySort, db::RecordsetKind::Snapshot);
        QStringList names;
        for (; !rs.eof(); rs.moveNext()) names << rs.field(0).toString();
        at = int(names.indexOf(name));
        if (at < 0) return; // the species is gone
        main.fillNames(names);
        main.setPanel(QStringLiteral("Hits"), QStringLiteral("Search Results: %1").arg(names.size()));
        main.setPanel(QStringLiteral("Type"), QStringLiteral("Find : All Birds"));
        s.searchType = QStringLiteral("All Birds");
    }
    main.selectListIndex(at);
    main.show();
    main.raise();
    main.activateWindow();
}

void refreshAfterSightingsChanged(Context& ctx)
{
    frmDisplay& main = *ctx.main;
    if (ctx.state.rsOptions.isOpen() && !ctx.state.rsOptions.eof()) main.setLifePanel(lifePanelText(ctx.state));
    if (main.cmbNames->currentIndex() >= 0) main.cmbNames_Click();
    if (frmSightingsLog* log = openSightingsLog()) log->reload();
}

void reloadAfterRestore(Context& ctx)
{
    ctx.main->Form_Load();
    if (frmSightingsLog* log = openSightingsLog()) log->reload();
}

void mnuFileImport_Click(Context& ctx)
{
    const QString title = QStringLiteral("Import eBird Data");
    const QString path = ctx.platform.openFileDialog(title, ctx.state.appFolder,
                                                     QStringLiteral("eBird data (*.csv);;All files (*)"));
    if (path.isEmpty()) return;
    ctx.main->storePendingText();
    ImportPreview preview;
    try {
        Hourglass busy(ctx.platform);
        preview = readEbirdFile(ctx.state.db(), path);
    } catch (const CsvError& e) {
        tell(ctx, QStringLiteral("%1 cannot be imported.\n\n%2").arg(QFileInfo(path).fileName(), e.message()), title,
             Platform::Icon::Exclamation);
        return;
    }
    frmImportPreview dialog(ctx, preview, path, ctx.main);
    dialog.exec();
    if (dialog.stored() > 0) refreshAfterSightingsChanged(ctx);
}

void mnuFileExport_Click(Context& ctx)
{
    const QString title = QStringLiteral("Export Sightings");
    AppState& s = ctx.state;
    int regId = 0;
    QString regType;
    if (s.Reg_ID != 0) {
        const auto answer = ctx.platform.messageBox(
            QStringLiteral("Export only the sightings in %1?\n\nChoose No to export every sighting.").arg(s.regname),
            title, Platform::Buttons::YesNoCancel, Platform::Icon::Question);
        if (answer == Platform::Answer::Cancel) return;
        if (answer == Platform::Answer::Yes) {
            regId = s.Reg_ID;
            regType = currentRegionType(s);
        }
    }
    const QString suggested = QDir(s.appFolder).filePath(
        QStringLiteral("sightings-%1.csv").arg(QDate::currentDate().toString(Qt::ISODate)));
    const QString path = ctx.platform.saveFileDialog(title, suggested, QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty()) return;
    ctx.main->storePendingText();
    int written = 0;
    try {
        Hourglass busy(ctx.platform);
        written = exportSightings(s.db(), path, regId, regType);
    } catch (const std::exception& e) {
        tell(ctx, QStringLiteral("The sightings could not be exported.\n\n%1").arg(QString::fromUtf8(e.what())), title,
             Platform::Icon::Exclamation);
        return;
    }
    tell(ctx, QStringLiteral("%1 sighting%2 written to %3 in eBird's record format.")
                  .arg(written).arg(written == 1 ? QStringLiteral(" was") : QStringLiteral("s were"), path), title);
}

void mnuFileBackup_Click(Context& ctx)
{
    const QString title = QStringLiteral("Back Up Database");
    AppState& s = ctx.state;
    const QString folder = backupFolder(s.appFolder);
    QDir().mkpath(folder);
    const QString path = ctx.platform.saveFileDialog(title, QDir(folder).filePath(defaultBackupName(QDate::currentDate())),
                                                     QStringLiteral("Featherlog databases (*.mdb)"));
    if (path.isEmpty()) return;
    if (sameFile(path, s.databasePath())) {
        tell(ctx, QStringLiteral("A backup cannot replace the database in use. Choose another file."), title,
             Platform::Icon::Exclamation);
        return;
    }
    try {
        ctx.main->storePendingText();
        Hourglass busy(ctx.platform);
        backupDatabase(s.db(), path, password());
    } catch (const std::exception& e) {
        tell(ctx, QStringLiteral("The backup could not be made; nothing was written.\n\n%1").arg(QString::fromUtf8(e.what())),
             title, Platform::Icon::Exclamation);
        return;
    }
    tell(ctx, QStringLiteral("The database was backed up to %1.").arg(path), title);
}

void mnuFileRestore_Click(Context& ctx)
{
    const QString title = QStringLiteral("Restore From Backup");
    AppState& s = ctx.state;
    const QString path = ctx.platform.openFileDialog(title, backupFolder(s.appFolder),
                                                     QStringLiteral("Featherlog databases (*.mdb);;All files (*)"));
    if (path.isEmpty()) return;
    QString problem = sameFile(path, s.databasePath())
                          ? QStringLiteral("It is the database in use.")
                          : checkBackupFile(path, QString::fromLatin1(kConnectString));
    if (!problem.isEmpty()) {
        tell(ctx, QStringLiteral("%1 cannot be restored; nothing was changed.\n\n%2").arg(QFileInfo(path).fileName(), problem),
             title, Platform::Icon::Exclamation);
        return;
    }
    if (ctx.platform.messageBox(QStringLiteral("Replace the database with the backup %1?\n\nThe database in use now is "
                                               "kept as bird.mdb.bak.").arg(QFileInfo(path).fileName()),
                                title, Platform::Buttons::YesNo, Platform::Icon::Question)
        != Platform::Answer::Yes)
        return;
    ctx.main->storePendingText();
    // The main window lets go of its record sets so that the file can be closed.
    ctx.main->rsClass.close();
    ctx.main->rsCDSong.close();
    QString failure;
    try {
        Hourglass busy(ctx.platform);
        restoreDatabase(s, path);
    } catch (const std::exception& e) {
        failure = QString::fromUtf8(e.what());
    }
    if (s.dbBirds) reloadAfterRestore(ctx); // the restored database, or the previous one when that failed
    if (!failure.isEmpty())
        tell(ctx, QStringLiteral("The backup could not be restored.\n\n%1").arg(failure), title, Platform::Icon::Exclamation);
    else
        tell(ctx, QStringLiteral("The database was restored from %1.").arg(path), title);
}

} // namespace fl
