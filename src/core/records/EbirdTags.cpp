#include "records/EbirdTags.h"

#include <QStringList>

namespace fl {

namespace {

const QString kPrefix = QStringLiteral("Featherlog:");

QString escaped(QString v)
{
    v.replace(u'%', QStringLiteral("%25"));
    v.replace(u';', QStringLiteral("%3B"));
    v.replace(u'\n', QStringLiteral("%0A"));
    v.replace(u'\r', QStringLiteral("%0D"));
    return v;
}

QString unescaped(QString v)
{
    v.replace(QStringLiteral("%0D"), QStringLiteral("\r"));
    v.replace(QStringLiteral("%0A"), QStringLiteral("\n"));
    v.replace(QStringLiteral("%3B"), QStringLiteral(";"));
    v.replace(QStringLiteral("%25"), QStringLiteral("%"));
    return v;
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
