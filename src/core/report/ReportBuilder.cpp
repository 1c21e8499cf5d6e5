#include "ReportBuilder.h"

#include "db/Database.h"

#include <QHash>
#include <QScopeGuard>
#include <algorithm>
#include <optional>
#include <vector>

namespace fl::report {

namespace {

// The row fields of the "checklist" source, in the column order of its queries.
const char* const kRowFields[] = {
    "checklists.reg_id", "checklists.status", "checklists.scode", "birds.id",       "birds.name",
    "birds.sci_name",    "birds.sortorder",   "birds.lifelist",   "families.fam_id", "families.family",
    "families.sci_name", "orders.order_id",   "orders.name",      "orders.sci_name", "sightings.date",
    "sightings.site",    "sightings.type",
};
constexpr int kRowFieldCount = static_cast<int>(sizeof kRowFields / sizeof kRowFields[0]);

// The row fields of the "list" source.
const char* const kListFields[] = {
    "list.name",         "list.place",      "seen.first",       "seen.last",   "seen.site",
    "seen.region",       "seen.records",    "seen.new",         "birds.id",    "birds.name",
    "birds.sci_name",    "birds.sortorder", "families.fam_id",  "families.family",
    "families.sci_name", "orders.order_id", "orders.name",      "orders.sci_name",
};
constexpr int kListFieldCount = static_cast<int>(sizeof kListFields / sizeof kListFields[0]);

const char* const kOptionFields[] = {"regname", "reg_id", "regtype", "lifesum", "lifetotal"};

enum ReportField { kPrintDate, kPageNumber, kPageCount, kListed, kTicked };
const char* const kReportFields[] = {"report.printdate", "report.pagenumber", "report.pagecount", "report.listed",
                                     "report.ticked"};

const QString kJoins = QStringLiteral(
    " LEFT JOIN Families ON Families.Fam_ID = B.family_ID"
    " LEFT JOIN Orders ON Orders.Order_ID = Families.Order_ID"
    " LEFT JOIN Sightings ON Sightings.Sight_ID = B.LifeMark AND B.LifeMark > 0");
const QString kColumns = QStringLiteral(
    "B.ID, B.Name, B.sci_name, B.sortOrder, B.LifeMark, Families.Fam_ID, Families.Family, Families.sci_name, "
    "Orders.Order_ID, Orders.Name, Orders.sci_name, Sightings.Date, Sightings.site, Sightings.Type");

// The checklist rows of every region, or of one region (a bound parameter).
QString regionQuery(bool oneRegion)
{
    return QStringLiteral("SELECT C.Reg_ID, C.Status, C.scode, ") + kColumns
        + QStringLiteral(" FROM Checklists C INNER JOIN (SELECT Birds.*, Birds.LifeList AS LifeMark FROM Birds) B"
                         " ON B.ID = C.Bird_ID")
        + kJoins + (oneRegion ? QStringLiteral(" WHERE C.Reg_ID = ?") : QString())
        + QStringLiteral(" ORDER BY B.sortOrder, B.Name, C.Reg_ID");
}

// Every species as region 0, marked with its first sighting anywhere.
QString worldQuery()
{
    return QStringLiteral("SELECT 0, NULL, NULL, ") + kColumns
        + QStringLiteral(" FROM (SELECT Birds.*, coalesce((SELECT S.Sight_ID FROM Sightings S WHERE S.Bird_ID = Birds.ID"
                         " ORDER BY S.Date, S.Sight_ID LIMIT 1), 0) AS LifeMark FROM Birds) B")
        + kJoins + QStringLiteral(" ORDER BY B.sortOrder, B.Name");
}

} // namespace

// Fields by name, and the named formulas with a value cache per row.
class ReportScope : public Scope {
public:
    ReportScope(const char* const* rowFields, int count)
    {
        for (int i = 0; i < count; ++i) addField(QString::fromLatin1(rowFields[i]));
        for (const char* f : kOptionFields) addField(QStringLiteral("options.") + QString::fromLatin1(f));
        m_reportBase = static_cast<int>(m_values.size());
        for (const char* f : kReportFields) addField(QString::fromLatin1(f));
    }

    Value field(const QString& name, int position) const override
    {
        const auto it = m_index.constFind(name);
        if (it == m_index.constEnd())
            throw ReportError(kErrUnknownName, QStringLiteral("Formula error at position %1: the report has no field {%2}")
                                                   .arg(position).arg(name), position);
        return m_values[*it];
    }

    Value formula(const QString& name, int position) const override
    {
        const auto it = m_formulaIndex.constFind(name);
        if (it == m_formulaIndex.constEnd())
            throw ReportError(kErrUnknownName, QStringLiteral("Formula error at position %1: the report has no formula {@%2}")
                                                   .arg(position).arg(name), position);
        Slot& slot = m_slots[*it];
        if (slot.value) return *slot.value;
        if (slot.busy)
            throw ReportError(kErrFormulaValue, QStringLiteral("Formula error at position %1: the formula %2 depends on itself")
                                                    .arg(position).arg(name), position);
        slot.busy = true;
        const auto done = qScopeGuard([&slot] { slot.busy = false; });
        slot.value = m_formulas[*it].evaluate(*this);
        return *slot.value;
    }

    bool hasField(const QString& name) const override { return m_index.contains(name); }
    bool hasFormula(const QString& name) const override { return m_formulaIndex.contains(name.toLower()); }

    // A named formula; a later one of the same name replaces the earlier.
    void setFormula(const Formula& f)
    {
        const QString key = f.name().toLower();
        const auto it = m_formulaIndex.constFind(key);
        if (it != m_formulaIndex.constEnd()) {
            m_formulas[*it] = f;
            return;
        }
        m_formulaIndex.insert(key, static_cast<int>(m_formulas.size()));
        m_formulas.push_back(f);
        m_slots.emplace_back();
    }
    const std::vector<Formula>& formulas() const { return m_formulas; }

    void setValue(int index, Value v) { m_values[index] = std::move(v); }
    void setOption(const QString& name, Value v) { m_values[m_index.value(QStringLiteral("options.") + name)] = std::move(v); }
    void setReport(ReportField f, Value v) { m_values[m_reportBase + f] = std::move(v); }
    // A new row: the named formulas are worked out again.
    void newRow() const
    {
        for (Slot& s : m_slots) s.value.reset();
    }

private:
    struct Slot {
        std::optional<Value> value;
        bool busy = false;
    };
    void addField(const QString& name)
    {
        m_index.insert(name, static_cast<int>(m_values.size()));
        m_values.emplace_back();
    }

    QHash<QString, int> m_index;
    std::vector<Value> m_values;
    int m_reportBase = 0;
    QHash<QString, int> m_formulaIndex;
    std::vector<Formula> m_formulas;
    mutable std::vector<Slot> m_slots;
};

BuiltReport::BuiltReport() = default;
BuiltReport::~BuiltReport() = default;
BuiltReport::BuiltReport(BuiltReport&&) noexcept = default;
BuiltReport& BuiltReport::operator=(BuiltReport&&) noexcept = default;

QString BuiltReport::pageText(const Formula& f, int page, int pages) const
{
    if (f.isEmpty() || !m_scope) return {};
    m_scope->setReport(kPageNumber, Value::number(page));
    m_scope->setReport(kPageCount, Value::number(pages));
    m_scope->newRow();
    return f.evaluate(*m_scope).toText();
}

QString BuiltReport::headerLeft(int page, int pages) const { return pageText(m_headerLeft, page, pages); }
QString BuiltReport::headerRight(int page, int pages) const { return pageText(m_headerRight, page, pages); }
QString BuiltReport::footer(int page, int pages) const { return pageText(m_footer, page, pages); }

namespace {

bool isTicked(const QString& box)
{
    for (QChar c : box)
        if (!c.isSpace() && c != u'[' && c != u']') return true;
    return false;
}

Formula parseProgramFormula(const QString& text, int index)
{
    try {
        Formula f = Formula::parse(text);
        f.setOrigin(QStringLiteral("Formula %1").arg(index));
        return f;
    } catch (const ReportError& e) {
        throw ReportError(e.number(), QStringLiteral("Formula %1: %2").arg(index).arg(e.message()), e.position(), true);
    }
}

// How many named formulas one may bring in through another, and that through another ...
constexpr int kMaxFormulaChain = 100;

// Refuses a named formula that reaches other formulas through a chain longer than the limit,
// before anything is evaluated (evaluating such a chain would run the program out of stack).
// Formulas that depend on themselves are left to the evaluation, which names them.
void checkFormulaChains(const std::vector<Formula>& formulas)
{
    const int n = static_cast<int>(formulas.size());
    QHash<QString, int> index;
    for (int i = 0; i < n; ++i) index.insert(formulas[static_cast<size_t>(i)].name().toLower(), i);
    std::vector<std::vector<int>> refs(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        for (const QString& name : formulas[static_cast<size_t>(i)].formulaRefs())
            if (const auto it = index.constFind(name); it != index.constEnd()) refs[static_cast<size_t>(i)].push_back(*it);

    // Depth-first, with a stack of our own: the chains may be far longer than the limit.
    enum : char { Unseen, Open, Done };
    std::vector<char> state(static_cast<size_t>(n), Unseen);
    std::vector<int> depth(static_cast<size_t>(n), 0); // formulas in the longest chain from here, itself included
    std::vector<std::pair<int, size_t>> stack;
    for (int root = 0; root < n; ++root) {
        if (state[static_cast<size_t>(root)] != Unseen) continue;
        state[static_cast<size_t>(root)] = Open;
        stack.emplace_back(root, 0);
        while (!stack.empty()) {
            auto& [v, next] = stack.back();
            const auto& out = refs[static_cast<size_t>(v)];
            if (next < out.size()) {
                const int w = out[next++];
                if (state[static_cast<size_t>(w)] == Unseen) {
                    state[static_cast<size_t>(w)] = Open;
                    stack.emplace_back(w, 0);
                }
                continue;
            }
            int deepest = 0;
            for (int w : out)
                if (state[static_cast<size_t>(w)] == Done) deepest = std::max(deepest, depth[static_cast<size_t>(w)]);
            depth[static_cast<size_t>(v)] = deepest + 1;
            state[static_cast<size_t>(v)] = Done;
            stack.pop_back();
        }
    }
    for (int i = 0; i < n; ++i) {
        if (depth[static_cast<size_t>(i)] <= kMaxFormulaChain) continue;
        // The start of the chain, for the message.
        QStringList chain;
        for (int v = i; chain.size() < 4;) {
            int nextOne = -1;
            for (int w : refs[static_cast<size_t>(v)])
                if (depth[static_cast<size_t>(w)] == depth[static_cast<size_t>(v)] - 1) nextOne = w;
            if (nextOne < 0) break;
            chain << QStringLiteral("{@%1}").arg(formulas[static_cast<size_t>(nextOne)].name());
            v = nextOne;
        }
        const Formula& f = formulas[static_cast<size_t>(i)];
        const QString where = f.origin().isEmpty() ? QString() : f.origin() + QStringLiteral(": ");
        throw ReportError(kErrFormulaValue,
                          where + QStringLiteral("the formula %1 brings in formulas that bring in others, more than %2 "
                                                 "deep (%3 ...)")
                                      .arg(f.name()).arg(kMaxFormulaChain).arg(chain.join(QStringLiteral(", "))),
                          0, !where.isEmpty());
    }
}

} // namespace

// Builds a report from rows that a data source puts into the scope one after another.
class Builder {
public:
    Builder(const ReportDefinition& def, const char* const* rowFields, int rowFieldCount, const QString& selectionText,
            const QStringList& formulas, QDate printDate)
        : m_def(def), m_rowFieldCount(rowFieldCount)
    {
        m_out.m_scope = std::make_unique<ReportScope>(rowFields, rowFieldCount);
        ReportScope& scope = *m_out.m_scope;

        for (const Formula& f : def.formulas) scope.setFormula(f);
        const QString tickName = def.tickBox.isEmpty() ? QStringLiteral("Lifer") : def.tickBox;
        for (int i = 0; i < formulas.size(); ++i) {
            if (formulas[i].trimmed().isEmpty()) continue;
            Formula f = parseProgramFormula(formulas[i], i);
            if (f.name().isEmpty()) f = parseProgramFormula(tickName + QStringLiteral(" = ") + formulas[i], i);
            scope.setFormula(f);
        }
        if (!scope.hasFormula(tickName)) scope.setFormula(Formula::parse(tickName + QStringLiteral(" = '[    ]'")));
        m_tickKey = tickName.toLower();
        if (!selectionText.trimmed().isEmpty()) {
            try {
                m_selection = Formula::parse(selectionText);
                m_selection.setOrigin(QStringLiteral("Selection formula"));
            } catch (const ReportError& e) {
                throw ReportError(e.number(), QStringLiteral("Selection formula: ") + e.message(), e.position(), true);
            }
        }

        // Every name must exist before any row is read, so that an empty report fails alike.
        for (const Formula& f : scope.formulas()) f.check(scope);
        checkFormulaChains(scope.formulas());
        for (const Formula* f : std::initializer_list<const Formula*>{&m_selection, &def.group, &def.groupHeading,
                                                                      &def.title, &def.headerLeft, &def.headerRight,
                                                                      &def.footer, &def.summary})
            f->check(scope);
        for (const ColumnDef& c : def.columns) c.formula.check(scope);

        m_out.columns = def.columns;
        m_out.listWidthMm = def.listWidthMm;
        m_out.m_headerLeft = def.headerLeft;
        m_out.m_headerRight = def.headerRight;
        m_out.m_footer = def.footer;
        scope.setReport(kPrintDate, Value::date(printDate));
    }

    ReportScope& scope() { return *m_out.m_scope; }
    // The first `count` row fields keep their values for the title, header, footer and summary
    // (fields that are the same on every row).
    void keepFields(int count) { m_keptFields = count; }
    const Formula& selection() const { return m_selection; }

    // Reads the Options row into the scope; whether its region is the whole list (World).
    bool readOptions(db::Database& db)
    {
        auto options = db.openRecordset(QStringLiteral("SELECT regname, Reg_ID, regType, lifesum, lifetotal FROM Options"),
                                        db::RecordsetKind::Snapshot);
        if (options.eof()) return true;
        for (int i = 0; i < 5; ++i) scope().setOption(QString::fromLatin1(kOptionFields[i]), Value::fromVariant(options.field(i)));
        return options.field(1).toInt() == 0;
    }

    // Takes the row whose fields are in the scope, when the selection keeps it.
    void addRow()
    {
        ReportScope& scope = this->scope();
        scope.newRow();
        if (!m_selection.isEmpty()) {
            const Value keep = m_selection.evaluate(scope);
            if (!keep.isNull() && keep.kind() != Value::Kind::Bool)
                throw ReportError(kErrFormulaValue, QStringLiteral("The selection formula must be true or false"));
            if (!keep.toBool()) return;
        }
        const QString key = m_def.group.evaluate(scope).toText();
        auto g = m_groupIndex.constFind(key);
        if (g == m_groupIndex.constEnd()) {
            g = m_groupIndex.insert(key, static_cast<int>(m_out.groups.size()));
            ReportGroup group;
            group.heading = m_def.groupHeading.isEmpty() ? key : m_def.groupHeading.evaluate(scope).toText();
            m_out.groups << group;
        }
        ReportRow row;
        row.cells.reserve(m_def.columns.size());
        for (const ColumnDef& c : m_def.columns) row.cells << c.formula.evaluate(scope).toText();
        row.ticked = isTicked(scope.formula(m_tickKey, 0).toText());
        ++m_out.listed;
        if (row.ticked) ++m_out.ticked;
        m_out.groups[*g].rows << std::move(row);
    }

    BuiltReport finish()
    {
        ReportScope& scope = this->scope();
        for (int i = m_keptFields; i < m_rowFieldCount; ++i) scope.setValue(i, Value());
        scope.setReport(kListed, Value::number(m_out.listed));
        scope.setReport(kTicked, Value::number(m_out.ticked));
        scope.newRow();
        m_out.title = m_def.title.evaluate(scope).toText();
        m_out.summary = m_def.summary.evaluate(scope).toText();
        return std::move(m_out);
    }

private:
    const ReportDefinition& m_def;
    int m_rowFieldCount;
    int m_keptFields = 0;
    BuiltReport m_out;
    Formula m_selection;
    QString m_tickKey;
    QHash<QString, int> m_groupIndex;
};

namespace {
void checkSource(const ReportDefinition& def, const char* source)
{
    if (def.source != QLatin1String(source))
        throw ReportError(kErrBadDefinition, QStringLiteral("The report definition reads the source '%1'; this report "
                                                            "needs the source '%2'.")
                                                 .arg(def.source, QString::fromLatin1(source)));
}
} // namespace

BuiltReport buildReport(db::Database& db, const ReportDefinition& def, const QString& selectionText,
                        const QStringList& formulas, QDate printDate)
{
    checkSource(def, "checklist");
    Builder builder(def, kRowFields, kRowFieldCount, selectionText, formulas, printDate);
    ReportScope& scope = builder.scope();
    try {
        const bool world = builder.readOptions(db);
        // A selection that holds only for the rows of one region reads only that region's
        // rows; it is still applied to every row below, so the result is the same either way.
        QString selField;
        qint64 selValue = 0;
        const bool oneRegion = !world && builder.selection().requiresFieldEqualsInteger(&selField, &selValue)
            && selField == QLatin1String("checklists.reg_id");
        auto rows = world ? db.openRecordset(worldQuery(), db::RecordsetKind::Snapshot)
                          : db.openRecordset(regionQuery(oneRegion), db::RecordsetKind::Snapshot,
                                             oneRegion ? QVariantList{selValue} : QVariantList{});
        for (; !rows.eof(); rows.moveNext()) {
            for (int i = 0; i < kRowFieldCount; ++i) scope.setValue(i, Value::fromVariant(rows.field(i)));
            builder.addRow();
        }
    } catch (const db::DbError& e) {
        throw ReportError(kErrDatabase, QStringLiteral("The report could not read the database: ") + e.message());
    }
    return builder.finish();
}

BuiltReport buildListReport(db::Database& db, const ReportDefinition& def, const ListReportData& list,
                            const QString& selectionText, const QStringList& formulas, QDate printDate)
{
    checkSource(def, "list");
    Builder builder(def, kListFields, kListFieldCount, selectionText, formulas, printDate);
    ReportScope& scope = builder.scope();
    try {
        builder.readOptions(db);
        // The species with their family and order, by id.
        struct Species {
            QVariantList values; // birds.id ... orders.sci_name
            int sortOrder = 0;
            QString name;
        };
        QHash<int, Species> species;
        auto rs = db.openRecordset(QStringLiteral(
                                       "SELECT B.ID, B.Name, B.sci_name, B.sortOrder, Families.Fam_ID, Families.Family, "
                                       "Families.sci_name, Orders.Order_ID, Orders.Name, Orders.sci_name FROM Birds B"
                                       " LEFT JOIN Families ON Families.Fam_ID = B.family_ID"
                                       " LEFT JOIN Orders ON Orders.Order_ID = Families.Order_ID"),
                                   db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) {
            Species sp;
            for (int i = 0; i < 10; ++i) sp.values << rs.field(i);
            sp.sortOrder = rs.field(3).toInt();
            sp.name = rs.field(1).toString();
            species.insert(rs.field(0).toInt(), sp);
        }
        std::vector<std::pair<const ListReportRow*, const Species*>> rows;
        rows.reserve(size_t(list.rows.size()));
        for (const ListReportRow& r : list.rows)
            if (const auto it = species.constFind(r.birdId); it != species.constEnd()) rows.emplace_back(&r, &*it);
        std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
            if (a.second->sortOrder != b.second->sortOrder) return a.second->sortOrder < b.second->sortOrder;
            return QString::compare(a.second->name, b.second->name, Qt::CaseInsensitive) < 0;
        });
        scope.setValue(0, Value::text(list.name));
        scope.setValue(1, Value::text(list.place));
        builder.keepFields(2);
        for (const auto& [r, sp] : rows) {
            scope.setValue(2, r->first.isValid() ? Value::date(r->first) : Value());
            scope.setValue(3, r->last.isValid() ? Value::date(r->last) : Value());
            scope.setValue(4, Value::text(r->site));
            scope.setValue(5, Value::text(r->region));
            scope.setValue(6, Value::number(r->records));
            scope.setValue(7, Value::boolean(r->isNew));
            for (int i = 0; i < 10; ++i) scope.setValue(8 + i, Value::fromVariant(sp->values[i]));
            builder.addRow();
        }
    } catch (const db::DbError& e) {
        throw ReportError(kErrDatabase, QStringLiteral("The report could not read the database: ") + e.message());
    }
    return builder.finish();
}

} // namespace fl::report
