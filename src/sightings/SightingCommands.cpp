#include "SightingCommands.h"

#include "RecordCommands.h"
#include "Reports.h"
#include "frmMyLists.h"
#include "frmOuting.h"
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
    c.setHandler(cmd::mnuFileOuting, [&ctx] { mnuFileOuting_Click(ctx); });
    c.setHandler(cmd::mnuReportChecklist, [&ctx] { mnuReportChecklist_Click(ctx); });
    c.setHandler(cmd::mnuReportLife, [&ctx] { mnuReportLife_Click(ctx); });
    c.setHandler(cmd::mnuReportSeen, [&ctx] { mnuReportSeen_Click(ctx); });
    c.setHandler(cmd::mnuReportYear, [&ctx] { mnuReportYear_Click(ctx); });
    c.setHandler(cmd::mnuViewLists, [&ctx] { mnuViewLists_Click(ctx); });
    registerRecordCommands(ctx);
}

} // namespace fl
