#pragma once

#include <QString>

namespace fl {

// Commands without a menu item, run by the bird page's clickable icons.
inline const QString kLinksIconCommand = QStringLiteral("imgLinks");   // the species' web links
inline const QString kStatusIconCommand = QStringLiteral("imgStatus"); // the seasonal status detail

} // namespace fl
