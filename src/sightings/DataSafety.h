#pragma once

#include "state/Startup.h"

namespace fl {

struct Context;

// Opens the database of the data folder at start (`beforeUpgrade` as for openAndLoadOptions).
// When it cannot be opened, says why, on the standard error output too; for a damaged file in
// plain words, offering the newest good backup in its place. Whether the program can go on
// (the database is then open and the options read).
bool openDatabaseAtStart(Context& ctx, const BeforeUpgrade& beforeUpgrade = {});

// Once the main window shows: warns when changes cannot be saved in the data folder, reminds
// the user of an automatic backup that failed, and starts checking the database for damage in
// the background; damage found is told in plain words with the newest good backup, offered
// for a restore.
void checkDataAfterStart(Context& ctx);

} // namespace fl
