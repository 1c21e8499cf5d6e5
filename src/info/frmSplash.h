#pragma once

#include <QWidget>
#include <functional>

class QLabel;

namespace fl {

// The window without caption that covers the time the main window needs to load.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);

    // Shows itself at once and paints before loading goes on.
    void Form_Load();

    QLabel* picLogo = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
};

// Runs the main window's loading behind the splash window. When loading ends the splash
// closes and `showMain` shows the main window; when it fails the splash is gone before the
// error reaches the caller, so that the error's message is never hidden behind it.
void loadBehindSplash(const std::function<void()>& load, const std::function<void()>& showMain);

} // namespace fl
