#include "SightingCommands.h"

#include "RecordCommands.h"
#include "ReportControl.h"
#include "Reports.h"
#include "frmMyLists.h"
#include "frmOuting.h"
#include "frmSight.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"

#include <QWidget>

namespace fl {

void registerSightingCommands(Context& ctx)
{
    CommandRegistry& c = ctx.main->commands();
    c.setHandler(cmd::mnuFileSighting, [&ctx] { mnuFileSighting_Click(ctx); });
    c.setHandler(cmd::mnuViewDetails, [&ctx] { mnuViewDetails_Click(ctx); });
    c.setHandler(cmd::mnuFileOuting, [&ctx] { mnuFileOuting_Click(ctx); });
    // The reports share one report control, which lives as long as the main window.
    auto* rpt1 = new ReportControl(ctx, ctx.main->dialogParent());
    c.setHandler(cmd::mnuReportChecklist, [&ctx, rpt1] { mnuReportChecklist_Click(ctx, *rpt1); });
    c.setHandler(cmd::mnuReportLife, [&ctx, rpt1] { mnuReportLife_Click(ctx, *rpt1); });
    c.setHandler(cmd::mnuReportSeen, [&ctx, rpt1] { mnuReportSeen_Click(ctx, *rpt1); });
    c.setHandler(cmd::mnuReportYear, [&ctx] { mnuReportYear_Click(ctx); });
    c.setHandler(cmd::mnuViewLists, [&ctx] { mnuViewLists_Click(ctx); });
    registerRecordCommands(ctx);
}

} // namespace fl
