#include "Commands.h"

#include "browser/frmDisplay.h"
#include "media/CdSongs.h"
#include "media/Songs.h"
#include "search/ListSearches.h"
#include "search/frmName.h"
#include "search/frmRegion.h"
#include "sightings/frmSight.h"
#include "ui/Context.h"

#include <QTimer>

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
    main.setCommand(QStringLiteral("mnuFilePlay"), [&ctx] { mnuFilePlay_Click(ctx); });
    main.setCommand(QStringLiteral("mnuFileSong"), [&ctx] { mnuFileSong_Click(ctx); });
    main.setCommand(QStringLiteral("mnuFileSongDelete"), [&ctx] { mnuFileSongDelete_Click(ctx); });
    main.setCommand(QStringLiteral("mnuFilePlayCD"), [&ctx] { mnuFilePlayCD_Click(ctx); });
    QObject::connect(main.Timer1, &QTimer::timeout, &main, [&ctx] { Timer1_Timer(ctx); });
}

} // namespace fl
