#pragma once

#include <QString>

namespace fl {

// The keys of the main window's four status panels, in their order on the status bar.
namespace panel {
inline const QString Region = QStringLiteral("Region");
inline const QString Type = QStringLiteral("Type");
inline const QString Hits = QStringLiteral("Hits");
inline const QString Life = QStringLiteral("Life");
} // namespace panel

// The texts of the status panels. Each window that writes a panel has its own wording, and
// the wordings are kept apart on purpose.
namespace panelText {
// "Region : Ontario"
QString region(const QString& regname);
// "Find : All Birds"
QString findType(const QString& searchType);
// "Search Results : 3 of 12" (the list and the bird page)
QString position(int position, int count);
// "Search Results: 12" (a new region's list)
QString regionCount(int count);
// "Life List: 3 of 12" (start-up)
QString lifeAtStartup(int sighted, int total);
// "Sighted 3 of 12 Birds" (a new region)
QString lifeOfRegion(int sighted, int total);
// "LifeList: 3 of 12" (after a sighting)
QString lifeAfterSighting(int sighted, int total);
} // namespace panelText

} // namespace fl
