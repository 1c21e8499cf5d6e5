// The region dialog with every region of eBird's list: filtering its list, and choosing a
// state or a county that has never been used as the search region.

#include "Harness.h"

#include "regions/CodedRegions.h"
#include "regions/EbirdRegions.h"
#include "regions/RegionNames.h"
#include "search/frmRegion.h"
#include "ui/RegionList.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

// The fixture, its regions coded, and every other region of eBird's list.
void withEveryRegion(test::TestFolder& f) { addEbirdRegions(*f.open()); }

int regionOf(Harness& h, const char* code)
{
    return h.scalar("SELECT Reg_ID FROM Regions WHERE Code = ?", {QString::fromLatin1(code)}).toInt();
}

// The names of eBird's counties that hold `piece`, as the filter compares them.
QStringList countiesHolding(const QString& piece)
{
    QStringList names;
    for (const EbirdRegion& r : ebirdRegions())
        if (r.type == "District" && regionSearchKey(r.name).contains(regionSearchKey(piece))) names << r.name;
    return names;
}

} // namespace

TEST(RegionFilter, FrankListsOnlyTheFranklinCountiesAndTheKeysMoveThroughTheList)
{
    Harness h(withEveryRegion);
    frmRegion d(h.ctx, h.w.get());
    d.optRegion_Click(4);
    EXPECT_EQ(d.lstRegion->count(), 5359 + 1) << "every county and Point Pelee";
    QTest::keyClicks(d.txtFilter, "frank");
    const QStringList shown = d.lstRegion->texts();
    ASSERT_FALSE(shown.isEmpty());
    for (const QString& name : shown) EXPECT_TRUE(name.startsWith("Frank")) << qPrintable(name);
    QStringList expected = countiesHolding("frank");
    EXPECT_EQ(shown.size(), expected.size());
    EXPECT_GE(shown.filter(QRegularExpression("^Franklin, ")).size(), 24);
    EXPECT_TRUE(shown.contains("Franklin, Ohio"));
    // The first one shown is the chosen one, and Use acts on it.
    EXPECT_EQ(d.lstRegion->currentRow(), 0);
    EXPECT_EQ(h.state.selRegname, shown.front());
    EXPECT_TRUE(d.cmdOK->isEnabled());

    // More letters narrow it; letter case does not matter.
    d.txtFilter->setText("FRANKLIN, OH");
    EXPECT_EQ(d.lstRegion->texts(), QStringList{"Franklin, Ohio"});
    EXPECT_EQ(h.state.selReg_ID, regionOf(h, "US-OH-049"));

    // Nothing matches: nothing can be used.
    d.txtFilter->setText("frankfurt am main");
    EXPECT_EQ(d.lstRegion->count(), 0);
    EXPECT_FALSE(d.cmdOK->isEnabled());
    d.txtFilter->clear();
    EXPECT_EQ(d.lstRegion->count(), 5360);
    EXPECT_TRUE(d.cmdOK->isEnabled());

    // The keys move through the list from the filter box, and Enter uses the region.
    d.show();
    d.optRegion_Click(3);
    d.txtFilter->setFocus();
    QTest::keyClicks(d.txtFilter, "new");
    ASSERT_EQ(d.lstRegion->texts(), (QStringList{"New Brunswick", "New Hampshire", "New Jersey", "New Mexico",
                                                 "New York", "Newfoundland and Labrador"}));
    QTest::keyClick(d.txtFilter, Qt::Key_Down);
    QTest::keyClick(d.txtFilter, Qt::Key_Down);
    EXPECT_EQ(d.lstRegion->currentRow(), 2);
    EXPECT_EQ(h.state.selRegname, "New Jersey");
    EXPECT_EQ(d.txtFilter->text(), "new") << "the keys move the list, not the text";
    QTest::keyClick(d.txtFilter, Qt::Key_Up);
    QTest::keyClick(d.txtFilter, Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(h.state.regname, "New Hampshire");
}

TEST(RegionFilter, ListsStaySortedIgnoringCaseAndTheFilterIgnoresAccentsAndCase)
{
    Harness h([](test::TestFolder& f) {
        withEveryRegion(f);
        for (const char* name : {"zeta Marsh", "alpha Pond", "Québec et Labrador", "Beta Lake", "ALPHA Bay"})
            f.exec("INSERT INTO Regions (Name, Type) VALUES (?, 'Region')", {QString::fromUtf8(name)});
    });
    frmRegion d(h.ctx, h.w.get());
    d.optRegion_Click(1);
    EXPECT_EQ(d.lstRegion->texts(), (QStringList{"ALPHA Bay", "alpha Pond", "Beta Lake", "North America",
                                                 "Québec et Labrador", "zeta Marsh"}));
    d.txtFilter->setText(" L ");
    EXPECT_EQ(d.lstRegion->texts(), (QStringList{"ALPHA Bay", "alpha Pond", "Beta Lake", "Québec et Labrador"}));
    for (const char* typed : {"quebec", "QUEBEC", "Québec", "québ"}) {
        d.txtFilter->setText(QString::fromUtf8(typed));
        EXPECT_EQ(d.lstRegion->texts(), QStringList{"Québec et Labrador"}) << typed;
    }
    d.optRegion_Click(3);
    d.txtFilter->setText("mexico");
    EXPECT_EQ(d.lstRegion->texts(), (QStringList{"Ciudad de México", "México", "New Mexico"}))
        << "the filter stays for another kind";
    d.txtFilter->setText("nuevo leon");
    EXPECT_EQ(d.lstRegion->texts(), QStringList{"Nuevo León"});
}

TEST(RegionFilter, AStateOrACountyUsedForTheFirstTimeShowsItsSpeciesAndLifeList)
{
    Harness h(withEveryRegion);
    const int ohio = regionOf(h, "US-OH"), franklin = regionOf(h, "US-OH-049");
    // A Mallard in Franklin County, a Wood Duck elsewhere in Ohio, a goose in Texas.
    for (const auto& [bird, date, state, district] :
         {std::tuple{1, "2021-05-02", ohio, franklin}, {2, "2021-05-03", ohio, 0}, {3, "2021-05-04", regionOf(h, "US-TX"), 0}})
        h.db().execute("INSERT INTO Sightings (Bird_ID, Date, Region, country, state, district) VALUES (?, ?, 1, ?, ?, ?)",
                       {bird, QString::fromLatin1(date), regionOf(h, "US"), state, district});

    // Ohio's list is North America's; Franklin County's then Ohio's.
    for (const auto& [kind, typed, region, sighted, from] :
         {std::tuple{3, "ohio", ohio, 2, test::kNorthAmerica}, std::tuple{4, "franklin, ohio", franklin, 1, ohio}}) {
        SCOPED_TRACE(typed);
        frmRegion d(h.ctx, h.w.get());
        d.optRegion_Click(kind);
        d.txtFilter->setText(typed);
        ASSERT_EQ(d.lstRegion->count(), 1);
        d.cmdOK_Click();
        EXPECT_EQ(d.result(), QDialog::Accepted) << "no message: the region has a list now";
        EXPECT_TRUE(h.platform.messages.empty());
        EXPECT_EQ(h.state.Reg_ID, region);
        EXPECT_EQ(h.names().size(), 12) << "the nearest list, copied";
        EXPECT_EQ(h.panel("Life"), QStringLiteral("Sighted %1 of 12 Birds").arg(sighted));
        EXPECT_EQ(h.scalar("SELECT count(*) FROM Birds WHERE LifeList > 0").toInt(), sighted);
        EXPECT_EQ(h.scalar("SELECT lifesum FROM Options").toInt(), sighted);
        EXPECT_EQ(h.scalar("SELECT CopiedFrom FROM Regions WHERE Reg_ID = ?", {region}).toInt(), from);
    }
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = ?", {franklin}).toInt(), 12);
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Checklists").toInt(), 12 + 6 + 5 + 12 + 12)
        << "only the two regions used have lists of their own";
}
