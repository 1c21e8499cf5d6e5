#include "SightingDates.h"

#include "WrittenDates.h"

#include <QLocale>
#include <QRegularExpression>

namespace fl {

namespace {

// A date in a short format with a two-digit year ("M/d/yy"), read with the year in 1930 to
// 2029. The year is widened in the text before it is read, so that days such as 2/29/00 (a
// leap day of 2000, not of 1900) are found. An invalid date when the text does not fit.
QDate twoDigitYearDate(const QString& text, const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    if (format.contains(QStringLiteral("yyyy")) || !format.contains(QStringLiteral("yy"))) return {};
    static const QRegularExpression fieldPattern(QStringLiteral("d+|M+|y+"));
    static const QRegularExpression digitsPattern(QStringLiteral("\\d+"));
    QStringList fields;
    for (auto it = fieldPattern.globalMatch(format); it.hasNext();) fields << it.next().captured();
    QList<QRegularExpressionMatch> groups;
    for (auto it = digitsPattern.globalMatch(text); it.hasNext();) groups << it.next();
    if (groups.size() != fields.size()) return {}; // month names, or not a date of this form
    for (int i = 0; i < fields.size(); ++i) {
        if (!fields[i].startsWith(u'y')) continue;
        if (groups[i].capturedLength() != 2) return {};
        const int yy = groups[i].captured().toInt();
        QString wide = text;
        wide.replace(groups[i].capturedStart(), 2, QString::number(yy < 30 ? 2000 + yy : 1900 + yy));
        QString wideFormat = format;
        wideFormat.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
        return locale.toDate(wide, wideFormat);
    }
    return {};
}

} // namespace

QString longDate(const QDate& date, const QLocale& locale) { return locale.toString(date, QLocale::LongFormat); }

QDate parseSightingDate(const QString& text, const QLocale& locale)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return {};
    for (QLocale::FormatType format : {QLocale::LongFormat, QLocale::ShortFormat}) {
        if (format == QLocale::ShortFormat) {
            const QDate d = twoDigitYearDate(t, locale);
            if (d.isValid()) return d;
        }
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
