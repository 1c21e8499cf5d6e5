#include "RegionList.h"

#include "state/AppState.h"
#include "regions/RegionKinds.h"
#include "regions/RegionNames.h"
#include "db/Database.h"

#include "Guard.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace fl {

QVector<RegionEntry> readRegions(db::Database& db, const RegionKind& kind)
{
    QVector<RegionEntry> regions;
    auto rs = db.openRecordset(kind.savedQuery, db::RecordsetKind::Snapshot);
    regions.reserve(rs.recordCount());
    const QStringList fields = rs.fieldNames();
    auto find = [&fields](const char* name) {
        for (int i = 0; i < fields.size(); ++i)
            if (fields[i].compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return i;
        return -1;
    };
    const int name = find("Name"), id = find("Reg_ID"), code = find("Code");
    for (; !rs.eof(); rs.moveNext())
        regions.append(
            {rs.field(name).toString(), rs.field(id).toInt(), code < 0 ? QString() : rs.field(code).toString()});
    return regions;
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
    const int c = QString::compare(a.region.name, b.region.name, Qt::CaseInsensitive);
    if (c != 0) return c < 0;
    return a.region.id < b.region.id;
}

void RegionListModel::setRegions(QVector<RegionEntry> regions)
{
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(regions.size());
    for (RegionEntry& r : regions) {
        const bool under = isUnder(r);
        m_rows.append({std::move(r), under, {}});
    }
    // The saved queries list the names in order already: sorting is then only a check.
    if (!std::is_sorted(m_rows.cbegin(), m_rows.cend(), before)) std::stable_sort(m_rows.begin(), m_rows.end(), before);
    endResetModel();
}

int RegionListModel::addRegion(const RegionEntry& region)
{
    Row row{region, isUnder(region), {}};
    const auto at = std::upper_bound(m_rows.cbegin(), m_rows.cend(), row, before);
    const int index = int(at - m_rows.cbegin());
    beginInsertRows({}, index, index);
    m_rows.insert(index, std::move(row));
    endInsertRows();
    return index;
}

void RegionListModel::removeRegionAt(int row)
{
    if (row < 0 || row >= m_rows.size()) return;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

void RegionListModel::setFirstUnder(const QString& code)
{
    if (code.compare(m_under, Qt::CaseInsensitive) == 0) return;
    emit layoutAboutToBeChanged();
    const QModelIndexList persistent = persistentIndexList();
    QVector<int> ids;
    ids.reserve(persistent.size());
    for (const QModelIndex& i : persistent) ids.append(m_rows[i.row()].region.id);
    m_under = code;
    for (Row& r : m_rows) r.under = isUnder(r.region);
    std::stable_sort(m_rows.begin(), m_rows.end(), before);
    QHash<int, int> rowOfId;
    for (int r = 0; r < m_rows.size(); ++r) rowOfId.insert(m_rows[r].region.id, r);
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (int id : ids) moved.append(index(rowOfId.value(id, -1), 0));
    changePersistentIndexList(persistent, moved);
    emit layoutChanged();
}

int RegionListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

QVariant RegionListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size()) return {};
    const Row& r = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return r.region.name;
    case IdRole: return r.region.id;
    case CodeRole: return r.region.code;
    case SearchKeyRole:
        if (r.key.isNull()) r.key = regionSearchKey(r.region.name);
        return r.key;
    default: return {};
    }
}

// --- RegionFilterModel ---

void RegionFilterModel::setFilterText(const QString& text)
{
    const QString key = regionSearchKey(text.trimmed());
    if (key == m_key) return;
    m_key = key;
    invalidateFilter();
}

bool RegionFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (m_key.isEmpty()) return true;
    const QModelIndex i = sourceModel()->index(sourceRow, 0, sourceParent);
    return sourceModel()->data(i, RegionListModel::SearchKeyRole).toString().contains(m_key);
}

// --- RegionListView ---

RegionListView::RegionListView(QWidget* parent)
    : QListView(parent), m_model(new RegionListModel(this)), m_filter(new RegionFilterModel(this))
{
    m_filter->setSourceModel(m_model);
    setModel(m_filter);
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
    connect(m_filterBox, &QLineEdit::textChanged, this, [this](const QString& t) { filterChanged(t); });
    m_filterBox->installEventFilter(this);
    if (parent) QWidget::setTabOrder(m_filterBox, this);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { emit currentRowChanged(current.isValid() ? current.row() : -1); });
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
    m_filter->setFilterText(text);
    // The current region stays current while it is shown; otherwise the first shown one is.
    if (currentRow() < 0 && count() > 0) setCurrentRow(0);
    else if (currentRow() < 0 && before >= 0) emit currentRowChanged(-1);
    if (currentRow() >= 0) scrollTo(currentIndex());
}

int RegionListView::setRegions(QVector<RegionEntry> regions)
{
    m_model->setRegions(std::move(regions));
    if (count() > 0) setCurrentRow(0);
    else emit currentRowChanged(-1);
    return count();
}

int RegionListView::addRegion(const RegionEntry& region)
{
    const int sourceRow = m_model->addRegion(region);
    return m_filter->mapFromSource(m_model->index(sourceRow, 0)).row();
}

void RegionListView::removeCurrent()
{
    const QModelIndex current = m_filter->mapToSource(currentIndex());
    if (!current.isValid()) return;
    m_model->removeRegionAt(current.row());
}

int RegionListView::count() const { return m_filter->rowCount(); }

QString RegionListView::text(int row) const { return m_filter->index(row, 0).data(Qt::DisplayRole).toString(); }

int RegionListView::regionId(int row) const
{
    return m_filter->index(row, 0).data(RegionListModel::IdRole).toInt();
}

QStringList RegionListView::texts() const
{
    QStringList t;
    for (int r = 0; r < count(); ++r) t << text(r);
    return t;
}

int RegionListView::currentRow() const { return currentIndex().isValid() ? currentIndex().row() : -1; }

void RegionListView::setCurrentRow(int row)
{
    const QModelIndex i = m_filter->index(row, 0);
    if (!i.isValid()) return;
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
}

QRect RegionListView::visualRowRect(int row) const { return visualRect(m_filter->index(row, 0)); }

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
        QObject::connect(buttons[i], &QRadioButton::toggled, frame,
                         guarded(platform, failure, [onChecked, i](bool on) {
                             if (on) onChecked(i);
                         }));
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
