#include "taxonomy/BandingCode.h"

#include <QSet>
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

QStringList completionCodes(const QStringList& commonNames, const QStringList& alphaCodes)
{
    QSet<QString> official;
    for (const QString& code : alphaCodes)
        if (!code.trimmed().isEmpty()) official.insert(code.trimmed().toUpper());
    QStringList codes;
    codes.reserve(commonNames.size());
    for (qsizetype i = 0; i < commonNames.size(); ++i) {
        const QString own = i < alphaCodes.size() ? alphaCodes[i].trimmed().toUpper() : QString();
        if (!own.isEmpty()) {
            codes << own;
            continue;
        }
        const QString rule = bandingCode(commonNames[i]);
        codes << (official.contains(rule) ? QString() : rule);
    }
    return codes;
}

} // namespace fl
