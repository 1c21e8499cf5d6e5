#pragma once

namespace fl {

struct AppState;
class Platform;
class frmDisplay;

// What every window works with: the shared state, the platform, and the main window.
struct Context {
    AppState& state;
    Platform& platform;
    frmDisplay* main = nullptr;
};

} // namespace fl
