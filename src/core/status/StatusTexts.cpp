#include "status/StatusTexts.h"

namespace fl::panelText {

QString region(const QString& regname) { return QStringLiteral("Region : ") + regname; }
QString findType(const QString& searchType) { return QStringLiteral("Find : ") + searchType; }
QString position(int position, int count) { return QStringLiteral("Search Results : %1 of %2").arg(position).arg(count); }
QString regionCount(int count) { return QStringLiteral("Search Results: %1").arg(count); }
QString lifeAtStartup(int sighted, int total) { return QStringLiteral("Life List: %1 of %2").arg(sighted).arg(total); }
QString lifeOfRegion(int sighted, int total) { return QStringLiteral("Sighted %1 of %2 Birds").arg(sighted).arg(total); }
QString lifeAfterSighting(int sighted, int total) { return QStringLiteral("LifeList: %1 of %2").arg(sighted).arg(total); }

} // namespace fl::panelText
