#include "SightingCommands.h"

#include "RecordCommands.h"
#include "Reports.h"
#include "frmSight.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"

namespace fl {

void registerSightingCommands(Context& ctx)
{
    CommandRegistry& c = ctx.main->commands();
    c.setHandler(cmd::mnuFileSighting, [&ctx] { mnuFileSighting_Click(ctx); });
    c.setHandler(cmd::mnuViewDetails, [&ctx] { mnuViewDetails_Click(ctx); });
    c.setHandler(cmd::mnuReportChecklist, [&ctx] { mnuReportChecklist_Click(ctx); });
    c.setHandler(cmd::mnuReportLife, [&ctx] { mnuReportLife_Click(ctx); });
    registerRecordCommands(ctx);
}

} // namespace fl
