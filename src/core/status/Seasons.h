#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <array>
#include <cstdint>

namespace fl::codes {

// The year of a checklist entry in weeks, as a seasonal bar chart draws it: 48 weeks, four
// to a month (days 1-7, 8-14, 15-21 and 22 to the month's end), each with the abundance that
// the entry's detail code gives for it.

inline constexpr int kWeeks = 48;

// How common a species is in a week, from absent to abundant. `Present` is a season given
// without an abundance letter: the species is there, how common is not said; it ranks
// between rare and uncommon.
enum class Abundance : std::uint8_t { None, VeryRare, Rare, Present, Uncommon, Common, Abundant };

using WeeklyAbundance = std::array<Abundance, kWeeks>;

// The week (0 to 47) of a date; -1 for an invalid date.
int weekOfDate(QDate date);
// The month (1 to 12) of a week.
inline int monthOfWeek(int week) { return week / 4 + 1; }

// The weeks of a detail code `scode` (trimmed first; up to three groups of abundance, season
// and qualifier letters). Each group covers the weeks of its season:
//   P, p (permanent), R (recorded in the region), V (vagrant), no season: all year;
//   S, s (summer): May to August;  W, w (winter): November to March;
//   T (transient): April and May, August to October.
// at the level of its abundance letter (C abundant, F common, U uncommon, R rare, X very
// rare; none given: Present). Where groups overlap, the more common level shows. A letter
// outside its position's table counts as "/", as in the detail window's phrases. A code that
// is blank, nine slashes, or not 3, 6 or 9 characters long gives no weeks; so does a group
// that gives neither an abundance nor a season.
WeeklyAbundance weeklyAbundance(const QString& scode);

// The weeks of a checklist entry: those of its detail code when it gives any, otherwise the
// whole year at the level its status letter gives (see commonness()): a rarity very rare, a
// breeder, visitor or transient present, anything else absent.
WeeklyAbundance weeklyAbundance(const QVariant& status, const QVariant& scode);

// The most common level over the weeks of `month` (1 to 12), or over the year for 0.
Abundance mostCommon(const WeeklyAbundance& weeks, int month = 0);

// How common a checklist entry is, for ordering targets: from its detail code when it has
// one (in `month`, or over the year for 0), otherwise from its status letter (R, a rarity:
// very rare; B, V, T: present; anything else: none). `seasonsKnown` tells which.
struct Commonness {
    Abundance level = Abundance::None;
    bool seasonsKnown = false;
};
Commonness commonness(const QVariant& status, const QVariant& scode, int month = 0);

// "Abundant", "Common", "Uncommon", "Rare", "Very rare", "Present"; empty for None.
QString abundanceWord(Abundance level);

// "Jan" to "Dec", whatever the language of the computer.
QString monthAbbreviation(int month);
// "January" to "December".
QString monthName(int month);

// The seasons of a code in words, one phrase per group, joined by ", ":
// "Common in summer (May-Aug, breeds), rare in winter (Nov-Mar)". Empty when the code gives
// no weeks.
QString seasonsText(const QString& scode);

// What a seasonal chart shows, as one text for screen readers: the seasons of the entry's
// detail code, or without one its status ("Breeder, no seasonal detail"; "No seasonal detail
// for this region" without a status, "No checklist region chosen" without a region), then the
// user's records drawn on it: "seen 3 times: Jun 2025, May 2024 (2)", the latest months
// first, at most twelve named. `sightings` are the dates of the species' records in the region.
QString chartText(const QVariant& status, const QVariant& scode, const QList<QDate>& sightings, bool region);

} // namespace fl::codes
