#include "regions/EbirdRegions.h"

#include "regions/RegionNames.h"

#include <QFile>
#include <QHash>
#include <stdexcept>
#include <string>

// The region list is compiled into the regions library; a static library has to register
// its resources itself.
static void initRegionResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(regions);
        return true;
    }();
    (void)done;
}

namespace fl {

namespace {

struct Catalogue {
    std::vector<EbirdRegion> regions;
    QHash<QString, qsizetype> byCode;     // upper-case code
    QHash<QString, QString> countyByName; // state code + '|' + search key of eBird's name

    Catalogue()
    {
        initRegionResources();
        QFile file(QStringLiteral(":/regions/ebird-regions.tsv"));
        if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("The list of regions is missing.");
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        regions.reserve(lines.size());
        for (qsizetype i = 1; i < lines.size(); ++i) { // the first line names the columns
            const QStringList fields = lines[i].split(u'\t');
            if (fields.size() != 2 || fields[0].isEmpty() || fields[1].isEmpty())
                throw std::runtime_error("The list of regions is damaged at line " + std::to_string(i + 1) + ".");
            EbirdRegion r;
            r.code = fields[0];
            r.ebirdName = fields[1];
            const qsizetype level = r.code.count(u'-');
            const QString parent = parentRegionCode(r.code);
            if (level > 0 && !byCode.contains(parent))
                throw std::runtime_error("The list of regions names " + r.code.toStdString() + " before its parent.");
            if (level == 0) {
                r.type = QStringLiteral("Country");
                r.name = r.ebirdName;
            } else if (level == 1) {
                r.type = QStringLiteral("State");
                r.name = r.ebirdName;
            } else {
                r.type = QStringLiteral("District");
                r.name = countyRegionName(r.ebirdName, regions[size_t(byCode.value(parent))].ebirdName);
                countyByName.insert(parent + u'|' + regionSearchKey(r.ebirdName), r.code);
            }
            byCode.insert(r.code, qsizetype(regions.size()));
            regions.push_back(std::move(r));
        }
    }
};

const Catalogue& catalogue()
{
    static const Catalogue c;
    return c;
}

} // namespace

const std::vector<EbirdRegion>& ebirdRegions() { return catalogue().regions; }

const EbirdRegion* ebirdRegion(const QString& code)
{
    const Catalogue& c = catalogue();
    QString key = code.trimmed().toUpper();
    // Mexico City under its ISO code; eBird keeps the older one.
    if (key == u"MX-CMX" || key.startsWith(u"MX-CMX-")) key.replace(0, 6, QStringLiteral("MX-DIF"));
    const auto it = c.byCode.constFind(key);
    return it == c.byCode.constEnd() ? nullptr : &c.regions[size_t(*it)];
}

QString parentRegionCode(const QString& code)
{
    const qsizetype dash = code.lastIndexOf(u'-');
    return dash < 0 ? QString() : code.left(dash);
}

QStringList ancestorRegionCodes(const QString& code)
{
    QStringList codes;
    for (QString c = parentRegionCode(code); !c.isEmpty(); c = parentRegionCode(c)) codes << c;
    return codes;
}

QString countyCodeInState(const QString& stateCode, const QString& county)
{
    const Catalogue& c = catalogue();
    const QString state = stateCode.trimmed().toUpper() + u'|';
    const QString name = county.trimmed();
    if (name.isEmpty()) return {};
    QString code = c.countyByName.value(state + regionSearchKey(name));
    const QString word = QStringLiteral(" County");
    if (code.isEmpty() && name.endsWith(word, Qt::CaseInsensitive))
        code = c.countyByName.value(state + regionSearchKey(name.chopped(word.size()).trimmed()));
    return code;
}

} // namespace fl
