#include "regions/RegionKinds.h"

namespace fl {

const std::array<RegionKind, 4>& regionKinds()
{
    static const std::array<RegionKind, 4> kinds = {{
        {QStringLiteral("Region"), QStringLiteral("Region"), QStringLiteral("GetRegions"), QStringLiteral("Region")},
        {QStringLiteral("Country"), QStringLiteral("Country"), QStringLiteral("GetCountries"), QStringLiteral("country")},
        {QStringLiteral("Province/State"), QStringLiteral("State"), QStringLiteral("GetStates"), QStringLiteral("state")},
        {QStringLiteral("District/County"), QStringLiteral("District"), QStringLiteral("GetDistricts"),
         QStringLiteral("district")},
    }};
    return kinds;
}

const RegionKind* regionKindOfType(const QString& type)
{
    for (const RegionKind& k : regionKinds())
        if (k.type.compare(type, Qt::CaseInsensitive) == 0) return &k;
    return nullptr;
}

} // namespace fl
