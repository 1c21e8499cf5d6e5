#include "Commands.h"

#include "browser/frmDisplay.h"
#include "ui/Context.h"

namespace fl {

void connectCommands(Context& ctx)
{
    frmDisplay* main = ctx.main;
    if (!main) return;
    (void)main;
}

} // namespace fl
