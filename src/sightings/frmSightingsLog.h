#pragma once

#include "ui/Context.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace fl {

class SightingsLogModel;

// "Sightings Log": every sighting in a table, newest first, sortable by any column, with a
// filter by species or site, a year, the current region and the sightings that need review
// after a taxonomy update, and the counts of what is shown. Double-clicking a row shows that
// species in the main window; Edit Sighting opens the chosen sighting to change it. Grouped by
// outing, Enter or a double-click on an outing's heading opens the outing, as Open Outing does.
// It stays open beside the main window.
class frmSightingsLog : public QWidget {
    Q_OBJECT
public:
    explicit frmSightingsLog(Context& ctx, QWidget* parent = nullptr);

    // Reads the sightings again (after an import or a restore) keeping the choices made.
    void reload();
    void applyFilter();
    void grdLog_DblClick(int row);
    void cmdEdit_Click();
    // Opens the outing of the row for editing; reads the log again when it was changed.
    void openOuting(int row);
    QString countsText() const;

    QLineEdit* txtFilter = nullptr;
    QComboBox* cmbYear = nullptr;
    QCheckBox* chkRegion = nullptr;
    QCheckBox* chkReview = nullptr;
    QPushButton* cmdEdit = nullptr;
    QCheckBox* chkGroup = nullptr;      // group the rows by outing
    QPushButton* cmdOpenOuting = nullptr; // opens the outing of the selected row
    QTableView* grdLog = nullptr;
    QLabel* lblCounts = nullptr;
    SightingsLogModel* model = nullptr;

protected:
    // Coming back to the log after sightings were changed elsewhere reads them again.
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillYears();
    // The region toggle names the current region; it is off without one.
    void showRegion();
    Context& m_ctx;
    const void* m_loadedFrom = nullptr; // the database read, and its change count then
    qint64 m_loadedAt = -1;
};

// The menu command: opens the log, or brings it to the front when it is open.
void mnuViewLog_Click(Context& ctx);
// The open log, if there is one.
frmSightingsLog* openSightingsLog();

} // namespace fl
