#pragma once

#include "lists/ListCounts.h"
#include "lists/Targets.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>

namespace fl {

// The tables of My Lists. Each gives its cells' text for display and, under SortRole, a value
// that sorts as the column means (dates as dates, counts as numbers).
inline constexpr int SortRole = Qt::UserRole;

// The lists: one row per list, in the order ListCounts gives them.
class ListsTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Place, List, Species, New, Records, First, Last, ColumnCount };

    explicit ListsTableModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Shows the lists of `counts`, which must outlive its use here.
    void setCounts(const ListCounts* counts);
    const ListCounts* counts() const { return m_counts; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const ListCounts* m_counts = nullptr;
};

// The species of one list.
class ListSpeciesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Species, FirstSeen, Place, Records, LastSeen, New, ColumnCount };

    explicit ListSpeciesModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setRows(std::vector<ListSpeciesRow> rows);
    const ListSpeciesRow& row(int r) const { return m_rows[size_t(r)]; }
    static QStringList headers();
    // The cells of a row as text, in the order of the columns (for the CSV file).
    static QStringList cells(const ListSpeciesRow& row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<ListSpeciesRow> m_rows;
};

// The targets of a region.
class TargetsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Species, ScientificName, HowCommon, Seasons, ColumnCount };

    explicit TargetsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setTargets(std::vector<Target> targets);
    const Target& target(int r) const { return m_targets[size_t(r)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Target> m_targets;
};

// A filter over a table's rows: the rows where the text of any column holds the filter text,
// letter case ignored; sorting by SortRole.
class TableFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit TableFilter(QObject* parent = nullptr);
};

} // namespace fl
