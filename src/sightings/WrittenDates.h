#pragma once

#include <QDate>
#include <QString>

namespace fl {

// A date in one of the common written forms ("May 14, 2025", "14 May 2025", with full or
// short month names of the system's language or of English), or a numeric date in the
// day, month and year order of the system's locale ("5/14/2025" in the United States,
// "14.5.2025" in Germany) with any of the separators / . - and blank. Invalid otherwise.
QDate parseWrittenDate(const QString& text);

} // namespace fl
