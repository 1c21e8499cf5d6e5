#pragma once

#include "lists/ListQueries.h"

namespace fl {

struct Context;

// Replaces the main window's list with a fixed selection of the current region.
void runListSearch(Context& ctx, ListSearch search);

} // namespace fl
