#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace fl {

// Runs the desktop's opener for an address ("xdg-open https://ebird.org") and tells whether it
// opened it. An opener hands the address to the browser and ends, and its exit status says
// whether that worked; one that fails (no browser set up, no display) ends with another
// status. An opener still running after `timeLimitMs` has started a browser that it waits for:
// that counts as opened, and it is left running on its own, never stopped by the program.
// `whileWaiting` is called now and then while the opener runs (to keep windows painted).
enum class OpenerResult { Opened, Failed, StillRunning };

OpenerResult runOpener(const QString& program, const QStringList& arguments, int timeLimitMs,
                       const std::function<void()>& whileWaiting = {});

} // namespace fl
