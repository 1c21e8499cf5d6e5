#pragma once

#include <QIcon>
#include <QString>

namespace fl {

// The small pictures of the taxonomy tree, by key: "closed" (a closed folder), "cylinder"
// and "smlBook" (a small book). An unknown key gives a null icon.
QIcon imlSmallIcons(const QString& key);

} // namespace fl
