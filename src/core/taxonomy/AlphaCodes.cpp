#include "taxonomy/AlphaCodes.h"

#include "records/CsvReader.h"

#include <QFile>
#include <algorithm>

static void initTaxonomyResources() { Q_INIT_RESOURCE(taxonomy); }

namespace fl {

namespace {

QString sciKey(const QString& s) { return s.simplified().toCaseFolded(); }

QString commonKey(QString s)
{
    s.replace(u'-', u' ');
    s.replace(QChar(0x2019), u'\'');
    return s.simplified().toCaseFolded();
}

void add(QHash<QString, QString>& h, const QString& k, const QString& code)
{
    if (k.isEmpty()) return;
    auto it = h.find(k);
    if (it == h.end()) h.insert(k, code);
    else if (*it != code) it->clear();
}

} // namespace

AlphaCodes AlphaCodes::fromCsv(const QByteArray& text)
{
    AlphaCodes a;
    const auto rows = readAllCsv(text);
    if (rows.empty()) return a;
    const int codeAt = int(rows[0].indexOf(QStringLiteral("ALPHA"))),
              common = int(rows[0].indexOf(QStringLiteral("COMMONNAME"))),
              sci = int(rows[0].indexOf(QStringLiteral("SCINAME")));
    if (codeAt < 0 || common < 0 || sci < 0) return a;
    for (size_t i = 1; i < rows.size(); ++i) {
        const QStringList& r = rows[i];
        if (r.size() <= std::max({codeAt, common, sci})) continue;
        const QString code = r[codeAt].trimmed().toUpper();
        if (code.isEmpty()) continue;
        add(a.m_bySci, sciKey(r[sci]), code);
        add(a.m_byCommon, commonKey(r[common]), code);
        ++a.m_size;
    }
    return a;
}

const AlphaCodes& AlphaCodes::builtIn()
{
    static const AlphaCodes codes = [] {
        initTaxonomyResources();
        QFile f(QStringLiteral(":/taxonomy/ibp-alpha-codes.csv"));
        return f.open(QIODevice::ReadOnly) ? fromCsv(f.readAll()) : AlphaCodes();
    }();
    return codes;
}

QString AlphaCodes::codeFor(const QString& commonName, const QString& sciName) const
{
    const QString bySci = m_bySci.value(sciKey(sciName));
    return bySci.isEmpty() ? m_byCommon.value(commonKey(commonName)) : bySci;
}

} // namespace fl
