#include "Connection.h"

#include "DbError.h"

#include <QDate>
#include <QDateTime>
#include <cstring>
#include <sqlcipher/sqlite3.h>

namespace fl::db {

namespace {
enum ColumnKind { Plain = 0, DateKind = 1, BoolKind = 2 };

int kindOf(const char* declType)
{
    if (!declType) return Plain;
    const QByteArray t = QByteArray(declType).toUpper();
    if (t == "DATE" || t == "DATETIME") return DateKind;
    if (t == "BOOLEAN" || t == "YESNO") return BoolKind;
    return Plain;
}
} // namespace

Connection::Connection(sqlite3* handle, QString path) : m_handle(handle), m_path(std::move(path))
{
    sqlite3_update_hook(m_handle, &Connection::rowChanged, this);
}

void Connection::rowChanged(void* self, int, const char* database, const char* table, long long)
{
    auto* conn = static_cast<Connection*>(self);
    if (conn->m_watched.empty() || std::strcmp(database, "main") != 0) return;
    for (WatchedTable& w : conn->m_watched)
        if (sqlite3_stricmp(w.name.constData(), table) == 0) ++w.changes;
}

quint64 Connection::tableChanges(const char* name)
{
    flushPending(); // held updates count once they are written
    for (const WatchedTable& w : m_watched)
        if (sqlite3_stricmp(w.name.constData(), name) == 0) return w.changes;
    m_watched.push_back({QByteArray(name), 0});
    return 0;
}

Connection::~Connection()
{
    m_plans.clear(); // statements first, then the connection
    m_cache.clear();
    sqlite3_close_v2(m_handle);
}

void Connection::endBatch() noexcept
{
    if (m_batchDepth > 0 && --m_batchDepth == 0) m_pending.clear(); // unflushed updates are dropped
}

void Connection::holdUpdate(const QString& group, const QString& table, const QStringList& columns, qint64 rowid,
                            QVariantList values)
{
    PendingGroup& g = m_pending[group];
    if (g.table.isEmpty()) {
        g.table = table;
        g.columns = columns;
    }
    g.rows.emplace_back(rowid, std::move(values));
}

void Connection::flushPending()
{
    if (m_pending.empty() || m_flushing) return;
    m_flushing = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_flushing};
    auto groups = std::move(m_pending);
    m_pending.clear();
    for (auto& [key, g] : groups) {
        const int n = int(g.columns.size());
        QStringList valueCols, sets;
        for (int i = 0; i < n; ++i) {
            valueCols << QStringLiteral("v%1").arg(i);
            sets << QStringLiteral("[%1] = (SELECT v%2 FROM temp.__pending%3 WHERE k = [%4].rowid)")
                        .arg(g.columns[i]).arg(i).arg(n).arg(g.table);
        }
        const QString staging = QStringLiteral("temp.__pending%1").arg(n);
        {
            Statement create(*this, QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS __pending%1 (k INTEGER PRIMARY KEY, %2)")
                                        .arg(n).arg(valueCols.join(u',')));
            create.step();
        }
        CachedStatement insert = cached(QStringLiteral("INSERT OR REPLACE INTO %1 VALUES (?%2)")
                                            .arg(staging, QStringLiteral(",?").repeated(n)));
        for (auto& [rowid, values] : g.rows) {
            QVariantList params;
            params.reserve(n + 1);
            params << rowid;
            params << values;
            insert->bind(params);
            insert->step();
        }
        Statement apply(*this, QStringLiteral("UPDATE [%1] SET %2 WHERE rowid IN (SELECT k FROM %3)")
                                   .arg(g.table, sets.join(QStringLiteral(", ")), staging));
        apply.step();
        Statement clear(*this, QStringLiteral("DELETE FROM ") + staging);
        clear.step();
    }
}

Connection::RecordsetPlan* Connection::findPlan(const QString& key)
{
    const auto it = m_plans.find(key);
    return it == m_plans.end() ? nullptr : &it->second;
}

Connection::RecordsetPlan& Connection::storePlan(const QString& key, RecordsetPlan plan)
{
    // Sources with values written into their text (a species id) come and go: keep a few.
    if (m_plans.size() >= 48) m_plans.clear();
    return m_plans.insert_or_assign(key, std::move(plan)).first->second;
}

CachedStatement Connection::cached(const QString& sql)
{
    auto it = m_cache.find(sql);
    if (it == m_cache.end()) it = m_cache.emplace(sql, std::make_unique<Statement>(*this, sql)).first;
    return CachedStatement(*it->second);
}

QString Connection::lastError() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_handle));
}

void Connection::fail(const QString& context) const
{
    const QString msg = context.isEmpty() ? lastError() : lastError() + QStringLiteral(" (") + context + u')';
    throw DbError(msg, sqlite3_extended_errcode(m_handle));
}

qint64 Connection::lastInsertRowid() const { return sqlite3_last_insert_rowid(m_handle); }
int Connection::changes() const { return sqlite3_changes(m_handle); }

Statement::Statement(Connection& conn, const QString& sql) : m_conn(conn), m_sql(sql)
{
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(conn.handle(), utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        conn.fail(sql);
    }
    if (!m_stmt) throw DbError(QStringLiteral("Empty statement: ") + sql);
    const int n = sqlite3_column_count(m_stmt);
    m_kinds.resize(n);
    for (int i = 0; i < n; ++i) m_kinds[i] = kindOf(sqlite3_column_decltype(m_stmt, i));
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bind(const QVariantList& params)
{
    sqlite3_reset(m_stmt);
    if (params.size() != sqlite3_bind_parameter_count(m_stmt))
        throw DbError(QStringLiteral("Wrong number of parameters (%1 for %2): %3")
                          .arg(params.size()).arg(sqlite3_bind_parameter_count(m_stmt)).arg(m_sql));
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params[i];
        int rc;
        if (v.isNull()) {
            rc = sqlite3_bind_null(m_stmt, i + 1);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int(m_stmt, i + 1, v.toBool() ? 1 : 0);
                break;
            case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong:
            case QMetaType::ULongLong: case QMetaType::Short: case QMetaType::UShort:
            case QMetaType::Long: case QMetaType::ULong:
                rc = sqlite3_bind_int64(m_stmt, i + 1, v.toLongLong());
                break;
            case QMetaType::Double: case QMetaType::Float:
                rc = sqlite3_bind_double(m_stmt, i + 1, v.toDouble());
                break;
            case QMetaType::QDate: {
                const QByteArray s = v.toDate().toString(Qt::ISODate).toUtf8();
                rc = sqlite3_bind_text(m_stmt, i + 1, s.constData(), int(s.size()), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QDateTime: {
                const QByteArray s = v.toDateTime().toString(Qt::ISODate).toUtf8();
                rc = sqlite3_bind_text(m_stmt, i + 1, s.constData(), int(s.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray s = v.toString().toUtf8();
                rc = sqlite3_bind_text(m_stmt, i + 1, s.constData(), int(s.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK) m_conn.fail(m_sql);
    }
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    m_conn.fail(m_sql);
}

void Statement::reset() noexcept
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool Statement::busy() const noexcept { return sqlite3_stmt_busy(m_stmt) != 0; }

int Statement::columnCount() const { return int(m_kinds.size()); }

QString Statement::columnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, i));
}

QString Statement::originTable(int i) const
{
    const char* t = sqlite3_column_table_name(m_stmt, i);
    return t ? QString::fromUtf8(t) : QString();
}

QString Statement::originColumn(int i) const
{
    const char* c = sqlite3_column_origin_name(m_stmt, i);
    return c ? QString::fromUtf8(c) : QString();
}

qint64 Statement::int64(int i) const { return sqlite3_column_int64(m_stmt, i); }

QVariant Statement::value(int i) const
{
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_column_int64(m_stmt, i);
        if (m_kinds[i] == BoolKind) return QVariant(v != 0);
        if (v >= INT32_MIN && v <= INT32_MAX) return QVariant(int(v));
        return QVariant(v);
    }
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, i));
    default: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i));
        QString s = QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, i));
        if (m_kinds[i] == DateKind) {
            const QDate d = QDate::fromString(s.left(10), Qt::ISODate);
            if (d.isValid()) return QVariant(d);
        }
        return QVariant(std::move(s));
    }
    }
}

} // namespace fl::db
