#pragma once

#include <QObject>

namespace fl {

class Platform;

// F1 in any window asks the platform for the help page of that window. Installed once on the
// application; it lives as long as the application object.
class HelpKey : public QObject {
    Q_OBJECT
public:
    explicit HelpKey(Platform& platform, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Platform& m_platform;
};

// Installs the F1 key for the whole application.
HelpKey* installHelpKey(Platform& platform);

} // namespace fl
