#include "records/EbirdTags.h"
#include "EbirdFiles.h"
#include "records/CsvReader.h"
#include "records/EbirdImport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace fl;
using namespace fl::test;

namespace {

// Texts that hold the tag's own codes, its separators and line ends as plain text.
const char* const kAwkward[] = {
    "100%3B sure", "a%0Ab%25", "%25", "%", "%%3B", "50% off; then more", "line\nbreak", "cr\r\nlf",
    "%0D%0A", "a=b", " spaced ", "%253B", "Featherlog: inside",
};

class PlaceTagText : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST_P(PlaceTagText, ComesBackUnchangedInEveryField)
{
    const QString text = QString::fromUtf8(GetParam());
    for (int field = 0; field < 5; ++field) {
        PlaceTag tag;
        QString* fields[] = {&tag.region, &tag.country, &tag.state, &tag.district, &tag.type};
        *fields[field] = text;
        tag.state = field == 2 ? text : QStringLiteral("Ontario"); // a neighbour on at least one side
        const QString written = formatPlaceTag(tag);
        EXPECT_EQ(written.count(u';'), field == 2 ? 0 : 1) << "no separator is taken from the text: " << qPrintable(written);
        EXPECT_FALSE(written.contains(u'\n') || written.contains(u'\r')) << "one line";
        const PlaceTag back = parsePlaceTag(written);
        ASSERT_TRUE(back.present) << qPrintable(written);
        EXPECT_EQ(back.region, tag.region) << qPrintable(written);
        EXPECT_EQ(back.country, tag.country) << qPrintable(written);
        EXPECT_EQ(back.state, tag.state) << qPrintable(written);
        EXPECT_EQ(back.district, tag.district) << qPrintable(written);
        EXPECT_EQ(back.type, tag.type) << qPrintable(written);
    }
}

INSTANTIATE_TEST_SUITE_P(Awkward, PlaceTagText, ::testing::ValuesIn(kAwkward));
