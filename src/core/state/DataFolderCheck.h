#pragma once

#include <QString>

namespace fl {

// Why changes cannot be saved in the data folder `folder`, whose database is `database`, in
// plain words ("the folder /opt/featherlog is read-only"); an empty text when they can. The
// folder is tried by creating a file in it (the engine keeps its journal there), since its
// permissions alone do not tell; the database by its permissions.
QString unsavableReason(const QString& folder, const QString& database);

} // namespace fl
