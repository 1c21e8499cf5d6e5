#include "taxonomy/TaxonomyFile.h"

#include "records/CsvReader.h"

#include <QFileInfo>
#include <algorithm>

namespace fl {

namespace {

QString key(const QString& s) { return s.trimmed().toCaseFolded(); }

const char* const kRequired[] = {"TAXON_ORDER", "CATEGORY", "SPECIES_CODE", "PRIMARY_COM_NAME", "SCI_NAME"};

// "Laridae (Gulls, Terns, and Skimmers)" names the family scientifically and in English;
// an older file gives only "Laridae".
void splitFamily(const QString& text, QString& sci, QString& english)
{
    const QString t = text.trimmed();
    const qsizetype open = t.indexOf(u'(');
    if (open > 0 && t.endsWith(u')')) {
        sci = t.left(open).trimmed();
        english = t.mid(open + 1, t.size() - open - 2).trimmed();
    } else {
        sci = t;
        english.clear();
    }
}

} // namespace

TaxonomyFile TaxonomyFile::read(const QString& path, const std::function<void(double)>& progress)
{
    const QString file = QFileInfo(path).fileName();
    std::vector<TaxonRow> rows;
    try {
        CsvReader reader(path);
        QStringList fields;
        bool got = false;
        while ((got = reader.next(fields)))
            if (!(fields.size() == 1 && fields[0].trimmed().isEmpty())) break;
        if (!got) throw TaxonomyError(QStringLiteral("%1 is empty.").arg(file));
        QHash<QString, int> at;
        for (int i = 0; i < fields.size(); ++i)
            if (!at.contains(key(fields[i]))) at.insert(key(fields[i]), i);
        QStringList missing;
        for (const char* name : kRequired)
            if (!at.contains(QString::fromLatin1(name).toCaseFolded())) missing << QString::fromLatin1(name);
        if (!missing.isEmpty())
            throw TaxonomyError(QStringLiteral("%1 is not a taxonomy in eBird's layout: the column%2 %3 %4 missing.")
                                    .arg(file, missing.size() > 1 ? QStringLiteral("s") : QString(),
                                         missing.join(QStringLiteral(", ")),
                                         missing.size() > 1 ? QStringLiteral("are") : QStringLiteral("is")));
        auto col = [&](const char* name) { return at.value(QString::fromLatin1(name).toCaseFolded(), -1); };
        const int cOrder = col("TAXON_ORDER"), cCat = col("CATEGORY"), cCode = col("SPECIES_CODE"),
                  cCommon = col("PRIMARY_COM_NAME"), cSci = col("SCI_NAME"), cOrd = col("ORDER"),
                  cFam = col("FAMILY"), cReport = col("REPORT_AS");
        auto field = [&](int c) { return c >= 0 && c < fields.size() ? fields[c].trimmed() : QString(); };
        int n = 0;
        while (reader.next(fields)) {
            if (fields.size() == 1 && fields[0].trimmed().isEmpty()) continue;
            if (progress && (++n & 1023) == 0 && reader.size() > 0) progress(double(reader.position()) / reader.size());
            TaxonRow r;
            bool number = false;
            r.taxonOrder = field(cOrder).toDouble(&number);
            r.category = field(cCat).toLower();
            r.code = field(cCode);
            r.common = field(cCommon);
            r.sci = field(cSci);
            r.order = field(cOrd);
            splitFamily(field(cFam), r.family, r.familyName);
            r.reportAs = field(cReport);
            if (!number || r.code.isEmpty() || r.category.isEmpty())
                throw TaxonomyError(QStringLiteral("%1, line %2: a taxonomy row needs its order number, category and "
                                                   "species code.").arg(file).arg(reader.line()));
            if (r.isSpecies() && (r.common.isEmpty() || r.sci.isEmpty()))
                throw TaxonomyError(QStringLiteral("%1, line %2: the species %3 has no name.")
                                        .arg(file).arg(reader.line()).arg(r.code));
            rows.push_back(std::move(r));
        }
    } catch (const CsvError& e) {
        throw TaxonomyError(QStringLiteral("%1 cannot be read as a taxonomy.\n\n%2").arg(file, e.message()));
    }
    if (progress) progress(1.0);
    try {
        return fromRows(std::move(rows));
    } catch (const TaxonomyError& e) {
        throw TaxonomyError(QStringLiteral("%1: %2").arg(file, e.message()));
    }
}

TaxonomyFile TaxonomyFile::fromRows(std::vector<TaxonRow> rows)
{
    TaxonomyFile t;
    t.m_rows = std::move(rows);
    std::stable_sort(t.m_rows.begin(), t.m_rows.end(),
                     [](const TaxonRow& a, const TaxonRow& b) { return a.taxonOrder < b.taxonOrder; });
    t.index();
    return t;
}

void TaxonomyFile::index()
{
    m_byCode.clear();
    m_byCode.reserve(qsizetype(m_rows.size()));
    m_species = 0;
    for (int i = 0; i < int(m_rows.size()); ++i) {
        const TaxonRow& r = m_rows[size_t(i)];
        const QString k = key(r.code);
        if (m_byCode.contains(k)) throw TaxonomyError(QStringLiteral("the code %1 is given twice.").arg(r.code));
        m_byCode.insert(k, i);
        if (r.isSpecies()) ++m_species;
    }
    if (m_species == 0) throw TaxonomyError(QStringLiteral("the file lists no species; it is not a taxonomy."));
    for (const TaxonRow& r : m_rows) {
        if (!r.isForm() || r.reportAs.isEmpty()) continue;
        const TaxonRow* target = find(r.reportAs);
        if (!target || !target->isSpecies())
            throw TaxonomyError(QStringLiteral("%1 (%2) is a record of %3, which is not a species of the file.")
                                    .arg(r.common, r.code, r.reportAs));
    }
}

const TaxonRow* TaxonomyFile::find(const QString& code) const
{
    const auto it = m_byCode.constFind(key(code));
    return it == m_byCode.constEnd() ? nullptr : &m_rows[size_t(*it)];
}

} // namespace fl
