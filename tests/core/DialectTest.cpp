#include "db/Dialect.h"

#include <gtest/gtest.h>
#include <ostream>

using fl::db::escapeLikeLiteral;
using fl::db::likeMatch;
using fl::db::likeMatchUtf8;
using fl::db::translateSql;

namespace {

struct LikeCase {
    const char* pattern;
    const char* text;
    bool matches;
    const char* why = "";
};

std::ostream& operator<<(std::ostream& out, const LikeCase& c)
{
    return out << '"' << c.pattern << "\" against \"" << c.text << '"';
}

class LikePattern : public ::testing::TestWithParam<LikeCase> {};

} // namespace

// The same cases through the UTF-16 matcher the program uses and the UTF-8 one the engine calls.
TEST_P(LikePattern, MatchesInBothEncodings)
{
    const LikeCase& c = GetParam();
    EXPECT_EQ(likeMatch(QString::fromUtf8(c.pattern), QString::fromUtf8(c.text)), c.matches) << c.why;
    EXPECT_EQ(likeMatchUtf8(c.pattern, c.text), c.matches) << c.why;
}

INSTANTIATE_TEST_SUITE_P(WildcardsAndCase, LikePattern, ::testing::Values(
    LikeCase{"*owl*", "Great Horned Owl", true},
    LikeCase{"*OWL*", "Snowy owl", true, "letters ignore case"},
    LikeCase{"*owl*", "Owl", true},
    LikeCase{"*owl*", "Ow l", false},
    LikeCase{"**", "", true},
    LikeCase{"M?llard", "Mallard", true},
    LikeCase{"M?llard", "Mllard", false, "? is exactly one character"},
    LikeCase{"Track ##", "Track 42", true},
    LikeCase{"Track ##", "Track 4x", false, "# is a digit"},
    LikeCase{"*C*", "FS/CW/", true},
    LikeCase{"*W*", "FS/Uw/", true, "pattern letters ignore case"},
    LikeCase{"*C*", "FS/UW/", false}));

INSTANTIATE_TEST_SUITE_P(CharacterClasses, LikePattern, ::testing::Values(
    LikeCase{"[BV]*", "Bobolink", true},
    LikeCase{"[bv]*", "Veery", true},
    LikeCase{"[BV]*", "Sora", false},
    LikeCase{"[a-c]*", "Crane", true},
    LikeCase{"[a-c]*", "Dove", false},
    LikeCase{"[!a-c]*", "Dove", true},
    LikeCase{"[!a-c]*", "Avocet", false},
    LikeCase{"*[*]*", "a*b", true, "a bracketed wildcard is itself"},
    LikeCase{"*[*]*", "ab", false}));

INSTANTIATE_TEST_SUITE_P(Accents, LikePattern, ::testing::Values(
    LikeCase{"*ÉTÉ*", "un été chaud", true, "accented letters ignore case"},
    LikeCase{"?lé", "élé", true, "? is one character, not one byte"},
    LikeCase{"?lé", "éle", false}));

namespace {
class EscapedLikeText : public ::testing::TestWithParam<const char*> {};
} // namespace

TEST_P(EscapedLikeText, MatchesItselfAnywhereAndInAnyCase)
{
    const QString text = QString::fromUtf8(GetParam());
    const QString pattern = fl::db::containsPattern(text);
    EXPECT_TRUE(likeMatch(pattern, QStringLiteral("pre ") + text + QStringLiteral(" post")));
    EXPECT_TRUE(likeMatch(pattern, text.toUpper()));
    EXPECT_FALSE(likeMatch(pattern, QStringLiteral("pre post")));
}

INSTANTIATE_TEST_SUITE_P(LikePattern, EscapedLikeText,
                         ::testing::Values("a*b", "what?", "#1", "[x]", "say \"hi\"", "O'Brien"));

TEST(LikePattern, EscapedWildcardsAreNoLongerWild)
{
    EXPECT_FALSE(likeMatch(fl::db::containsPattern(QStringLiteral("a*b")), u"axxb"));
    EXPECT_FALSE(likeMatch(fl::db::containsPattern(QStringLiteral("#1")), u"21"));
    EXPECT_FALSE(likeMatch(fl::db::containsPattern(QStringLiteral("w?")), u"wx"));
    EXPECT_EQ(escapeLikeLiteral(QStringLiteral("*?#[")), QStringLiteral("[*][?][#][[]"));
}

namespace {

struct Translation {
    const char* program; // as the program writes it
    const char* engine;  // as the engine is to read it
};

std::ostream& operator<<(std::ostream& out, const Translation& t) { return out << t.program; }

class SqlTranslation : public ::testing::TestWithParam<Translation> {};

} // namespace

TEST_P(SqlTranslation, BecomesTheEnginesText)
{
    EXPECT_EQ(translateSql(QString::fromUtf8(GetParam().program)), QString::fromUtf8(GetParam().engine));
}

INSTANTIATE_TEST_SUITE_P(DoubleQuotedTextBecomesLiteral, SqlTranslation, ::testing::Values(
    Translation{"Select * from Birds Where Name = \"Mallard\"", "Select * from Birds Where Name = 'Mallard'"},
    Translation{"x = \"O'Brien\"", "x = 'O''Brien'"},
    Translation{"a LIKE '*\"*' AND b = \"\"", "a LIKE '*\"*' AND b = ''"}));

INSTANTIATE_TEST_SUITE_P(TrueAndFalseBecomeNumbers, SqlTranslation, ::testing::Values(
    Translation{"SET wincolor = True, SongCD = false", "SET wincolor = 1, SongCD = 0"},
    Translation{"WHERE Name = 'True'", "WHERE Name = 'True'"},
    Translation{"WHERE TrueName = ?", "WHERE TrueName = ?"}));
