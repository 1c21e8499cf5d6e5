#include "Commands.h"

#include "browser/frmDisplay.h"
#include "search/ListSearches.h"
#include "search/frmName.h"
#include "search/frmRegion.h"
#include "sightings/RecordCommands.h"
#include "sightings/frmSight.h"
#include "sightings/frmSightingsLog.h"
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
    main.setCommand(QStringLiteral("mnuSearchRegion"), [&ctx] { mnuSearchRegion_Click(ctx); });
    main.setCommand(QStringLiteral("mnuSearchName"), [&ctx] { mnuSearchName_Click(ctx); });
    main.setCommand(QStringLiteral("mnuFileSighting"), [&ctx] { mnuFileSighting_Click(ctx); });
    main.setCommand(QStringLiteral("mnuViewDetails"), [&ctx] { mnuViewDetails_Click(ctx); });
    main.setCommand(QStringLiteral("mnuViewLog"), [&ctx] { mnuViewLog_Click(ctx); });
    main.setCommand(QStringLiteral("mnuFileImport"), [&ctx] { mnuFileImport_Click(ctx); });
    main.setCommand(QStringLiteral("mnuFileExport"), [&ctx] { mnuFileExport_Click(ctx); });
    main.setCommand(QStringLiteral("mnuFileBackup"), [&ctx] { mnuFileBackup_Click(ctx); });
    main.setCommand(QStringLiteral("mnuFileRestore"), [&ctx] { mnuFileRestore_Click(ctx); });
}

} // namespace fl
