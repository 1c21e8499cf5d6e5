#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace fl::test {

// The rows of a CSV data file without its header row, which goes to `header` when given.
std::vector<QStringList> csvRows(const QString& path, QStringList* header = nullptr);
void writeCsv(const QString& path, const QStringList& header, const std::vector<QStringList>& rows);

// A database as the earlier sample data built it, the file a user of the version before
// region and species codes has: the names before the 2025 taxonomy, no codes, no forms, no
// Western Warbling Vireo, schema version 2. `scratch` takes the CSV files it is loaded from.
void buildEarlierSample(const QString& path, const QString& scratch);

} // namespace fl::test
