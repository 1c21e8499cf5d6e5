#include "ui/RegionList.h"

#include <QPersistentModelIndex>
#include <gtest/gtest.h>

using namespace fl;

namespace {

QStringList names(const RegionListModel& m)
{
    QStringList n;
    for (int r = 0; r < m.rowCount(); ++r) n << m.index(r, 0).data().toString();
    return n;
}

QVector<RegionEntry> counties()
{
    return {{"Franklin, Texas", 1, "US-TX-159"}, {"franklin, Ohio", 2, "US-OH-049"}, {"Harris, Texas", 3, "US-TX-201"},
            {"Adams, Ohio", 4, "US-OH-001"},     {"Québec, Quebec", 5, "CA-QC-QU"}, {"Point Pelee", 6, ""}};
}

} // namespace

TEST(RegionListModel, SortsIgnoringCaseAndPutsTheRegionsUnderAChosenOneFirst)
{
    RegionListModel m;
    m.setRegions(counties());
    EXPECT_EQ(names(m), (QStringList{"Adams, Ohio", "franklin, Ohio", "Franklin, Texas", "Harris, Texas", "Point Pelee",
                                     "Québec, Quebec"}));
    const QPersistentModelIndex harris = m.index(3, 0);
    m.setFirstUnder("US-TX");
    EXPECT_EQ(names(m), (QStringList{"Franklin, Texas", "Harris, Texas", "Adams, Ohio", "franklin, Ohio", "Point Pelee",
                                     "Québec, Quebec"}));
    EXPECT_EQ(harris.data(RegionListModel::IdRole).toInt(), 3) << "a chosen row follows its region";
    m.setFirstUnder("US"); // "US-TX" and "US-OH" both lie under it, "US" itself would not
    EXPECT_EQ(names(m).mid(0, 4),
              (QStringList{"Adams, Ohio", "franklin, Ohio", "Franklin, Texas", "Harris, Texas"}));
    m.setFirstUnder("US-T"); // a code is a whole part, not a prefix of letters
    EXPECT_EQ(names(m).front(), "Adams, Ohio");
}

TEST(RegionListModel, FilterKeepsTheOrderAndAddingAndRemovingKeepTheRowsRight)
{
    RegionListModel m;
    m.setRegions(counties());
    m.setFilterText(" FRANK ");
    EXPECT_EQ(names(m), (QStringList{"franklin, Ohio", "Franklin, Texas"}));
    EXPECT_EQ(m.rowOfRegion(1), 1);
    EXPECT_EQ(m.rowOfRegion(3), -1) << "Harris is not shown";

    // A new region that the filter shows comes in its place; one it hides is kept for later.
    EXPECT_EQ(m.addRegion({"Franklin, Alabama", 7, "US-AL-059"}), 0);
    EXPECT_EQ(m.addRegion({"Bexar, Texas", 8, "US-TX-029"}), -1);
    EXPECT_EQ(m.addRegion({"Frankfort Marsh", 9, ""}), 0);
    EXPECT_EQ(names(m), (QStringList{"Frankfort Marsh", "Franklin, Alabama", "franklin, Ohio", "Franklin, Texas"}));

    m.removeRegionAt(2); // franklin, Ohio
    EXPECT_EQ(names(m), (QStringList{"Frankfort Marsh", "Franklin, Alabama", "Franklin, Texas"}));
    EXPECT_EQ(m.index(2, 0).data(RegionListModel::IdRole).toInt(), 1);

    m.setFilterText("");
    EXPECT_EQ(names(m), (QStringList{"Adams, Ohio", "Bexar, Texas", "Frankfort Marsh", "Franklin, Alabama",
                                     "Franklin, Texas", "Harris, Texas", "Point Pelee", "Québec, Quebec"}));
    m.setFilterText("quebec");
    EXPECT_EQ(names(m), QStringList{"Québec, Quebec"}) << "accents ignored";
    m.setFilterText("nowhere");
    EXPECT_EQ(m.rowCount(), 0);
    m.removeRegionAt(0); // nothing shown: nothing to remove
    m.setFilterText("");
    EXPECT_EQ(m.rowCount(), 8);
}
