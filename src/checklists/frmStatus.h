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
    // `heading` names the species and the region above the lines.
    frmStatus(const QString& curScode, Platform& platform, QWidget* parent = nullptr, const QString& heading = {});
    QLabel* lblHeading = nullptr;
    QLabel* lblStatus[3] = {};
    QPushButton* cmdOK = nullptr;
};

} // namespace fl
