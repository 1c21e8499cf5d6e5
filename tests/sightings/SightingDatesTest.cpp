#include "sightings/SightingDates.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <tuple>

using namespace fl;

// Dates by name in the tests' output.
void PrintTo(const QDate& day, std::ostream* out) { *out << day.toString(Qt::ISODate).toStdString(); }

namespace {

// The locales a date is read in: the program's own (the tests also run with LC_ALL set to
// en_US and to C), and both of those by name.
enum class Where { System, C, UnitedStates };

QLocale localeOf(Where w)
{
    switch (w) {
    case Where::System: return QLocale::system();
    case Where::C: return QLocale::c();
    case Where::UnitedStates: return QLocale(QLocale::English, QLocale::UnitedStates);
    }
    return {};
}

std::ostream& operator<<(std::ostream& out, Where w)
{
    return out << (w == Where::System ? "system " : "") << localeOf(w).name().toStdString();
}

class DateForms : public ::testing::TestWithParam<std::tuple<Where, QDate>> {};

} // namespace

TEST_P(DateForms, LongShortAndIsoFormsReadBackAsTheSameDay)
{
    const auto& [where, day] = GetParam();
    const QLocale locale = localeOf(where);
    EXPECT_EQ(parseSightingDate(longDate(day, locale), locale), day) << qPrintable(longDate(day, locale));
    const QString shortForm = locale.toString(day, QLocale::ShortFormat);
    EXPECT_EQ(parseSightingDate(shortForm, locale), day) << qPrintable(shortForm);
    const QString iso = day.toString(Qt::ISODate);
    EXPECT_EQ(parseSightingDate(iso, locale), day);
    EXPECT_EQ(parseSightingDate(QStringLiteral("  ") + iso + QStringLiteral(" "), locale), day) << "blanks around";
}

INSTANTIATE_TEST_SUITE_P(SightingDates, DateForms,
                         ::testing::Combine(::testing::Values(Where::System, Where::C, Where::UnitedStates),
                                            ::testing::Values(QDate(2024, 5, 17), QDate(1930, 1, 1),
                                                              QDate(1999, 12, 31), QDate(2029, 12, 31),
                                                              QDate(2000, 2, 29))));

namespace {
class NotADate : public ::testing::TestWithParam<std::tuple<Where, const char*>> {};
} // namespace

TEST_P(NotADate, IsRefused)
{
    const auto& [where, text] = GetParam();
    EXPECT_FALSE(parseSightingDate(QString::fromLatin1(text), localeOf(where)).isValid());
}

INSTANTIATE_TEST_SUITE_P(SightingDates, NotADate,
                         ::testing::Combine(::testing::Values(Where::System, Where::C, Where::UnitedStates),
                                            ::testing::Values("17 Mayish", "2023-02-29", "", "   ")));

namespace {

struct TwoDigitCase {
    const char* text;
    std::optional<QDate> day; // none: refused
};

std::ostream& operator<<(std::ostream& out, const TwoDigitCase& c) { return out << c.text; }

class TwoDigitYears : public ::testing::TestWithParam<TwoDigitCase> {};

} // namespace

// A short date with a two-digit year means a year from 1930 to 2029.
TEST_P(TwoDigitYears, Mean1930To2029)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    ASSERT_EQ(us.dateFormat(QLocale::ShortFormat), "M/d/yy");
    const QDate got = parseSightingDate(QString::fromLatin1(GetParam().text), us);
    if (GetParam().day) {
        EXPECT_EQ(got, *GetParam().day);
    } else {
        EXPECT_FALSE(got.isValid()) << qPrintable(got.toString(Qt::ISODate));
    }
    if (QLocale::system().dateFormat(QLocale::ShortFormat) == "M/d/yy") {
        EXPECT_EQ(parseSightingDate(QString::fromLatin1(GetParam().text)), got) << "the system locale is en_US";
    }
}

INSTANTIATE_TEST_SUITE_P(SightingDates, TwoDigitYears, ::testing::Values(
    TwoDigitCase{"5/17/30", QDate(1930, 5, 17)},
    TwoDigitCase{"5/17/29", QDate(2029, 5, 17)},
    TwoDigitCase{"12/31/99", QDate(1999, 12, 31)},
    TwoDigitCase{"1/1/00", QDate(2000, 1, 1)},
    TwoDigitCase{"2/29/23", std::nullopt},
    TwoDigitCase{"2/29/24", QDate(2024, 2, 29)}));
