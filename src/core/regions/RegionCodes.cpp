#include "regions/RegionCodes.h"

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

const Code kSubdivisions[] = {
    {"US-AL", "Alabama"}, {"US-AK", "Alaska"}, {"US-AZ", "Arizona"}, {"US-AR", "Arkansas"},
    {"US-CA", "California"}, {"US-CO", "Colorado"}, {"US-CT", "Connecticut"}, {"US-DE", "Delaware"},
    {"US-DC", "District of Columbia"}, {"US-FL", "Florida"}, {"US-GA", "Georgia"}, {"US-HI", "Hawaii"},
    {"US-ID", "Idaho"}, {"US-IL", "Illinois"}, {"US-IN", "Indiana"}, {"US-IA", "Iowa"},
    {"US-KS", "Kansas"}, {"US-KY", "Kentucky"}, {"US-LA", "Louisiana"}, {"US-ME", "Maine"},
    {"US-MD", "Maryland"}, {"US-MA", "Massachusetts"}, {"US-MI", "Michigan"}, {"US-MN", "Minnesota"},
    {"US-MS", "Mississippi"}, {"US-MO", "Missouri"}, {"US-MT", "Montana"}, {"US-NE", "Nebraska"},
    {"US-NV", "Nevada"}, {"US-NH", "New Hampshire"}, {"US-NJ", "New Jersey"}, {"US-NM", "New Mexico"},
    {"US-NY", "New York"}, {"US-NC", "North Carolina"}, {"US-ND", "North Dakota"}, {"US-OH", "Ohio"},
    {"US-OK", "Oklahoma"}, {"US-OR", "Oregon"}, {"US-PA", "Pennsylvania"}, {"US-RI", "Rhode Island"},
    {"US-SC", "South Carolina"}, {"US-SD", "South Dakota"}, {"US-TN", "Tennessee"}, {"US-TX", "Texas"},
    {"US-UT", "Utah"}, {"US-VT", "Vermont"}, {"US-VA", "Virginia"}, {"US-WA", "Washington"},
    {"US-WV", "West Virginia"}, {"US-WI", "Wisconsin"}, {"US-WY", "Wyoming"},
    {"CA-AB", "Alberta"}, {"CA-BC", "British Columbia"}, {"CA-MB", "Manitoba"}, {"CA-NB", "New Brunswick"},
    {"CA-NL", "Newfoundland and Labrador"}, {"CA-NS", "Nova Scotia"}, {"CA-NT", "Northwest Territories"},
    {"CA-NU", "Nunavut"}, {"CA-ON", "Ontario"}, {"CA-PE", "Prince Edward Island"}, {"CA-QC", "Quebec"},
    {"CA-SK", "Saskatchewan"}, {"CA-YT", "Yukon"},
    {"MX-AGU", "Aguascalientes"}, {"MX-BCN", "Baja California"}, {"MX-BCS", "Baja California Sur"},
    {"MX-CAM", "Campeche"}, {"MX-CHP", "Chiapas"}, {"MX-CHH", "Chihuahua"}, {"MX-CMX", "Ciudad de México"},
    {"MX-COA", "Coahuila"}, {"MX-COL", "Colima"}, {"MX-DUR", "Durango"}, {"MX-GUA", "Guanajuato"},
    {"MX-GRO", "Guerrero"}, {"MX-HID", "Hidalgo"}, {"MX-JAL", "Jalisco"}, {"MX-MEX", "México"},
    {"MX-MIC", "Michoacán"}, {"MX-MOR", "Morelos"}, {"MX-NAY", "Nayarit"}, {"MX-NLE", "Nuevo León"},
    {"MX-OAX", "Oaxaca"}, {"MX-PUE", "Puebla"}, {"MX-QUE", "Querétaro"}, {"MX-ROO", "Quintana Roo"},
    {"MX-SLP", "San Luis Potosí"}, {"MX-SIN", "Sinaloa"}, {"MX-SON", "Sonora"}, {"MX-TAB", "Tabasco"},
    {"MX-TAM", "Tamaulipas"}, {"MX-TLA", "Tlaxcala"}, {"MX-VER", "Veracruz"}, {"MX-YUC", "Yucatán"},
    {"MX-ZAC", "Zacatecas"},
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
QString subdivisionNameForCode(const QString& code) { return nameFor(kSubdivisions, code); }

QString countryCodeForName(const QString& name)
{
    const QString n = name.trimmed();
    for (const Code& e : kCountries)
        if (n.compare(QString::fromUtf8(e.name), Qt::CaseInsensitive) == 0) return QString::fromLatin1(e.code);
    return {};
}

QString subdivisionCodeForName(const QString& name, const QString& countryCode)
{
    const QString n = name.trimmed();
    const QString prefix = countryCode.trimmed().toUpper() + u'-';
    for (const Code& e : kSubdivisions) {
        const QString code = QString::fromLatin1(e.code);
        if (!countryCode.trimmed().isEmpty() && !code.startsWith(prefix)) continue;
        if (n.compare(QString::fromUtf8(e.name), Qt::CaseInsensitive) == 0) return code;
    }
    return {};
}

} // namespace fl
