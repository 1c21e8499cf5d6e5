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
        const char* item;
        ListSearch search;
    } lists[] = {
        {"mnuSearchBird", ListSearch::Birds},       {"mnuSearchSongs", ListSearch::Songs},
        {"mnuSearchCD", ListSearch::CdSongs},       {"mnuSearchLife", ListSearch::Life},
        {"mnuMissingAll", ListSearch::MissingAll},  {"mnuMissingRare", ListSearch::MissingRare},
    };
    for (const auto& l : lists) {
        const ListSearch search = l.search;
        c.setHandler(QString::fromLatin1(l.item), [&ctx, search] { runListSearch(ctx, search); });
    }
    c.setHandler(QStringLiteral("mnuSearchRegion"), [&ctx] { mnuSearchRegion_Click(ctx); });
    c.setHandler(QStringLiteral("mnuSearchName"), [&ctx] { mnuSearchName_Click(ctx); });
    c.setHandler(QStringLiteral("mnuSearchClass"), [&ctx] { mnuSearchClass_Click(ctx); });
    // The one wizard lives as long as the main window; the main window closes it at exit.
    auto* wizard = new WizardHolder(ctx, ctx.main->dialogParent());
    c.setHandler(QStringLiteral("mnuSearchWizard"), [wizard] { wizard->mnuSearchWizard_Click(); });
}

} // namespace fl
