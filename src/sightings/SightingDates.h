#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace fl {

// Dates as the sighting window shows them: the system's long date format.
QString longDate(const QDate& date, const QLocale& locale = QLocale::system());
// A date typed by the user: the long or short format of the system's locale, or an ISO
// date (2024-05-17). An invalid date for anything else. A two-digit year means 1930 to 2029.
QDate parseSightingDate(const QString& text, const QLocale& locale = QLocale::system());

} // namespace fl
