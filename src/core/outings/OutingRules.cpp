#include "outings/OutingRules.h"

#include "records/EbirdExport.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace fl {

namespace {

bool allDigits(QStringView s)
{
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9') return false;
    return true;
}

} // namespace

CountEntry parseCount(const QString& text)
{
    CountEntry e;
    const QString t = text.trimmed();
    if (t.isEmpty()) return e;
    if (t.compare(u"x", Qt::CaseInsensitive) == 0) {
        e.kind = CountEntry::Present;
        return e;
    }
    e.kind = CountEntry::Bad;
    const bool negative = t.startsWith(u'-') && allDigits(QStringView(t).mid(1));
    if (negative) {
        e.problem = QStringLiteral("A count cannot be negative.");
    } else if (!allDigits(t)) {
        e.problem = QStringLiteral("A count is a whole number of birds, or X for birds present but not counted.");
    } else {
        QStringView digits(t);
        while (digits.size() > 1 && digits.front() == u'0') digits = digits.mid(1);
        const qint64 n = digits.size() > 12 ? kMaxCount + 1 : digits.toLongLong();
        if (n == 0) {
            e.problem = QStringLiteral("A count is at least 1; leave it empty for a species not seen.");
        } else if (n > kMaxCount) {
            e.problem = QStringLiteral("A count is at most 1,000,000,000.");
        } else {
            e.kind = CountEntry::Number;
            e.number = n;
        }
    }
    return e;
}

QString countText(const std::optional<qint64>& count)
{
    return count ? QString::number(*count) : QStringLiteral("X");
}

const QStringList& outingProtocols()
{
    static const QStringList protocols = {
        QStringLiteral("Traveling"),  QStringLiteral("Stationary"), QStringLiteral("Incidental"),
        QStringLiteral("Historical"), QStringLiteral("Area"),       QStringLiteral("Banding"),
        QStringLiteral("Nocturnal Flight Call Count"), QStringLiteral("eBird Pelagic Protocol"),
        QStringLiteral("Random")};
    return protocols;
}

bool protocolHasDistance(const QString& protocol)
{
    static const QSet<QString> without = {QStringLiteral("stationary"), QStringLiteral("incidental"),
                                          QStringLiteral("area"), QStringLiteral("nocturnal flight call count"),
                                          QStringLiteral("banding")};
    return !without.contains(protocol.trimmed().toLower());
}

bool protocolHasArea(const QString& protocol)
{
    const QString p = protocol.trimmed().toLower();
    return p == u"area" || p == u"historical";
}

QTime parseStartTime(const QString& text, bool& ok)
{
    ok = true;
    const QString t = text.trimmed().toLower();
    if (t.isEmpty()) return {};
    // The separator may be left out: "0730" and "730" are 7:30.
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2})(?:[:.h]?(\\d{2}))?\\s*(am|pm|a\\.m\\.|p\\.m\\.)?$"));
    if (const auto m = form.match(t); m.hasMatch()) {
        int hour = m.captured(1).toInt();
        const int minute = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
        const QString half = m.captured(3);
        if (!half.isEmpty()) {
            if (hour < 1 || hour > 12) hour = -1;
            else if (half.startsWith(u'p')) hour = hour % 12 + 12;
            else hour = hour % 12;
        }
        const QTime time(hour, minute);
        if (time.isValid()) return time;
    }
    ok = false;
    return {};
}

std::optional<int> parseDuration(const QString& text, bool& ok)
{
    ok = true;
    const QString t = text.trimmed().toLower();
    if (t.isEmpty()) return std::nullopt;
    if (allDigits(t) && t.size() <= 6) return t.toInt();
    static const QRegularExpression clock(QStringLiteral("^(\\d{1,3}):(\\d{2})$"));
    if (const auto m = clock.match(t); m.hasMatch() && m.captured(2).toInt() < 60)
        return m.captured(1).toInt() * 60 + m.captured(2).toInt();
    static const QRegularExpression words(
        QStringLiteral("^(?:(\\d{1,3})\\s*(?:h|hr|hrs|hours?))?\\s*(?:(\\d{1,4})\\s*(?:m|min|mins|minutes?)?)?$"));
    if (const auto m = words.match(t); m.hasMatch() && (!m.captured(1).isEmpty() || !m.captured(2).isEmpty())) {
        // "1h30": a bare number after the hours is minutes.
        const int hours = m.captured(1).toInt();
        const int minutes = m.captured(2).toInt();
        if (m.captured(1).isEmpty() || minutes < 60) return hours * 60 + minutes;
    }
    ok = false;
    return std::nullopt;
}

std::optional<double> parseDecimal(const QString& text, bool& ok)
{
    ok = true;
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    double v = QLocale::system().toDouble(t, &ok);
    if (!ok) v = QLocale::c().toDouble(t, &ok);
    if (!ok) {
        QString swapped = t;
        swapped.replace(u',', u'.');
        v = QLocale::c().toDouble(swapped, &ok);
    }
    if (!ok || !std::isfinite(v)) {
        ok = false;
        return std::nullopt;
    }
    return v;
}

std::optional<int> parseWholeNumber(const QString& text, bool& ok)
{
    ok = true;
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    if (allDigits(t) && t.size() <= 9) return t.toInt();
    ok = false;
    return std::nullopt;
}

QString durationText(const std::optional<int>& minutes)
{
    if (!minutes) return {};
    if (*minutes < 60) return QString::number(*minutes);
    return QStringLiteral("%1:%2").arg(*minutes / 60).arg(*minutes % 60, 2, 10, QChar(u'0'));
}

QString decimalText(const std::optional<double>& value)
{
    return value ? QLocale::system().toString(*value, 'g', 8) : QString();
}

QString outingProblem(const Outing& o)
{
    if (!o.date.isValid() || o.date.year() < 1900 || o.date > QDate::currentDate())
        return QStringLiteral("The date is missing or not in a proper format.");
    if (o.duration && (*o.duration < 1 || *o.duration > 1440))
        return QStringLiteral("The duration is from 1 minute to 24 hours.");
    if (o.distance && !(*o.distance >= 0 && *o.distance <= 10000))
        return QStringLiteral("The distance is from 0 to 10,000 km.");
    if (o.area && !(*o.area > 0 && *o.area <= 1000000))
        return QStringLiteral("The area is more than 0 and at most 1,000,000 ha.");
    if (o.observers && (*o.observers < 1 || *o.observers > 1000))
        return QStringLiteral("The number of observers is from 1 to 1,000.");
    if (o.protocol.trimmed().isEmpty() || o.protocol.size() > 100) return QStringLiteral("The outing has no protocol.");
    if (o.latitude.has_value() != o.longitude.has_value())
        return QStringLiteral("The outing has a latitude without a longitude, or the other way round.");
    if (o.latitude && !(std::abs(*o.latitude) <= 90 && std::abs(*o.longitude) <= 180))
        return QStringLiteral("The coordinates are out of range.");
    if (o.entries.empty()) return QStringLiteral("No species has a count or X.");
    QSet<int> species;
    for (const OutingEntry& e : o.entries) {
        if (e.birdId <= 0) return QStringLiteral("A species of the outing is not in the list.");
        if (species.contains(e.birdId)) return QStringLiteral("A species is entered twice.");
        species.insert(e.birdId);
        if (e.count && (*e.count < 1 || *e.count > kMaxCount)) return parseCount(QString::number(*e.count)).problem;
    }
    return {};
}

} // namespace fl
