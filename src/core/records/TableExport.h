#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace fl {

// Writes a table (a header line, then one line per row) to `path` as UTF-8 CSV, each field
// quoted where it has to be and a text that a spreadsheet would run as a formula neutralised
// (see neutralised()). The file is written beside its name and put in place only when it is
// complete; the open database `database`, its companions and the Backups folder are refused
// (see refusedTarget()). Raises std::runtime_error with a plain message on failure, and then
// no file has been written or changed.
void exportTable(const QString& path, const QString& database, const QStringList& header,
                 const std::vector<QStringList>& rows);

} // namespace fl
