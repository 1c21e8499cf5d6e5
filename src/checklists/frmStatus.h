#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace fl {

class Platform;

// "Region Detailed Status and Abundance": the seasonal detail code of the species on show,
// one line per group.
class frmStatus : public QDialog {
    Q_OBJECT
public:
    frmStatus(const QString& curScode, Platform& platform, QWidget* parent = nullptr);
    QLabel* lblStatus[3] = {};
    QPushButton* cmdOK = nullptr;
};

} // namespace fl
