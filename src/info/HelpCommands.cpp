#include "HelpCommands.h"

#include "HelpBook.h"
#include "platform/Platform.h"
#include "ui/Context.h"

namespace fl {

void showHelpCommand(Context& ctx, int command) { ctx.platform.showHelp(help::topicForCommand(command)); }

void mnuHelpContents_Click(Context& ctx) { showHelpCommand(ctx, help::kHelpContents); }
void mnuHelpHelponhelp_Click(Context& ctx) { showHelpCommand(ctx, help::kHelpOnHelp); }

} // namespace fl
