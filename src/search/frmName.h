#pragma once

#include "ui/Context.h"

#include <QDialog>
#include <QVariantList>

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

// The query for a typed text and its parameters (nameSearchParams): the text matches itself,
// anywhere in the name, in any letter case; a text that is exactly a species' four-letter
// alpha code or its scientific name finds that species too.
QString nameSearchQuery(int regId, const QString& qrySort);
QVariantList nameSearchParams(const QString& text);

} // namespace fl
