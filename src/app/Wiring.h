#pragma once

#include <memory>

namespace fl {

struct Context;
class frmDisplay;

// Builds the main window and connects the commands of every subsystem to it. The state in
// `ctx` must already hold the open database.
std::unique_ptr<frmDisplay> createMainWindow(Context& ctx);

} // namespace fl
