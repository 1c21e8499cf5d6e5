#include "status/Seasons.h"

#include "status/StatusCodes.h"

#include <QMap>
#include <QStringList>
#include <algorithm>

namespace fl::codes {

namespace {

// A season: the months it covers (first to last, across the new year when last < first,
// two spans at most), and how the text names it.
struct Season {
    QChar letter;        // the seasonal letter; null for a group without one
    int spans[2][2];     // {first month, last month}; {0, 0} for no second span
    const char* phrase;  // "in summer"
    const char* details; // inside the brackets, before the qualifier: "May-Aug, breeds"
};

const Season kSeasons[] = {
    {u'P', {{1, 12}, {0, 0}}, "all year", "breeds"},
    {u'p', {{1, 12}, {0, 0}}, "all year", "does not breed"},
    {u'S', {{5, 8}, {0, 0}}, "in summer", "May-Aug, breeds"},
    {u's', {{5, 8}, {0, 0}}, "in summer", "May-Aug, does not breed"},
    {u'W', {{11, 3}, {0, 0}}, "in winter", "Nov-Mar"},
    {u'w', {{11, 3}, {0, 0}}, "in winter", "Nov-Mar"},
    {u'T', {{4, 5}, {8, 10}}, "on migration", "Apr-May, Aug-Oct"},
    {u'V', {{1, 12}, {0, 0}}, "as a vagrant", "any time of year"},
    {u'R', {{1, 12}, {0, 0}}, "recorded in the region", "any time of year"},
    {QChar(), {{1, 12}, {0, 0}}, "", "season not given"},
};

struct Level {
    QChar letter;
    Abundance level;
};
const Level kLevels[] = {
    {u'C', Abundance::Abundant}, {u'F', Abundance::Common}, {u'U', Abundance::Uncommon},
    {u'R', Abundance::Rare},     {u'X', Abundance::VeryRare},
};

const Season* seasonOf(QChar c)
{
    for (const Season& s : kSeasons)
        if (!s.letter.isNull() && s.letter == c) return &s;
    return nullptr;
}

const Season& noSeason() { return kSeasons[std::size(kSeasons) - 1]; }

Abundance levelOf(QChar c)
{
    for (const Level& l : kLevels)
        if (l.letter == c) return l.level;
    return Abundance::None;
}

// One group of a code, read: nothing when it gives neither an abundance nor a season.
struct Group {
    Abundance level = Abundance::None;
    const Season* season = nullptr;
    QString qualifier; // "limited range", "irregular"
};

QList<Group> groupsOf(const QString& scode)
{
    QList<Group> groups;
    const QString code = scode.trimmed();
    if (code.size() != 3 && code.size() != 6 && code.size() != 9) return groups;
    for (qsizetype at = 0; at < code.size(); at += 3) {
        Group g;
        g.level = levelOf(code[at]);
        g.season = seasonOf(code[at + 1]);
        if (g.level == Abundance::None && !g.season) continue; // "///", or letters out of place
        if (g.level == Abundance::None) g.level = Abundance::Present;
        if (!g.season) g.season = &noSeason();
        if (code[at + 2] == u'L') g.qualifier = QStringLiteral("limited range");
        else if (code[at + 2] == u'I') g.qualifier = QStringLiteral("irregular");
        groups << g;
    }
    return groups;
}

bool inSpan(int month, const int (&span)[2])
{
    if (span[0] == 0) return false;
    return span[0] <= span[1] ? month >= span[0] && month <= span[1] : month >= span[0] || month <= span[1];
}

} // namespace

int weekOfDate(QDate date)
{
    if (!date.isValid()) return -1;
    return (date.month() - 1) * 4 + std::min(3, (date.day() - 1) / 7);
}

namespace {
WeeklyAbundance weeksOf(const QList<Group>& groups)
{
    WeeklyAbundance weeks;
    weeks.fill(Abundance::None);
    for (const Group& g : groups)
        for (int week = 0; week < kWeeks; ++week) {
            const int month = monthOfWeek(week);
            if (inSpan(month, g.season->spans[0]) || inSpan(month, g.season->spans[1]))
                weeks[size_t(week)] = std::max(weeks[size_t(week)], g.level);
        }
    return weeks;
}

} // namespace

WeeklyAbundance weeklyAbundance(const QString& scode) { return weeksOf(groupsOf(scode)); }

WeeklyAbundance weeklyAbundance(const QVariant& status, const QVariant& scode)
{
    const QList<Group> groups = groupsOf(scode.isNull() ? QString() : scode.toString());
    if (!groups.isEmpty()) return weeksOf(groups);
    WeeklyAbundance weeks;
    weeks.fill(commonness(status, QVariant()).level);
    return weeks;
}

Abundance mostCommon(const WeeklyAbundance& weeks, int month)
{
    const int from = month >= 1 && month <= 12 ? (month - 1) * 4 : 0;
    const int to = month >= 1 && month <= 12 ? from + 4 : kWeeks;
    Abundance most = Abundance::None;
    for (int w = from; w < to; ++w) most = std::max(most, weeks[size_t(w)]);
    return most;
}

Commonness commonness(const QVariant& status, const QVariant& scode, int month)
{
    const QString code = scode.isNull() ? QString() : scode.toString();
    if (!groupsOf(code).isEmpty()) return {mostCommon(weeklyAbundance(code), month), true};
    const QString s = status.isNull() ? QString() : status.toString();
    if (s == u"R") return {Abundance::VeryRare, false};
    if (s == u"B" || s == u"V" || s == u"T") return {Abundance::Present, false};
    return {Abundance::None, false};
}

QString abundanceWord(Abundance level)
{
    switch (level) {
    case Abundance::None: return {};
    case Abundance::VeryRare: return QStringLiteral("Very rare");
    case Abundance::Rare: return QStringLiteral("Rare");
    case Abundance::Present: return QStringLiteral("Present");
    case Abundance::Uncommon: return QStringLiteral("Uncommon");
    case Abundance::Common: return QStringLiteral("Common");
    case Abundance::Abundant: return QStringLiteral("Abundant");
    }
    return {};
}

QString monthAbbreviation(int month)
{
    static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return month >= 1 && month <= 12 ? QString::fromLatin1(names[month - 1]) : QString();
}

QString monthName(int month)
{
    static const char* const names[] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
    return month >= 1 && month <= 12 ? QString::fromLatin1(names[month - 1]) : QString();
}

QString seasonsText(const QString& scode)
{
    QStringList phrases;
    for (const Group& g : groupsOf(scode)) {
        QString phrase = abundanceWord(g.level);
        if (!phrases.isEmpty()) phrase = phrase.toLower();
        if (*g.season->phrase) phrase += u' ' + QString::fromLatin1(g.season->phrase);
        QStringList details{QString::fromLatin1(g.season->details)};
        if (!g.qualifier.isEmpty()) details << g.qualifier;
        phrase += QStringLiteral(" (") + details.join(QStringLiteral(", ")) + u')';
        phrases << phrase;
    }
    return phrases.join(QStringLiteral(", "));
}

QString chartText(const QVariant& status, const QVariant& scode, const QList<QDate>& sightings, bool region)
{
    QString seasons = region ? seasonsText(scode.isNull() ? QString() : scode.toString()) : QString();
    if (seasons.isEmpty()) {
        const QString s = status.isNull() ? QString() : status.toString();
        if (!region) seasons = QStringLiteral("No checklist region chosen");
        else if (s == u"B" || s == u"V" || s == u"T" || s == u"R" || s == u"E")
            seasons = statusWord(s) + QStringLiteral(", no seasonal detail");
        else seasons = QStringLiteral("No seasonal detail for this region");
    }
    // Records by month, the latest first.
    QMap<int, int> months; // year * 12 + month - 1
    int count = 0;
    for (const QDate& d : sightings) {
        if (!d.isValid()) continue;
        ++months[d.year() * 12 + d.month() - 1];
        ++count;
    }
    QString seen;
    if (count == 0) {
        seen = region ? QStringLiteral("not yet seen in this region") : QStringLiteral("not yet seen");
    } else {
        QStringList named;
        for (auto it = months.constEnd(); it != months.constBegin() && named.size() < 12;) {
            --it;
            QString m = monthAbbreviation(it.key() % 12 + 1) + u' ' + QString::number(it.key() / 12);
            if (it.value() > 1) m += QStringLiteral(" (%1)").arg(it.value());
            named << m;
        }
        seen = (count == 1 ? QStringLiteral("seen once: ") : QStringLiteral("seen %1 times: ").arg(count))
               + named.join(QStringLiteral(", "));
        if (const qsizetype more = months.size() - named.size(); more > 0)
            seen += more == 1 ? QStringLiteral(" and in 1 more month") : QStringLiteral(" and in %1 more months").arg(more);
    }
    return seasons + QStringLiteral("; ") + seen + u'.';
}

} // namespace fl::codes
