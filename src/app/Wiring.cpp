#include "Wiring.h"

#include "browser/frmDisplay.h"
#include "checklists/ChecklistCommands.h"
#include "info/InfoCommands.h"
#include "links/LinkCommands.h"
#include "media/MediaCommands.h"
#include "search/SearchCommands.h"
#include "sightings/SightingCommands.h"
#include "ui/Context.h"

namespace fl {

std::unique_ptr<frmDisplay> createMainWindow(Context& ctx)
{
    auto window = std::make_unique<frmDisplay>(ctx);
    registerBrowserCommands(*window);
    registerSearchCommands(ctx);
    registerChecklistCommands(ctx);
    registerSightingCommands(ctx);
    registerMediaCommands(ctx);
    registerLinkCommands(ctx);
    registerInfoCommands(ctx);
    return window;
}

} // namespace fl
