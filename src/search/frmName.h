#pragma once

#include "ui/Context.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace fl {

// "Search By Name": the species of the current region whose name contains the typed text.
class frmName : public QDialog {
    Q_OBJECT
public:
    explicit frmName(Context& ctx, QWidget* parent = nullptr);

    void cmdFind_Click();
    void cmdCancel_Click();

    QLabel* Label1 = nullptr;
    QLineEdit* txtName = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdCancel = nullptr;

private:
    Context& m_ctx;
};

void mnuSearchName_Click(Context& ctx);

// The query and its parameter for a typed text: the text matches itself, anywhere in the
// name, in any letter case.
QString nameSearchQuery(int regId, const QString& qrySort);

} // namespace fl
