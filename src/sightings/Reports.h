#pragma once

#include "ui/Context.h"

namespace fl {

// The Reports menu: the blank checklist and the life list of the current region, printed by
// the main window's report control from the definitions checklist.rpt and life.rpt.
void mnuReportChecklist_Click(Context& ctx);
void mnuReportLife_Click(Context& ctx);

} // namespace fl
