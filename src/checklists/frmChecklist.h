#pragma once

#include "db/Recordset.h"
#include "ui/Context.h"

#include <QDialog>
#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace fl {

class ChecklistGrid;
class RowTableModel;

// "Checklist Maintenance for <region>": every species in checklist order with its status
// in the chosen region (selReg_ID, selRegname); puts species on the checklist, takes them
// off, and stores the status and detail code of one species at a time.
class frmChecklist : public QDialog {
    Q_OBJECT
public:
    explicit frmChecklist(Context& ctx, QWidget* parent = nullptr);
    ~frmChecklist() override;

    // The grid's columns: the fixed column, the species id, its name, its status letter, and
    // whether the species is on the checklist (the first two and the last are hidden).
    enum Column { ColFixed = 0, ColId = 1, ColName = 2, ColStatus = 3, ColListed = 4 };

    void Msfg1_RowColChange();
    void cmdSave_Click();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdClear_Click();
    void cmdClose_Click();

    // The grid row (0 = first species) and cell that are current; -1 when none.
    int currentRow() const;
    QString cell(int row, int column) const;
    // Makes a cell current, as a click on it does.
    void setCurrentCell(int row, int column);

    ChecklistGrid* Msfg1 = nullptr;
    RowTableModel* grid = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frmcheck = nullptr;
    QLabel* lbltitle[9] = {};
    // Under the title while the list is an unchanged copy of another region's list.
    QLabel* lblCopied = nullptr;
    QComboBox* cmbStat = nullptr;
    QComboBox* cmbNum[3] = {};
    QComboBox* cmbStatus[3] = {};
    QComboBox* cmbSpec[3] = {};
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;

    bool loadingRow = true;
    db::Recordset rsEntry;

private:
    void Form_Load();
    // Gives a region used for the first time its copied list, and says whether the list is
    // still that copy (a stored change makes it the region's own).
    void showOrigin();
    void selectionEdited(QComboBox* box);
    void enableBoxes(bool on);
    void openEntry(int birdId);
    std::array<std::array<QComboBox*, 3>, 3> rows() const;
    QString codeToSave() const;

    Context& m_ctx;
    // Per detail row: the stored code has the seasonal letter R there, which the seasonal
    // box has no word for; it is written back unchanged unless that box was changed.
    std::array<bool, 3> m_keepR = {};
};

} // namespace fl
