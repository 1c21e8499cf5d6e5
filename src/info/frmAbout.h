#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace fl {

struct Context;

// "About Featherlog": the product, its version, its licence and where to reach its makers.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* lblContact = nullptr;
    QPushButton* cmdOK = nullptr;
};

void mnuHelpAbout_Click(Context& ctx);

} // namespace fl
