#pragma once

namespace fl {

struct Context;

// Opens the manual with one of the help commands (11 = contents, 4 = help on the help window).
void showHelpCommand(Context& ctx, int command);
void mnuHelpContents_Click(Context& ctx);
void mnuHelpHelponhelp_Click(Context& ctx);

} // namespace fl
