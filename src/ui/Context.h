#pragma once

namespace fl {

struct AppState;
class Platform;
class MainWindow;

// What every window works with: the shared state, the platform, and the main window.
struct Context {
    AppState& state;
    Platform& platform;
    MainWindow* main = nullptr;
};

} // namespace fl
