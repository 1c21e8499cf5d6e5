#include "SightingsLogModel.h"

#include "ui/PlainText.h"

namespace fl {

namespace {
const char* const kHeaders[SightingsLog::ColumnCount] = {"Date", "Species", "Site", "Region", "Country",
                                                         "State/Prov", "District/County", "Notes", "Review"};
}

void SightingsLogModel::load(db::Database& db, const SightingsLog::Filter& filter)
{
    beginResetModel();
    m_log.load(db);
    m_filter = filter;
    m_rows = m_log.select(m_filter);
    if (!(m_sortColumn == SightingsLog::Date && m_order == Qt::DescendingOrder))
        m_log.sort(m_rows, SightingsLog::Column(m_sortColumn), m_order == Qt::AscendingOrder);
    endResetModel();
}

void SightingsLogModel::setFilter(const SightingsLog::Filter& filter)
{
    beginResetModel();
    m_filter = filter;
    m_rows = m_log.select(m_filter);
    if (!(m_sortColumn == SightingsLog::Date && m_order == Qt::DescendingOrder))
        m_log.sort(m_rows, SightingsLog::Column(m_sortColumn), m_order == Qt::AscendingOrder);
    endResetModel();
}

int SightingsLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SightingsLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : SightingsLog::ColumnCount;
}

QVariant SightingsLogModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size())) return {};
    if (role == Qt::DisplayRole) {
        QString text = m_log.text(entry(index.row()), SightingsLog::Column(index.column()));
        if (index.column() == SightingsLog::Notes) text.replace(u'\n', QStringLiteral(" / "));
        return text;
    }
    if (role == Qt::ToolTipRole && index.column() == SightingsLog::Notes) return plainToolTip(entry(index.row()).notes);
    if (role == Qt::ToolTipRole && entry(index.row()).needsReview)
        return QStringLiteral("A taxonomy update split this species: edit the sighting to choose the species seen.");
    return {};
}

QVariant SightingsLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal && section >= 0 && section < SightingsLog::ColumnCount)
        return QString::fromLatin1(kHeaders[section]);
    if (orientation == Qt::Vertical) return section + 1;
    return {};
}

void SightingsLogModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= SightingsLog::ColumnCount) return;
    if (column == m_sortColumn && order == m_order) return;
    beginResetModel();
    m_sortColumn = column;
    m_order = order;
    if (column == SightingsLog::Date && order == Qt::DescendingOrder) m_rows = m_log.select(m_filter);
    else m_log.sort(m_rows, SightingsLog::Column(column), order == Qt::AscendingOrder);
    endResetModel();
}

} // namespace fl
