#pragma once

#include "lists/CustomLists.h"
#include "lists/ListCounts.h"
#include "ui/Context.h"

#include <QDialog>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStandardItemModel;
class QTabWidget;
class QTableView;

namespace fl {

class ListSpeciesModel;
class ListsTableModel;
class TableFilter;
class TargetsModel;

// "My Lists": the user's lists at a glance. For a chosen region (the current one at first)
// a table of lists: the life list of the whole list, then the region's and each region's
// within it, and each custom list, each with its year lists (latest first) and month lists
// (over all years): species, how many were new in the list, records, first and last date.
// The chosen list's species show below, sortable, with a filter; double-clicking one shows
// it in the main window. Custom lists are made, renamed and deleted here; the shown list is
// exported as CSV or printed. A second page lists the region's targets for a chosen month.
// It stays open beside the main window.
class frmMyLists : public QWidget {
    Q_OBJECT
public:
    explicit frmMyLists(Context& ctx, QWidget* parent = nullptr);

    // Reads the sightings and custom lists again, keeping the choices made.
    void reload();
    // Counts the lists of the region chosen in cmbRegion.
    void countLists();
    // Shows the species of the chosen list below.
    void showChosenList();
    void showTargets();
    // The list chosen in the table, -1 for none.
    int chosenList() const;
    // Chooses a list by its place and name ("Ohio", "2024"); false when there is none.
    bool chooseList(const QString& place, const QString& name);
    // The title of the chosen list: "Ohio: 2024".
    QString chosenTitle() const;

    void cmdNew_Click();
    void cmdPlaces_Click();
    void cmdRename_Click();
    void cmdDelete_Click();
    void cmdExport_Click();
    void cmdPrint_Click();
    void grdSpecies_DblClick(const QModelIndex& index);
    void grdTargets_DblClick(const QModelIndex& index);

    QComboBox* cmbRegion = nullptr;
    QTabWidget* tabPages = nullptr;
    QTableView* grdLists = nullptr;
    QLabel* lblSpecies = nullptr;
    QLineEdit* txtFilter = nullptr;
    QTableView* grdSpecies = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdPlaces = nullptr;
    QPushButton* cmdRename = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdExport = nullptr;
    QPushButton* cmdPrint = nullptr;
    QComboBox* cmbMonth = nullptr;
    QTableView* grdTargets = nullptr;
    QLabel* lblTargets = nullptr;

    ListsTableModel* lists = nullptr;
    ListSpeciesModel* species = nullptr;
    TableFilter* speciesShown = nullptr;
    TargetsModel* targets = nullptr;
    TableFilter* targetsShown = nullptr;

    const ListCounts& counts() const { return m_counts; }
    const ListSightings& sightings() const { return m_sightings; }

protected:
    // Coming back to the window after records were changed elsewhere reads them again.
    void changeEvent(QEvent* event) override;

private:
    void fillRegions();
    void enableCommands();
    // The custom list of the chosen row, or null.
    const CustomList* chosenCustomList() const;
    void afterCustomListsChanged(const QString& choosePlace);
    Context& m_ctx;
    ListSightings m_sightings;
    ListCounts m_counts;
    QList<CustomList> m_custom;
    const void* m_loadedFrom = nullptr;
    qint64 m_loadedAt = -1;
};

// The places of a custom list: its name, and the regions and sites it takes, chosen from
// those that the sightings name, or sites typed in.
class frmCustomList : public QDialog {
    Q_OBJECT
public:
    frmCustomList(Context& ctx, const ListSightings& sightings, const CustomList& list, QWidget* parent = nullptr);

    // The list as the dialog has it now.
    CustomList list() const;
    // Checks a place by its text ("Ohio (region)", "Magee Marsh (site)"); false when none.
    bool checkPlace(const QString& text, bool on = true);
    void cmdAddSite_Click();
    void cmdOK_Click();

    QLineEdit* txtName = nullptr;
    QListView* lstPlaces = nullptr;
    QLineEdit* txtSite = nullptr;
    QPushButton* cmdAddSite = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void addPlace(const QString& text, const QVariant& region, const QString& site, bool checked);
    Context& m_ctx;
    int m_id = 0;
    QStandardItemModel* m_places = nullptr;
    int m_stored = 0; // the List_ID stored by OK
public:
    int storedId() const { return m_stored; }
};

// The menu command: opens My Lists, or brings it to the front when it is open.
void mnuViewLists_Click(Context& ctx);
// The open window, if there is one.
frmMyLists* openMyLists();

} // namespace fl
