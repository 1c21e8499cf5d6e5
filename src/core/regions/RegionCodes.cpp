#include "regions/RegionCodes.h"

#include "regions/EbirdRegions.h"
#include "regions/RegionNames.h"

namespace fl {

namespace {

struct Code {
    const char* code;
    const char* name; // UTF-8
};

const Code kCountries[] = {
    {"US", "United States"}, {"CA", "Canada"}, {"MX", "Mexico"}, {"GL", "Greenland"},
    {"PM", "Saint Pierre and Miquelon"}, {"BM", "Bermuda"}, {"BS", "Bahamas"}, {"CU", "Cuba"},
    {"JM", "Jamaica"}, {"HT", "Haiti"}, {"DO", "Dominican Republic"}, {"PR", "Puerto Rico"},
    {"BZ", "Belize"}, {"GT", "Guatemala"}, {"SV", "El Salvador"}, {"HN", "Honduras"},
    {"NI", "Nicaragua"}, {"CR", "Costa Rica"}, {"PA", "Panama"}, {"TC", "Turks and Caicos Islands"},
    {"KY", "Cayman Islands"}, {"VI", "U.S. Virgin Islands"}, {"VG", "British Virgin Islands"},
};

template <size_t N>
QString nameFor(const Code (&table)[N], const QString& code)
{
    const QString c = code.trimmed();
    for (const Code& e : table)
        if (c.compare(QLatin1String(e.code), Qt::CaseInsensitive) == 0) return QString::fromUtf8(e.name);
    return {};
}

} // namespace

QString countryNameForCode(const QString& code) { return nameFor(kCountries, code); }
QString subdivisionNameForCode(const QString& code)
{
    const EbirdRegion* r = ebirdRegion(code);
    return r && r->type == u"State" ? r->ebirdName : QString();
}

QString countryCodeForName(const QString& name)
{
    const QString n = name.trimmed();
    for (const Code& e : kCountries)
        if (n.compare(QString::fromUtf8(e.name), Qt::CaseInsensitive) == 0) return QString::fromLatin1(e.code);
    return {};
}

QString subdivisionCodeForName(const QString& name, const QString& countryCode)
{
    const QString key = regionSearchKey(name.trimmed());
    const QString prefix = countryCode.trimmed().toUpper() + u'-';
    for (const EbirdRegion& r : ebirdRegions()) {
        if (r.type != u"State") continue;
        if (!countryCode.trimmed().isEmpty() && !r.code.startsWith(prefix)) continue;
        if (regionSearchKey(r.ebirdName) == key) return r.code;
    }
    return {};
}

} // namespace fl
