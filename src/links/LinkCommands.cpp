#include "LinkCommands.h"

#include "state/AppState.h"
#include "frmURL.h"
#include "ui/CommandIds.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"

namespace fl {

void registerLinkCommands(Context& ctx)
{
    CommandRegistry& c = ctx.main->commands();
    c.setHandler(cmd::mnuViewLinks, [&ctx] {
        frmURL links(ctx, frmURL::Mode::Topics, ctx.main->dialogParent());
        links.exec();
        ctx.main->focusSpeciesList();
    });
    c.setHandler(cmd::imgLinks, [&ctx] {
        frmURL links(ctx, frmURL::Mode::CurrentBird, ctx.main->dialogParent());
        links.exec();
    });
}

} // namespace fl
