#include "ChecklistCommands.h"

#include "state/AppState.h"
#include "state/SpeciesOnShow.h"
#include "frmEditReg.h"
#include "frmStatus.h"
#include "ui/CommandIds.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"

namespace fl {

void registerChecklistCommands(Context& ctx)
{
    CommandRegistry& c = ctx.main->commands();
    c.setHandler(cmd::imgStatus, [&ctx] {
        // "Mallard in Ontario": whose status the lines give, and where.
        const SpeciesOnShow& species = ctx.main->species();
        const QString heading = species.name() + QStringLiteral(" in ")
                                + (ctx.state.Reg_ID > 0 ? ctx.state.regname : QStringLiteral("World"));
        frmStatus status(species.statusCode(), ctx.platform, ctx.main->dialogParent(), heading);
        status.exec();
    });
    c.setHandler(cmd::mnuEditList, [&ctx] { mnuEditList_Click(ctx); });
}

} // namespace fl
