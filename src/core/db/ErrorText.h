#pragma once

#include "DbError.h"

#include <QString>

namespace fl::db {

// What a failure of the database means for the user, in plain words with what to do: a
// damaged file, a full disk, a file or folder that cannot be written, a failing disk. Empty
// for other failures, whose own message says it best. The engine's message (with the
// statement it concerns) belongs in the details, not in the message.
QString plainDatabaseError(const DbError& e);

// Whether the failure means the file is damaged.
bool isDamage(const DbError& e);

} // namespace fl::db
