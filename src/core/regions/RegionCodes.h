#pragma once

#include <QString>

namespace fl {

// The place codes of eBird files: countries ("US", ISO 3166) for the countries of North
// America and its islands, and the states and provinces ("US-CA") of eBird's region list
// (EbirdRegions.h).

// The continent of every country known here.
inline constexpr auto kContinentRegion = "North America";

// "United States" for "US"; empty for a code not known here.
QString countryNameForCode(const QString& code);
// "California" for "US-CA"; empty for a code not known here.
QString subdivisionNameForCode(const QString& code);
// "US" for "United States" (letter case ignored); empty when not known.
QString countryCodeForName(const QString& name);
// "US-CA" for "California", within the country `countryCode` when it is given, else in any
// country; empty when not known.
QString subdivisionCodeForName(const QString& name, const QString& countryCode = {});

} // namespace fl
