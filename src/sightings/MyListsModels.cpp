#include "MyListsModels.h"

#include "status/Seasons.h"
#include "status/StatusCodes.h"

namespace fl {

namespace {

QString isoDate(const QDate& d) { return d.isValid() ? d.toString(Qt::ISODate) : QString(); }

QVariant header(const char* const* names, int count, int section, Qt::Orientation orientation, int role)
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= count) return {};
    return QString::fromLatin1(names[section]);
}

} // namespace

// ---- the lists ---------------------------------------------------------------------------

void ListsTableModel::setCounts(const ListCounts* counts)
{
    beginResetModel();
    m_counts = counts;
    endResetModel();
}

int ListsTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_counts ? 0 : int(m_counts->lists().size());
}

int ListsTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ListsTableModel::data(const QModelIndex& index, int role) const
{
    if (!m_counts || !index.isValid() || index.row() >= rowCount()) return {};
    const ListSummary& l = m_counts->lists()[size_t(index.row())];
    const ListPlace& p = m_counts->places()[size_t(l.place)];
    if (role == Qt::TextAlignmentRole)
        return index.column() == Species || index.column() == New || index.column() == Records
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    if (role != Qt::DisplayRole && role != SortRole) return {};
    switch (Column(index.column())) {
    case Place: return p.kind == ListPlace::Kind::Custom ? p.name + QStringLiteral(" (custom)") : p.name;
    case List: return m_counts->listName(index.row());
    case Species: return l.species;
    case New: return l.newSpecies;
    case Records: return l.records;
    case First: return role == SortRole ? QVariant(l.first) : QVariant(isoDate(l.first));
    case Last: return role == SortRole ? QVariant(l.last) : QVariant(isoDate(l.last));
    case ColumnCount: break;
    }
    return {};
}

QVariant ListsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const names[] = {"Place", "List", "Species", "New", "Records", "First", "Last"};
    return header(names, ColumnCount, section, orientation, role);
}

// ---- the species of a list ---------------------------------------------------------------

void ListSpeciesModel::setRows(std::vector<ListSpeciesRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

QStringList ListSpeciesModel::headers()
{
    return {QStringLiteral("Species"), QStringLiteral("First seen"), QStringLiteral("Place"), QStringLiteral("Records"),
            QStringLiteral("Last seen"), QStringLiteral("New")};
}

QStringList ListSpeciesModel::cells(const ListSpeciesRow& r)
{
    return {r.name, isoDate(r.first), r.place(), QString::number(r.records), isoDate(r.last),
            r.isNew ? QStringLiteral("new") : QString()};
}

int ListSpeciesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

int ListSpeciesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ListSpeciesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const ListSpeciesRow& r = m_rows[size_t(index.row())];
    if (role == Qt::TextAlignmentRole)
        return index.column() == Records ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role == Qt::ToolTipRole && index.column() == Species) return r.sciName;
    if (role == SortRole) {
        switch (Column(index.column())) {
        case Species: return r.sortOrder; // checklist order
        case FirstSeen: return r.first;
        case LastSeen: return r.last;
        case Records: return r.records;
        case New: return r.isNew;
        default: break;
        }
    }
    if (role != Qt::DisplayRole && role != SortRole) return {};
    return cells(r).value(index.column());
}

QVariant ListSpeciesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return headers().value(section);
}

// ---- targets -----------------------------------------------------------------------------

void TargetsModel::setTargets(std::vector<Target> targets)
{
    beginResetModel();
    m_targets = std::move(targets);
    endResetModel();
}

int TargetsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_targets.size()); }

int TargetsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TargetsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Target& t = m_targets[size_t(index.row())];
    if (role == SortRole && index.column() == HowCommon) return -int(t.commonness.level) * 100000 + index.row();
    if (role == SortRole && index.column() == Species) return index.row();
    if (role != Qt::DisplayRole && role != SortRole) return {};
    switch (Column(index.column())) {
    case Species: return t.name;
    case ScientificName: return t.sciName;
    case HowCommon: {
        const QString word = codes::abundanceWord(t.commonness.level);
        if (t.commonness.seasonsKnown || word.isEmpty()) return word;
        return word + QStringLiteral(" (") + codes::statusWord(t.status) + u')';
    }
    case Seasons: {
        const QString seasons = codes::seasonsText(t.scode);
        return seasons.isEmpty() ? codes::statusWord(t.status) : seasons;
    }
    case ColumnCount: break;
    }
    return {};
}

QVariant TargetsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const names[] = {"Species", "Scientific name", "How common", "Seasons"};
    return header(names, ColumnCount, section, orientation, role);
}

TableFilter::TableFilter(QObject* parent) : QSortFilterProxyModel(parent)
{
    setSortRole(SortRole);
    setFilterKeyColumn(-1);
    setFilterCaseSensitivity(Qt::CaseInsensitive);
}

} // namespace fl
