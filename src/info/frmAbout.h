#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace fl {

struct Context;

// "About Featherlog": the product, its version, its licence, where to reach its makers and
// where this copy keeps the user's data.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(const QString& dataFolder, QWidget* parent = nullptr);

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* lblContact = nullptr;
    QLabel* lblData = nullptr;
    QPushButton* cmdOK = nullptr;
};

void mnuHelpAbout_Click(Context& ctx);

} // namespace fl
