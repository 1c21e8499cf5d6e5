#include "frmDisplay.h"

namespace fl {

void registerBrowserCommands(frmDisplay& w)
{
    CommandRegistry& c = w.commands();
    c.setHandler(cmd::mnuViewFirst, [&w] { w.mnuViewFirst_Click(); });
    c.setHandler(cmd::mnuViewPrevious, [&w] { w.mnuViewPrevious_Click(); });
    c.setHandler(cmd::mnuViewNext, [&w] { w.mnuViewNext_Click(); });
    c.setHandler(cmd::mnuViewLast, [&w] { w.mnuViewLast_Click(); });
    c.setHandler(cmd::mnuSortName, [&w] { w.mnuSortName_Click(); });
    c.setHandler(cmd::mnuSortList, [&w] { w.mnuSortList_Click(); });
    c.setHandler(cmd::mnuquit, [&w] { w.mnuquit_Click(); });
}

} // namespace fl
