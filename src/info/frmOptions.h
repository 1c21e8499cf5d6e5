#pragma once

#include "ui/Context.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace fl {

namespace db {
class Recordset;
}

// "Options": the yellow text background and the CD-song feature. OK applies both and stores
// them in the options row; Cancel changes nothing.
class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(Context& ctx, QWidget* parent = nullptr);

    void cmdOK_Click();
    void cmdCancel_Click();

    QGroupBox* Frame1 = nullptr;
    QCheckBox* chkOption[2] = {};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    void Form_Load();
    Context& m_ctx;
};

// Stores both options in the open options row, in one edit and update.
void writeDisplayOptions(db::Recordset& rsOptions, bool wincolor, bool songCD);

void mnuViewOptions_Click(Context& ctx);

} // namespace fl
