#pragma once

#include <QString>
#include <QStringList>

namespace fl::db { class Database; }

namespace fl {

// The tables a data folder may hold, one CSV file each (named like the table), in the order
// they are loaded so that every reference is loaded before the rows that use it.
QStringList dataTables();

// Loads every CSV file of `folder` named after a table into that table, in one transaction.
// The header row names the columns. An empty cell is NULL, except in text columns where it
// is the empty text. Returns the number of rows loaded; raises on any error.
int importCsvFolder(db::Database& db, const QString& folder);

// Builds a new encrypted bird database at `path` from the CSV files of `folder`, with every
// country, state, province and county of eBird's region list (those of the folder's regions
// that name one get its code). Refuses to replace an existing file unless `overwrite` is set.
int buildDatabase(const QString& folder, const QString& path, bool overwrite);

} // namespace fl
