#include "records/CsvReader.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace fl;

namespace {
QString errorOf(const QByteArray& bytes, CsvReader::Limits limits = CsvReader::Limits())
{
    try {
        readAllCsv(bytes, limits);
    } catch (const CsvError& e) {
        return e.message();
    }
    return {};
}
} // namespace

TEST(CsvReader, QuotedFieldsDoubledQuotesAndLineBreaks)
{
    const auto rows = readAllCsv("a,b,c\r\n1,\"x, y\",\"say \"\"hi\"\"\"\r\n2,,\"two\nlines\"\n\"\",end");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (QStringList{"a", "b", "c"}));
    EXPECT_EQ(rows[1], (QStringList{"1", "x, y", "say \"hi\""}));
    EXPECT_EQ(rows[2], (QStringList{"2", "", "two\nlines"}));
    EXPECT_EQ(rows[3], (QStringList{"", "end"})) << "no final line break";
}

TEST(CsvReader, ByteOrderMarkAndUtf8)
{
    const auto rows = readAllCsv("\xEF\xBB\xBFName,Place\nMoqueur,Qu\xC3\xA9" "bec\n");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "Name") << "the mark is not part of the first header";
    EXPECT_EQ(rows[1][1], QString::fromUtf8("Québec"));
    EXPECT_TRUE(readAllCsv("").empty());
}

TEST(CsvReader, FieldsAcrossReadChunksAndLineNumbers)
{
    // A quoted field much longer than one read, with commas, quotes and line breaks inside.
    QByteArray big;
    for (int i = 0; i < 20000; ++i) big += "ab,\"\"\n";
    const QByteArray text = "h1,h2\n\"" + big + "\",tail\nnext,row\n";
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(&buffer);
    QStringList f;
    ASSERT_TRUE(reader.next(f));
    EXPECT_EQ(reader.line(), 1);
    ASSERT_TRUE(reader.next(f));
    EXPECT_EQ(reader.line(), 2);
    ASSERT_EQ(f.size(), 2);
    EXPECT_EQ(f[0].size(), 20000 * 5);
    EXPECT_TRUE(f[0].startsWith("ab,\"\nab"));
    EXPECT_EQ(f[1], "tail");
    ASSERT_TRUE(reader.next(f));
    EXPECT_EQ(reader.line(), 20000 + 3);
    EXPECT_EQ(f, (QStringList{"next", "row"}));
    EXPECT_FALSE(reader.next(f));
    EXPECT_EQ(reader.position(), text.size());
}

TEST(CsvReader, BrokenFilesEndWithTheLineAndTheReason)
{
    EXPECT_TRUE(errorOf("a,b\n1,\"open\n2,3\n").contains("never closed"));
    EXPECT_TRUE(errorOf("a,b\n1,\"closed\"x\n").startsWith("Line 2:"));
    EXPECT_TRUE(errorOf("a,b\n1,\"closed\"x\n").contains("after the closing quote"));
    EXPECT_TRUE(errorOf("a,b\nfive \"inch\" nails,2\n").contains("quote inside an unquoted field"));
    EXPECT_TRUE(errorOf(QByteArray("GIF89a\x01\x00\x00\x00", 10)).contains("NUL byte"));
    EXPECT_TRUE(errorOf("a,b\n\xFF\xFE\xFA,2\n").contains("not UTF-8"));
    QByteArray many = "x";
    for (int i = 0; i < 50; ++i) many += ",x";
    CsvReader::Limits small;
    small.maxFields = 20;
    EXPECT_TRUE(errorOf(many, small).contains("more than 20 fields"));
    EXPECT_TRUE(errorOf(many).isEmpty());
}

TEST(CsvReader, RefusesALineBeyondTheLimitWithoutReadingOn)
{
    // A file of one endless line (3 MB here; the limit is 1 MB) is refused, not swallowed.
    QTemporaryDir dir;
    const QString path = dir.filePath("one-line.csv");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray block(1 << 16, 'a');
        for (int i = 0; i < 48; ++i) f.write(block);
    }
    CsvReader reader(path);
    QStringList fields;
    try {
        reader.next(fields);
        FAIL() << "no error";
    } catch (const CsvError& e) {
        EXPECT_TRUE(e.message().contains("longer than 1048576 bytes")) << qPrintable(e.message());
    }
    EXPECT_LE(reader.position(), (1 << 20) + 1);
    // The same refusal inside a quoted field that never ends.
    EXPECT_TRUE(errorOf("a\n\"" + QByteArray(3 << 20, 'b')).contains("longer than"));
}

TEST(CsvReader, MissingFileIsAClearError)
{
    try {
        CsvReader reader(QStringLiteral("/nonexistent/folder/file.csv"));
        FAIL();
    } catch (const CsvError& e) {
        EXPECT_TRUE(e.message().contains("cannot be read"));
    }
}

// The same records whatever ends the lines: LF (Unix), CRLF (Windows), a lone CR (old Mac
// and some spreadsheets), or a mixture; with line breaks inside quotes counted once each.
class CsvLineEnds : public testing::TestWithParam<const char*> {};

TEST_P(CsvLineEnds, EveryRecordIsReadWithItsLine)
{
    const QByteArray end = GetParam();
    QByteArray text = "name,notes" + end + "Mallard,\"two" + end + "lines\"" + end + "Wood Duck,plain" + end + end
        + "\"Canada Goose\",\"last\"" + end;
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(&buffer);
    QStringList f;
    QList<QStringList> rows;
    QList<int> lines;
    while (reader.next(f)) {
        rows << f;
        lines << reader.line();
    }
    ASSERT_EQ(rows.size(), 5) << "the blank line is a record of one empty field";
    EXPECT_EQ(rows[0], (QStringList{"name", "notes"}));
    EXPECT_EQ(rows[1], (QStringList{"Mallard", "two" + QString::fromLatin1(end) + "lines"}));
    EXPECT_EQ(rows[2], (QStringList{"Wood Duck", "plain"}));
    EXPECT_EQ(rows[3], (QStringList{""}));
    EXPECT_EQ(rows[4], (QStringList{"Canada Goose", "last"}));
    EXPECT_EQ(lines, (QList<int>{1, 2, 4, 5, 6}));
    // Without the last line end, and read a byte at a time through a sequential device (a CR
    // and its LF in different reads).
    text.chop(end.size());
    EXPECT_EQ(readAllCsv(text).size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(Endings, CsvLineEnds, testing::Values("\n", "\r\n", "\r"));

TEST(CsvReader, MixedLineEndsAndACrLfSplitBetweenReads)
{
    // 65,535 bytes of the first record, so that its CR is the last byte of the first read and
    // its LF the first of the next.
    const QByteArray first = "a," + QByteArray((1 << 16) - 3, 'x');
    const auto rows = readAllCsv(first + "\r\nb,1\rc,2\nd,3\r\n");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][1].size(), (1 << 16) - 3);
    EXPECT_EQ(rows[1], (QStringList{"b", "1"}));
    EXPECT_EQ(rows[2], (QStringList{"c", "2"}));
    EXPECT_EQ(rows[3], (QStringList{"d", "3"}));
    EXPECT_EQ(readAllCsv("\r\r\r").size(), 3u) << "three blank lines";
}
