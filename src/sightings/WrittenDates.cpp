#include "WrittenDates.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

namespace fl {

namespace {

// "dMy", "Mdy" or "yMd": the order of the fields in the locale's short date format.
QString numericOrder(const QLocale& locale)
{
    QString order;
    for (const QChar c : locale.dateFormat(QLocale::ShortFormat)) {
        const QChar field = c == u'd' ? u'd' : c == u'M' ? u'M' : c == u'y' ? u'y' : QChar();
        if (!field.isNull() && !order.contains(field)) order += field;
    }
    return order.size() == 3 ? order : QStringLiteral("Mdy");
}

QDate numericDate(const QString& text, const QLocale& locale)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,4})[/.\\- ]+(\\d{1,2})[/.\\- ]+(\\d{1,4})\\.?$"));
    const auto m = pattern.match(text);
    if (!m.hasMatch()) return {};
    const QString order = numericOrder(locale);
    int day = 0, month = 0, year = -1;
    for (int i = 0; i < 3; ++i) {
        const QString part = m.captured(i + 1);
        const int value = part.toInt();
        if (order[i] == u'd') day = value;
        else if (order[i] == u'M') month = value;
        else if (part.size() == 4) year = value; // the year is written out in full
    }
    return year < 0 ? QDate() : QDate(year, month, day);
}

QDate namedMonthDate(const QString& text, const QLocale& locale)
{
    static const QStringList forms = {QStringLiteral("MMMM d, yyyy"), QStringLiteral("MMM d, yyyy"),
                                      QStringLiteral("MMMM d yyyy"),  QStringLiteral("MMM d yyyy"),
                                      QStringLiteral("d MMMM yyyy"),  QStringLiteral("d MMM yyyy"),
                                      QStringLiteral("d. MMMM yyyy"), QStringLiteral("d MMMM, yyyy")};
    // Written with single blanks, and without a dot after a short month name ("Sept." too).
    QString t = text.simplified();
    t.replace(QRegularExpression(QStringLiteral("(\\p{L})\\.")), QStringLiteral("\\1"));
    t.replace(QRegularExpression(QStringLiteral("\\bSept\\b"), QRegularExpression::CaseInsensitiveOption),
              QStringLiteral("Sep"));
    for (const QLocale& l : {locale, QLocale(QLocale::English, QLocale::UnitedStates)}) {
        for (const QString& form : forms) {
            const QDate d = l.toDate(t, form);
            if (d.isValid()) return d;
        }
    }
    return {};
}

} // namespace

QDate parseWrittenDate(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return {};
    const QLocale locale = QLocale::system();
    const QDate d = numericDate(t, locale);
    return d.isValid() ? d : namedMonthDate(t, locale);
}

} // namespace fl
