#pragma once

#include <QString>

namespace fl {

// How the program names the regions that carry eBird's codes. A country, state or province is
// named as eBird names it ("United States", "Ohio", "Quebec"). A county (or a census division
// or municipality) carries its state or province after a comma, so that the 24 Franklin
// counties stay apart and each is recognisable on its own: "Franklin, Ohio".
QString countyRegionName(const QString& county, const QString& state);

// The text a typed search is compared with: letter case and accents folded away, curly
// apostrophes made straight, so that "quebec" finds "Québec" and "l'assomption" finds
// "L’Assomption". A typed piece is folded the same way before it is looked for.
QString regionSearchKey(const QString& text);

} // namespace fl
