#pragma once

#include <QString>

namespace fl {

struct AppState;
struct Context;

// The commands for the user's records: eBird import and export, backup and restore, taxonomy
// updates. Connects the sightings log, eBird import and export, backup and restore, the
// taxonomy update, and the backup at exit.
void registerRecordCommands(Context& ctx);

// Where the records commands' file dialogs for the user's own files (import, export, a
// taxonomy file) start: the folder one of them last went to, else the user's home folder;
// the program's folders are no place for the user's files. rememberFolder() notes the
// folder of a file chosen there.
QString recordsFolder(const AppState& s);
void rememberFolder(AppState& s, const QString& chosen);

void mnuFileImport_Click(Context& ctx);
void mnuFileExport_Click(Context& ctx);
void mnuFileBackup_Click(Context& ctx);
void mnuFileRestore_Click(Context& ctx);

// Restores the backup `path` without asking (the caller has asked), tells the user how it
// went, and shows the restored database. Whether it was restored.
bool restoreFromBackup(Context& ctx, const QString& path, const QString& title);

// Shows a species in the main window: selects it in the list on show, or, when the list
// does not hold it, lists every species and selects it there; then brings the window to
// the front.
void showSpeciesInMain(Context& ctx, const QString& name);

// After sightings were added outside the sighting window: the life-list panel, the page of
// the species on show (its sighting commands) and an open sightings log are brought up to date.
void refreshAfterSightingsChanged(Context& ctx);

// After the database was replaced: the main window loads the restored state afresh and
// shows the first species of the restored region; an open sightings log and My Lists read it again.
void reloadAfterRestore(Context& ctx);

} // namespace fl
