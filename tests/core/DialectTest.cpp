#include "db/Dialect.h"

#include <gtest/gtest.h>

using fl::db::escapeLikeLiteral;
using fl::db::likeMatch;
using fl::db::likeMatchUtf8;
using fl::db::translateSql;

TEST(LikePattern, WildcardsAndCase)
{
    EXPECT_TRUE(likeMatch(u"*owl*", u"Great Horned Owl"));
    EXPECT_TRUE(likeMatch(u"*OWL*", u"Snowy owl"));
    EXPECT_TRUE(likeMatch(u"*owl*", u"Owl"));
    EXPECT_FALSE(likeMatch(u"*owl*", u"Ow l"));
    EXPECT_TRUE(likeMatch(u"**", u""));
    EXPECT_TRUE(likeMatch(u"M?llard", u"Mallard"));
    EXPECT_FALSE(likeMatch(u"M?llard", u"Mllard"));
    EXPECT_TRUE(likeMatch(u"Track ##", u"Track 42"));
    EXPECT_FALSE(likeMatch(u"Track ##", u"Track 4x"));
    EXPECT_TRUE(likeMatch(u"*C*", u"FS/CW/"));
    EXPECT_TRUE(likeMatch(u"*W*", u"FS/Uw/")) << "pattern letters ignore case";
    EXPECT_FALSE(likeMatch(u"*C*", u"FS/UW/"));
}

TEST(LikePattern, CharacterClasses)
{
    EXPECT_TRUE(likeMatch(u"[BV]*", u"Bobolink"));
    EXPECT_TRUE(likeMatch(u"[bv]*", u"Veery"));
    EXPECT_FALSE(likeMatch(u"[BV]*", u"Sora"));
    EXPECT_TRUE(likeMatch(u"[a-c]*", u"Crane"));
    EXPECT_FALSE(likeMatch(u"[a-c]*", u"Dove"));
    EXPECT_TRUE(likeMatch(u"[!a-c]*", u"Dove"));
    EXPECT_FALSE(likeMatch(u"[!a-c]*", u"Avocet"));
}

TEST(LikePattern, EscapedTextMatchesItself)
{
    for (const QString& text : {QStringLiteral("a*b"), QStringLiteral("what?"), QStringLiteral("#1"),
                               QStringLiteral("[x]"), QStringLiteral("say \"hi\""), QStringLiteral("O'Brien")}) {
        const QString pattern = fl::db::containsPattern(text);
        EXPECT_TRUE(likeMatch(pattern, QStringLiteral("pre ") + text + QStringLiteral(" post"))) << qPrintable(text);
        EXPECT_TRUE(likeMatch(pattern, text.toUpper())) << qPrintable(text);
    }
    EXPECT_FALSE(likeMatch(fl::db::containsPattern(QStringLiteral("a*b")), u"axxb"));
    EXPECT_FALSE(likeMatch(fl::db::containsPattern(QStringLiteral("#1")), u"21"));
    EXPECT_FALSE(likeMatch(fl::db::containsPattern(QStringLiteral("w?")), u"wx"));
    EXPECT_EQ(escapeLikeLiteral(QStringLiteral("*?#[")), QStringLiteral("[*][?][#][[]"));
}

TEST(LikePattern, Utf8MatchesLikeUtf16)
{
    EXPECT_TRUE(likeMatchUtf8("*ÉTÉ*", "un été chaud"));
    EXPECT_TRUE(likeMatchUtf8("?lé", "élé"));
    EXPECT_FALSE(likeMatchUtf8("?lé", "éle"));
    EXPECT_TRUE(likeMatchUtf8("*[*]*", "a*b"));
    EXPECT_FALSE(likeMatchUtf8("*[*]*", "ab"));
}

TEST(SqlTranslation, DoubleQuotedTextBecomesLiteral)
{
    EXPECT_EQ(translateSql(QStringLiteral("Select * from Birds Where Name = \"Mallard\"")),
              QStringLiteral("Select * from Birds Where Name = 'Mallard'"));
    EXPECT_EQ(translateSql(QStringLiteral("x = \"O'Brien\"")), QStringLiteral("x = 'O''Brien'"));
    EXPECT_EQ(translateSql(QStringLiteral("a LIKE '*\"*' AND b = \"\"")), QStringLiteral("a LIKE '*\"*' AND b = ''"));
    EXPECT_EQ(translateSql(QStringLiteral("SET wincolor = True, SongCD = false")),
              QStringLiteral("SET wincolor = 1, SongCD = 0"));
    EXPECT_EQ(translateSql(QStringLiteral("WHERE Name = 'True'")), QStringLiteral("WHERE Name = 'True'"));
    EXPECT_EQ(translateSql(QStringLiteral("WHERE TrueName = ?")), QStringLiteral("WHERE TrueName = ?"));
}
