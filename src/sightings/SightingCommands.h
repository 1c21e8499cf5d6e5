#pragma once

namespace fl {

struct Context;

// Connects the commands of sightings and the life list: sighting entry, the two reports,
// the sightings log, eBird import and export, backup and restore (with the backup at exit).
void registerSightingCommands(Context& ctx);

} // namespace fl
