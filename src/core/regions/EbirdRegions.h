#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace fl {

// eBird's regions of the United States, Canada and Mexico, built into the program: the three
// countries ("US"), their 96 states, provinces and territories ("US-OH") and their 5,359
// counties and equivalents ("US-OH-049"), each with the name the program gives its region.
struct EbirdRegion {
    QString code;      // "US-OH-049"
    QString ebirdName; // "Franklin": eBird's own name
    QString name;      // "Franklin, Ohio": the region's name (see RegionNames.h)
    QString type;      // the region-type word: "Country", "State" or "District"
};

// Countries first, then states and provinces, then counties, each in eBird's order.
const std::vector<EbirdRegion>& ebirdRegions();

// The region of a code (letter case ignored), or null when eBird has no such region here.
const EbirdRegion* ebirdRegion(const QString& code);

// The code of the region one level up: "US-OH" for "US-OH-049", "US" for "US-OH", empty
// for a country.
QString parentRegionCode(const QString& code);

// The codes above a region, nearest first: "US-OH", "US" for "US-OH-049".
QStringList ancestorRegionCodes(const QString& code);

// The county of state `stateCode` that an eBird file names `county` ("Franklin", also
// "Franklin County"; letter case and accents ignored): its code, or empty when none is.
QString countyCodeInState(const QString& stateCode, const QString& county);

} // namespace fl
