#pragma once

#include "records/SightingsLog.h"

#include <QAbstractTableModel>

namespace fl {

// The rows of the sightings log that pass the filter, as a table the view reads on demand.
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
    const SightingsLog::Entry& entry(int row) const { return m_log.entries()[size_t(m_rows[size_t(row)])]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    SightingsLog m_log;
    SightingsLog::Filter m_filter;
    std::vector<int> m_rows;
    int m_sortColumn = SightingsLog::Date;
    Qt::SortOrder m_order = Qt::DescendingOrder;
};

} // namespace fl
