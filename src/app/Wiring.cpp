#include "Wiring.h"

#include "browser/frmDisplay.h"
#include "checklists/ChecklistCommands.h"
#include "info/InfoCommands.h"
#include "media/CdSongs.h"
#include "media/Songs.h"
#include "links/LinkCommands.h"
#include "media/ImageCatalogue.h"
#include "search/SearchCommands.h"
#include "sightings/RecordCommands.h"
#include "sightings/frmSight.h"
#include "ui/Context.h"

namespace fl {

std::unique_ptr<frmDisplay> createMainWindow(Context& ctx)
{
    auto window = std::make_unique<frmDisplay>(ctx);
    registerBrowserCommands(*window);
    registerSearchCommands(ctx);
    registerChecklistCommands(ctx);
    registerSightingCommands(ctx);
    registerRecordCommands(ctx);
    registerInfoCommands(ctx);
    registerSongCommands(ctx);
    registerCdSongCommands(ctx);
    registerLinkCommands(ctx);
    registerImageCommands(ctx);
    return window;
}

} // namespace fl
