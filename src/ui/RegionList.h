#pragma once

#include <functional>

class QGroupBox;
class QListWidget;
class QRadioButton;
class QWidget;

namespace fl {

namespace db { class Database; }
struct AppState;
class Platform;
struct RegionKind;

// Fills `list` with the regions of `kind` from its saved query: each item shows the
// region's name and holds its Reg_ID as Qt::UserRole data. The first is made current.
// Returns how many there are.
int fillRegionList(QListWidget* list, db::Database& db, const RegionKind& kind);

// The "Regions" frame with one option button per region kind: buttons[1] to buttons[4]
// (objectNames "optRegion(1)" to "optRegion(4)"). `onChecked` runs, through the guard, with the
// kind's index whenever a button becomes checked, by the mouse, the keys or an accessibility
// client.
QGroupBox* regionKindButtons(QWidget* parent, Platform& platform, QRadioButton* (&buttons)[5],
                             std::function<void(int)> onChecked);

// Makes the list's current region the chosen one (selReg_ID, selRegname); nothing without one.
void chooseCurrentRegion(AppState& state, const QListWidget* list);

} // namespace fl
