#include "taxonomy/BandingCode.h"

#include <QStringList>

namespace fl {

QString bandingCode(const QString& commonName)
{
    QStringList words;
    QString word;
    for (const QChar c : commonName) {
        if (c.isLetter()) {
            word += c.toUpper();
        } else if (c.isSpace() || c == u'-' || c == u'/') {
            if (!word.isEmpty()) words << word;
            word.clear();
        } // apostrophes, dots and the like belong to their word but add no letter
    }
    if (!word.isEmpty()) words << word;

    switch (words.size()) {
    case 0:
        return {};
    case 1:
        return words[0].left(4);
    case 2:
        return words[0].left(2) + words[1].left(2);
    case 3:
        return words[0].left(1) + words[1].left(1) + words[2].left(2);
    default:
        return words[0].left(1) + words[1].left(1) + words[2].left(1) + words[3].left(1);
    }
}

} // namespace fl
