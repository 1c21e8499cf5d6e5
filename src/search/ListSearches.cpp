#include "ListSearches.h"

#include "state/AppState.h"
#include "status/StatusTexts.h"
#include "platform/Platform.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"

namespace fl {

void runListSearch(Context& ctx, ListSearch search)
{
    AppState& s = ctx.state;
    const ListSearchInfo info = listSearchInfo(search);
    Hourglass busy(ctx.platform);
    // Opened into a local first: a failing query leaves the current result as it was.
    db::Recordset result = s.db().openRecordset(listSearchQuery(search, s.Reg_ID, s.qrySort),
                                                db::RecordsetKind::Snapshot);
    s.rsResult = std::move(result);
    if (!info.emptyMessage.isEmpty() && s.rsResult.recordCount() == 0) {
        ctx.platform.messageBox(info.emptyMessage, QStringLiteral("Search Not Successfull"), Platform::Buttons::Ok,
                                Platform::Icon::None);
        return;
    }
    MainWindow& main = *ctx.main;
    main.loadResultList();
    main.focusSpeciesList();
    s.searchType = info.title;
    main.setPanel(panel::Type, panelText::findType(s.searchType));
}

} // namespace fl
