#include "RegionList.h"

#include "state/AppState.h"
#include "regions/RegionKinds.h"
#include "regions/RegionNames.h"
#include "db/Connection.h"
#include "db/Database.h"

#include "Guard.h"

#include <QCollator>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

namespace fl {

namespace {

// Below 0, 0 or above 0 as `a` comes before, with or after `b` in regionNameLess order.
int compareRegionNames(const QString& a, const QString& b)
{
    static const QCollator collator = [] {
        QCollator c; // the user's language
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const int order = collator.compare(a, b);
    // Names that differ only in their capitals keep one order all the same.
    return order != 0 ? order : QString::compare(a, b);
}

} // namespace

bool regionNameLess(const QString& a, const QString& b) { return compareRegionNames(a, b) < 0; }

QVector<RegionEntry> readRegions(db::Database& db, const RegionKind& kind, bool withCodes)
{
    // Read straight through: the list holds the rows, no record set needs to.
    db::Connection& conn = *db.connection();
    conn.flushPending();
    // The view's name comes from the fixed table of kinds, never from the user.
    db::Statement st(conn, QStringLiteral("SELECT * FROM [%1]").arg(kind.savedQuery));
    int name = -1, id = -1, code = -1;
    for (int i = 0; i < st.columnCount(); ++i) {
        const QString column = st.columnName(i);
        if (column.compare(u"Name", Qt::CaseInsensitive) == 0) name = i;
        else if (column.compare(u"Reg_ID", Qt::CaseInsensitive) == 0) id = i;
        else if (withCodes && column.compare(u"Code", Qt::CaseInsensitive) == 0) code = i;
    }
    if (name < 0 || id < 0) throw db::DbError(kind.savedQuery + QStringLiteral(" does not list Name and Reg_ID."));
    QVector<RegionEntry> regions;
    while (st.step())
        regions.append({st.value(name).toString(), int(st.int64(id)), code < 0 ? QString() : st.value(code).toString()});
    regions.squeeze();
    return regions;
}

QVector<RegionEntry> placeRegions(db::Database& db, int kind)
{
    // One database at a time: the program has one open, and a restore opens a new connection.
    static struct {
        std::weak_ptr<db::Connection> conn;
        quint64 changes = 0;
        bool read[4] = {};
        QVector<RegionEntry> lists[4];
    } cache;
    const std::shared_ptr<db::Connection> conn = db.connection();
    const quint64 changes = conn->tableChanges("Regions");
    if (cache.conn.lock() != conn || cache.changes != changes) {
        cache.conn = conn;
        cache.changes = changes;
        for (int k = 0; k < 4; ++k) {
            cache.read[k] = false;
            cache.lists[k].clear();
        }
    }
    if (!cache.read[kind]) {
        QVector<RegionEntry> regions = readRegions(db, regionKinds()[size_t(kind)], true);
        std::stable_sort(regions.begin(), regions.end(), [](const RegionEntry& a, const RegionEntry& b) {
            const int order = compareRegionNames(a.name, b.name);
            return order != 0 ? order < 0 : a.id < b.id;
        });
        cache.lists[kind] = std::move(regions);
        cache.read[kind] = true;
    }
    return cache.lists[kind];
}

// --- RegionListModel ---

RegionListModel::RegionListModel(QObject* parent) : QAbstractListModel(parent) {}

bool RegionListModel::isUnder(const RegionEntry& region) const
{
    return !m_under.isEmpty() && region.code.size() > m_under.size()
           && region.code.startsWith(m_under, Qt::CaseInsensitive) && region.code[m_under.size()] == u'-';
}

bool RegionListModel::before(const Row& a, const Row& b)
{
    if (a.under != b.under) return a.under;
    return nameBefore(a, b);
}

bool RegionListModel::nameBefore(const Row& a, const Row& b)
{
    const int order = compareRegionNames(a.region.name, b.region.name);
    return order != 0 ? order < 0 : a.region.id < b.region.id;
}

namespace {

// Sorts rows that come almost in order (the saved queries order the names by their letters,
// which differs from the language's order in a few places) with about two comparisons a row:
// the rows that keep the order, and the few that do not, sorted apart and merged in.
template <class T, class Less>
void sortNearlySorted(QVector<T>& rows, Less less)
{
    QVector<T> kept, misplaced;
    kept.reserve(rows.size());
    for (T& r : rows) {
        if (kept.isEmpty() || !less(r, kept.back())) kept.append(std::move(r));
        else misplaced.append(std::move(r));
    }
    if (misplaced.isEmpty()) {
        rows = std::move(kept);
        return;
    }
    std::stable_sort(misplaced.begin(), misplaced.end(), less);
    rows.clear();
    rows.reserve(kept.size() + misplaced.size());
    std::merge(std::make_move_iterator(kept.begin()), std::make_move_iterator(kept.end()),
               std::make_move_iterator(misplaced.begin()), std::make_move_iterator(misplaced.end()),
               std::back_inserter(rows), less);
}

} // namespace

const QString& RegionListModel::keyOf(int source) const
{
    const RegionEntry& r = m_rows[source].region;
    auto it = m_keys.find(r.id);
    if (it == m_keys.end()) it = m_keys.insert(r.id, regionSearchKey(r.name));
    return *it;
}

bool RegionListModel::shown(int source) const { return m_key.isEmpty() || keyOf(source).contains(m_key); }

void RegionListModel::showMatching()
{
    m_shown.clear();
    if (m_key.isEmpty()) return;
    for (int i = 0; i < m_rows.size(); ++i)
        if (shown(i)) m_shown.append(i);
}

void RegionListModel::setRegions(QVector<RegionEntry> regions, bool inOrder)
{
    beginResetModel();
    m_rows.clear();
    m_keys.clear();
    m_rows.reserve(regions.size());
    for (RegionEntry& r : regions) m_rows.append({std::move(r), false, 0});
    if (!inOrder) sortNearlySorted(m_rows, nameBefore);
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        m_rows[i].rank = int(i);
        m_rows[i].under = isUnder(m_rows[i].region);
    }
    putUnderFirst();
    showMatching();
    endResetModel();
}

int RegionListModel::addRegion(const RegionEntry& region)
{
    Row row{region, isUnder(region), 0};
    // Its rank is that of the first region after it by name; those from there on move one on.
    int rank = 0;
    for (const Row& r : std::as_const(m_rows))
        if (nameBefore(r, row)) rank = std::max(rank, r.rank + 1);
    for (Row& r : m_rows)
        if (r.rank >= rank) ++r.rank;
    row.rank = rank;
    const int at = int(std::upper_bound(m_rows.cbegin(), m_rows.cend(), row, before) - m_rows.cbegin());
    m_keys.remove(region.id);
    if (m_key.isEmpty()) {
        beginInsertRows({}, at, at);
        m_rows.insert(at, std::move(row));
        endInsertRows();
        return at;
    }
    m_rows.insert(at, std::move(row));
    const bool visible = shown(at);
    // The rows after it moved one place on.
    const int first = int(std::lower_bound(m_shown.cbegin(), m_shown.cend(), at) - m_shown.cbegin());
    for (int i = first; i < m_shown.size(); ++i) ++m_shown[i];
    if (!visible) return -1;
    beginInsertRows({}, first, first);
    m_shown.insert(first, at);
    endInsertRows();
    return first;
}

void RegionListModel::removeRegionAt(int row)
{
    if (row < 0 || row >= rowCount()) return;
    const int source = sourceOf(row);
    beginRemoveRows({}, row, row);
    m_rows.removeAt(source);
    if (!m_key.isEmpty()) {
        m_shown.removeAt(row);
        for (int i = row; i < m_shown.size(); ++i) --m_shown[i];
    }
    endRemoveRows();
}

int RegionListModel::rowOfRegion(int regId) const
{
    for (int r = 0; r < rowCount(); ++r)
        if (rowAt(r).region.id == regId) return r;
    return -1;
}

void RegionListModel::setFilterText(const QString& text)
{
    const QString key = regionSearchKey(text.trimmed());
    if (key == m_key) return;
    beginResetModel();
    m_key = key;
    showMatching();
    endResetModel();
}

void RegionListModel::setFirstUnder(const QString& code)
{
    if (code.compare(m_under, Qt::CaseInsensitive) == 0) return;
    emit layoutAboutToBeChanged();
    const QModelIndexList persistent = persistentIndexList();
    QVector<int> ids;
    ids.reserve(persistent.size());
    for (const QModelIndex& i : persistent) ids.append(rowAt(i.row()).region.id);
    m_under = code;
    // The rows are in the order of the code before: those under it first, then the rest, each
    // part in name order. Merged back into name order and parted anew, in linear time.
    const auto firstOther = std::find_if(m_rows.begin(), m_rows.end(), [](const Row& r) { return !r.under; });
    std::inplace_merge(m_rows.begin(), firstOther, m_rows.end(),
                       [](const Row& a, const Row& b) { return a.rank < b.rank; });
    for (Row& r : m_rows) r.under = isUnder(r.region);
    putUnderFirst();
    showMatching();
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (int id : ids) moved.append(index(rowOfRegion(id), 0));
    changePersistentIndexList(persistent, moved);
    emit layoutChanged();
}

void RegionListModel::putUnderFirst()
{
    const auto under = [](const Row& r) { return r.under; };
    if (std::any_of(m_rows.cbegin(), m_rows.cend(), under)) std::stable_partition(m_rows.begin(), m_rows.end(), under);
}

int RegionListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    return int(m_key.isEmpty() ? m_rows.size() : m_shown.size());
}

QVariant RegionListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& r = rowAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return r.region.name;
    case IdRole: return r.region.id;
    case CodeRole: return r.region.code;
    case SearchKeyRole: return keyOf(sourceOf(index.row()));
    default: return {};
    }
}

// --- RegionListView ---

RegionListView::RegionListView(Platform& platform, QWidget* parent)
    : QListView(parent), m_model(new RegionListModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Room for a long county name and a screenful of them.
    setMinimumSize(fontMetrics().averageCharWidth() * 34, fontMetrics().height() * 16);
    m_filterBox = new QLineEdit(parent);
    m_filterBox->setObjectName(QStringLiteral("txtFilter"));
    m_filterBox->setPlaceholderText(QStringLiteral("Type part of a name to filter the list"));
    m_filterBox->setAccessibleName(QStringLiteral("Filter the list"));
    m_filterBox->setClearButtonEnabled(true);
    connectGuarded(m_filterBox.data(), &QLineEdit::textChanged, this, platform,
                   QStringLiteral("The list could not be filtered."), [this](const QString& t) { filterChanged(t); });
    m_filterBox->installEventFilter(this);
    if (parent) QWidget::setTabOrder(m_filterBox, this);
    // Passes the change on; what it reaches is connected through the guard.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) noexcept {
        emit currentRowChanged(current.isValid() ? current.row() : -1);
    });
}

RegionListView::~RegionListView()
{
    if (m_filterBox && !m_filterBox->parent()) delete m_filterBox.data();
}

bool RegionListView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_filterBox && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QListView::keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        default: break;
        }
    }
    return QListView::eventFilter(watched, event);
}

void RegionListView::filterChanged(const QString& text)
{
    const int before = currentRow();
    const int chosen = before >= 0 ? regionId(before) : 0;
    m_model->setFilterText(text);
    // The chosen region stays chosen while it is shown; otherwise the first one shown is.
    const int row = chosen > 0 ? m_model->rowOfRegion(chosen) : -1;
    if (row >= 0 || count() > 0) setCurrentRow(row >= 0 ? row : 0);
    else emit currentRowChanged(-1);
    if (currentRow() >= 0) scrollTo(currentIndex());
}

int RegionListView::setRegions(QVector<RegionEntry> regions)
{
    m_model->setRegions(std::move(regions));
    if (count() > 0) setCurrentRow(0);
    else emit currentRowChanged(-1);
    return count();
}

int RegionListView::addRegion(const RegionEntry& region) { return m_model->addRegion(region); }

void RegionListView::removeCurrent() { m_model->removeRegionAt(currentRow()); }

int RegionListView::count() const { return m_model->rowCount(); }

QString RegionListView::text(int row) const { return m_model->index(row, 0).data(Qt::DisplayRole).toString(); }

int RegionListView::regionId(int row) const { return m_model->index(row, 0).data(RegionListModel::IdRole).toInt(); }

QStringList RegionListView::texts() const
{
    QStringList t;
    for (int r = 0; r < count(); ++r) t << text(r);
    return t;
}

int RegionListView::currentRow() const { return currentIndex().isValid() ? currentIndex().row() : -1; }

void RegionListView::setCurrentRow(int row)
{
    const QModelIndex i = m_model->index(row, 0);
    if (!i.isValid()) return;
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
}

QRect RegionListView::visualRowRect(int row) const { return visualRect(m_model->index(row, 0)); }

// --- Place boxes ---

RegionCompleter::RegionCompleter(RegionListModel* model, QObject* parent) : QCompleter(parent)
{
    setModel(model);
    setCompletionRole(RegionListModel::SearchKeyRole);
    setFilterMode(Qt::MatchContains);
    setCaseSensitivity(Qt::CaseSensitive); // both sides are folded already
    setCompletionMode(QCompleter::PopupCompletion);
    setModelSorting(QCompleter::UnsortedModel);
    setMaxVisibleItems(12);
}

QStringList RegionCompleter::splitPath(const QString& path) const { return {regionSearchKey(path)}; }

QString RegionCompleter::pathFromIndex(const QModelIndex& index) const { return index.data(Qt::DisplayRole).toString(); }

void setUpRegionBox(QComboBox* box, RegionListModel* model)
{
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setModel(model);
    box->setCompleter(new RegionCompleter(model, box));
    if (auto* list = qobject_cast<QListView*>(box->view())) list->setUniformItemSizes(true);
    box->setCurrentIndex(-1);
}

bool selectTypedRegion(QComboBox* box)
{
    const QString typed = box->currentText().trimmed();
    if (typed.isEmpty()) {
        box->setCurrentIndex(-1);
        return true;
    }
    if (box->currentIndex() >= 0 && box->itemText(box->currentIndex()) == box->currentText()) return true;
    const QString key = regionSearchKey(typed);
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemData(i, RegionListModel::SearchKeyRole).toString() == key) {
            box->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

// --- Kind buttons and the chosen region ---

QGroupBox* regionKindButtons(QWidget* parent, Platform& platform, QRadioButton* (&buttons)[5],
                             std::function<void(int)> onChecked)
{
    auto* frame = new QGroupBox(QStringLiteral("Regions"), parent);
    auto* options = new QVBoxLayout(frame);
    const QString failure = QStringLiteral("The checklist regions could not be listed.");
    for (int i = 1; i <= 4; ++i) {
        buttons[i] = new QRadioButton(regionKinds()[i - 1].caption, frame);
        buttons[i]->setObjectName(QStringLiteral("optRegion(%1)").arg(i));
        options->addWidget(buttons[i]);
        connectGuarded(buttons[i], &QRadioButton::toggled, frame, platform, failure,
                       [onChecked, i](bool on) {
                           if (on) onChecked(i);
                       });
    }
    return frame;
}

void chooseCurrentRegion(AppState& state, const RegionListView* list)
{
    const int row = list->currentRow();
    if (row < 0) return;
    state.selReg_ID = list->regionId(row);
    state.selRegname = list->text(row);
}

} // namespace fl
