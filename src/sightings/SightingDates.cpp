#include "SightingDates.h"

#include "WrittenDates.h"

#include <QLocale>

namespace fl {

QString longDate(const QDate& date) { return QLocale::system().toString(date, QLocale::LongFormat); }

QDate parseSightingDate(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return {};
    const QLocale locale = QLocale::system();
    for (QLocale::FormatType format : {QLocale::LongFormat, QLocale::ShortFormat}) {
        QDate d = locale.toDate(t, format);
        // Two-digit years of the short format mean this century or the last, not the 1900s only.
        if (d.isValid() && format == QLocale::ShortFormat && d.year() < 1930 && !t.contains(QString::number(d.year())))
            d = d.addYears(100);
        if (d.isValid()) return d;
    }
    const QDate iso = QDate::fromString(t, Qt::ISODate);
    return iso.isValid() ? iso : parseWrittenDate(t);
}

} // namespace fl
