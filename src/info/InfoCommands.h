#pragma once

namespace fl {

struct Context;

// Connects the Options command and the Help menu.
void registerInfoCommands(Context& ctx);

} // namespace fl
