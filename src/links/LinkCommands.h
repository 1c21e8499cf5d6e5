#pragma once

namespace fl {

struct Context;

// Connects the commands of the web links: the View menu's link window and the bird page's
// links icon.
void registerLinkCommands(Context& ctx);

} // namespace fl
