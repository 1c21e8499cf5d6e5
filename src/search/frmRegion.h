#pragma once

#include "ui/Context.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace fl {

class RegionListView;

// "Select Search Region": makes a checklist region current, rebuilds the life-list marks
// for it from the sightings, and fills the main list with its species.
class frmRegion : public QDialog {
    Q_OBJECT
public:
    explicit frmRegion(Context& ctx, QWidget* parent = nullptr);

    void optRegion_Click(int index);
    void lstRegion_Click();
    void lstRegion_DblClick();
    void cmdOK_Click();
    void cmdCancel_Click();

    QRadioButton* optRegion[5] = {}; // 1 to 4
    QLabel* lblList = nullptr;
    QLineEdit* txtFilter = nullptr; // filters lstRegion as the user types
    RegionListView* lstRegion = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QString selRegType;

private:
    void Form_Load();
    Context& m_ctx;
};

// The menu command: the dialog, then the first species of the list on show.
void mnuSearchRegion_Click(Context& ctx);

} // namespace fl
