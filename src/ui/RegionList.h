#pragma once

class QListWidget;

namespace fl {

namespace db { class Database; }
struct AppState;
struct RegionKind;

// Fills `list` with the regions of `kind` from its saved query: each item shows the
// region's name and holds its Reg_ID as Qt::UserRole data. The first is made current.
// Returns how many there are.
int fillRegionList(QListWidget* list, db::Database& db, const RegionKind& kind);

// Makes the list's current region the chosen one (selReg_ID, selRegname); nothing without one.
void chooseCurrentRegion(AppState& state, const QListWidget* list);

} // namespace fl
