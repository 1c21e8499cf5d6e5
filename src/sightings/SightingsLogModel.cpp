#include "SightingsLogModel.h"

#include "ui/PlainText.h"

#include <QBrush>
#include <QFont>
#include <QHash>
#include <QPalette>

namespace fl {

namespace {
const char* const kHeaders[SightingsLog::ColumnCount] = {"Date", "Species", "Count", "Site", "Region", "Country",
                                                         "State/Prov", "District/County", "Notes", "Review"};
}

void SightingsLogModel::load(db::Database& db, const SightingsLog::Filter& filter)
{
    beginResetModel();
    m_log.load(db);
    m_filter = filter;
    m_rows = m_log.select(m_filter);
    order();
    makeLines();
    endResetModel();
}

void SightingsLogModel::setFilter(const SightingsLog::Filter& filter)
{
    beginResetModel();
    m_filter = filter;
    m_rows = m_log.select(m_filter);
    order();
    makeLines();
    endResetModel();
}

void SightingsLogModel::setGrouped(bool grouped)
{
    if (grouped == m_grouped) return;
    beginResetModel();
    m_grouped = grouped;
    makeLines();
    endResetModel();
}

void SightingsLogModel::order()
{
    if (!(m_sortColumn == SightingsLog::Date && m_order == Qt::DescendingOrder))
        m_log.sort(m_rows, SightingsLog::Column(m_sortColumn), m_order == Qt::AscendingOrder);
}

void SightingsLogModel::makeLines()
{
    m_lines.clear();
    m_lines.reserve(m_rows.size() + (m_grouped ? m_rows.size() / 4 : 0));
    const auto& entries = m_log.entries();
    if (!m_grouped) {
        for (int r : m_rows) m_lines.push_back({r, entries[size_t(r)].outingId});
        return;
    }
    // Each outing where its first row comes in the order shown, its rows after its heading.
    QHash<int, std::vector<int>> members;
    for (int r : m_rows)
        if (const int o = entries[size_t(r)].outingId) members[o].push_back(r);
    for (int r : m_rows) {
        const int o = entries[size_t(r)].outingId;
        if (!o) {
            m_lines.push_back({r, 0});
            continue;
        }
        auto it = members.find(o);
        if (it == members.end()) continue; // placed already
        m_lines.push_back({-1, o});
        for (int member : *it) m_lines.push_back({member, o});
        members.erase(it);
    }
}

int SightingsLogModel::headingRow(int outingId) const
{
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].entry < 0 && m_lines[i].outing == outingId) return int(i);
    return -1;
}

int SightingsLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

int SightingsLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : SightingsLog::ColumnCount;
}

QVariant SightingsLogModel::headingData(int outingId, int column, int role) const
{
    const SightingsLog::OutingInfo* o = m_log.outing(outingId);
    if (!o) return {};
    if (role == Qt::FontRole) {
        QFont f;
        f.setBold(true);
        return f;
    }
    if (role == Qt::BackgroundRole) return QPalette().brush(QPalette::AlternateBase);
    if (role == Qt::ToolTipRole) {
        const QString open = QStringLiteral("Enter or double-click opens the outing");
        if (o->others == 1) return QStringLiteral("Also 1 record of no species, counted in no list.\n") + open;
        if (o->others > 1)
            return QStringLiteral("Also %1 records of no species, counted in no list.\n").arg(o->others) + open;
        return open;
    }
    if (role != Qt::DisplayRole) return {};
    switch (column) {
    case SightingsLog::Date: return o->date.toString(Qt::ISODate);
    case SightingsLog::Species:
        return QStringLiteral("Outing: %1 species").arg(o->species);
    case SightingsLog::Site: return o->site;
    case SightingsLog::Notes: {
        QString effort = o->protocol;
        if (!o->startTime.isEmpty()) effort += QStringLiteral(", from ") + o->startTime;
        return effort;
    }
    default: return {};
    }
}

QVariant SightingsLogModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_lines.size())) return {};
    const Line& line = m_lines[size_t(index.row())];
    if (line.entry < 0) return headingData(line.outing, index.column(), role);
    const SightingsLog::Entry& e = m_log.entries()[size_t(line.entry)];
    if (role == Qt::DisplayRole) {
        QString text = m_log.text(e, SightingsLog::Column(index.column()));
        if (index.column() == SightingsLog::Notes) text.replace(u'\n', QStringLiteral(" / "));
        return text;
    }
    if (role == Qt::TextAlignmentRole && index.column() == SightingsLog::Count)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() == SightingsLog::Notes) return plainToolTip(e.notes);
    if (role == Qt::ToolTipRole && index.column() == SightingsLog::Count && e.count == 0)
        return QStringLiteral("Present, not counted");
    if (role == Qt::ToolTipRole && e.needsReview)
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
    makeLines();
    endResetModel();
}

} // namespace fl
