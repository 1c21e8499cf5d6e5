#pragma once

namespace fl {

struct Context;

// Connects the Searches menu: the region choice, the fixed list searches and the name search.
void registerSearchCommands(Context& ctx);

} // namespace fl
