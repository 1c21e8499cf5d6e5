#include "EarlierSample.h"

#include "records/Csv.h"
#include "records/DataImport.h"
#include "records/EbirdExport.h"
#include "schema/Schema.h"
#include "db/Database.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <stdexcept>

namespace fl::test {

std::vector<QStringList> csvRows(const QString& path, QStringList* header)
{
    auto rows = readCsvFile(path);
    if (header) *header = rows.front();
    rows.erase(rows.begin());
    return rows;
}

void writeCsv(const QString& path, const QStringList& header, const std::vector<QStringList>& rows)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write");
    auto line = [&](const QStringList& fields) {
        QStringList q;
        for (const QString& v : fields) q << csvField(v);
        f.write(q.join(u',').toUtf8() + '\n');
    };
    line(header);
    for (const QStringList& r : rows) line(r);
}

void buildEarlierSample(const QString& path, const QString& scratch)
{
    const QString data = QStringLiteral(SAMPLE_DATA_DIR);
    QDir().mkpath(scratch);
    for (const QString& table : dataTables()) {
        const QString from = data + "/" + table + ".csv";
        if (!QFile::exists(from) || table == u"TaxonForms") continue;
        QStringList header;
        auto rows = csvRows(from, &header);
        if (table == u"Birds") {
            // Old names from the upgrade list; the code columns go.
            QHash<QString, QStringList> old;
            for (const QStringList& r : csvRows(data + "/upgrade-species-codes.csv")) old.insert(r[0], r);
            const qsizetype codes = header.indexOf("SpeciesCode");
            header = header.mid(0, codes);
            std::vector<QStringList> kept;
            for (QStringList r : rows) {
                if (!old.contains(r[0])) continue;
                r[1] = old[r[0]][1];
                r[2] = old[r[0]][2];
                kept.push_back(r.mid(0, codes));
            }
            rows = kept;
        } else if (table == u"Checklists") {
            std::erase_if(rows, [](const QStringList& r) { return r[0] == u"1013"; });
        } else if (table == u"Options") {
            rows[0][header.indexOf("lifetotal")] = "1012";
        }
        writeCsv(scratch + "/" + table + ".csv", header, rows);
    }
    auto db = db::Database::create(path, db::passwordFromConnect(QString::fromLatin1(kConnectString)));
    createSchema(*db, 2);
    importCsvFolder(*db, scratch);
}

} // namespace fl::test
