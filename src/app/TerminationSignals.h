#pragma once

namespace fl {

// Lets the session end Featherlog in good order: SIGTERM, SIGINT and SIGHUP end the event
// loops (and any open dialog) instead of killing the program, so that the main window's exit
// steps still run (pending edits stored, automatic backup, database closed). Call once, after
// the application object exists.
void endRunOnTerminationSignals();

// Whether such a signal has come; one that comes before the main event loop runs is kept
// here, and the program then does not start the loop.
bool terminationRequested();

} // namespace fl
