#pragma once

#include "DbError.h"
#include "Recordset.h"

#include <QString>
#include <QVariant>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace fl::db {

class Connection;

// The one open connection to an encrypted database file.
class Database {
public:
    // Opens an existing file. `connect` is a connect string such as ";PWD=secret", whose
    // password is the file's key. A missing file, a folder, a read-only file (unless
    // `readOnly`), a file that is not a database of ours or is damaged (or a wrong password),
    // and a file that another connection holds exclusively raise DbError. Nothing is ever
    // created here, and a file that fails these checks is left exactly as it was.
    // `vfs` names a registered engine file layer to use instead of the default one.
    static std::unique_ptr<Database> open(const QString& path, bool exclusive, bool readOnly,
                                          const QString& connect, const QString& vfs = {});
    // Creates a new, empty encrypted file (refused when the file exists).
    static std::unique_ptr<Database> create(const QString& path, const QString& password);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs a statement without a result; returns the number of rows it changed.
    int execute(const QString& sql, const QVariantList& params = {});
    // Runs several statements separated by semicolons (no parameters).
    void executeScript(const QString& sql);
    // The first column of the first row, or a null value.
    QVariant scalar(const QString& sql, const QVariantList& params = {});

    // A table name, a saved query (view) name or a SELECT text.
    Recordset openRecordset(const QString& source, RecordsetKind kind = RecordsetKind::Dynaset,
                            const QVariantList& params = {});

    void begin();
    void commit();
    void rollback() noexcept;
    bool inTransaction() const;

    QString path() const;
    std::shared_ptr<Connection> connection() const { return m_conn; }

    // What the engine's quick check of the file found: whether it could check at all, and
    // an empty text for a sound file, otherwise its report.
    struct CheckResult {
        bool checked = false;
        QString damage;
    };
    // Runs the quick check on this connection, now.
    CheckResult quickCheck();
    // Runs the quick check on a thread of its own while the program goes on, then `done`
    // on that thread with the result and a flag that turns true when the database is being
    // closed (`done` may do more work, and should stop when it sees it). The program's own
    // statements wait while the check reads, since it shares the connection; closing the
    // database waits for the check and for `done`. One check at a time.
    void checkInBackground(std::function<void(const CheckResult&, const std::atomic<bool>& closing)> done);
    // Waits until a check in the background (and its `done`) has ended. Needed before a file
    // is attached to the connection: while the check reads, the engine keeps every database
    // of the connection in a read transaction, and an attached one could not be detached.
    void finishBackgroundCheck();

private:
    explicit Database(std::shared_ptr<Connection> conn);
    std::shared_ptr<Connection> m_conn;
    std::thread m_check;
    std::atomic<bool> m_closing{false};
};

// Groups several statements into one change: committed by commit(), rolled back otherwise.
// Inside another transaction it joins that one, which then decides for both.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    bool m_done = false;
    bool m_joined = false;
};

// While a batch is open, record-set edits of existing rows are held back and written
// together by flush(), one statement per table, instead of one statement per row. Any other
// statement on the database writes them first, so every query sees them. Flush before
// committing: whatever is still held when the batch ends is dropped.
class WriteBatch {
public:
    explicit WriteBatch(Database& db);
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;
    void flush();

private:
    Database& m_db;
};

// "<path> is not a Featherlog database or is damaged"
QString notOurDatabaseMessage(const QString& path);

// Parses a connect string (";PWD=secret;...") and returns the password, or an empty text.
QString passwordFromConnect(const QString& connect);

} // namespace fl::db
