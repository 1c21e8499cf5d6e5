#include "ListSearches.h"

#include "AppState.h"
#include "browser/frmDisplay.h"
#include "platform/Platform.h"

#include <QComboBox>

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
    frmDisplay& main = *ctx.main;
    main.LoadListNames();
    main.cmbNames->setFocus();
    s.searchType = info.title;
    main.setPanel(QStringLiteral("Type"), QStringLiteral("Find : ") + s.searchType);
}

} // namespace fl
