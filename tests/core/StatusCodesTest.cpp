#include "status/StatusCodes.h"

#include <gtest/gtest.h>
#include <ostream>

using namespace fl::codes;

namespace {

struct GroupCase {
    const char* group;
    const char* words;
    const char* why = "";
};

std::ostream& operator<<(std::ostream& out, const GroupCase& c) { return out << '"' << c.group << '"'; }

class StatusGroup : public ::testing::TestWithParam<GroupCase> {};

} // namespace

TEST_P(StatusGroup, JoinsTheWordsOfEachPosition)
{
    EXPECT_EQ(DescribeGroup(QString::fromLatin1(GetParam().group)), QString::fromLatin1(GetParam().words))
        << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(StatusCodes, StatusGroup, ::testing::Values(
    GroupCase{"CP/", "Abundant Permanent Breeder "},
    GroupCase{"UsL", "Uncommon Summer Non-breeder  (Limited range)"},
    GroupCase{"///", ""},
    GroupCase{"cp/", "Permanent Non-breeder ", "lower-case c is no abundance letter"},
    GroupCase{"RRI", "Rare Sighting in Region  (Irregular)"},
    GroupCase{"XwV", "Very Rare Winter Non-breeder ", "letters only count in their own position"},
    GroupCase{"FW/", "Common Winter Resident "}));

TEST(StatusCodes, DetailLinesByLength)
{
    auto l = detailLines("CPLUsI///");
    EXPECT_EQ(l[0], "Abundant Permanent Breeder  (Limited range)");
    EXPECT_EQ(l[1], "Uncommon Summer Non-breeder  (Irregular)");
    EXPECT_EQ(l[2], "");
    l = detailLines(" FW/ ");
    EXPECT_EQ(l[0], "Common Winter Resident ");
    EXPECT_EQ(l[1], "");
    l = detailLines("FS/UW/XV/");
    EXPECT_EQ(l[2], "Very Rare Vagrant ");
}

namespace {
class OddStatusDetail : public ::testing::TestWithParam<const char*> {};
} // namespace

// Only three, six or nine characters make groups; anything else has no details to show.
TEST_P(OddStatusDetail, HasNoDetailsToShow)
{
    const auto l = detailLines(GetParam());
    EXPECT_EQ(l[0], "Status details not available.");
    EXPECT_EQ(l[1], "");
    EXPECT_EQ(l[2], "");
}

INSTANTIATE_TEST_SUITE_P(StatusCodes, OddStatusDetail, ::testing::Values("", "   ", "FW", "FW/U", "FW/UW/F"));

TEST(StatusCodes, StatusWordsAndLines)
{
    EXPECT_EQ(statusWords(), (QStringList{"Breeder", "Visitor", "Transient", "Rarity", "Extinct", "None"}));
    EXPECT_EQ(statusWord("Z"), "None");
    EXPECT_EQ(statusWord("b"), "None");
    EXPECT_EQ(statusLetter("Transient"), "T");
    EXPECT_EQ(statusLine(QVariant()), "Status: No Status");
    EXPECT_EQ(statusLine(QString("Z")), "Status: No Status");
    EXPECT_EQ(statusLine(QString("E")), "Status: Extinct");
}

TEST(StatusCodes, EditorWordsAndLettersRoundTrip)
{
    EXPECT_EQ(seasonWords().size(), 8) << "the editor offers no word for R";
    EXPECT_EQ(seasonWords().first(), "Permanent Breeder");
    EXPECT_EQ(seasonWords().last(), "Vagrant");
    EXPECT_EQ(qualifierWords(), (QStringList{"(Limited Range)", "(Irregular)"}));
    for (int pos = 0; pos < 3; ++pos) {
        const QStringList& words = pos == 0 ? abundanceWords() : pos == 1 ? seasonWords() : qualifierWords();
        for (const QString& w : words) EXPECT_EQ(editorWord(pos, CodeLetter(w)[0]), w) << qPrintable(w);
    }
    EXPECT_EQ(CodeLetter("Winter Visitor"), "W");
    EXPECT_EQ(CodeLetter("Winter Breeder"), "w");
    EXPECT_EQ(CodeLetter(""), "/");
    EXPECT_EQ(CodeLetter("Winter Resident"), "/") << "the detail window's words are not editor words";
    EXPECT_EQ(editorWord(1, u'R'), "");
}

TEST(StatusCodes, EncodingAlwaysWritesNineCharacters)
{
    std::array<std::array<QString, 3>, 3> rows;
    EXPECT_EQ(encodeRows(rows), "/////////");
    rows[0] = {"Common", "Summer Breeder", ""};
    rows[2] = {"", "", "(Irregular)"};
    EXPECT_EQ(encodeRows(rows), "FS//////I");
    EXPECT_EQ(encodeRows(rows).size(), 9);
}

TEST(StatusCodes, HasDetail)
{
    EXPECT_TRUE(hasDetail(QString("FS/")));
    EXPECT_FALSE(hasDetail(QString("/////////")));
    EXPECT_FALSE(hasDetail(QString("  ")));
    EXPECT_FALSE(hasDetail(QVariant()));
    EXPECT_TRUE(hasDetail(QString("///")));
}
