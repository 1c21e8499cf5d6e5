#pragma once

#include "lifelist/LifeList.h"

#include <QString>

namespace fl::db { class Database; }

namespace fl {

struct RegionKind;

// Adds a checklist region of a kind (its type word) under `name`, stored exactly as given;
// returns the id the database gave it.
int createRegion(db::Database& db, const QString& type, const QString& name);

// Removes a region with its checklist. Sightings that name it as their region of its kind
// are kept with every other detail; only that reference becomes 0. One transaction.
void deleteRegion(db::Database& db, const RegionKind& kind, int regId);

} // namespace fl
