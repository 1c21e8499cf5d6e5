#pragma once

#include <QString>

namespace fl::db { class Database; }

namespace fl {

// The name of the database file in the application folder, and how it is opened.
inline constexpr auto kDatabaseFile = "bird.mdb";
inline constexpr auto kConnectString = ";PWD=qzmv";

// Creates every table, index and saved query of a new bird database.
void createSchema(db::Database& db);

} // namespace fl
