#pragma once

namespace fl {

struct Context;

// Connects the menu commands of every subsystem to the main window.
void connectCommands(Context& ctx);

} // namespace fl
