#pragma once

#include <QDate>
#include <QString>

namespace fl {

// Dates as the sighting window shows them: the system's long date format.
QString longDate(const QDate& date);
// A date typed by the user: the long or short format of the system's locale, or an ISO
// date (2024-05-17). An invalid date for anything else.
QDate parseSightingDate(const QString& text);

} // namespace fl
