#pragma once

#include "lifelist/LifeList.h"

#include <QString>
#include <optional>

namespace fl::db {
class Database;
class Recordset;
} // namespace fl::db

namespace fl {

struct AppState;

// A checklist region as the region lists offer it: its id, name and region-type word
// ("Region", "Country", "State" or "District").
struct RegionChoice {
    int id = 0;
    QString name;
    QString type;
};

// The whole list of species, region 0.
RegionChoice worldRegion();

// Makes `region` the current region in the Options row `options`: rebuilds every species' mark
// for it by the life-list rule (LifeList.h) and writes the region's id, name and type word, the
// list title `searchType` and the region's counts, in one transaction (joining the caller's).
// A region whose checklist is empty changes nothing and gives no result. The whole list
// (worldRegion()) is never empty.
//
// Every change of the current region comes through here, so that what a region's first use
// needs is done in one place.
std::optional<RegionList> switchRegion(db::Database& db, db::Recordset& options, const RegionChoice& region,
                                       const QString& qrySort, const QString& searchType);

// The region search's Use: switches to `region` with the title "All Birds" and makes it the
// current region of `state` as well. Nothing changes when its checklist is empty.
std::optional<RegionList> useRegion(AppState& state, const RegionChoice& region);

// After the checklist of the current region `region` was edited: switches to it again, keeping
// the stored list title; when its checklist is now empty, switches to the whole list with the
// title "All Birds". The state's region follows; its list title becomes "All Birds".
struct RegionRefresh {
    RegionList list;
    bool world = false; // the checklist was empty: the whole list took its place
};
RegionRefresh refreshCurrentRegion(AppState& state, const RegionChoice& region);

} // namespace fl
