#pragma once

#include "report/ReportBuilder.h"
#include "ui/Context.h"

namespace fl {

class ReportControl;

// The Reports menu: the blank checklist and the life list of the current region, printed by
// the report control from the definitions checklist.rpt and life.rpt; the
// species seen there, and a year list.
void mnuReportChecklist_Click(Context& ctx, ReportControl& control);
void mnuReportLife_Click(Context& ctx, ReportControl& control);

// The species seen in the current region (those on its life list), with the date and site of
// the first sighting there, from seen.rpt.
void mnuReportSeen_Click(Context& ctx, ReportControl& control);
// The year list of the current region for a year the user names (the latest year with
// sightings there is offered), from list.rpt.
void mnuReportYear_Click(Context& ctx);

// Prints one of the user's lists from list.rpt in a preview titled `windowTitle`; a failure
// is told as the other reports tell theirs.
void printList(Context& ctx, const report::ListReportData& list, const QString& windowTitle);

} // namespace fl
