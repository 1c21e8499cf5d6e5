#pragma once

#include <QAbstractListModel>
#include <QCompleter>
#include <QHash>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QVector>
#include <functional>

class QComboBox;
class QGroupBox;
class QRadioButton;
class QWidget;

namespace fl {

namespace db { class Database; }
struct AppState;
class Platform;
struct RegionKind;

// The order of region names in every list: alphabetical as the user's language has it,
// capitals ignored ("aardvark marsh" before "Monterey County").
bool regionNameLess(const QString& a, const QString& b);

// One region of a list: its name, its Reg_ID and its eBird code (empty for none).
struct RegionEntry {
    QString name;
    int id = 0;
    QString code;
};

// The regions of `kind` as its saved query lists them; their codes only when asked for.
QVector<RegionEntry> readRegions(db::Database& db, const RegionKind& kind, bool withCodes = false);

// The regions of the kind regionKinds()[kind] with their codes in regionNameLess order, for the
// place boxes: read once for a database and again only after its Regions table changed.
QVector<RegionEntry> placeRegions(db::Database& db, int kind);

// The regions of one kind, kept in regionNameLess order. The regions under a chosen one
// (their code begins with its code) can be put first, each part sorted by name. A filter text
// keeps the rows whose name holds it, ignoring case and accents; the rows are those shown.
// Qt::DisplayRole and Qt::EditRole give the name, IdRole (Qt::UserRole) the Reg_ID.
class RegionListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { IdRole = Qt::UserRole, CodeRole, SearchKeyRole };

    explicit RegionListModel(QObject* parent = nullptr);

    // `inOrder`: the regions come in regionNameLess order already, as placeRegions gives them.
    void setRegions(QVector<RegionEntry> regions, bool inOrder = false);
    // Puts a region in its place; returns its row, or -1 when the filter hides it.
    int addRegion(const RegionEntry& region);
    void removeRegionAt(int row);
    // The regions under the one with code `code` first; an empty code puts none first.
    void setFirstUnder(const QString& code);
    // Shows only the regions whose name holds `text` (letter case and accents ignored).
    void setFilterText(const QString& text);
    // The row of the region `regId` among those shown, or -1.
    int rowOfRegion(int regId) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    struct Row {
        RegionEntry region;
        bool under = false;
        int rank = 0; // its place in name order (higher later; numbers may be skipped)
    };
    bool isUnder(const RegionEntry& region) const;
    const QString& keyOf(int source) const;
    bool shown(int source) const;
    void showMatching();
    const Row& rowAt(int row) const { return m_key.isEmpty() ? m_rows[row] : m_rows[m_shown[row]]; }
    int sourceOf(int row) const { return m_key.isEmpty() ? row : m_shown[row]; }
    static bool before(const Row& a, const Row& b);
    static bool nameBefore(const Row& a, const Row& b);
    // Puts the rows whose `under` is set first, keeping the order within each part.
    void putUnderFirst();
    QVector<Row> m_rows;   // every region, in order
    QVector<int> m_shown;  // with a filter: the positions in m_rows of those shown
    mutable QHash<int, QString> m_keys; // search keys by Reg_ID, made when first needed
    QString m_under, m_key;
};

// The list of regions of the region windows, with the filter box above it: single
// selection, in regionNameLess order. Rows count the regions that the filter shows.
class RegionListView : public QListView {
    Q_OBJECT
public:
    // The filter box is made beside the list, a child of `parent`, to be put above it. A
    // failure in filtering is told through `platform`, which outlives the list.
    explicit RegionListView(Platform& platform, QWidget* parent = nullptr);
    ~RegionListView() override;

    // The box whose text filters the list (objectName "txtFilter"). The arrow and page keys
    // move through the list from there too.
    QLineEdit* filterBox() const { return m_filterBox; }

    // Shows these regions (the filter stays) and makes the first row current; returns the count.
    int setRegions(QVector<RegionEntry> regions);
    // Adds a region in its place without making it current; returns its row, or -1 when the
    // filter hides it.
    int addRegion(const RegionEntry& region);
    void removeCurrent();

    int count() const;
    QString text(int row) const;
    int regionId(int row) const;
    QStringList texts() const;
    int currentRow() const;
    void setCurrentRow(int row);
    QRect visualRowRect(int row) const;

signals:
    // The current row changed, by the user, the filter or the program; -1 for none.
    void currentRowChanged(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void filterChanged(const QString& text);
    RegionListModel* m_model;
    QPointer<QLineEdit> m_filterBox;
};

// Completes a place box: a typed piece finds the regions whose name holds it anywhere,
// ignoring case and accents; choosing one selects it in the box.
class RegionCompleter : public QCompleter {
    Q_OBJECT
public:
    RegionCompleter(RegionListModel* model, QObject* parent);
    QStringList splitPath(const QString& path) const override;
    QString pathFromIndex(const QModelIndex& index) const override;
};

// Makes `box` a place box over `model`: typed text filters the regions as RegionCompleter
// does, and only a region of the list can be chosen.
void setUpRegionBox(QComboBox* box, RegionListModel* model);

// Selects the region that a place box's typed text names (letter case and accents ignored).
// False when the box holds text that names no region of its list; an empty box selects none.
bool selectTypedRegion(QComboBox* box);

// The "Regions" frame with one option button per region kind: buttons[1] to buttons[4]
// (objectNames "optRegion(1)" to "optRegion(4)"). `onChecked` runs, through the guard, with the
// kind's index whenever a button becomes checked, by the mouse, the keys or an accessibility
// client.
QGroupBox* regionKindButtons(QWidget* parent, Platform& platform, QRadioButton* (&buttons)[5],
                             std::function<void(int)> onChecked);

// Makes the list's current region the chosen one (selReg_ID, selRegname); nothing without one.
void chooseCurrentRegion(AppState& state, const RegionListView* list);

} // namespace fl
