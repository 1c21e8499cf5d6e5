#pragma once

// Internal to the database layer: how a record set is read from the engine.

#include "Recordset.h"

#include <QHash>
#include <QVariant>
#include <memory>
#include <unordered_map>
#include <vector>

namespace fl::db {

class Connection;

struct RecordsetData {
    std::shared_ptr<Connection> conn;
    bool updatable = false;
    QStringList names;                 // result column names
    QHash<QString, int> index;         // lower-case name (and table.name) -> column
    QStringList tables;                // tables the columns come from (updatable sets)
    std::vector<int> originTable;      // per column: index into `tables`, or -1
    QStringList originColumn;          // per column: the table column it shows
    std::vector<std::vector<QVariant>> rows;
    std::vector<std::vector<qint64>> rowids; // per row: rowid in each of `tables`

    int pos = 0;
    bool removedHere = false; // the current row was removed; moveNext stays on its index
    enum class Mode { None, Edit, Add } mode = Mode::None;
    std::vector<QVariant> buffer;
    std::vector<bool> dirty;
    int lastModified = -1;
    bool noMatch = true;

    // Equality search indexes: column -> value key -> row numbers in order.
    std::unordered_map<int, QHash<QString, std::vector<int>>> findIndexes;
};

std::unique_ptr<RecordsetData> loadRecordset(const std::shared_ptr<Connection>& conn, const QString& sql,
                                             RecordsetKind kind, const QVariantList& params);

} // namespace fl::db
