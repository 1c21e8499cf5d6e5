#pragma once

#include <QString>
#include <functional>

namespace fl::db { class Database; }

namespace fl {

struct AppState;

// Called with the open database and its version before the tables of an older file are
// brought up to date (the program keeps a backup of the file as it was). What it raises
// ends the opening with the file unchanged.
using BeforeUpgrade = std::function<void(db::Database& db, int fromVersion)>;

// Opens the bird database of the data folder and reads the Options row into the
// state, bringing a file of an earlier version up to date first. Raises db::DbError (the
// engine's message) or std::runtime_error (a null field). `vfs` names an engine file layer to
// use instead of the default one (tests use one that fails on demand). On any failure the
// database is closed again.
void openAndLoadOptions(AppState& state, const QString& vfs = {}, const BeforeUpgrade& beforeUpgrade = {});

// The query of the species list shown at start-up, for the stored region.
QString startupListQuery(const AppState& state);

// Whether the stored sort clause is the by-name one (compared exactly).
bool sortsByName(const QString& qrySort);

// "Life List: <lifesum> of <lifetotal>" from the Options row.
QString lifePanelText(const AppState& state);

// Closes the record sets and the database, in the order of an orderly exit.
void closeDatabase(AppState& state);

} // namespace fl
