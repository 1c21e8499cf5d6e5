// Report definitions are text files the user may edit: generated definitions at and beyond
// the limits give a numbered error naming the file and line, never a crash or a hang.

#include "TestDatabase.h"
#include "report/ReportBuilder.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

using namespace fl;
using namespace fl::report;

namespace {

const QString kSelectOntario = "{checklists.reg_ID} = 2";

std::unique_ptr<db::Database> ontario(test::TestFolder& f)
{
    auto db = f.open();
    db->execute("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State'");
    return db;
}

// A definition with a header, the source, the given lines, and a column printing `column`.
QString definition(const QStringList& lines, const QString& column)
{
    QString text = QStringLiteral("featherlog report: 1\nsource: checklist\n");
    for (const QString& line : lines) text += line + u'\n';
    return text + QStringLiteral("column 10: ") + column + u'\n';
}

// A chain of named formulas: F0 = {@F1}, F1 = {@F2}, ..., the last one a text.
QStringList chain(int length)
{
    QStringList lines;
    for (int i = 0; i + 1 < length; ++i) lines << QStringLiteral("formula: F%1 = {@F%2}").arg(i).arg(i + 1);
    lines << QStringLiteral("formula: F%1 = 'end of the chain'").arg(length - 1);
    return lines;
}

struct Failure {
    int number = 0;
    QString message;
};

Failure failureOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ReportError& e) {
        return {e.number(), e.message()};
    }
    return {};
}

} // namespace

// The chain starts on line 3 of the file, right after the header and the source.
TEST(ReportLimits, NamedFormulaChainsUpToTheLimitWorkAndLongerOnesAreRefusedWithFileAndLine)
{
    test::TestFolder f;
    auto db = ontario(f);
    {
        const ReportDefinition def = parseDefinition(definition(chain(100), "{@F0}"), "deep.rpt");
        const BuiltReport r = buildReport(*db, def, kSelectOntario, {}, QDate(2026, 1, 1));
        ASSERT_EQ(r.listed, 6);
        EXPECT_EQ(r.groups[0].rows[0].cells[0], "end of the chain");
    }
    for (int length : {101, 20000}) {
        const ReportDefinition def = parseDefinition(definition(chain(length), "{@F0}"), "deep.rpt");
        const Failure e = failureOf([&] { buildReport(*db, def, kSelectOntario, {}, QDate(2026, 1, 1)); });
        EXPECT_EQ(e.number, kErrFormulaValue) << length;
        EXPECT_TRUE(e.message.startsWith("deep.rpt, line 3: the formula F0 ")) << qPrintable(e.message);
        EXPECT_TRUE(e.message.contains("more than 100 deep ({@F1}, {@F2}")) << qPrintable(e.message);
    }
    // A chain that does not start at the first formula names the line of its first link.
    QStringList lines = {"formula: Plain = 'x'"};
    lines << chain(300);
    const ReportDefinition def = parseDefinition(definition(lines, "{@Plain}"), "deep.rpt");
    const Failure e = failureOf([&] { buildReport(*db, def, kSelectOntario, {}, QDate(2026, 1, 1)); });
    EXPECT_TRUE(e.message.startsWith("deep.rpt, line 4: the formula F0 ")) << qPrintable(e.message);
    // A formula that depends on itself is still found while the report is evaluated.
    const ReportDefinition loop = parseDefinition(
        definition({"formula: A = {@B}", "formula: B = 'b' + {@A}"}, "{@A}"), "loop.rpt");
    const Failure l = failureOf([&] { buildReport(*db, loop, kSelectOntario, {}, QDate(2026, 1, 1)); });
    EXPECT_EQ(l.number, kErrFormulaValue);
    EXPECT_TRUE(l.message.contains("depends on itself")) << qPrintable(l.message);
}

// Formulas nested inside formulas: the whole evaluation stays within its depth.
TEST(ReportLimits, DeeplyNestedFormulasInAChainGiveAnErrorNotACrash)
{
    test::TestFolder f;
    auto db = ontario(f);
    // 60 formulas in a chain, each nested 90 deep: 5,400 levels in all.
    QStringList lines;
    const QString open = QStringLiteral("not ").repeated(90);
    for (int i = 0; i < 60; ++i)
        lines << QStringLiteral("formula: F%1 = %2%3").arg(i).arg(open, i + 1 < 60 ? QStringLiteral("{@F%1}").arg(i + 1)
                                                                                  : QStringLiteral("true"));
    const ReportDefinition def = parseDefinition(definition(lines, "{@F0}"), "nested.rpt");
    const Failure e = failureOf([&] { buildReport(*db, def, kSelectOntario, {}, QDate(2026, 1, 1)); });
    EXPECT_EQ(e.number, kErrFormulaValue);
    EXPECT_TRUE(e.message.contains("nested too deeply")) << qPrintable(e.message);
    EXPECT_TRUE(e.message.startsWith("nested.rpt, line ")) << qPrintable(e.message);
}

TEST(ReportLimits, AFormulaLongerThanTheLimitIsRefusedWithFileAndLine)
{
    test::TestFolder f;
    auto db = ontario(f);
    auto sum = [](int terms) { return QStringList(terms, QStringLiteral("'a'")).join(QStringLiteral(" + ")); };
    // Terms and plus signs: 5,000 terms are 9,999 parts.
    const ReportDefinition def = parseDefinition(definition({}, sum(5000)), "long.rpt");
    const BuiltReport r = buildReport(*db, def, kSelectOntario, {}, QDate(2026, 1, 1));
    EXPECT_EQ(r.groups[0].rows[0].cells[0], QString(5000, u'a'));
    for (int terms : {5001, 100000}) {
        const Failure e = failureOf([&] { parseDefinition(definition({}, sum(terms)), "long.rpt"); });
        EXPECT_EQ(e.number, kErrFormulaSyntax) << terms;
        EXPECT_TRUE(e.message.startsWith("long.rpt, line 3: Formula error at position ")) << qPrintable(e.message);
        EXPECT_TRUE(e.message.contains("too long")) << qPrintable(e.message);
    }
    // A sum that mixes numbers and texts keeps its order of working: the numbers before the
    // first text are added, everything after it is joined.
    const ReportDefinition mixed = parseDefinition(definition({}, "1 + 2 + 'x' + 3 + 4 + {sightings.site}"), "mixed.rpt");
    EXPECT_EQ(buildReport(*db, mixed, kSelectOntario, {}, QDate()).groups[0].rows[0].cells[0], "3x34");
    const ReportDefinition badJoin = parseDefinition(definition({}, "'x' + 1 + true"), "join.rpt");
    const Failure e = failureOf([&] { buildReport(*db, badJoin, kSelectOntario, {}, QDate()); });
    EXPECT_EQ(e.number, kErrFormulaValue);
    EXPECT_TRUE(e.message.startsWith("join.rpt, line 3: Formula error at position 9")) << qPrintable(e.message);
}

class ReportWidths : public testing::TestWithParam<const char*> {};

TEST_P(ReportWidths, ColumnAndListWidthsThatAreNoPositiveNumberAreRefused)
{
    const QString width = QString::fromLatin1(GetParam());
    Failure e = failureOf([&] { parseDefinition(definition({}, "{birds.name}").replace("column 10:", "column " + width + ":"), "w.rpt"); });
    EXPECT_EQ(e.number, kErrBadDefinition);
    EXPECT_TRUE(e.message.startsWith("w.rpt, line 3: ")) << qPrintable(e.message);
    e = failureOf([&] { parseDefinition(definition({"list width: " + width}, "{birds.name}"), "w.rpt"); });
    EXPECT_EQ(e.number, kErrBadDefinition);
    EXPECT_TRUE(e.message.startsWith("w.rpt, line 3: ")) << qPrintable(e.message);
}

INSTANTIATE_TEST_SUITE_P(NotANumber, ReportWidths,
                         testing::Values("nan", "NaN", "-nan", "inf", "-inf", "1e400", "0", "-3", "1001", "wide"));

TEST(ReportLimits, WidthsInRangeAreTaken)
{
    for (const char* width : {"0.5", "12", "1000"}) {
        const ReportDefinition def = parseDefinition(
            definition({QStringLiteral("list width: %1").arg(width)}, "{birds.name}")
                .replace("column 10:", QStringLiteral("column %1:").arg(width)),
            "w.rpt");
        EXPECT_DOUBLE_EQ(def.listWidthMm, QString::fromLatin1(width).toDouble());
        EXPECT_DOUBLE_EQ(def.columns[0].weight, QString::fromLatin1(width).toDouble());
    }
}
