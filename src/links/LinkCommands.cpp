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
        ctx.state.linkMode = false;
        frmURL links(ctx, ctx.main->dialogParent());
        links.exec();
        ctx.main->focusSpeciesList();
    });
    c.setHandler(cmd::imgLinks, [&ctx] {
        ctx.state.linkMode = true;
        frmURL links(ctx, ctx.main->dialogParent());
        links.exec();
    });
}

} // namespace fl
