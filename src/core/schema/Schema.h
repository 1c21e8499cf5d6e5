#pragma once

#include <QString>

namespace fl::db { class Database; }

namespace fl {

// The name of the database file in the data folder, and how it is opened.
inline constexpr auto kDatabaseFile = "bird.mdb";
inline constexpr auto kConnectString = ";PWD=qzmv";

// The version of the tables that this program reads and writes, kept in the file's
// user_version. A file of an earlier version is brought up to date when it is opened.
int currentSchemaVersion();

// A step that brings a file of one version to the next.
using UpgradeStep = void (*)(db::Database&);
// The version a file has once `step` has run on it; 0 when it is no upgrade step. Tests
// build a file of the version before a step with it.
int versionAfterStep(UpgradeStep step);

// Creates every table, index and saved query of a new bird database, at `version` (the
// current one unless a test asks for an older layout).
void createSchema(db::Database& db, int version = currentSchemaVersion());

// The version the file says it has.
int schemaVersion(db::Database& db);

// The version of an open bird database that this program can work with: refuses a file
// without the Options table (not a bird database) and a file of a later version than this
// program knows.
int checkSchemaVersion(db::Database& db);

// Brings an open bird database up to the current version, all steps in one transaction
// (a failure leaves the file as it was). Refuses a file without the Options table (not a
// bird database) and a file of a later version than this program knows.
void upgradeSchema(db::Database& db);

} // namespace fl
