#pragma once

#include <functional>

class QGroupBox;
class QListWidget;
class QListWidgetItem;
class QString;
class QRadioButton;
class QWidget;

namespace fl {

namespace db { class Database; }
struct AppState;
class Platform;
struct RegionKind;

// The order of region names in every list: alphabetical as the user's language has it,
// capitals ignored ("aardvark marsh" before "Monterey County").
bool regionNameLess(const QString& a, const QString& b);

// An entry of a region list: the region's name, shown as it is, with its Reg_ID as Qt::UserRole
// data. A list with sorting enabled keeps such entries in regionNameLess order.
QListWidgetItem* regionItem(const QString& name, int regId);

// Fills `list` with the regions of `kind` from its saved query (entries of regionItem). The
// first is made current. Returns how many there are.
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
