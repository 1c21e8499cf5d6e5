#include "state/OptionsRow.h"

#include "state/AppState.h"

#include <QScopeGuard>

namespace fl {

void writeOptions(AppState& state, const OptionsChange& change) { writeOptionsRow(state.rsOptions, change); }

void writeOptionsRow(db::Recordset& o, const OptionsChange& c)
{
    o.moveFirst();
    o.edit();
    auto dropEdit = qScopeGuard([&o] { o.cancelUpdate(); });
    if (c.regId) o.setField(QStringLiteral("Reg_ID"), *c.regId);
    if (c.regname) o.setField(QStringLiteral("regname"), *c.regname);
    if (c.regType) o.setField(QStringLiteral("regType"), *c.regType);
    if (c.searchType) o.setField(QStringLiteral("searchType"), *c.searchType);
    if (c.lifetotal) o.setField(QStringLiteral("lifetotal"), *c.lifetotal);
    if (c.lifesum) o.setField(QStringLiteral("lifesum"), *c.lifesum);
    if (c.qrySort) o.setField(QStringLiteral("qrySort"), *c.qrySort);
    if (c.wincolor) o.setField(QStringLiteral("wincolor"), *c.wincolor);
    if (c.songCD) o.setField(QStringLiteral("SongCD"), *c.songCD);
    o.update();
    dropEdit.dismiss();
}

int storedLifeSum(const AppState& state) { return state.rsOptions.field(QStringLiteral("lifesum")).toInt(); }
int storedLifeTotal(const AppState& state) { return state.rsOptions.field(QStringLiteral("lifetotal")).toInt(); }

} // namespace fl
