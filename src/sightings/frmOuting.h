#pragma once

#include "outings/Outing.h"
#include "ui/Context.h"

#include <QDialog>
#include <memory>

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QToolButton;

namespace fl {

class OutingGridModel;
class OutingNewness;
class PlaceBoxes;

// "New Outing" / "Edit Outing": one place, one date, the start time and effort, and below
// them the species grid where the birds seen get their counts. Save stores the outing and
// its sightings at once and keeps the life list of the current region.
class frmOuting : public QDialog {
    Q_OBJECT
public:
    // `outingId` 0: a new outing.
    frmOuting(Context& ctx, int outingId, QWidget* parent = nullptr);
    ~frmOuting() override;

    // Makes the window a new outing's again, as it opens: today, the current region and its
    // checklist as they are now, nothing entered.
    void startNew();
    Context& context() const { return m_ctx; }

    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void txtFilter_Return();
    // Whether the species grid or the outing's details hold something not saved.
    bool hasUnsavedEntries() const;
    // The outing as it is stored after Save (id 0 before).
    int outingId() const { return m_outing.id; }

    QLineEdit* txtDate = nullptr;
    QToolButton* cmdCalendar = nullptr;
    QCalendarWidget* calDate = nullptr; // made when first asked for
    QLineEdit* txtStart = nullptr;
    QComboBox* cmbProtocol = nullptr;
    QLineEdit* txtDuration = nullptr;
    QLineEdit* txtDistance = nullptr;
    QLineEdit* txtObservers = nullptr;
    QCheckBox* chkAllReported = nullptr;
    QComboBox* cmbSite = nullptr;
    PlaceBoxes* placeBoxes = nullptr;
    QComboBox* cmbPlace[4] = {}; // the place boxes' own

    QToolButton* PicClear[4] = {};
    QPlainTextEdit* txtComments = nullptr;
    QLineEdit* txtFilter = nullptr;
    QCheckBox* chkWholeList = nullptr;
    QTableView* grdSpecies = nullptr;
    // An edited outing's records of no species (from eBird), shown as they are; hidden when none.
    QLabel* lblOther = nullptr;
    QLabel* lblSeen = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdDelete = nullptr;
    OutingGridModel* model = nullptr;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow();
    QWidget* buildDetails();
    QWidget* buildPlaces();
    QWidget* buildGrid();
    void loadSpecies();
    void showOuting();
    void placesChanged();
    void dateChanged();
    void siteChosen();
    void countClosed(int hint);
    // The outing as the window holds it; false (after telling the user) when a field is wrong.
    bool readOuting(Outing& outing);
    void afterChange(int lifesum);
    QString details() const; // the outing's fields as one text, to tell a change

    Context& m_ctx;
    Outing m_outing;
    LifeListScope m_scope;
    std::unique_ptr<OutingNewness> m_newness;
    QString m_savedDetails;
    qsizetype m_otherRecords = 0; // the edited outing's records of no species, as shown
    bool m_fromFilter = false; // the count cell being typed into was reached from the filter line
};

// File > New Outing: the window for a new outing, modal. The window stays (hidden) for the next.
void mnuFileOuting_Click(Context& ctx);
// Opens a stored outing for editing, modal; true when it was saved or deleted.
bool editOuting(Context& ctx, int outingId, QWidget* parent);

} // namespace fl
