#pragma once

#include "db/Database.h"

#include <QTemporaryDir>
#include <memory>

namespace fl::bench {

// A database of `species` species, all on the checklist of region 1 ("Region" type), and
// `sightings` sightings spread over them (most in region 1), in a temporary folder.
struct SyntheticDb {
    QTemporaryDir dir;
    std::unique_ptr<db::Database> db;
    SyntheticDb(int species, int sightings);
};

} // namespace fl::bench
