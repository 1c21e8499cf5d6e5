#include "OutingGridModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace fl {

namespace {
const char* const kHeaders[OutingGridModel::ColumnCount] = {"Species", "Code", "Count", "Comments", "New"};
}

void OutingGridModel::setSpecies(std::vector<OutingSpeciesRow> onList, std::vector<OutingSpeciesRow> offList)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(onList.size() + offList.size());
    m_onList = onList.size();
    for (auto& s : onList) m_rows.push_back({std::move(s), {}, {}, {}, {}, {}, 0});
    for (auto& s : offList) m_rows.push_back({std::move(s), {}, {}, {}, {}, {}, 0});
    m_dirty = false;
    m_offListRead = !offList.empty();
    select();
    endResetModel();
    emit seenChanged(0);
}

void OutingGridModel::setOffList(std::vector<OutingSpeciesRow> offList)
{
    beginResetModel();
    m_rows.resize(m_onList); // entries are only ever made on rows that are there
    for (auto& s : offList) m_rows.push_back({std::move(s), {}, {}, {}, {}, {}, 0});
    m_offListRead = true;
    select();
    endResetModel();
}

void OutingGridModel::setNewness(OutingNewness* newness)
{
    m_newness = newness;
    refreshNewness();
}

void OutingGridModel::refreshNewness()
{
    if (!m_shown.empty()) emit dataChanged(index(0, New), index(rowCount() - 1, New));
}

void OutingGridModel::setFilter(const QString& text)
{
    if (text == m_filter) return;
    beginResetModel();
    m_filter = text;
    select();
    endResetModel();
}

void OutingGridModel::setWholeList(bool whole)
{
    if (whole == m_whole) return;
    beginResetModel();
    m_whole = whole;
    select();
    endResetModel();
}

void OutingGridModel::select()
{
    m_shown.clear();
    const SpeciesFilter filter(m_filter);
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row& r = m_rows[i];
        const bool onList = i < m_onList;
        // A species off the list shows when asked for, found, or already counted.
        if (filter.isEmpty()) {
            if (onList || m_whole || r.seen() || !r.countText.isEmpty()) m_shown.push_back(int(i));
        } else if (filter.score(r.species) > 0) {
            m_shown.push_back(int(i));
        }
    }
}

int OutingGridModel::bestRow() const
{
    const SpeciesFilter filter(m_filter);
    int best = -1, top = 0;
    for (size_t i = 0; i < m_shown.size(); ++i) {
        const int score = filter.score(m_rows[size_t(m_shown[i])].species);
        if (score > top) {
            top = score;
            best = int(i);
        }
    }
    return best;
}

bool OutingGridModel::setEntry(const OutingEntry& entry)
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Row& r = m_rows[i];
        if (r.species.birdId != entry.birdId) continue;
        r.countText = countText(entry.count);
        r.count = parseCount(r.countText);
        r.comments = entry.comments;
        r.breedingCode = entry.breedingCode;
        r.mediaNumbers = entry.mediaNumbers;
        r.sightId = entry.sightId;
        beginResetModel();
        select();
        endResetModel();
        emit seenChanged(seenCount());
        return true;
    }
    return false;
}

std::vector<OutingEntry> OutingGridModel::entries() const
{
    std::vector<OutingEntry> list;
    for (const Row& r : m_rows)
        if (r.seen()) list.push_back({r.species.birdId, r.count.count(), r.comments, r.breedingCode, r.mediaNumbers, r.sightId});
    return list;
}

int OutingGridModel::firstProblem(QString* problem) const
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].count.kind != CountEntry::Bad) continue;
        if (problem) *problem = m_rows[i].count.problem;
        return int(i);
    }
    return -1;
}

int OutingGridModel::shownRowOf(int birdId) const
{
    for (size_t i = 0; i < m_shown.size(); ++i)
        if (m_rows[size_t(m_shown[i])].species.birdId == birdId) return int(i);
    return -1;
}

int OutingGridModel::seenCount() const
{
    int n = 0;
    for (const Row& r : m_rows) n += r.seen();
    return n;
}

int OutingGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int OutingGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString OutingGridModel::newText(const Row& r) const
{
    if (!m_newness || !r.seen()) return {};
    const OutingNewness::New n = m_newness->of(r.species, r.sightId);
    if (n.life) return QStringLiteral("Life");
    if (n.year) return QStringLiteral("Year");
    return {};
}

QVariant OutingGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const size_t at = size_t(m_shown[size_t(index.row())]);
    const Row& r = m_rows[at];
    const bool offList = at >= m_onList;
    const bool bad = r.count.kind == CountEntry::Bad;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (index.column()) {
        case Species: return offList && role == Qt::DisplayRole ? r.species.name + QStringLiteral(" (not on the list)")
                                                                : r.species.name;
        case Code: return r.species.code;
        case Count: return r.countText;
        case Comments: return r.comments;
        case New: return bad ? r.count.problem : newText(r);
        default: return {};
        }
    case Qt::FontRole:
        if (r.seen() || (offList && index.column() == Species)) {
            QFont f;
            f.setBold(r.seen());
            f.setItalic(offList);
            return f;
        }
        return {};
    case Qt::ForegroundRole:
        if (bad && (index.column() == Count || index.column() == New)) return QBrush(QColor(0xb0, 0x00, 0x20));
        return {};
    case Qt::BackgroundRole:
        if (bad && index.column() == Count) return QBrush(QColor(0xff, 0xe4, 0xe1));
        return {};
    case Qt::ToolTipRole:
        if (bad) return r.count.problem;
        if (index.column() == Species) {
            QString tip = r.species.sciName;
            if (offList) tip += QStringLiteral("\nNot on the checklist of the current region.");
            return tip;
        }
        if (index.column() == Count) return QStringLiteral("A number of birds, or X for present but not counted");
        if (index.column() == New) {
            const QString t = newText(r);
            if (t == u"Life") return QStringLiteral("New for the life list of the current region");
            if (t == u"Year") return QStringLiteral("New for the year in the current region");
        }
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == Count) return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default: return {};
    }
}

bool OutingGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.row() >= rowCount()) return false;
    Row& r = m_rows[size_t(m_shown[size_t(index.row())])];
    const QString text = value.toString().trimmed();
    if (index.column() == Count) {
        if (text == r.countText) return false;
        const bool wasSeen = r.seen();
        r.countText = text;
        r.count = parseCount(text);
        if (r.count.kind == CountEntry::Present) r.countText = QStringLiteral("X");
        if (wasSeen != r.seen()) emit seenChanged(seenCount());
    } else if (index.column() == Comments) {
        if (value.toString() == r.comments) return false;
        r.comments = value.toString();
    } else {
        return false;
    }
    m_dirty = true;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
    return true;
}

Qt::ItemFlags OutingGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == Count || index.column() == Comments) f |= Qt::ItemIsEditable;
    return f;
}

QVariant OutingGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal && section >= 0 && section < ColumnCount) return QString::fromLatin1(kHeaders[section]);
    return {};
}

} // namespace fl
