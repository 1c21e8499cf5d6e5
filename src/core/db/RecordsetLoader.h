#pragma once

// Internal to the database layer: how a record set is held and read from the engine.

#include "Connection.h"
#include "Recordset.h"

#include <QHash>
#include <QVariant>
#include <memory>
#include <unordered_map>
#include <vector>

namespace fl::db {

class Connection;
class Statement;

// Equality search index of one column: row numbers, in order, by value.
struct FindIndex {
    QHash<qint64, std::vector<int>> whole; // whole numbers
    QHash<QString, std::vector<int>> text; // other values, by their case-folded text
};

struct RecordsetData {
    std::shared_ptr<Connection> conn;
    bool updatable = false;
    QStringList names;                 // result column names
    QHash<QString, int> index;         // lower-case name (and table.name) -> column
    QStringList tables;                // tables the columns come from (updatable sets)
    std::vector<int> originTable;      // per column: index into `tables`, or -1
    QStringList originColumn;          // per column: the table column it shows

    // Rows, column by column in one block; the rowid of each row in each of `tables`.
    int ncols = 0;
    int nrows = 0;
    std::vector<QVariant> cells;
    std::vector<qint64> rowids;

    int pos = 0;
    bool removedHere = false; // the current row was removed; moveNext stays on its index
    enum class Mode { None, Edit, Add } mode = Mode::None;
    std::vector<QVariant> buffer;
    std::vector<bool> dirty;
    int lastModified = -1;
    bool noMatch = true;

    std::unordered_map<int, FindIndex> findIndexes;
    // UPDATE statements, and the columns they write, by table and set of columns written.
    std::unordered_map<quint64, Statement*> updates;
    std::unordered_map<quint64, std::pair<QString, QStringList>> heldColumns;
    // The last field looked up by name (loops ask for the same few names again and again).
    mutable QString lastName;
    mutable int lastColumn = -1;

    QVariant& at(int row, int col) { return cells[size_t(row) * ncols + col]; }
    const QVariant& at(int row, int col) const { return cells[size_t(row) * ncols + col]; }
    qint64 rowid(int row, int table) const { return rowids[size_t(row) * tables.size() + table]; }
};

// Opens engine SQL as a record set; with a `planKey`, remembers how, for loadPlannedRecordset.
std::unique_ptr<RecordsetData> loadRecordset(const std::shared_ptr<Connection>& conn, const QString& sql,
                                             RecordsetKind kind, const QVariantList& params,
                                             const QString& planKey = {});
// Opens a source again the way a plan remembers (its statement already prepared).
std::unique_ptr<RecordsetData> loadPlannedRecordset(const std::shared_ptr<Connection>& conn,
                                                    Connection::RecordsetPlan& plan, const QVariantList& params);

} // namespace fl::db
