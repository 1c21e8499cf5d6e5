#include "taxonomy/BandingCode.h"

#include <gtest/gtest.h>
#include <ostream>

using fl::bandingCode;
using fl::completionCodes;

namespace {

struct NameAndCode {
    const char* name;
    const char* code;
};

std::ostream& operator<<(std::ostream& out, const NameAndCode& c) { return out << '"' << c.name << '"'; }

class BandingCodeByRule : public ::testing::TestWithParam<NameAndCode> {};

} // namespace

TEST_P(BandingCodeByRule, OfTheName)
{
    EXPECT_EQ(bandingCode(QString::fromUtf8(GetParam().name)), QString::fromLatin1(GetParam().code));
}

// One word: its first four letters; two: two of each; three: one, one and two; four or more:
// the first letter of the first four.
INSTANTIATE_TEST_SUITE_P(FollowsTheWordCountRules, BandingCodeByRule, ::testing::Values(
    NameAndCode{"Osprey", "OSPR"},
    NameAndCode{"Roseate Spoonbill", "ROSP"},
    NameAndCode{"Great Horned Owl", "GHOW"},
    NameAndCode{"Black Bellied Whistling Duck", "BBWD"},
    NameAndCode{"Four Words Or More Here", "FWOM"}));

INSTANTIATE_TEST_SUITE_P(HyphensSeparateWordsAndApostrophesVanish, BandingCodeByRule, ::testing::Values(
    NameAndCode{"Black-capped Chickadee", "BCCH"},
    NameAndCode{"Black-bellied Whistling-Duck", "BBWD"},
    NameAndCode{"Cooper's Hawk", "COHA"},
    NameAndCode{"Cooper\u2019s Hawk", "COHA"}));

INSTANTIATE_TEST_SUITE_P(ShortWordsAndOddInput, BandingCodeByRule, ::testing::Values(
    NameAndCode{"Tui", "TUI"},
    NameAndCode{"  Wood   Duck ", "WODU"},
    NameAndCode{"wood duck", "WODU"},
    NameAndCode{"", ""},
    NameAndCode{" - ", ""}));

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
