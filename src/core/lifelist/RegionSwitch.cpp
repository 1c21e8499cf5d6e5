#include "lifelist/RegionSwitch.h"

#include "db/Database.h"
#include "regions/ChecklistCopy.h"
#include "state/AppState.h"
#include "state/OptionsRow.h"

namespace fl {

namespace {
const QString kWorld = QStringLiteral("World");
const QString kAllBirds = QStringLiteral("All Birds");
} // namespace

RegionChoice worldRegion() { return {0, kWorld, kWorld}; }

std::optional<RegionList> switchRegion(db::Database& db, db::Recordset& options, const RegionChoice& region,
                                       const QString& qrySort, const QString& searchType)
{
    db::Transaction tx(db);
    if (region.id != 0) provideChecklist(db, region.id); // a region's first use copies its ancestor's list
    const std::optional<RegionList> list =
        region.id == 0 ? std::optional<RegionList>(rebuildWorldLifeList(db, qrySort)) : rebuildLifeList(db, region.id, qrySort);
    if (!list) return std::nullopt;
    OptionsChange change;
    change.regId = region.id;
    change.regname = region.name;
    change.regType = region.type;
    change.searchType = searchType;
    change.lifetotal = list->total;
    change.lifesum = list->sighted;
    writeOptionsRow(options, change);
    tx.commit();
    return list;
}

namespace {
void makeCurrent(AppState& state, const RegionChoice& region)
{
    state.Reg_ID = region.id;
    state.regname = region.name;
    state.regType = region.type;
    state.searchType = kAllBirds;
}
} // namespace

std::optional<RegionList> useRegion(AppState& state, const RegionChoice& region)
{
    std::optional<RegionList> list = switchRegion(state.db(), state.rsOptions, region, state.qrySort, kAllBirds);
    if (list) makeCurrent(state, region);
    return list;
}

RegionRefresh refreshCurrentRegion(AppState& state, const RegionChoice& region)
{
    RegionRefresh refresh;
    {
        db::Transaction tx(state.db());
        std::optional<RegionList> list =
            switchRegion(state.db(), state.rsOptions, region, state.qrySort, state.searchType.trimmed());
        if (!list) {
            refresh.world = true;
            list = switchRegion(state.db(), state.rsOptions, worldRegion(), state.qrySort, kAllBirds);
        }
        tx.commit();
        refresh.list = std::move(*list);
    }
    makeCurrent(state, refresh.world ? worldRegion() : region);
    return refresh;
}

} // namespace fl
