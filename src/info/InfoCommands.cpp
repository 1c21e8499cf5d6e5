#include "InfoCommands.h"

#include "HelpCommands.h"
#include "frmAbout.h"
#include "frmCredit.h"
#include "frmOptions.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"

namespace fl {

void registerInfoCommands(Context& ctx)
{
    CommandRegistry& c = ctx.main->commands();
    c.setHandler(cmd::mnuViewOptions, [&ctx] { mnuViewOptions_Click(ctx); });
    c.setHandler(cmd::mnuHelpContents, [&ctx] { mnuHelpContents_Click(ctx); });
    c.setHandler(cmd::mnuHelpHelponhelp, [&ctx] { mnuHelpHelponhelp_Click(ctx); });
    c.setHandler(cmd::mnuHelpCredits, [&ctx] { mnuHelpCredits_Click(ctx); });
    c.setHandler(cmd::mnuHelpAbout, [&ctx] { mnuHelpAbout_Click(ctx); });
}

} // namespace fl
