#include "records/EbirdTags.h"

#include <QStringList>

namespace fl {

namespace {

const QString kPrefix = QStringLiteral("Featherlog:");

// The tag's separators, line ends and the escape sign itself are written as %XX; so are
// blanks at either end of a value, which the reader of a comments field may trim.
QString escaped(const QString& v)
{
    QString out;
    out.reserve(v.size());
    qsizetype first = 0, last = v.size();
    while (first < last && v[first] == u' ') ++first;
    while (last > first && v[last - 1] == u' ') --last;
    for (qsizetype i = 0; i < v.size(); ++i) {
        const QChar c = v[i];
        if (c == u'%') out += QStringLiteral("%25");
        else if (c == u';') out += QStringLiteral("%3B");
        else if (c == u'\n') out += QStringLiteral("%0A");
        else if (c == u'\r') out += QStringLiteral("%0D");
        else if (c == u' ' && (i < first || i >= last)) out += QStringLiteral("%20");
        else out += c;
    }
    return out;
}

// 0 to 15, or a negative number for anything else.
int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
    return -1000;
}

// One pass from left to right, so that a decoded sign never starts another code.
QString unescaped(const QString& v)
{
    QString out;
    out.reserve(v.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] == u'%' && i + 2 < v.size()) {
            const int code = hexDigit(v[i + 1]) * 16 + hexDigit(v[i + 2]);
            if ((code == 0x25 || code == 0x3B || code == 0x0A || code == 0x0D || code == 0x20)) {
                out += QChar(code);
                i += 2;
                continue;
            }
        }
        out += v[i];
    }
    return out;
}

} // namespace

QString formatPlaceTag(const PlaceTag& tag)
{
    QStringList parts;
    auto add = [&](const char* key, const QString& value) {
        if (!value.isEmpty()) parts << QString::fromLatin1(key) + u'=' + escaped(value);
    };
    add("Region", tag.region);
    add("Country", tag.country);
    add("State", tag.state);
    add("District", tag.district);
    add("Type", tag.type);
    return kPrefix + u' ' + parts.join(QStringLiteral("; "));
}

PlaceTag parsePlaceTag(const QString& text)
{
    PlaceTag tag;
    const QString t = text.trimmed();
    if (!t.startsWith(kPrefix)) return tag;
    for (const QString& part : t.mid(kPrefix.size()).split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq < 0) return PlaceTag(); // not ours after all
        const QString key = part.left(eq).trimmed();
        const QString value = unescaped(part.mid(eq + 1));
        if (key == u"Region") tag.region = value;
        else if (key == u"Country") tag.country = value;
        else if (key == u"State") tag.state = value;
        else if (key == u"District") tag.district = value;
        else if (key == u"Type") tag.type = value;
        else return PlaceTag();
    }
    tag.present = true;
    return tag;
}

} // namespace fl
