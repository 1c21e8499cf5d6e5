#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;

namespace fl {

// The picture on show at its full size, in a window of its own (no larger than the screen).
class frmZoom : public QDialog {
    Q_OBJECT
public:
    frmZoom(const QString& birdName, const QString& title, const QPixmap& picture, QWidget* parent = nullptr);
    QLabel* Picture1 = nullptr;
};

} // namespace fl
