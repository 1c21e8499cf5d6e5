#include "MediaCommands.h"

#include "CdSongPlayer.h"
#include "ImageCatalogue.h"
#include "Songs.h"

namespace fl {

void registerMediaCommands(Context& ctx)
{
    registerImageCommands(ctx);
    registerSongCommands(ctx);
    registerCdSongCommands(ctx);
}

} // namespace fl
