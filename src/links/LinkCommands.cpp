#include "LinkCommands.h"

#include "state/AppState.h"
#include "frmURL.h"
#include "ui/CommandNames.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"

namespace fl {

void registerLinkCommands(Context& ctx)
{
    CommandRegistry& c = ctx.main->commands();
    c.setHandler(QStringLiteral("mnuViewLinks"), [&ctx] {
        ctx.state.linkMode = false;
        frmURL links(ctx, ctx.main->dialogParent());
        links.exec();
        ctx.main->focusSpeciesList();
    });
    c.setHandler(kLinksIconCommand, [&ctx] {
        ctx.state.linkMode = true;
        frmURL links(ctx, ctx.main->dialogParent());
        links.exec();
    });
}

} // namespace fl
