// The seasonal chart on the bird page.

#include "Harness.h"
#include "browser/SeasonChart.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

// North America (the current region) lists every species as common in summer; the Mallard
// was recorded there twice, and once in Canada only (which is not in North America's column).
std::unique_ptr<Harness> withRecords()
{
    return std::make_unique<Harness>([](test::TestFolder& f) {
        f.exec("INSERT INTO Sightings (Bird_ID, Date, Region, site) VALUES (1, '2024-05-03', 1, 'Pond'), "
               "(1, '2023-06-20', 1, 'Pond')");
        f.exec("INSERT INTO Sightings (Bird_ID, Date, country) VALUES (1, '2022-12-31', 3)");
        f.exec("UPDATE Checklists SET scode = 'CP/' WHERE Reg_ID = 1 AND Bird_ID = 2");
        f.exec("UPDATE Checklists SET scode = '', Status = 'R' WHERE Reg_ID = 1 AND Bird_ID = 3");
    });
}

// How many pixels of `colour` the column at x has, between rows `from` and `to`.
int pixelsOf(const QImage& image, int x, int from, int to, QRgb colour)
{
    int n = 0;
    for (int y = from; y < to; ++y) n += image.pixel(x, y) == colour;
    return n;
}

} // namespace

TEST(SeasonChart, ShowsTheSpeciesYearAndTheUsersRecordsThere)
{
    auto h = withRecords();
    ASSERT_TRUE(h->w->selectSpeciesByName("Mallard"));
    SeasonChart* chart = h->page().seasons();
    EXPECT_EQ(chart->weeks(), codes::weeklyAbundance(QStringLiteral("FS/")));
    EXPECT_EQ(chart->markedWeeks(), (QList<int>{16, 22})) << "3 May and 20 June";
    EXPECT_EQ(chart->accessibleName(), "Seasonal chart");
    EXPECT_EQ(chart->text(), "Common in summer (May-Aug, breeds); seen 2 times: May 2024, Jun 2023.");
    EXPECT_EQ(chart->toolTip(), chart->text());

    ASSERT_TRUE(h->w->selectSpeciesByName("Canada Goose"));
    EXPECT_EQ(chart->text(), "Rarity, no seasonal detail; not yet seen in this region.");
    EXPECT_EQ(chart->weeks()[0], codes::Abundance::VeryRare);
    EXPECT_TRUE(chart->markedWeeks().isEmpty());

    // The whole list: no checklist, so no bars; the records anywhere.
    h->db().execute("UPDATE Options SET Reg_ID = 0, regname = 'World'");
    h->state.Reg_ID = 0;
    ASSERT_TRUE(h->w->selectSpeciesByName("Mallard"));
    EXPECT_EQ(chart->weeks(), codes::WeeklyAbundance{});
    EXPECT_EQ(chart->markedWeeks(), (QList<int>{16, 22, 47}));
    EXPECT_EQ(chart->text(), "No checklist region chosen; seen 3 times: May 2024, Jun 2023, Dec 2022.");
}

TEST(SeasonChart, BarsGrowWithAbundance)
{
    int last = -1;
    for (int level = 0; level <= int(codes::Abundance::Abundant); ++level) {
        const int t = SeasonChart::barThickness(codes::Abundance(level), 20);
        EXPECT_GT(t, last) << "level " << level;
        last = t;
    }
    EXPECT_EQ(SeasonChart::barThickness(codes::Abundance::None, 20), 0);
    EXPECT_EQ(SeasonChart::barThickness(codes::Abundance::Abundant, 20), 20);
    EXPECT_GE(SeasonChart::barThickness(codes::Abundance::VeryRare, 3), 1) << "a very rare week still shows";
}

TEST(SeasonChart, PaintsItsWeeksAndMarks)
{
    SeasonChart chart;
    chart.resize(480, 60);
    chart.setEntry(QStringLiteral("B"), QStringLiteral("CS/RW/"), {QDate(2024, 1, 2)}, true);
    QImage image(chart.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    chart.render(&image);
    const QRgb bar = qRgb(0x2e, 0x8b, 0x3e), mark = qRgb(0x1f, 0x4e, 0x9c);
    const int weekWidth = 480 / 48;
    auto column = [&](int week) { return week * weekWidth + weekWidth / 2; };
    const int abundant = pixelsOf(image, column(24), 0, 60, bar); // July
    const int rare = pixelsOf(image, column(4), 0, 60, bar);      // February
    const int none = pixelsOf(image, column(38), 0, 60, bar);     // October
    EXPECT_GT(abundant, rare);
    EXPECT_GT(rare, 0);
    EXPECT_EQ(none, 0);
    EXPECT_GT(pixelsOf(image, column(0), 0, 6, mark), 0) << "2 January is marked in the first week";
    EXPECT_EQ(pixelsOf(image, column(24), 0, 6, mark), 0);
}
