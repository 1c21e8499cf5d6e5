#include "Recordset.h"

#include "Connection.h"
#include "DbError.h"
#include "RecordsetLoader.h"

#include <QDate>
#include <QRegularExpression>
#include <algorithm>

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

QString valueKey(const QVariant& v)
{
    if (v.isNull()) return {};
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::LongLong: case QMetaType::Double: case QMetaType::Bool:
    case QMetaType::UInt: case QMetaType::ULongLong: case QMetaType::Short: case QMetaType::Float:
        return QStringLiteral("n:") + QString::number(v.toDouble(), 'g', 17);
    case QMetaType::QDate:
        return QStringLiteral("s:") + v.toDate().toString(Qt::ISODate);
    default:
        return QStringLiteral("s:") + v.toString().toCaseFolded();
    }
}

int compareValues(const QVariant& a, const QVariant& b)
{
    const QString ka = valueKey(a), kb = valueKey(b);
    if (ka.startsWith(u'n') && kb.startsWith(u'n')) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive);
}

struct Criterion {
    QString field;
    QString op;
    QVariant value;
};

Criterion parseCriterion(const QString& text)
{
    static const QRegularExpression re(QString::fromUtf8(
        R"re(^\s*\[?([\w.]+)\]?\s*(<>|<=|>=|=|<|>)\s*(?:"(.*)"|'(.*)'|([-+]?\s*[0-9]*\.?[0-9]+))\s*$)re"),
        QRegularExpression::DotMatchesEverythingOption);
    const auto m = re.match(text);
    if (!m.hasMatch()) throw DbError(QStringLiteral("Unsupported search criterion: ") + text);
    Criterion c{m.captured(1), m.captured(2), {}};
    if (m.capturedStart(3) >= 0) c.value = m.captured(3);
    else if (m.capturedStart(4) >= 0) c.value = m.captured(4).replace(QStringLiteral("''"), QStringLiteral("'"));
    else c.value = m.captured(5).remove(u' ').toDouble();
    return c;
}

bool satisfies(const QVariant& v, const Criterion& c)
{
    if (v.isNull()) return false;
    const int r = compareValues(v, c.value);
    if (c.op == u"=") return r == 0;
    if (c.op == u"<>") return r != 0;
    if (c.op == u"<") return r < 0;
    if (c.op == u">") return r > 0;
    if (c.op == u"<=") return r <= 0;
    return r >= 0;
}

} // namespace

std::unique_ptr<RecordsetData> loadRecordset(const std::shared_ptr<Connection>& conn, const QString& sql,
                                             RecordsetKind kind, const QVariantList& params)
{
    auto d = std::make_unique<RecordsetData>();
    d->conn = conn;
    auto st = std::make_unique<Statement>(*conn, sql);
    const int ncols = st->columnCount();
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
                auto augmented = std::make_unique<Statement>(*conn, sql.left(from) + extra + sql.mid(from));
                st = std::move(augmented);
                d->updatable = true;
            } catch (const DbError&) {
                d->updatable = false; // e.g. a saved query: readable, not writable
            }
        }
    }

    st->bind(params);
    const int ntables = d->updatable ? int(d->tables.size()) : 0;
    while (st->step()) {
        std::vector<QVariant> row(ncols);
        for (int i = 0; i < ncols; ++i) row[i] = st->value(i);
        d->rows.push_back(std::move(row));
        if (ntables) {
            std::vector<qint64> ids(ntables);
            for (int t = 0; t < ntables; ++t) ids[t] = st->value(ncols + t).toLongLong();
            d->rowids.push_back(std::move(ids));
        }
    }
    return d;
}

Recordset::Recordset() = default;
Recordset::Recordset(std::unique_ptr<RecordsetData> data) : d(std::move(data)) {}
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

bool Recordset::isOpen() const { return d != nullptr; }
void Recordset::close() noexcept { d.reset(); }

static RecordsetData& need(const std::unique_ptr<RecordsetData>& d)
{
    if (!d) throw DbError(QStringLiteral("Operation is not allowed when the record set is closed."));
    return *d;
}

bool Recordset::eof() const
{
    const auto& r = need(d);
    return r.rows.empty() || r.pos >= int(r.rows.size());
}

bool Recordset::bof() const
{
    const auto& r = need(d);
    return r.rows.empty() || r.pos < 0;
}

int Recordset::recordCount() const { return int(need(d).rows.size()); }

void Recordset::moveFirst()
{
    auto& r = need(d);
    if (r.rows.empty()) throw DbError(QStringLiteral("No current record."));
    r.pos = 0;
    r.removedHere = false;
}

void Recordset::moveLast()
{
    auto& r = need(d);
    if (r.rows.empty()) throw DbError(QStringLiteral("No current record."));
    r.pos = int(r.rows.size()) - 1;
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
    const auto col = r.index.constFind(c.field.toLower());
    if (col == r.index.constEnd()) throw DbError(QStringLiteral("Item not found in this collection: ") + c.field);
    const int start = r.pos + 1;
    r.noMatch = true;
    if (c.op == u"=") {
        auto it = r.findIndexes.find(*col);
        if (it == r.findIndexes.end()) {
            QHash<QString, std::vector<int>> idx;
            for (int i = 0; i < int(r.rows.size()); ++i) {
                const QString k = valueKey(r.rows[i][*col]);
                if (!k.isEmpty()) idx[k].push_back(i);
            }
            it = r.findIndexes.emplace(*col, std::move(idx)).first;
        }
        QString key = valueKey(c.value);
        // A number given as text still finds a numeric column and vice versa.
        if (!it->second.contains(key)) {
            bool ok = false;
            const double n = c.value.toString().toDouble(&ok);
            if (ok) key = valueKey(QVariant(n));
        }
        const auto found = it->second.constFind(key);
        if (found != it->second.constEnd()) {
            const auto& list = *found;
            const auto next = std::lower_bound(list.begin(), list.end(), start);
            if (next != list.end()) {
                r.pos = *next;
                r.noMatch = false;
                r.removedHere = false;
            }
        }
        return;
    }
    for (int i = std::max(start, 0); i < int(r.rows.size()); ++i) {
        if (satisfies(r.rows[i][*col], c)) {
            r.pos = i;
            r.noMatch = false;
            r.removedHere = false;
            return;
        }
    }
}

void Recordset::findFirst(const QString& field, const QVariant& value)
{
    auto& r = need(d);
    const auto col = r.index.constFind(field.toLower());
    if (col == r.index.constEnd()) throw DbError(QStringLiteral("Item not found in this collection: ") + field);
    r.noMatch = true;
    const QString key = valueKey(value);
    for (int i = 0; i < int(r.rows.size()); ++i) {
        if (valueKey(r.rows[i][*col]) == key) {
            r.pos = i;
            r.noMatch = false;
            r.removedHere = false;
            return;
        }
    }
}

bool Recordset::noMatch() const { return need(d).noMatch; }

QStringList Recordset::fieldNames() const { return need(d).names; }

bool Recordset::hasField(const QString& name) const { return need(d).index.contains(name.toLower()); }

static int columnOf(const RecordsetData& r, const QString& name)
{
    const auto it = r.index.constFind(name.toLower());
    if (it == r.index.constEnd()) throw DbError(QStringLiteral("Item not found in this collection: ") + name);
    return *it;
}

QVariant Recordset::field(const QString& name) const
{
    const auto& r = need(d);
    return field(columnOf(r, name));
}

QVariant Recordset::field(int index) const
{
    const auto& r = need(d);
    if (index < 0 || index >= r.names.size()) throw DbError(QStringLiteral("Field index out of range."));
    if (r.mode != RecordsetData::Mode::None && r.dirty[index]) return r.buffer[index];
    if (r.mode == RecordsetData::Mode::Add) return {};
    if (r.removedHere) throw DbError(QStringLiteral("Record is deleted."));
    if (eof() || bof()) throw DbError(QStringLiteral("No current record."));
    return r.rows[r.pos][index];
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
    r.buffer.assign(r.names.size(), QVariant());
    r.dirty.assign(r.names.size(), false);
}

void Recordset::edit()
{
    auto& r = need(d);
    if (!r.updatable) throw DbError(QStringLiteral("Cannot update. Database or object is read-only."));
    if (eof() || bof() || r.removedHere) throw DbError(QStringLiteral("No current record."));
    r.mode = RecordsetData::Mode::Edit;
    r.buffer.assign(r.names.size(), QVariant());
    r.dirty.assign(r.names.size(), false);
}

void Recordset::cancelUpdate()
{
    auto& r = need(d);
    r.mode = RecordsetData::Mode::None;
}

void Recordset::update()
{
    auto& r = need(d);
    if (r.mode == RecordsetData::Mode::None)
        throw DbError(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    const int ncols = int(r.names.size());

    if (r.mode == RecordsetData::Mode::Edit) {
        for (int t = 0; t < r.tables.size(); ++t) {
            QStringList sets;
            QVariantList params;
            for (int i = 0; i < ncols; ++i) {
                if (r.dirty[i] && r.originTable[i] == t) {
                    sets << QStringLiteral("[%1] = ?").arg(r.originColumn[i]);
                    params << r.buffer[i];
                }
            }
            if (sets.isEmpty()) continue;
            params << r.rowids[r.pos][t];
            Statement& st = r.conn->cached(QStringLiteral("UPDATE [%1] SET %2 WHERE rowid = ?")
                                               .arg(r.tables[t], sets.join(QStringLiteral(", "))));
            st.bind(params);
            st.step();
            st.reset();
        }
        for (int i = 0; i < ncols; ++i) {
            if (!r.dirty[i]) continue;
            r.rows[r.pos][i] = r.buffer[i];
            r.findIndexes.erase(i);
        }
        r.lastModified = r.pos;
        r.mode = RecordsetData::Mode::None;
        return;
    }

    // A new row: insert it, then read it back so defaults and the automatic key show.
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
    std::vector<QVariant> row(ncols);
    if (back.step())
        for (int i = 0; i < ncols; ++i) row[i] = back.value(i);
    r.rows.push_back(std::move(row));
    r.rowids.push_back({rowid});
    r.findIndexes.clear();
    r.lastModified = int(r.rows.size()) - 1;
    r.mode = RecordsetData::Mode::None;
}

void Recordset::remove()
{
    auto& r = need(d);
    if (!r.updatable || r.tables.size() != 1)
        throw DbError(QStringLiteral("Cannot delete from this record set; it is not updatable."));
    if (eof() || bof() || r.removedHere) throw DbError(QStringLiteral("No current record."));
    Statement st(*r.conn, QStringLiteral("DELETE FROM [%1] WHERE rowid = ?").arg(r.tables[0]));
    st.bind({r.rowids[r.pos][0]});
    st.step();
    r.rows.erase(r.rows.begin() + r.pos);
    r.rowids.erase(r.rowids.begin() + r.pos);
    r.findIndexes.clear();
    if (r.lastModified == r.pos) r.lastModified = -1;
    else if (r.lastModified > r.pos) --r.lastModified;
    r.removedHere = true;
}

int Recordset::bookmark() const { return need(d).pos; }

void Recordset::setBookmark(int bookmark)
{
    auto& r = need(d);
    if (bookmark < 0 || bookmark >= int(r.rows.size())) throw DbError(QStringLiteral("Not a valid bookmark."));
    r.pos = bookmark;
    r.removedHere = false;
}

int Recordset::lastModified() const { return need(d).lastModified; }

} // namespace fl::db
