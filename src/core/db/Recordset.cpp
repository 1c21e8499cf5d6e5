#include "Recordset.h"

#include "Connection.h"
#include "DbError.h"
#include "RecordsetLoader.h"

#include <QDate>
#include <algorithm>
#include <cmath>

namespace fl::db {

namespace {

// Finds the FROM keyword of the outermost SELECT (outside literals, brackets and parentheses).
qsizetype topLevelFrom(const QString& sql)
{
    int depth = 0;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'[') {
            const QChar close = c == u'[' ? u']' : c;
            qsizetype j = sql.indexOf(close, i + 1);
            if (j < 0) return -1;
            i = j;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (depth == 0 && (c == u'f' || c == u'F') && (i == 0 || !sql[i - 1].isLetterOrNumber())
                   && QStringView(sql).mid(i, 4).compare(u"from", Qt::CaseInsensitive) == 0
                   && (i + 4 >= n || !(sql[i + 4].isLetterOrNumber() || sql[i + 4] == u'_'))) {
            return i;
        }
    }
    return -1;
}

bool isNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::LongLong: case QMetaType::Double: case QMetaType::Bool:
    case QMetaType::UInt: case QMetaType::ULongLong: case QMetaType::Short: case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

// A whole number, when the value is one (a number, or a text that reads as one).
bool wholeNumber(const QVariant& v, qint64* out)
{
    double d;
    if (isNumber(v)) {
        d = v.toDouble();
    } else if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        d = v.toString().trimmed().toDouble(&ok);
        if (!ok) return false;
    } else {
        return false;
    }
    if (d != std::floor(d) || std::fabs(d) > 9e15) return false;
    *out = qint64(d);
    return true;
}

QString textKey(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDate) return v.toDate().toString(Qt::ISODate);
    if (isNumber(v)) return QString::number(v.toDouble(), 'g', 17);
    return v.toString().toCaseFolded();
}

int compareValues(const QVariant& a, const QVariant& b)
{
    if (isNumber(a) || isNumber(b)) {
        bool okA = false, okB = false;
        const double x = a.toDouble(&okA), y = b.toDouble(&okB);
        if (okA && okB) return x < y ? -1 : x > y ? 1 : 0;
    }
    return QString::compare(textKey(a), textKey(b), Qt::CaseInsensitive);
}

enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

struct Criterion {
    QString field;
    Op op = Op::Eq;
    QVariant value;
};

[[noreturn]] void badCriterion(const QString& text)
{
    throw DbError(QStringLiteral("Unsupported search criterion: ") + text);
}

// `Field op value`, value a number or a text in double or single quotes.
Criterion parseCriterion(const QString& text)
{
    Criterion c;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skip = [&] { while (i < n && text[i].isSpace()) ++i; };
    skip();
    const bool bracket = i < n && text[i] == u'[';
    if (bracket) ++i;
    const qsizetype nameStart = i;
    while (i < n && (text[i].isLetterOrNumber() || text[i] == u'_' || text[i] == u'.')) ++i;
    c.field = text.mid(nameStart, i - nameStart);
    if (bracket) {
        if (i >= n || text[i] != u']') badCriterion(text);
        ++i;
    }
    if (c.field.isEmpty()) badCriterion(text);
    skip();
    if (i >= n) badCriterion(text);
    const QChar a = text[i], b = i + 1 < n ? text[i + 1] : QChar();
    if (a == u'<' && b == u'>') { c.op = Op::Ne; i += 2; }
    else if (a == u'<' && b == u'=') { c.op = Op::Le; i += 2; }
    else if (a == u'>' && b == u'=') { c.op = Op::Ge; i += 2; }
    else if (a == u'=') { c.op = Op::Eq; ++i; }
    else if (a == u'<') { c.op = Op::Lt; ++i; }
    else if (a == u'>') { c.op = Op::Gt; ++i; }
    else badCriterion(text);
    skip();
    if (i >= n) badCriterion(text);
    if (text[i] == u'"' || text[i] == u'\'') {
        const QChar q = text[i];
        qsizetype end = text.lastIndexOf(q);
        if (end <= i) badCriterion(text);
        for (qsizetype k = end + 1; k < n; ++k)
            if (!text[k].isSpace()) badCriterion(text);
        QString value = text.mid(i + 1, end - i - 1);
        if (q == u'\'') value.replace(QStringLiteral("''"), QStringLiteral("'"));
        c.value = value;
    } else {
        bool ok = false;
        const double d = text.mid(i).trimmed().remove(u' ').toDouble(&ok);
        if (!ok) badCriterion(text);
        c.value = d;
    }
    return c;
}

bool satisfies(const QVariant& v, const Criterion& c)
{
    if (v.isNull()) return false;
    const int r = compareValues(v, c.value);
    switch (c.op) {
    case Op::Eq: return r == 0;
    case Op::Ne: return r != 0;
    case Op::Lt: return r < 0;
    case Op::Gt: return r > 0;
    case Op::Le: return r <= 0;
    case Op::Ge: return r >= 0;
    }
    return false;
}

RecordsetData& need(const std::unique_ptr<RecordsetData>& d)
{
    if (!d) throw DbError(QStringLiteral("Operation is not allowed when the record set is closed."));
    return *d;
}

int columnOf(const RecordsetData& r, const QString& name)
{
    if (r.lastColumn >= 0 && name == r.lastName) return r.lastColumn;
    const auto it = r.index.constFind(name.toLower());
    if (it == r.index.constEnd()) throw DbError(QStringLiteral("Item not found in this collection: ") + name);
    r.lastName = name;
    r.lastColumn = *it;
    return *it;
}

const FindIndex& indexFor(RecordsetData& r, int col)
{
    auto it = r.findIndexes.find(col);
    if (it != r.findIndexes.end()) return it->second;
    FindIndex idx;
    for (int row = 0; row < r.nrows; ++row) {
        const QVariant& v = r.at(row, col);
        if (v.isNull()) continue;
        qint64 whole;
        if (isNumber(v) && wholeNumber(v, &whole)) idx.whole[whole].push_back(row);
        else idx.text[textKey(v)].push_back(row);
    }
    return r.findIndexes.emplace(col, std::move(idx)).first->second;
}

// The first row after `after` whose column equals `value`, or -1.
int findEqual(RecordsetData& r, int col, const QVariant& value, int after)
{
    const FindIndex& idx = indexFor(r, col);
    auto firstAfter = [after](const std::vector<int>& rows) {
        const auto it = std::upper_bound(rows.begin(), rows.end(), after);
        return it == rows.end() ? -1 : *it;
    };
    int best = -1;
    qint64 whole;
    if (wholeNumber(value, &whole)) {
        const auto it = idx.whole.constFind(whole);
        if (it != idx.whole.constEnd()) best = firstAfter(*it);
    }
    if (idx.text.isEmpty()) return best;
    const auto t = idx.text.constFind(textKey(value));
    if (t != idx.text.constEnd()) {
        const int row = firstAfter(*t);
        if (row >= 0 && (best < 0 || row < best)) best = row;
    }
    return best;
}

} // namespace

namespace {

void readRows(RecordsetData& d, Statement& st, const QVariantList& params)
{
    const int ntables = int(d.tables.size());
    const int ncols = d.ncols;
    const CachedStatement use(st); // a kept statement: reset however the reading ends
    st.bind(params);
    while (st.step()) {
        for (int i = 0; i < ncols; ++i) d.cells.push_back(st.value(i));
        for (int t = 0; t < ntables; ++t) d.rowids.push_back(st.int64(ncols + t));
        ++d.nrows;
    }
}

} // namespace

std::unique_ptr<RecordsetData> loadPlannedRecordset(const std::shared_ptr<Connection>& conn,
                                                    Connection::RecordsetPlan& plan, const QVariantList& params)
{
    auto d = std::make_unique<RecordsetData>();
    d->conn = conn;
    d->updatable = plan.updatable;
    d->names = plan.names;
    d->index = plan.index;
    d->tables = plan.tables;
    d->originTable = plan.originTable;
    d->originColumn = plan.originColumn;
    d->ncols = int(plan.names.size());
    readRows(*d, *plan.statement, params);
    return d;
}

std::unique_ptr<RecordsetData> loadRecordset(const std::shared_ptr<Connection>& conn, const QString& sql,
                                             RecordsetKind kind, const QVariantList& params, const QString& planKey)
{
    auto d = std::make_unique<RecordsetData>();
    d->conn = conn;
    auto st = std::make_unique<Statement>(*conn, sql);
    QString finalSql = sql;
    const int ncols = st->columnCount();
    d->ncols = ncols;
    d->originTable.assign(ncols, -1);
    for (int i = 0; i < ncols; ++i) {
        const QString name = st->columnName(i);
        const QString table = st->originTable(i);
        d->names << name;
        d->originColumn << st->originColumn(i);
        if (!d->index.contains(name.toLower())) d->index.insert(name.toLower(), i);
        if (!table.isEmpty()) {
            const QString qualified = (table + u'.' + st->originColumn(i)).toLower();
            if (!d->index.contains(qualified)) d->index.insert(qualified, i);
            if (kind == RecordsetKind::Dynaset) {
                qsizetype t = d->tables.indexOf(table, 0);
                if (t < 0) { d->tables << table; t = d->tables.size() - 1; }
                d->originTable[i] = int(t);
            }
        }
    }

    // An updatable set also reads the rowid of each row of every table its columns come from.
    if (kind == RecordsetKind::Dynaset && !d->tables.isEmpty()) {
        const qsizetype from = topLevelFrom(sql);
        if (from > 0) {
            QString extra;
            for (int t = 0; t < d->tables.size(); ++t)
                extra += QStringLiteral(", [%1].rowid AS [__rowid%2] ").arg(d->tables[t]).arg(t);
            try {
                const QString withRowids = sql.left(from) + extra + sql.mid(from);
                st = std::make_unique<Statement>(*conn, withRowids);
                finalSql = withRowids;
                d->updatable = true;
            } catch (const DbError&) {
                d->updatable = false; // e.g. a saved query: readable, not writable
            }
        }
    }
    if (!d->updatable) d->tables.clear();
    if (!d->updatable) std::fill(d->originTable.begin(), d->originTable.end(), -1);

    if (planKey.isEmpty()) {
        readRows(*d, *st, params);
        return d;
    }
    Connection::RecordsetPlan plan;
    plan.sql = finalSql;
    plan.updatable = d->updatable;
    plan.names = d->names;
    plan.index = d->index;
    plan.tables = d->tables;
    plan.originTable = d->originTable;
    plan.originColumn = d->originColumn;
    plan.statement = std::move(st);
    Connection::RecordsetPlan& stored = conn->storePlan(planKey, std::move(plan));
    readRows(*d, *stored.statement, params);
    return d;
}

Recordset::Recordset() = default;
Recordset::Recordset(std::unique_ptr<RecordsetData> data) : d(std::move(data)) {}
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

bool Recordset::isOpen() const { return d != nullptr; }
void Recordset::close() noexcept { d.reset(); }

bool Recordset::eof() const
{
    const auto& r = need(d);
    return r.nrows == 0 || r.pos >= r.nrows;
}

bool Recordset::bof() const
{
    const auto& r = need(d);
    return r.nrows == 0 || r.pos < 0;
}

int Recordset::recordCount() const { return need(d).nrows; }

void Recordset::moveFirst()
{
    auto& r = need(d);
    if (r.nrows == 0) throw DbError(QStringLiteral("No current record."));
    r.pos = 0;
    r.removedHere = false;
}

void Recordset::moveLast()
{
    auto& r = need(d);
    if (r.nrows == 0) throw DbError(QStringLiteral("No current record."));
    r.pos = r.nrows - 1;
    r.removedHere = false;
}

void Recordset::moveNext()
{
    auto& r = need(d);
    if (r.removedHere) { // the next row has moved up into this place (or the end has)
        r.removedHere = false;
        return;
    }
    if (eof()) throw DbError(QStringLiteral("No current record."));
    ++r.pos;
}

void Recordset::movePrevious()
{
    auto& r = need(d);
    if (bof()) throw DbError(QStringLiteral("No current record."));
    r.removedHere = false;
    --r.pos;
}

void Recordset::findFirst(const QString& criteria)
{
    auto& r = need(d);
    const int saved = r.pos;
    r.pos = -1;
    findNext(criteria);
    if (r.noMatch) r.pos = saved;
}

void Recordset::findNext(const QString& criteria)
{
    const Criterion c = parseCriterion(criteria);
    auto& r = need(d);
    const int col = columnOf(r, c.field);
    r.noMatch = true;
    int found = -1;
    if (c.op == Op::Eq) {
        found = findEqual(r, col, c.value, r.pos);
    } else {
        for (int row = std::max(r.pos + 1, 0); row < r.nrows && found < 0; ++row)
            if (satisfies(r.at(row, col), c)) found = row;
    }
    if (found >= 0) {
        r.pos = found;
        r.noMatch = false;
        r.removedHere = false;
    }
}

void Recordset::findFirst(const QString& field, const QVariant& value)
{
    auto& r = need(d);
    const int found = findEqual(r, columnOf(r, field), value, -1);
    r.noMatch = found < 0;
    if (found >= 0) {
        r.pos = found;
        r.removedHere = false;
    }
}

bool Recordset::noMatch() const { return need(d).noMatch; }

QStringList Recordset::fieldNames() const { return need(d).names; }

bool Recordset::hasField(const QString& name) const { return need(d).index.contains(name.toLower()); }

QVariant Recordset::field(const QString& name) const
{
    const auto& r = need(d);
    return field(columnOf(r, name));
}

QVariant Recordset::field(int index) const
{
    const auto& r = need(d);
    if (index < 0 || index >= r.ncols) throw DbError(QStringLiteral("Field index out of range."));
    if (r.mode != RecordsetData::Mode::None && r.dirty[index]) return r.buffer[index];
    if (r.mode == RecordsetData::Mode::Add) return {};
    if (r.removedHere) throw DbError(QStringLiteral("Record is deleted."));
    if (eof() || bof()) throw DbError(QStringLiteral("No current record."));
    return r.at(r.pos, index);
}

void Recordset::setField(const QString& name, const QVariant& value)
{
    auto& r = need(d);
    if (r.mode == RecordsetData::Mode::None)
        throw DbError(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    const int col = columnOf(r, name);
    if (r.originTable[col] < 0) throw DbError(QStringLiteral("Field '%1' is not updatable.").arg(name));
    r.buffer[col] = value;
    r.dirty[col] = true;
}

void Recordset::addNew()
{
    auto& r = need(d);
    if (!r.updatable || r.tables.size() != 1)
        throw DbError(QStringLiteral("Cannot add a record to this record set; it is not updatable."));
    r.mode = RecordsetData::Mode::Add;
    r.buffer.assign(r.ncols, QVariant());
    r.dirty.assign(r.ncols, false);
}

void Recordset::edit()
{
    auto& r = need(d);
    if (!r.updatable) throw DbError(QStringLiteral("Cannot update. Database or object is read-only."));
    if (eof() || bof() || r.removedHere) throw DbError(QStringLiteral("No current record."));
    r.mode = RecordsetData::Mode::Edit;
    r.buffer.assign(r.ncols, QVariant());
    r.dirty.assign(r.ncols, false);
}

void Recordset::cancelUpdate() noexcept
{
    if (d) d->mode = RecordsetData::Mode::None;
}

void Recordset::update()
{
    auto& r = need(d);
    if (r.mode == RecordsetData::Mode::None)
        throw DbError(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    const int ncols = r.ncols;

    if (r.mode == RecordsetData::Mode::Edit) {
        for (int t = 0; t < r.tables.size(); ++t) {
            quint64 mask = 0;
            QVariantList params;
            for (int i = 0; i < ncols; ++i) {
                if (r.dirty[i] && r.originTable[i] == t) {
                    mask |= quint64(1) << std::min(i, 63);
                    params << r.buffer[i];
                }
            }
            if (params.isEmpty()) continue;
            const quint64 key = mask * 64 + quint64(t);
            if (r.conn->batching() && ncols <= 63) {
                auto held = r.heldColumns.find(key);
                if (held == r.heldColumns.end()) {
                    QStringList columns;
                    for (int i = 0; i < ncols; ++i)
                        if (r.dirty[i] && r.originTable[i] == t) columns << r.originColumn[i];
                    held = r.heldColumns.emplace(key, std::make_pair(r.tables[t] + u'|' + columns.join(u','), columns)).first;
                }
                r.conn->holdUpdate(held->second.first, r.tables[t], held->second.second, r.rowid(r.pos, t),
                                   std::move(params));
                continue;
            }
            params << r.rowid(r.pos, t);
            Statement*& st = r.updates[ncols > 63 ? 0 : key];
            if (!st || ncols > 63) {
                QStringList sets;
                for (int i = 0; i < ncols; ++i)
                    if (r.dirty[i] && r.originTable[i] == t) sets << QStringLiteral("[%1] = ?").arg(r.originColumn[i]);
                st = &*r.conn->cached(QStringLiteral("UPDATE [%1] SET %2 WHERE rowid = ?")
                                          .arg(r.tables[t], sets.join(QStringLiteral(", "))));
            }
            const CachedStatement use(*st);
            st->bind(params);
            st->step();
        }
        for (int i = 0; i < ncols; ++i) {
            if (!r.dirty[i]) continue;
            r.at(r.pos, i) = r.buffer[i];
            r.findIndexes.erase(i);
        }
        r.lastModified = r.pos;
        r.mode = RecordsetData::Mode::None;
        return;
    }

    // A new row: insert it, then read it back so defaults and the automatic key show.
    r.conn->flushPending();
    QStringList cols, marks;
    QVariantList params;
    for (int i = 0; i < ncols; ++i) {
        if (!r.dirty[i]) continue;
        cols << QStringLiteral("[%1]").arg(r.originColumn[i]);
        marks << QStringLiteral("?");
        params << r.buffer[i];
    }
    const QString insert = cols.isEmpty()
        ? QStringLiteral("INSERT INTO [%1] DEFAULT VALUES").arg(r.tables[0])
        : QStringLiteral("INSERT INTO [%1] (%2) VALUES (%3)")
              .arg(r.tables[0], cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    {
        Statement st(*r.conn, insert);
        st.bind(params);
        st.step();
    }
    const qint64 rowid = r.conn->lastInsertRowid();
    QStringList select;
    for (int i = 0; i < ncols; ++i)
        select << (r.originTable[i] == 0 ? QStringLiteral("[%1]").arg(r.originColumn[i]) : QStringLiteral("NULL"));
    Statement back(*r.conn, QStringLiteral("SELECT %1 FROM [%2] WHERE rowid = ?")
                                .arg(select.join(QStringLiteral(", ")), r.tables[0]));
    back.bind({rowid});
    const bool found = back.step();
    for (int i = 0; i < ncols; ++i) r.cells.push_back(found ? back.value(i) : QVariant());
    r.rowids.push_back(rowid);
    ++r.nrows;
    r.findIndexes.clear();
    r.lastModified = r.nrows - 1;
    r.mode = RecordsetData::Mode::None;
}

void Recordset::remove()
{
    auto& r = need(d);
    if (!r.updatable || r.tables.size() != 1)
        throw DbError(QStringLiteral("Cannot delete from this record set; it is not updatable."));
    if (eof() || bof() || r.removedHere) throw DbError(QStringLiteral("No current record."));
    r.conn->flushPending();
    {
        const CachedStatement st = r.conn->cached(QStringLiteral("DELETE FROM [%1] WHERE rowid = ?").arg(r.tables[0]));
        st->bind({r.rowid(r.pos, 0)});
        st->step();
    }
    r.cells.erase(r.cells.begin() + qsizetype(r.pos) * r.ncols, r.cells.begin() + qsizetype(r.pos + 1) * r.ncols);
    r.rowids.erase(r.rowids.begin() + r.pos);
    --r.nrows;
    r.findIndexes.clear();
    if (r.lastModified == r.pos) r.lastModified = -1;
    else if (r.lastModified > r.pos) --r.lastModified;
    r.removedHere = true;
}

int Recordset::bookmark() const { return need(d).pos; }

void Recordset::setBookmark(int bookmark)
{
    auto& r = need(d);
    if (bookmark < 0 || bookmark >= r.nrows) throw DbError(QStringLiteral("Not a valid bookmark."));
    r.pos = bookmark;
    r.removedHere = false;
}

int Recordset::lastModified() const { return need(d).lastModified; }

} // namespace fl::db
