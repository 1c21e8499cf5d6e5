#include "Database.h"

#include "Connection.h"
#include "Dialect.h"
#include "RecordsetLoader.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <sqlcipher/sqlite3.h>

namespace fl::db {

namespace {

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (argc < 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    sqlite3_result_int(ctx, likeMatchUtf8(pattern, text) ? 1 : 0);
}

void execRaw(Connection& conn, const QString& sql)
{
    char* err = nullptr;
    if (sqlite3_exec(conn.handle(), sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "unknown error");
        const int code = sqlite3_extended_errcode(conn.handle());
        sqlite3_free(err);
        throw DbError(msg, code);
    }
}

QString quoted(const QString& s)
{
    QString q = s;
    q.replace(u'\'', QStringLiteral("''"));
    return u'\'' + q + u'\'';
}

std::shared_ptr<Connection> openConnection(const QString& path, int flags, const QString& vfs = {})
{
    sqlite3* handle = nullptr;
    const QByteArray vfsName = vfs.toUtf8();
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags,
                                   vfs.isEmpty() ? nullptr : vfsName.constData());
    auto conn = std::make_shared<Connection>(handle, path);
    if (rc != SQLITE_OK) conn->fail(path);
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, 0);
    if (sqlite3_create_function(handle, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                likeFunction, nullptr, nullptr) != SQLITE_OK)
        conn->fail(QStringLiteral("like"));
    return conn;
}

} // namespace

QString passwordFromConnect(const QString& connect)
{
    for (const QString& part : connect.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq > 0 && part.left(eq).trimmed().compare(u"PWD", Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1);
    }
    return {};
}

Database::Database(std::shared_ptr<Connection> conn) : m_conn(std::move(conn)) {}
Database::~Database()
{
    m_closing = true;
    if (m_check.joinable()) m_check.join();
}

namespace {

// The quick check on a connection, through the engine alone (the connection's mutex keeps
// the program's statements and this one apart).
Database::CheckResult runQuickCheck(sqlite3* handle)
{
    Database::CheckResult result;
    sqlite3_stmt* st = nullptr;
    // The database file alone, not a file attached to the connection meanwhile.
    if (sqlite3_prepare_v2(handle, "PRAGMA main.quick_check", -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return result;
    }
    QStringList rows;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    const int primary = rc & 0xFF;
    const QString error = rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(handle));
    sqlite3_finalize(st);
    if (rc == SQLITE_DONE) {
        result.checked = true;
        if (rows != QStringList{QStringLiteral("ok")}) result.damage = rows.join(u'\n');
    } else if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_IOERR) {
        // Pages that cannot be read or decrypted are damage too.
        result.checked = true;
        result.damage = error;
    }
    return result;
}

} // namespace

Database::CheckResult Database::quickCheck()
{
    m_conn->flushPending();
    return runQuickCheck(m_conn->handle());
}

void Database::checkInBackground(std::function<void(const CheckResult&, const std::atomic<bool>& closing)> done)
{
    if (m_check.joinable()) m_check.join();
    m_conn->flushPending();
    m_check = std::thread([conn = m_conn, done = std::move(done), this] {
        const CheckResult result = runQuickCheck(conn->handle());
        try {
            if (!m_closing && done) done(result, m_closing);
        } catch (...) {
            // Nothing can be reported from here; the check simply has no outcome.
        }
    });
}

void Database::finishBackgroundCheck()
{
    if (m_check.joinable()) m_check.join();
}

QString notOurDatabaseMessage(const QString& path)
{
    return QStringLiteral("%1 is not a Featherlog database or is damaged").arg(path);
}

namespace {

// Whether the file system lets nobody write the file (the permission bits, which also hold
// for a user who could write it anyway).
bool readOnlyFile(const QFileInfo& info)
{
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !info.isWritable() || !(info.permissions() & writeBits);
}

QString readOnlyMessage(const QString& path)
{
    return QStringLiteral("%1 is read-only; the database file must be writable.").arg(path);
}

// Reads the file's schema and size before anything may write to it: a file that is not an
// encrypted database with our key, holds no tables or is shorter than its pages say is
// refused.
void checkDatabaseFile(Connection& conn, const QString& path)
{
    try {
        // The first read also rolls back a change that was interrupted, so the size is read after it.
        Statement tables(conn, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table'"));
        const bool hasTables = tables.step() && tables.int64(0) > 0;
        const qint64 fileSize = QFileInfo(path).size();
        Statement pages(conn, QStringLiteral("PRAGMA page_count"));
        const qint64 pageCount = pages.step() ? pages.int64(0) : 0;
        Statement size(conn, QStringLiteral("PRAGMA page_size"));
        const qint64 pageSize = size.step() ? size.int64(0) : 0;
        if (!hasTables || pageCount <= 0 || pageCount * pageSize > fileSize)
            throw DbError(notOurDatabaseMessage(path), SQLITE_NOTADB);
    } catch (const DbError& e) {
        const int primary = e.code() & 0xFF;
        if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT || primary == SQLITE_CANTOPEN || e.code() == 0)
            throw DbError(notOurDatabaseMessage(path), SQLITE_NOTADB);
        throw;
    }
}

} // namespace

std::unique_ptr<Database> Database::open(const QString& path, bool exclusive, bool readOnly,
                                         const QString& connect, const QString& vfs)
{
    const QFileInfo info(path);
    if (info.isDir())
        throw DbError(QStringLiteral("%1 is a folder, not a database file.").arg(path), SQLITE_CANTOPEN);
    if (!info.isFile())
        throw DbError(QStringLiteral("Could not find file '%1'.").arg(path), SQLITE_CANTOPEN);
    if (!readOnly && readOnlyFile(info)) throw DbError(readOnlyMessage(path), SQLITE_READONLY);
    // An engine page is at least 512 bytes: an empty or cut-off file cannot be a database,
    // unless a journal left by an interrupted change is there to put it right.
    const qint64 fileSize = info.size();
    const bool journal = QFileInfo(path + QStringLiteral("-journal")).size() > 0;
    if (!journal && (fileSize < 512 || fileSize % 512 != 0))
        throw DbError(notOurDatabaseMessage(path), SQLITE_NOTADB);

    // Serialized: the check for damage shares the connection from a thread of its own.
    auto conn = openConnection(path, (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_FULLMUTEX, vfs);
    if (!readOnly && sqlite3_db_readonly(conn->handle(), "main") == 1)
        throw DbError(readOnlyMessage(path), SQLITE_READONLY);
    execRaw(*conn, QStringLiteral("PRAGMA key = ") + quoted(passwordFromConnect(connect)));
    try {
        checkDatabaseFile(*conn, path);
        execRaw(*conn, QStringLiteral("PRAGMA foreign_keys = ON"));
        execRaw(*conn, QStringLiteral("PRAGMA cache_size = -32768"));
        // Temporary tables (the write batch's) stay in memory, never in a file beside the database.
        execRaw(*conn, QStringLiteral("PRAGMA temp_store = MEMORY"));
        if (exclusive) {
            execRaw(*conn, QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
            // Taking the write lock once keeps it for the life of the connection, so no
            // other connection, in this process or another, can read or write the file.
            execRaw(*conn, readOnly ? QStringLiteral("SELECT count(*) FROM sqlite_master")
                                    : QStringLiteral("BEGIN EXCLUSIVE; COMMIT"));
        } else {
            execRaw(*conn, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        }
    } catch (const DbError& e) {
        const int primary = e.code() & 0xFF;
        if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
            throw DbError(notOurDatabaseMessage(path), e.code());
        if (primary == SQLITE_READONLY) throw DbError(readOnlyMessage(path), e.code());
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
            throw DbError(QStringLiteral("The database '%1' is already in use by another copy of the program "
                                         "and cannot be opened again (%2).").arg(path, e.message()), e.code());
        throw;
    }
    return std::unique_ptr<Database>(new Database(std::move(conn)));
}

std::unique_ptr<Database> Database::create(const QString& path, const QString& password)
{
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("The file '%1' already exists.").arg(path));
    auto conn = openConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    execRaw(*conn, QStringLiteral("PRAGMA key = ") + quoted(password));
    execRaw(*conn, QStringLiteral("PRAGMA foreign_keys = ON"));
    execRaw(*conn, QStringLiteral("PRAGMA cache_size = -32768"));
    execRaw(*conn, QStringLiteral("PRAGMA temp_store = MEMORY"));
    return std::unique_ptr<Database>(new Database(std::move(conn)));
}

namespace {

// Whether a statement may change the tables' layout (which kept record set plans depend on).
bool changesLayout(const QString& sql)
{
    const QStringView s = QStringView(sql).trimmed();
    for (const char* word : {"CREATE", "ALTER", "DROP", "PRAGMA"})
        if (s.startsWith(QLatin1String(word), Qt::CaseInsensitive)) return true;
    return false;
}

} // namespace

int Database::execute(const QString& sql, const QVariantList& params)
{
    m_conn->flushPending();
    if (changesLayout(sql)) m_conn->clearPlans();
    Statement st(*m_conn, translateSql(sql));
    st.bind(params);
    while (st.step()) {
    }
    return m_conn->changes();
}

void Database::executeScript(const QString& sql)
{
    m_conn->flushPending();
    m_conn->clearPlans();
    execRaw(*m_conn, sql);
}

QVariant Database::scalar(const QString& sql, const QVariantList& params)
{
    m_conn->flushPending();
    Statement st(*m_conn, translateSql(sql));
    st.bind(params);
    return st.step() ? st.value(0) : QVariant();
}

Recordset Database::openRecordset(const QString& source, RecordsetKind kind, const QVariantList& params)
{
    m_conn->flushPending();
    QString key = source;
    key.prepend(kind == RecordsetKind::Dynaset ? u'D' : u'S');
    if (Connection::RecordsetPlan* plan = m_conn->findPlan(key))
        return Recordset(loadPlannedRecordset(m_conn, *plan, params));
    const QString trimmed = source.trimmed();
    static const QRegularExpression bareName(QStringLiteral("^\\w+$"));
    const QString sql = bareName.match(trimmed).hasMatch()
        ? QStringLiteral("SELECT * FROM [%1]").arg(trimmed)
        : translateSql(trimmed);
    return Recordset(loadRecordset(m_conn, sql, kind, params, key));
}

void Database::begin() { execRaw(*m_conn, QStringLiteral("BEGIN IMMEDIATE")); }
void Database::commit()
{
    m_conn->flushPending();
    execRaw(*m_conn, QStringLiteral("COMMIT"));
}

void Database::rollback() noexcept
{
    if (inTransaction()) sqlite3_exec(m_conn->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

bool Database::inTransaction() const { return sqlite3_get_autocommit(m_conn->handle()) == 0; }

QString Database::path() const { return m_conn->path(); }

WriteBatch::WriteBatch(Database& db) : m_db(db) { m_db.connection()->beginBatch(); }
WriteBatch::~WriteBatch() { m_db.connection()->endBatch(); }
void WriteBatch::flush() { m_db.connection()->flushPending(); }

Transaction::Transaction(Database& db) : m_db(db), m_joined(db.inTransaction())
{
    if (!m_joined) m_db.begin();
}

Transaction::~Transaction()
{
    if (!m_done && !m_joined) m_db.rollback();
}

void Transaction::commit()
{
    if (!m_joined) m_db.commit();
    m_done = true;
}

} // namespace fl::db
