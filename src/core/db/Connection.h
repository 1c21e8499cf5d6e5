#pragma once

// Internal to the database layer: the engine connection and its prepared statements.

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <map>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace fl::db {

class Connection {
public:
    Connection(sqlite3* handle, QString path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* handle() const { return m_handle; }
    const QString& path() const { return m_path; }
    QString lastError() const;
    [[noreturn]] void fail(const QString& context) const;
    qint64 lastInsertRowid() const;
    int changes() const;

    // A prepared statement kept for reuse, prepared on first use; the handle resets it when
    // the use ends (see CachedStatement).
    class CachedStatement cached(const QString& sql);

    // How a record set source was last opened: the engine SQL it ran and what it learned about
    // the columns, so that opening it again prepares nothing new. Kept for the few most
    // recent sources (a loader uses its statement to the end before the next one starts).
    struct RecordsetPlan {
        QString sql;              // engine SQL, with the rowid columns an updatable set reads
        bool updatable = false;
        QStringList names, tables, originColumn;
        QHash<QString, int> index;
        std::vector<int> originTable;
        std::unique_ptr<class Statement> statement;
    };
    RecordsetPlan* findPlan(const QString& key);
    RecordsetPlan& storePlan(const QString& key, RecordsetPlan plan);
    // Forgets every plan: after a change of the tables (their columns may have changed).
    void clearPlans() noexcept { m_plans.clear(); }

    // Row updates held back while a write batch is open (see WriteBatch): by table and
    // columns, the rowid and the new values of each row.
    struct PendingGroup {
        QString table;
        QStringList columns;
        std::vector<std::pair<qint64, QVariantList>> rows;
    };
    bool batching() const { return m_batchDepth > 0; }
    void beginBatch() { ++m_batchDepth; }
    void endBatch() noexcept;
    // `group` names the table and columns ("table|col,col").
    void holdUpdate(const QString& group, const QString& table, const QStringList& columns, qint64 rowid,
                    QVariantList values);
    // Writes the held updates, one set-based statement per table and set of columns.
    void flushPending();

    // How many rows of table `name` (of the main database) were inserted, changed or deleted
    // through this connection since it was first asked about that table, which is then 0. A
    // copy of the table's data kept elsewhere is current while the number stays the same.
    quint64 tableChanges(const char* name);

private:
    static void rowChanged(void* self, int operation, const char* database, const char* table, long long rowid);
    struct WatchedTable {
        QByteArray name;
        quint64 changes = 0;
    };
    std::vector<WatchedTable> m_watched;
    sqlite3* m_handle;
    QString m_path;
    std::map<QString, std::unique_ptr<class Statement>> m_cache;
    std::map<QString, RecordsetPlan> m_plans;
    int m_batchDepth = 0;
    std::map<QString, PendingGroup> m_pending;
    bool m_flushing = false;
};

// A prepared statement over engine SQL (already translated from the program's dialect).
class Statement {
public:
    Statement(Connection& conn, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(const QVariantList& params);
    bool step(); // true while there is a row
    // Ends a use: the statement lets go of its rows (and of the read they hold) and of its values.
    void reset() noexcept;
    // Whether a use has begun and not ended (a row read, more to come).
    bool busy() const noexcept;

    int columnCount() const;
    QString columnName(int i) const;
    QString originTable(int i) const;
    QString originColumn(int i) const;
    QVariant value(int i) const;
    qint64 int64(int i) const;

private:
    Connection& m_conn;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_sql;
    std::vector<int> m_kinds; // how each column's value is read: plain, date or yes/no
};

// A kept statement in use. When the handle goes, by the end of its block or by a failure on
// the way, the statement is reset: it never holds a read of the file open, nor values bound,
// until its next use.
class CachedStatement {
public:
    explicit CachedStatement(Statement& statement) noexcept : m_statement(&statement) {}
    CachedStatement(CachedStatement&& other) noexcept : m_statement(std::exchange(other.m_statement, nullptr)) {}
    CachedStatement& operator=(CachedStatement&&) = delete;
    ~CachedStatement()
    {
        if (m_statement) m_statement->reset();
    }

    Statement* operator->() const noexcept { return m_statement; }
    Statement& operator*() const noexcept { return *m_statement; }

private:
    Statement* m_statement;
};

} // namespace fl::db
