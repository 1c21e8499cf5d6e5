#include "records/Csv.h"

#include "records/CsvReader.h"

namespace fl {

std::vector<QStringList> parseCsv(const QString& text) { return readAllCsv(text.toUtf8()); }

std::vector<QStringList> readCsvFile(const QString& path)
{
    CsvReader reader(path);
    std::vector<QStringList> rows;
    QStringList fields;
    while (reader.next(fields)) rows.push_back(fields);
    return rows;
}

} // namespace fl
