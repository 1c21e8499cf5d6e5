#pragma once

#include "records/SightingsLog.h"

#include <QAbstractTableModel>

namespace fl {

// The rows of the sightings log that pass the filter, as a table the view reads on demand.
// Grouped by outing, each outing's sightings follow a heading row of the outing.
class SightingsLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SightingsLogModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Reads every sighting again and applies the filter.
    void load(db::Database& db, const SightingsLog::Filter& filter);
    void setFilter(const SightingsLog::Filter& filter);
    const SightingsLog::Filter& filter() const { return m_filter; }
    SightingsLog::Counts counts() const { return m_log.counts(m_rows, m_filter); }
    const SightingsLog& log() const { return m_log; }
    // The sighting of a row that is no heading.
    const SightingsLog::Entry& entry(int row) const { return m_log.entries()[size_t(m_lines[size_t(row)].entry)]; }

    void setGrouped(bool grouped);
    bool grouped() const { return m_grouped; }
    // Whether the row is an outing's heading.
    bool isHeading(int row) const { return m_lines[size_t(row)].entry < 0; }
    // The outing of a row (its heading or one of its sightings), 0 for none.
    int outingAt(int row) const { return m_lines[size_t(row)].outing; }
    // The row of an outing's heading, or -1.
    int headingRow(int outingId) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    struct Line {
        int entry = -1; // an entry of the log; -1 for an outing's heading
        int outing = 0;
    };
    void order();     // sorts m_rows by the chosen column
    void makeLines(); // the rows as shown, with the headings when grouped
    QVariant headingData(int outingId, int column, int role) const;

    SightingsLog m_log;
    SightingsLog::Filter m_filter;
    std::vector<int> m_rows;
    std::vector<Line> m_lines;
    int m_sortColumn = SightingsLog::Date;
    Qt::SortOrder m_order = Qt::DescendingOrder;
    bool m_grouped = false;
};

} // namespace fl
