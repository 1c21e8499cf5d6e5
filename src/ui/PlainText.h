#pragma once

#include <QString>

namespace fl {

// User data (region and site names, notes, titles) is shown as it is written: a name such as
// "<i>Lake</i> & <Pond>" is never read as markup. Labels that show it use Qt::PlainText; a
// tooltip, which Qt reads as markup whenever its text looks like markup, goes through here.
QString plainToolTip(const QString& text);

} // namespace fl
