#include "SearchCommands.h"

#include "ListSearches.h"
#include "frmClass.h"
#include "frmName.h"
#include "frmRegion.h"
#include "frmWizard.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"

namespace fl {

void registerSearchCommands(Context& ctx)
{
    CommandRegistry& c = ctx.main->commands();
    const struct {
        CommandId item;
        ListSearch search;
    } lists[] = {
        {cmd::mnuSearchBird, ListSearch::Birds},       {cmd::mnuSearchSongs, ListSearch::Songs},
        {cmd::mnuSearchCD, ListSearch::CdSongs},       {cmd::mnuSearchLife, ListSearch::Life},
        {cmd::mnuMissingAll, ListSearch::MissingAll},  {cmd::mnuMissingRare, ListSearch::MissingRare},
    };
    for (const auto& l : lists) {
        const ListSearch search = l.search;
        c.setHandler(l.item, [&ctx, search] { runListSearch(ctx, search); });
    }
    c.setHandler(cmd::mnuSearchRegion, [&ctx] { mnuSearchRegion_Click(ctx); });
    c.setHandler(cmd::mnuSearchName, [&ctx] { mnuSearchName_Click(ctx); });
    c.setHandler(cmd::mnuSearchClass, [&ctx] { mnuSearchClass_Click(ctx); });
    // The one wizard lives as long as the main window; the main window closes it at exit.
    auto* wizard = new WizardHolder(ctx, ctx.main->dialogParent());
    c.setHandler(cmd::mnuSearchWizard, [wizard] { wizard->mnuSearchWizard_Click(); });
}

} // namespace fl
