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
    c.setHandler(QStringLiteral("mnuFileSighting"), [&ctx] { mnuFileSighting_Click(ctx); });
    c.setHandler(QStringLiteral("mnuViewDetails"), [&ctx] { mnuViewDetails_Click(ctx); });
    c.setHandler(QStringLiteral("mnuFileOuting"), [&ctx] { mnuFileOuting_Click(ctx); });
    c.setHandler(QStringLiteral("mnuReportChecklist"), [&ctx] { mnuReportChecklist_Click(ctx); });
    c.setHandler(QStringLiteral("mnuReportLife"), [&ctx] { mnuReportLife_Click(ctx); });
    c.setHandler(QStringLiteral("mnuReportSeen"), [&ctx] { mnuReportSeen_Click(ctx); });
    c.setHandler(QStringLiteral("mnuReportYear"), [&ctx] { mnuReportYear_Click(ctx); });
    c.setHandler(QStringLiteral("mnuViewLists"), [&ctx] { mnuViewLists_Click(ctx); });
    registerRecordCommands(ctx);
}

} // namespace fl
