#pragma once

#include <QString>

namespace fl {

// What a command writes to a file the user named.
enum class TargetUse {
    Export,    // a file of the user's own (exported sightings, a report as PDF)
    NewBackup, // a backup of the database
};

// Why the program must not write `target`, a file the user named, or an empty text when it
// may. `database` is the open database file. Refused, by whatever name or link reaches them:
// the database itself; the files beside it whose names begin with its name (its journal,
// "bird.mdb.bak" and the program's other working copies); and the Backups folder, where only
// a backup may be written, and only as a new file (a backup there is never replaced).
QString refusedTarget(const QString& target, const QString& database, TargetUse use);

} // namespace fl
