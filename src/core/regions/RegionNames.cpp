#include "regions/RegionNames.h"

namespace fl {

QString countyRegionName(const QString& county, const QString& state)
{
    return county + QStringLiteral(", ") + state;
}

QString regionSearchKey(const QString& text)
{
    bool plain = true;
    for (const QChar c : text) plain = plain && c.unicode() < 0x80;
    if (plain) return text.toCaseFolded();
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString key;
    key.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing) continue;
        if (c == QChar(0x2019) || c == QChar(0x2018) || c == QChar(0x02BC)) key += u'\'';
        else key += c;
    }
    return key.toCaseFolded();
}

} // namespace fl
