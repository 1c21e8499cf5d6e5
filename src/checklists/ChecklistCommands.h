#pragma once

namespace fl {

struct Context;

// Connects the commands of the regional checklists: the seasonal status detail of the bird
// page and the maintenance of the checklist regions.
void registerChecklistCommands(Context& ctx);

} // namespace fl
