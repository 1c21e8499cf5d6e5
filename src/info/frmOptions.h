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


void mnuViewOptions_Click(Context& ctx);

} // namespace fl
