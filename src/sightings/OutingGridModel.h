#pragma once

#include "outings/OutingChecklist.h"
#include "outings/OutingRules.h"

#include <QAbstractTableModel>
#include <memory>
#include <vector>

namespace fl {

// The species grid of the outing window: the current region's checklist in checklist order,
// each row with its count ("X" or a number), a comment and whether the species would be new.
// A filter line narrows the rows; species not on the checklist show when the filter finds
// them or the whole list is asked for, marked as such.
class OutingGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Species, Code, Count, Comments, New, ColumnCount };

    struct Row {
        OutingSpeciesRow species;
        QString countText; // as typed
        CountEntry count;
        QString comments;
        QString breedingCode, mediaNumbers; // kept as stored; the grid does not show them
        int sightId = 0;                    // the stored sighting, 0 for none
        bool seen() const { return count.seen(); }
    };

    explicit OutingGridModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // The rows: the checklist's species and the others.
    void setSpecies(std::vector<OutingSpeciesRow> onList, std::vector<OutingSpeciesRow> offList);
    // The species off the checklist, read when first needed.
    void setOffList(std::vector<OutingSpeciesRow> offList);
    bool hasOffList() const { return m_offListRead; }
    // What tells a species new for the life list and the year (not owned); null for nothing.
    void setNewness(OutingNewness* newness);
    // Shows the New column again (after the date or the places changed).
    void refreshNewness();

    void setFilter(const QString& text);
    void setWholeList(bool whole);
    // The shown row that the filter finds best, or -1.
    int bestRow() const;

    // A stored entry into its row (edit mode); false when the species has no row.
    bool setEntry(const OutingEntry& entry);
    // The rows with a count or X, as the outing's species, in checklist order.
    std::vector<OutingEntry> entries() const;
    // The first row with a bad count, as a row of m_rows (-1 for none), and its problem.
    int firstProblem(QString* problem) const;
    // The shown row of a species, or -1.
    int shownRowOf(int birdId) const;
    const Row& rowAt(int shownRow) const { return m_rows[size_t(m_shown[size_t(shownRow)])]; }
    QString speciesNameAt(int row) const { return m_rows[size_t(row)].species.name; }
    int seenCount() const;
    // Whether counts or comments were typed since load or the last markClean().
    bool isDirty() const { return m_dirty; }
    void markClean() { m_dirty = false; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void seenChanged(int seen);

private:
    void select();
    QString newText(const Row& row) const;

    std::vector<Row> m_rows;   // the checklist's rows first, then the others
    size_t m_onList = 0;       // how many of m_rows are on the checklist
    std::vector<int> m_shown;  // rows of m_rows, in order
    QString m_filter;
    bool m_whole = false;
    bool m_dirty = false;
    bool m_offListRead = false;
    OutingNewness* m_newness = nullptr;
};

} // namespace fl
