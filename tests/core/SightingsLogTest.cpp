#include "EbirdFiles.h"
#include "records/SightingsLog.h"

#include <gtest/gtest.h>

using namespace fl;
using namespace fl::test;

namespace {

// The log of sightings over three years; Ontario (state 2) and elsewhere.
SightingsLog threeYears()
{
    TestFolder f;
    f.exec("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, Region, country, state, district, site, notes) VALUES "
           "(1, 1, '2022-03-01', '', 0, 3, 2, 0, 'Toronto harbour', 'first mallard'),"
           "(2, 4, '2022-04-10', '', 0, 0, 0, 0, 'Back yard', ''),"
           "(3, 1, '2023-05-05', '', 0, 3, 2, 4, 'Point Pelee tip', ''),"
           "(4, 7, '2023-05-05', '', 0, 3, 2, 4, 'Point Pelee tip', 'singing'),"
           "(5, 4, '2023-06-01', '', 0, 3, 2, 0, 'Toronto harbour', ''),"
           "(6, 8, '2024-01-02', '', 1, 0, 0, 0, 'Woods', ''),"
           "(7, 7, '2023-05-05', '', 0, 0, 0, 0, 'Elsewhere', '')");
    OpenState s(f.path());
    SightingsLog log;
    log.load(s.db());
    return log;
}

QList<int> ids(const SightingsLog& log, const std::vector<int>& rows)
{
    QList<int> out;
    for (int r : rows) out << log.entries()[size_t(r)].sightId;
    return out;
}

} // namespace

TEST(SightingsLog, NewestFirstWithNamesOfSpeciesAndPlaces)
{
    const SightingsLog log = threeYears();
    ASSERT_EQ(log.entries().size(), 7u);
    const auto all = log.select({});
    EXPECT_EQ(ids(log, all), (QList<int>{6, 5, 7, 4, 3, 2, 1})) << "by date, then the later entry first";
    const auto& e = log.entries()[size_t(all[4])];
    EXPECT_EQ(log.text(e, SightingsLog::Date), "2023-05-05");
    EXPECT_EQ(log.text(e, SightingsLog::Species), "Mallard");
    EXPECT_EQ(log.text(e, SightingsLog::Site), "Point Pelee tip");
    EXPECT_EQ(log.text(e, SightingsLog::Region), "");
    EXPECT_EQ(log.text(e, SightingsLog::Country), "Canada");
    EXPECT_EQ(log.text(e, SightingsLog::State), "Ontario");
    EXPECT_EQ(log.text(e, SightingsLog::District), "Point Pelee");
    EXPECT_EQ(log.years(), (QList<int>{2024, 2023, 2022}));
}

TEST(SightingsLog, FiltersByTextYearAndRegion)
{
    const SightingsLog log = threeYears();
    SightingsLog::Filter by;
    by.text = "MALL";
    EXPECT_EQ(ids(log, log.select(by)), (QList<int>{3, 1})) << "part of the species name, any case";
    by.text = "pelee";
    EXPECT_EQ(ids(log, log.select(by)), (QList<int>{4, 3})) << "part of the site";
    by.text = "  ";
    EXPECT_EQ(log.select(by).size(), 7u);
    by.text.clear();
    by.year = 2023;
    EXPECT_EQ(ids(log, log.select(by)), (QList<int>{5, 7, 4, 3}));
    by.regId = kOntario;
    EXPECT_EQ(ids(log, log.select(by)), (QList<int>{5, 4, 3}));
}

TEST(SightingsLog, YearCountsGiveTheYearListAndItsLifers)
{
    const SightingsLog log = threeYears();
    SightingsLog::Filter by;
    by.year = 2023;
    auto c = log.counts(log.select(by), by);
    EXPECT_EQ(c.sightings, 4);
    EXPECT_EQ(c.species, 3) << "Mallard, Yellow Warbler, American Robin";
    EXPECT_EQ(c.lifers, 1) << "only Yellow Warbler was first seen in 2023";
    // In Ontario, the robin was first seen in 2023.
    by.regId = kOntario;
    c = log.counts(log.select(by), by);
    EXPECT_EQ(c.sightings, 3);
    EXPECT_EQ(c.species, 3);
    EXPECT_EQ(c.lifers, 2);
    // A text filter narrows what is counted, not when a species was first seen.
    by.text = "mallard";
    c = log.counts(log.select(by), by);
    EXPECT_EQ(c.species, 1);
    EXPECT_EQ(c.lifers, 0);
    SightingsLog::Filter all;
    c = log.counts(log.select(all), all);
    EXPECT_EQ(c.sightings, 7);
    EXPECT_EQ(c.species, 4);
    EXPECT_EQ(c.lifers, 4);
}

TEST(SightingsLog, SortsByAnyColumn)
{
    const SightingsLog log = threeYears();
    auto rows = log.select({});
    log.sort(rows, SightingsLog::Species, true);
    QStringList names;
    for (int r : rows) names << log.text(log.entries()[size_t(r)], SightingsLog::Species);
    EXPECT_EQ(names, (QStringList{"American Robin", "American Robin", "Mallard", "Mallard", "Ovenbird",
                                  "Yellow Warbler", "Yellow Warbler"}));
    EXPECT_EQ(log.entries()[size_t(rows[0])].sightId, 5) << "ties newest first";
    log.sort(rows, SightingsLog::Date, true);
    EXPECT_EQ(log.entries()[size_t(rows[0])].sightId, 1);
    log.sort(rows, SightingsLog::Site, false);
    EXPECT_EQ(log.text(log.entries()[size_t(rows[0])], SightingsLog::Site), "Woods");
    log.sort(rows, SightingsLog::District, false);
    EXPECT_EQ(log.text(log.entries()[size_t(rows[0])], SightingsLog::District), "Point Pelee");
}
