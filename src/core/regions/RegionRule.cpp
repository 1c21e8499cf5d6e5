#include "regions/RegionRule.h"

#include "regions/RegionKinds.h"

#include <QStringList>
#include <algorithm>

namespace fl {

bool countsForRegion(const SightingPlaces& places, int regId)
{
    return regId == 0 || std::find(places.begin(), places.end(), regId) != places.end();
}

QString countsForRegionSql(const QString& param, const QString& table)
{
    const QString prefix = table.isEmpty() ? QString() : table + u'.';
    QStringList any;
    for (const RegionKind& kind : regionKinds()) any << prefix + kind.sightingsColumn + QStringLiteral(" = ") + param;
    return QStringLiteral("(%1 = 0 OR %2)").arg(param, any.join(QStringLiteral(" OR ")));
}

} // namespace fl
