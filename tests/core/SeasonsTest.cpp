#include "status/Seasons.h"

#include <gtest/gtest.h>

using namespace fl::codes;

namespace {

// The weeks as text, a digit per week (0 none, 1 very rare, 2 rare, 3 present, 4 uncommon,
// 5 common, 6 abundant), a blank between months: "0000 0000 ...".
std::string weeksText(const WeeklyAbundance& weeks)
{
    std::string t;
    for (int w = 0; w < kWeeks; ++w) {
        if (w && w % 4 == 0) t += ' ';
        t += char('0' + int(weeks[size_t(w)]));
    }
    return t;
}

// Twelve months, each given as one level for its four weeks.
std::string months(const char (&levels)[13])
{
    std::string t;
    for (int m = 0; m < 12; ++m) {
        if (m) t += ' ';
        t += std::string(4, levels[m]);
    }
    return t;
}

struct SeasonCase {
    const char* code;
    const char* months; // a level per month, January first
    const char* text;
};

void PrintTo(const SeasonCase& c, std::ostream* os) { *os << '"' << c.code << '"'; }

class SeasonWeeks : public testing::TestWithParam<SeasonCase> {};

const SeasonCase kSeasonCases[] = {
    // Each season on its own.
    {"CP/", "666666666666", "Abundant all year (breeds)"},
    {"Fp/", "555555555555", "Common all year (does not breed)"},
    {"FS/", "000055550000", "Common in summer (May-Aug, breeds)"},
    {"Us/", "000044440000", "Uncommon in summer (May-Aug, does not breed)"},
    {"UW/", "444000000044", "Uncommon in winter (Nov-Mar)"},
    {"Rw/", "222000000022", "Rare in winter (Nov-Mar)"},
    {"RT/", "000220022200", "Rare on migration (Apr-May, Aug-Oct)"},
    {"XV/", "111111111111", "Very rare as a vagrant (any time of year)"},
    {"RR/", "222222222222", "Rare recorded in the region (any time of year)"},
    // An abundance without a season, a season without an abundance.
    {"F//", "555555555555", "Common (season not given)"},
    {"/S/", "000033330000", "Present in summer (May-Aug, breeds)"},
    {"cS/", "000033330000", "Present in summer (May-Aug, breeds)"},
    {"FZ/", "555555555555", "Common (season not given)"},
    // Qualifiers change the words only.
    {"USL", "000044440000", "Uncommon in summer (May-Aug, breeds, limited range)"},
    {"RWI", "222000000022", "Rare in winter (Nov-Mar, irregular)"},
    // Several groups: where they overlap the more common shows.
    {"FS/RW/", "222055550022", "Common in summer (May-Aug, breeds), rare in winter (Nov-Mar)"},
    {"FS/UW/CT/", "444665566644",
     "Common in summer (May-Aug, breeds), uncommon in winter (Nov-Mar), abundant on migration (Apr-May, Aug-Oct)"},
    {"XV/FS////", "111155551111", "Very rare as a vagrant (any time of year), common in summer (May-Aug, breeds)"},
    {" FW/ ", "555000000055", "Common in winter (Nov-Mar)"},
    // Codes that give nothing.
    {"", "000000000000", ""},
    {"   ", "000000000000", ""},
    {"/////////", "000000000000", ""},
    {"///", "000000000000", ""},
    {"FS", "000000000000", ""},
    {"FS/U", "000000000000", ""},
    {"FS/UW/F", "000000000000", ""},
    {"zz/", "000000000000", ""},
};

} // namespace

TEST_P(SeasonWeeks, WeeksAndWordsOfTheCode)
{
    const SeasonCase& c = GetParam();
    EXPECT_EQ(weeksText(weeklyAbundance(QString::fromLatin1(c.code))), months(*reinterpret_cast<const char(*)[13]>(c.months)));
    EXPECT_EQ(seasonsText(QString::fromLatin1(c.code)).toStdString(), c.text);
}

INSTANTIATE_TEST_SUITE_P(Codes, SeasonWeeks, testing::ValuesIn(kSeasonCases));

TEST(Seasons, WeeksOfDates)
{
    struct {
        QDate date;
        int week;
    } cases[] = {
        {QDate(2024, 1, 1), 0},   {QDate(2024, 1, 7), 0},   {QDate(2024, 1, 8), 1},  {QDate(2024, 1, 21), 2},
        {QDate(2024, 1, 22), 3},  {QDate(2024, 1, 31), 3},  {QDate(2024, 2, 29), 7}, {QDate(2023, 2, 28), 7},
        {QDate(2024, 5, 15), 18}, {QDate(2024, 12, 31), 47}, {QDate(), -1},
    };
    for (const auto& c : cases) EXPECT_EQ(weekOfDate(c.date), c.week) << qPrintable(c.date.toString(Qt::ISODate));
    for (int w = 0; w < kWeeks; ++w) EXPECT_EQ(monthOfWeek(w), weekOfDate(QDate(2025, w / 4 + 1, 1 + 7 * (w % 4))) / 4 + 1);
}

TEST(Seasons, CommonnessByMonthAndByStatus)
{
    struct {
        const char* status;
        const char* scode;
        int month;
        Abundance level;
        bool known;
    } cases[] = {
        {"B", "FS/RW/", 0, Abundance::Common, true},
        {"B", "FS/RW/", 6, Abundance::Common, true},
        {"B", "FS/RW/", 1, Abundance::Rare, true},
        {"B", "FS/", 1, Abundance::None, true},       // known to be absent
        {"B", "FS/", 4, Abundance::None, true},       // summer starts in May
        {"T", "UT/", 9, Abundance::Uncommon, true},
        {"R", "", 0, Abundance::VeryRare, false},      // no detail: from the status letter
        {"R", "/////////", 7, Abundance::VeryRare, false},
        {"B", "  ", 1, Abundance::Present, false},
        {"V", nullptr, 0, Abundance::Present, false},
        {"T", "FS", 0, Abundance::Present, false},     // a code of a bad length gives no detail
        {"E", "", 0, Abundance::None, false},
        {"N", "", 0, Abundance::None, false},
        {nullptr, nullptr, 0, Abundance::None, false},
        {"b", "", 0, Abundance::None, false},          // letters are exact
    };
    for (const auto& c : cases) {
        const QVariant status = c.status ? QVariant(QString::fromLatin1(c.status)) : QVariant();
        const QVariant scode = c.scode ? QVariant(QString::fromLatin1(c.scode)) : QVariant();
        const Commonness got = commonness(status, scode, c.month);
        EXPECT_EQ(got.level, c.level) << (c.status ? c.status : "null") << " " << (c.scode ? c.scode : "null") << " "
                                      << c.month;
        EXPECT_EQ(got.seasonsKnown, c.known) << (c.scode ? c.scode : "null");
    }
    EXPECT_GT(Abundance::Uncommon, Abundance::Present) << "a season without abundance ranks below uncommon";
    EXPECT_GT(Abundance::Present, Abundance::Rare) << "and above rare";
}

// A checklist entry without a detail code: the whole year at its status's level.
class StatusWeeks : public testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(StatusWeeks, WholeYearAtTheStatusLevel)
{
    const auto [status, months] = GetParam();
    const QVariant st = status ? QVariant(QString::fromLatin1(status)) : QVariant();
    for (const QVariant& blank : {QVariant(), QVariant(QString()), QVariant(QStringLiteral("/////////")), QVariant(QStringLiteral("FS"))})
        EXPECT_EQ(weeksText(weeklyAbundance(st, blank)), ::months(*reinterpret_cast<const char(*)[13]>(months)))
            << (status ? status : "null") << " " << qPrintable(blank.toString());
    // A detail code wins over the status.
    EXPECT_EQ(weeksText(weeklyAbundance(st, QStringLiteral("FS/"))), ::months("000055550000"));
}

INSTANTIATE_TEST_SUITE_P(Letters, StatusWeeks,
                         testing::Values(std::pair{"B", "333333333333"}, std::pair{"V", "333333333333"},
                                         std::pair{"T", "333333333333"}, std::pair{"R", "111111111111"},
                                         std::pair{"E", "000000000000"}, std::pair{"N", "000000000000"},
                                         std::pair{"Z", "000000000000"}, std::pair{"b", "000000000000"},
                                         std::pair<const char*, const char*>{nullptr, "000000000000"}));

TEST(Seasons, ChartTextSaysWhatTheChartShows)
{
    const QVariant breeder(QStringLiteral("B"));
    const QList<QDate> seen = {QDate(2024, 5, 3), QDate(2024, 5, 20), QDate(2025, 6, 1)};
    EXPECT_EQ(chartText(breeder, "FS/RW/", seen, true),
              "Common in summer (May-Aug, breeds), rare in winter (Nov-Mar); seen 3 times: Jun 2025, May 2024 (2).");
    EXPECT_EQ(chartText(breeder, "FS/", {QDate(2020, 7, 4)}, true), "Common in summer (May-Aug, breeds); seen once: Jul 2020.");
    EXPECT_EQ(chartText(breeder, "FS/", {}, true), "Common in summer (May-Aug, breeds); not yet seen in this region.");
    EXPECT_EQ(chartText(breeder, "", {}, true), "Breeder, no seasonal detail; not yet seen in this region.");
    EXPECT_EQ(chartText(QStringLiteral("R"), QVariant(), {}, true), "Rarity, no seasonal detail; not yet seen in this region.");
    EXPECT_EQ(chartText(QStringLiteral("N"), "", {}, true), "No seasonal detail for this region; not yet seen in this region.");
    EXPECT_EQ(chartText(QVariant(), QVariant(), {}, true), "No seasonal detail for this region; not yet seen in this region.");
    EXPECT_EQ(chartText(QVariant(), QVariant(), {QDate(2019, 1, 1)}, false), "No checklist region chosen; seen once: Jan 2019.");
    QList<QDate> many;
    for (int m = 0; m < 15; ++m) many << QDate(2010 + m / 12, m % 12 + 1, 1);
    const QString text = chartText(breeder, "CP/", many, true);
    EXPECT_TRUE(text.startsWith("Abundant all year (breeds); seen 15 times: Mar 2011, Feb 2011, Jan 2011, Dec 2010"))
        << qPrintable(text);
    EXPECT_TRUE(text.endsWith("Apr 2010 and in 3 more months.")) << qPrintable(text);
}
