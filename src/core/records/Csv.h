#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace fl {

// Reads a whole CSV text by the rules of CsvReader (CsvReader.h). Raises CsvError, a
// std::runtime_error, on anything that is not such a text.
std::vector<QStringList> parseCsv(const QString& text);

// Reads a whole UTF-8 CSV file (a byte-order mark is skipped) by the same rules.
std::vector<QStringList> readCsvFile(const QString& path);

} // namespace fl
