#pragma once

#include "ui/Context.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace fl {

class RegionListView;

// "Checklist Maintenance": the checklist regions of one kind. Creates and deletes regions,
// and opens the checklist editor for one; after the current search region's checklist has
// been edited, rebuilds the main list and the life list for it.
class frmEditReg : public QDialog {
    Q_OBJECT
public:
    explicit frmEditReg(Context& ctx, QWidget* parent = nullptr);

    void optRegion_Click(int index);
    void lstRegion_Click();
    void cmdNew_Click();
    void cmdEdit_Click();
    void cmdDelete_Click();
    void cmdClose_Click();

    QGroupBox* Frame1 = nullptr;
    QRadioButton* optRegion[5] = {}; // 1 to 4
    QLabel* lblList = nullptr;
    QLineEdit* txtFilter = nullptr; // filters lstRegion as the user types
    RegionListView* lstRegion = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdClose = nullptr;
    // The type word of the chosen kind ("Region", "Country", "State", "District").
    QString selRegType;

private:
    void rebuildCurrentRegion();
    Context& m_ctx;
    int m_kind = 0; // the chosen option, 0 before any
};

// The menu command: the window, modally.
void mnuEditList_Click(Context& ctx);

} // namespace fl
