#include "taxonomy/BandingCode.h"

#include <gtest/gtest.h>

using fl::bandingCode;
using fl::completionCodes;

TEST(BandingCode, FollowsTheWordCountRules)
{
    EXPECT_EQ(bandingCode(QStringLiteral("Osprey")), "OSPR");
    EXPECT_EQ(bandingCode(QStringLiteral("Roseate Spoonbill")), "ROSP");
    EXPECT_EQ(bandingCode(QStringLiteral("Great Horned Owl")), "GHOW");
    EXPECT_EQ(bandingCode(QStringLiteral("Black Bellied Whistling Duck")), "BBWD");
    EXPECT_EQ(bandingCode(QStringLiteral("Four Words Or More Here")), "FWOM");
}

TEST(BandingCode, HyphensSeparateWordsAndApostrophesVanish)
{
    EXPECT_EQ(bandingCode(QStringLiteral("Black-capped Chickadee")), "BCCH");
    EXPECT_EQ(bandingCode(QStringLiteral("Black-bellied Whistling-Duck")), "BBWD");
    EXPECT_EQ(bandingCode(QStringLiteral("Cooper's Hawk")), "COHA");
    EXPECT_EQ(bandingCode(QStringLiteral("Cooper\u2019s Hawk")), "COHA");
}

TEST(BandingCode, ShortWordsAndOddInput)
{
    EXPECT_EQ(bandingCode(QStringLiteral("Tui")), "TUI");
    EXPECT_EQ(bandingCode(QStringLiteral("  Wood   Duck ")), "WODU");
    EXPECT_EQ(bandingCode(QStringLiteral("wood duck")), "WODU");
    EXPECT_EQ(bandingCode(QString()), "");
    EXPECT_EQ(bandingCode(QStringLiteral(" - ")), "");
}

TEST(BandingCode, OfficialCodesFirstAndTheRuleOnlyWhereNoneIsGiven)
{
    const QStringList names = {"Savannah Sparrow", "Sagebrush Sparrow", "Saltmarsh Sparrow", "Seaside Sparrow",
                               "Woodland Dunlin", "Wood Duck", "Marsh Dunlin", "Mangrove Duck"};
    const QStringList official = {"SAVS", "sabs", "SALS", "SESP", "", "WODU", "", " "};
    EXPECT_EQ(completionCodes(names, official),
              (QStringList{"SAVS", "SABS", "SALS", "SESP", "", "WODU", "MADU", "MADU"}))
        << "a rule's code that is another species' official code answers for nobody; two rule's codes may be alike";
    EXPECT_EQ(completionCodes({"Osprey"}, {}), QStringList{"OSPR"}) << "no official codes at all";
    EXPECT_TRUE(completionCodes({}, {}).isEmpty());
}
