#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace fl {

// Reads RFC 4180 CSV text: comma-separated, fields in double quotes may hold commas,
// line breaks and doubled quotes. Returns the rows; a trailing empty line is ignored.
// Raises std::runtime_error on an unterminated quoted field.
std::vector<QStringList> parseCsv(const QString& text);

// Reads a UTF-8 CSV file (a byte-order mark is skipped).
std::vector<QStringList> readCsvFile(const QString& path);

} // namespace fl
