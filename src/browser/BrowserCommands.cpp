#include "frmDisplay.h"

namespace fl {

void registerBrowserCommands(frmDisplay& w)
{
    CommandRegistry& c = w.commands();
    c.setHandler(QStringLiteral("mnuViewFirst"), [&w] { w.mnuViewFirst_Click(); });
    c.setHandler(QStringLiteral("mnuViewPrevious"), [&w] { w.mnuViewPrevious_Click(); });
    c.setHandler(QStringLiteral("mnuViewNext"), [&w] { w.mnuViewNext_Click(); });
    c.setHandler(QStringLiteral("mnuViewLast"), [&w] { w.mnuViewLast_Click(); });
    c.setHandler(QStringLiteral("mnuSortName"), [&w] { w.mnuSortName_Click(); });
    c.setHandler(QStringLiteral("mnuSortList"), [&w] { w.mnuSortList_Click(); });
    c.setHandler(QStringLiteral("mnuquit"), [&w] { w.mnuquit_Click(); });
}

} // namespace fl
