#include "Commands.h"

#include "browser/frmDisplay.h"
#include "search/ListSearches.h"
#include "ui/Context.h"

namespace fl {

void connectCommands(Context& ctx)
{
    frmDisplay& main = *ctx.main;
    const struct {
        const char* item;
        ListSearch search;
    } lists[] = {
        {"mnuSearchBird", ListSearch::Birds},       {"mnuSearchSongs", ListSearch::Songs},
        {"mnuSearchCD", ListSearch::CdSongs},       {"mnuSearchLife", ListSearch::Life},
        {"mnuMissingAll", ListSearch::MissingAll},  {"mnuMissingRare", ListSearch::MissingRare},
    };
    for (const auto& l : lists) {
        const ListSearch search = l.search;
        main.setCommand(QString::fromLatin1(l.item), [&ctx, search] { runListSearch(ctx, search); });
    }
}

} // namespace fl
