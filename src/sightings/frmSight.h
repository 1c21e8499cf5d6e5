#pragma once

#include "db/Recordset.h"
#include "ui/Context.h"

#include <QDialog>

class QCalendarWidget;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace fl {

struct SightingChange;
class PlaceBoxes;

// "New Sighting Entry": records a sighting of the species on show, or shows, changes and
// deletes its life-list sighting (or, opened from the sightings log, any of its sightings),
// and keeps the life list of the current region. Saving a changed sighting clears its
// "needs review" mark; a sighting that needs review may be given another species.
class frmSight : public QDialog {
    Q_OBJECT
public:
    // A new sighting of the species on show, or a stored sighting of it to view, change or
    // delete: `sightId`, or its life-list sighting when that is 0.
    enum class Mode { NewSighting, StoredSighting };
    frmSight(Context& ctx, Mode mode, QWidget* parent = nullptr, int sightId = 0);

    void ShowSighting();
    void cmdRecall_Click();
    void PicClear_Click(int index);
    void cmdSave_Click();
    void cmdDelete_Click();
    void cmdCancel_Click();
    void cmdCalendar_Click();
    // Whether the window could load what it shows (view mode needs the sighting).
    bool loaded() const { return m_loaded; }

    QLabel* lbltitle[9] = {};
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLineEdit* txtDate = nullptr;
    QToolButton* cmdCalendar = nullptr; // picks the date from a calendar
    QCalendarWidget* calDate = nullptr; // the calendar, in a popup under the button
    QComboBox* cmbType = nullptr;
    QLineEdit* txtSite = nullptr;
    QPlainTextEdit* txtNotes = nullptr;
    QComboBox* cmbPlace[4] = {};
    QToolButton* PicClear[4] = {};
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdRecall = nullptr;
    QPushButton* cmdDelete = nullptr;
    QLabel* lblReview = nullptr;     // view mode, a sighting that needs review: why
    QComboBox* cmbSpecies = nullptr; // and the species it may be given instead
    db::Recordset rsSight;

private:
    void buildWindow();
    QWidget* buildCalendar();
    void Form_Load();
    void writeLifePanel();
    void showChange(const SightingChange& change);
    void refreshAfterFailure(const QString& message);
    void openSightings();
    void showReview();
    Context& m_ctx;
    bool m_viewMode = false;
    int m_birdId = 0;  // the species on show
    int m_sightId = 0; // in view mode, the sighting shown
    PlaceBoxes* m_placeBoxes = nullptr;
    bool m_loaded = false;
    QString m_sightingsQuery;
};

void mnuFileSighting_Click(Context& ctx);
void mnuViewDetails_Click(Context& ctx);
// Shows the species of sighting `sightId` in the main window and opens the sighting there
// to be changed or deleted. Returns whether it was changed.
bool editSighting(Context& ctx, int sightId);

} // namespace fl
