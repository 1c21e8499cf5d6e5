#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace fl::db {

class Connection;
struct RecordsetData;

enum class RecordsetKind { Snapshot, Dynaset };

// A cursor over the rows of a table, saved query or SELECT.
//
// Rows are read when the set is opened. A Dynaset writes its edits through to the tables
// its columns come from (also over a join); a Snapshot is read-only. Field names are
// matched without regard to letter case. Operations that fail raise DbError.
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    bool isOpen() const;
    void close() noexcept;

    bool eof() const;
    bool bof() const;
    int recordCount() const;
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();

    // A criterion of the form `Field op value` (op one of = <> < > <= >=; value a number or
    // a text in double or single quotes). Equality searches are indexed on first use.
    void findFirst(const QString& criteria);
    void findNext(const QString& criteria);
    // The same for `field = value` with the value given directly.
    void findFirst(const QString& field, const QVariant& value);
    bool noMatch() const;

    QStringList fieldNames() const;
    bool hasField(const QString& name) const;
    QVariant field(const QString& name) const;
    QVariant field(int index) const;
    void setField(const QString& name, const QVariant& value);

    void addNew();
    void edit();
    void update();
    void cancelUpdate() noexcept; // drops an edit or a new row begun (nothing on a closed set)
    void remove(); // removes the current row; moveNext then goes to the row after it

    int bookmark() const;
    void setBookmark(int bookmark);
    int lastModified() const;

private:
    friend class Database;
    explicit Recordset(std::unique_ptr<RecordsetData> d);
    std::unique_ptr<RecordsetData> d;
};

} // namespace fl::db
