#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace fl {

class Platform;

// F1 in any window asks the platform for the help page of that window; in a window without a
// page of its own (a file chooser, a message, the print preview), for the page of the command
// that `runningCommand` names. Installed once on the application; it lives as long as the
// application object.
class HelpKey : public QObject {
    Q_OBJECT
public:
    using RunningCommand = std::function<QString()>;
    explicit HelpKey(Platform& platform, RunningCommand runningCommand = {}, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Platform& m_platform;
    RunningCommand m_runningCommand;
};

// Installs the F1 key for the whole application.
HelpKey* installHelpKey(Platform& platform, HelpKey::RunningCommand runningCommand = {});

} // namespace fl
