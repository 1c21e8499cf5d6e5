#pragma once

class QListWidget;

namespace fl {

namespace db { class Database; }
struct RegionKind;

// Fills `list` with the regions of `kind` from its saved query: each item shows the
// region's name and holds its Reg_ID as Qt::UserRole data. The first is made current.
// Returns how many there are.
int fillRegionList(QListWidget* list, db::Database& db, const RegionKind& kind);

} // namespace fl
