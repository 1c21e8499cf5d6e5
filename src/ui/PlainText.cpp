#include "PlainText.h"

#include <QTextDocument>

namespace fl {

QString plainToolTip(const QString& text)
{
    // Text that does not look like markup is shown as it is already.
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

} // namespace fl
