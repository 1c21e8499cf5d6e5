#include "report/Formula.h"

#include <QHash>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace fl::report;

namespace {

// Fields and named formulas held in maps.
class MapScope : public Scope {
public:
    QHash<QString, Value> fields;
    QHash<QString, Formula> formulas;
    mutable int depth = 0;

    Value field(const QString& name, int position) const override
    {
        if (!fields.contains(name)) throw ReportError(kErrUnknownName, "no field " + name, position);
        return fields.value(name);
    }
    Value formula(const QString& name, int position) const override
    {
        if (!formulas.contains(name)) throw ReportError(kErrUnknownName, "no formula " + name, position);
        if (++depth > 20) {
            depth = 0;
            throw ReportError(kErrFormulaValue, "too deep", position);
        }
        const Value v = formulas.value(name).evaluate(*this);
        --depth;
        return v;
    }
    bool hasField(const QString& name) const override { return fields.contains(name); }
    bool hasFormula(const QString& name) const override { return formulas.contains(name); }
};

MapScope birdScope()
{
    MapScope s;
    s.fields["birds.lifelist"] = Value::number(17);
    s.fields["birds.name"] = Value::text("Mallard");
    s.fields["options.regname"] = Value::text("Ontario");
    s.fields["checklists.reg_id"] = Value::number(2);
    s.fields["sightings.date"] = Value::date(QDate(2020, 5, 3));
    s.fields["sightings.site"] = Value();
    return s;
}

QString text(const QString& formula, const Scope& scope)
{
    return Formula::parse(formula).evaluate(scope).toText();
}

int errorNumber(const QString& formula, const Scope& scope, int* position = nullptr)
{
    try {
        Formula::parse(formula).evaluate(scope);
    } catch (const ReportError& e) {
        if (position) *position = e.position();
        return e.number();
    }
    return 0;
}

} // namespace

TEST(ReportFormula, TheProgramsFormulas)
{
    MapScope s = birdScope();
    const Formula title = Formula::parse("Title = 'Checklist For ' + {options.regname}");
    EXPECT_EQ(title.name(), "Title");
    EXPECT_EQ(title.evaluate(s).toText(), "Checklist For Ontario");
    const Formula lifer = Formula::parse("Lifer = '[    ]'");
    EXPECT_EQ(lifer.name(), "Lifer");
    EXPECT_EQ(lifer.evaluate(s).toText(), "[    ]");
    const Formula tick = Formula::parse("if {Birds.LifeList} > 0 then '[X]' Else '[   ]'");
    EXPECT_TRUE(tick.name().isEmpty());
    EXPECT_EQ(tick.evaluate(s).toText(), "[X]");
    s.fields["birds.lifelist"] = Value::number(0);
    EXPECT_EQ(tick.evaluate(s).toText(), "[   ]");
    s.fields["birds.lifelist"] = Value(); // a null mark counts as not sighted
    EXPECT_EQ(tick.evaluate(s).toText(), "[   ]");

    QString field;
    qint64 value = 0;
    ASSERT_TRUE(Formula::parse("{checklists.reg_ID} = 0").isFieldEqualsInteger(&field, &value));
    EXPECT_EQ(field, "checklists.reg_id");
    EXPECT_EQ(value, 0);
    EXPECT_EQ(text("{checklists.reg_ID} = 2", s), "True");
    EXPECT_FALSE(Formula::parse("{checklists.reg_ID} = 2.5").isFieldEqualsInteger(&field, &value));
    EXPECT_FALSE(Formula::parse("{checklists.reg_ID} > 2").isFieldEqualsInteger(&field, &value));
    EXPECT_FALSE(Formula::parse("{checklists.reg_ID} = 2 or true").isFieldEqualsInteger(&field, &value));
    // Joined by "and" to anything else, the rows can still only be those of that field value.
    EXPECT_FALSE(Formula::parse("{checklists.reg_ID} = 3 and {Birds.LifeList} > 0").isFieldEqualsInteger(&field, &value));
    ASSERT_TRUE(Formula::parse("{Birds.LifeList} > 0 and ({checklists.reg_ID} = 3)").requiresFieldEqualsInteger(&field, &value));
    EXPECT_EQ(value, 3);
    EXPECT_FALSE(Formula::parse("{checklists.reg_ID} = 3 or {Birds.LifeList} > 0").requiresFieldEqualsInteger(&field, &value));
    EXPECT_FALSE(Formula::parse("not ({checklists.reg_ID} = 3)").requiresFieldEqualsInteger(&field, &value));
}

TEST(ReportFormula, OperatorsAndValues)
{
    MapScope s = birdScope();
    EXPECT_EQ(text("1 + 2.5", s), "3.5");
    EXPECT_EQ(text("'a' + 1 + 2", s), "a12") << "joining goes left to right";
    EXPECT_EQ(text("1 + 2 + 'a'", s), "3a");
    EXPECT_EQ(text("'it''s'", s), "it's");
    EXPECT_EQ(text("'' + {sightings.site} + 'x'", s), "x") << "nothing joins as an empty text";
    EXPECT_EQ(text("'seen ' + {sightings.date}", s), "seen 2020-05-03");
    EXPECT_EQ(text("{birds.lifelist}", s), "17");
    const struct {
        const char* formula;
        bool result;
    } comparisons[] = {
        {"1 = 1", true},         {"1 <> 1", false},      {"1 < 2", true},        {"2 < 1", false},
        {"2 > 1", true},         {"1 > 1", false},       {"1 <= 1", true},       {"2 <= 1", false},
        {"1 >= 1", true},        {"0 >= 1", false},      {"'abc' = 'ABC'", true}, {"'abc' < 'abd'", true},
        {"'b' > 'A'", true},     {"{sightings.site} = ''", true}, {"{sightings.site} = 0", true},
        {"{sightings.date} > {sightings.date}", false}, {"true = true", true}, {"true <> false", true},
    };
    for (const auto& c : comparisons)
        EXPECT_EQ(text(c.formula, s), c.result ? "True" : "False") << c.formula;
    EXPECT_EQ(text("true and false", s), "False");
    EXPECT_EQ(text("true and true", s), "True");
    EXPECT_EQ(text("false or true", s), "True");
    EXPECT_EQ(text("false or false", s), "False");
    EXPECT_EQ(text("not false", s), "True");
    EXPECT_EQ(text("not not true", s), "True");
}

TEST(ReportFormula, PrecedenceAndIf)
{
    MapScope s = birdScope();
    EXPECT_EQ(text("1 + 2 = 3", s), "True") << "+ binds tighter than =";
    EXPECT_EQ(text("true or false and false", s), "True") << "and binds tighter than or";
    EXPECT_EQ(text("(true or false) and false", s), "False");
    EXPECT_EQ(text("not 1 = 2", s), "True") << "not applies to the comparison";
    EXPECT_EQ(text("not true or true", s), "True") << "not binds tighter than or";
    EXPECT_EQ(text("if 1 > 2 then 'a' else if 2 > 1 then 'b' else 'c'", s), "b");
    EXPECT_EQ(text("'<' + (if {birds.lifelist} > 10 then 'many' else 'few') + '>'", s), "<many>");
    EXPECT_EQ(text("if false then 'a'", s), "") << "without else: nothing";
    EXPECT_EQ(text("if 1 = 1 and 'x' = 'X' then 1 + 1 else 0", s), "2");
    EXPECT_EQ(text("false and {no.such} = 1", s), "False") << "and stops at the first false";
}

// Two different dates compared with every operator, in both orders. The pairs differ in the
// year only, in the month only, in the day only, and in opposite directions between the parts
// (a later year with an earlier month and day), so that a comparison of the parts alone, or of
// the days between them with the wrong sign, shows.
struct DatePair {
    QDate earlier, later;
};

class ReportFormulaDates : public ::testing::TestWithParam<DatePair> {};

TEST_P(ReportFormulaDates, CompareInBothOrders)
{
    const DatePair d = GetParam();
    ASSERT_LT(d.earlier, d.later);
    MapScope s;
    s.fields["sightings.date"] = Value::date(d.earlier);
    s.fields["report.printdate"] = Value::date(d.later);
    const QString a = "{sightings.date}", b = "{report.printdate}";
    const struct {
        const char* op;
        bool earlierFirst; // the result of "earlier op later"
        bool laterFirst;   // the result of "later op earlier"
    } ops[] = {
        {"=", false, false}, {"<>", true, true}, {"<", true, false},
        {">", false, true},  {"<=", true, false}, {">=", false, true},
    };
    for (const auto& o : ops) {
        const QString forward = a + " " + o.op + " " + b;
        const QString backward = b + " " + o.op + " " + a;
        EXPECT_EQ(text(forward, s), o.earlierFirst ? "True" : "False") << qPrintable(forward);
        EXPECT_EQ(text(backward, s), o.laterFirst ? "True" : "False") << qPrintable(backward);
    }
    // A missing date comes before every date.
    s.fields["sightings.date"] = Value();
    EXPECT_EQ(text(a + " < " + b, s), "True");
    EXPECT_EQ(text(b + " > " + a, s), "True");
    EXPECT_EQ(text(a + " = " + b, s), "False");
    EXPECT_EQ(text(b + " <= " + a, s), "False");
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, ReportFormulaDates,
    ::testing::Values(DatePair{QDate(2020, 5, 3), QDate(2021, 5, 3)}, DatePair{QDate(2020, 5, 3), QDate(2020, 6, 3)},
                      DatePair{QDate(2020, 5, 3), QDate(2020, 5, 4)}, DatePair{QDate(2019, 12, 31), QDate(2020, 1, 1)},
                      DatePair{QDate(2020, 5, 30), QDate(2020, 6, 1)}, DatePair{QDate(1901, 1, 1), QDate(2099, 12, 31)},
                      DatePair{QDate(2024, 2, 28), QDate(2024, 2, 29)}));

TEST(ReportFormula, LetterCaseOfNamesAndKeywords)
{
    MapScope s = birdScope();
    EXPECT_EQ(text("{BIRDS.LIFELIST}", s), "17");
    EXPECT_EQ(text("{Birds.Name}", s), "Mallard");
    EXPECT_EQ(text("IF TRUE THEN 'y' ELSE 'n'", s), "y");
    EXPECT_EQ(text("If False Then 'y' eLsE 'n'", s), "n");
    EXPECT_EQ(text("TRUE AnD NOT FALSE Or false", s), "True");
    s.formulas["title"] = Formula::parse("Title = 'T ' + {OPTIONS.REGNAME}");
    EXPECT_EQ(text("{@title} + '!'", s), "T Ontario!");
    EXPECT_EQ(text("{@TITLE}", s), "T Ontario") << "formula names ignore case as well";
    EXPECT_EQ(text("{ birds.name }", s), "Mallard") << "blanks inside the braces";
}

TEST(ReportFormula, ErrorsCarryNumberAndPosition)
{
    MapScope s = birdScope();
    const struct {
        const char* formula;
        int number;
        int position;
    } cases[] = {
        {"", kErrFormulaSyntax, 1},
        {"   ", kErrFormulaSyntax, 4},
        {"1 +", kErrFormulaSyntax, 4},
        {"'open", kErrFormulaSyntax, 1},
        {"1 + {birds.name", kErrFormulaSyntax, 5},
        {"{birds}", kErrFormulaSyntax, 1},
        {"{a.b.c}", kErrFormulaSyntax, 1},
        {"if true 'x'", kErrFormulaSyntax, 9},
        {"(1 + 2", kErrFormulaSyntax, 7},
        {"1 + 2)", kErrFormulaSyntax, 6},
        {"1 # 2", kErrFormulaSyntax, 3},
        {"bird = 1 = 2 = 3", kErrFormulaSyntax, 14},
        {"Lifer = ", kErrFormulaSyntax, 9},
        {"1.", kErrFormulaSyntax, 3},
        {"mallard", kErrFormulaSyntax, 1},
        {"1 and", kErrFormulaSyntax, 6},
        {"then 1", kErrFormulaSyntax, 1},
        {"{@}", kErrFormulaSyntax, 1},
        {"1 + true", kErrFormulaValue, 3},
        {"'a' + true", kErrFormulaValue, 5},
        {"1 = 'a'", kErrFormulaValue, 3},
        {"true < false", kErrFormulaValue, 6},
        {"1 and true", kErrFormulaValue, 1},
        {"if 'x' then 1", kErrFormulaValue, 4},
        {"not 3", kErrFormulaValue, 5},
        {"{sightings.date} + 1", kErrFormulaValue, 18},
        {"1 + {birds.size}", kErrUnknownName, 5},
        {"{@missing}", kErrUnknownName, 1},
    };
    int position = -1;
    for (const auto& c : cases) {
        position = -1;
        EXPECT_EQ(errorNumber(c.formula, s, &position), c.number) << c.formula;
        EXPECT_EQ(position, c.position) << c.formula;
    }
    // Too deep: many opening parentheses end with an error, not a crashed stack.
    EXPECT_EQ(errorNumber(QString(100000, u'(') + "1", s), kErrFormulaSyntax);
    EXPECT_EQ(errorNumber(QString("not ").repeated(50000) + "true", s), kErrFormulaSyntax);
    EXPECT_EQ(errorNumber(QString("if true then ").repeated(5000) + "1", s), kErrFormulaSyntax);
    // A long flat chain is not nesting: it evaluates, up to the length a formula may have.
    EXPECT_EQ(text("1" + QString(" + 1").repeated(4999), s), "5000");
    EXPECT_EQ(errorNumber("1" + QString(" + 1").repeated(100000), s, &position), kErrFormulaSyntax);
    EXPECT_EQ(position, 1 + 4 * 5000) << "the first part beyond the limit";
    // Unknown names are found before evaluation by check().
    try {
        Formula::parse("if false then {birds.size} else 1").check(s);
        ADD_FAILURE() << "check() passed an unknown field";
    } catch (const ReportError& e) {
        EXPECT_EQ(e.number(), kErrUnknownName);
        EXPECT_EQ(e.position(), 15);
    }
}

// Thousands of generated formulas and mutations of good ones: each gives a value or a
// ReportError, never anything else, and quickly.
TEST(ReportFormula, RandomFormulasGiveAValueOrAClearError)
{
    MapScope s = birdScope();
    s.formulas["title"] = Formula::parse("Title = 'T' + {options.regname}");
    s.formulas["loop"] = Formula::parse("Loop = {@loop} + 1");
    const QStringList pieces = {
        "{Birds.LifeList}", "{birds.name}", "{options.regname}", "{sightings.date}", "{sightings.site}",
        "{@title}", "{@loop}", "{no.field}", "'[X]'", "'it''s'", "''", "0", "17", "2.5", "true", "FALSE",
        "+", "=", "<>", "<", ">", "<=", ">=", "and", "OR", "not", "if", "then", "Else", "(", ")", "Title =",
        "{", "}", "'", "@", ".", "#", "\u00e9", "\n", "{Birds.", "1.", " ",
    };
    const QStringList good = {
        "Title = 'Checklist For ' + {options.regname}",
        "Lifer = '[    ]'",
        "if {Birds.LifeList} > 0 then '[X]' Else '[   ]'",
        "{checklists.reg_ID} = 2",
        "not ({birds.lifelist} >= 3 and 'a' <> 'b') or {sightings.date} = {sightings.date}",
    };
    QRandomGenerator rng(20261207);
    int values = 0;
    int errors = 0;
    auto attempt = [&](const QString& f) {
        try {
            const Value v = Formula::parse(f).evaluate(s);
            (void)v.toText();
            ++values;
        } catch (const ReportError& e) {
            EXPECT_GE(e.number(), kErrNoDefinition);
            EXPECT_LE(e.number(), kErrBadProperty);
            EXPECT_FALSE(e.message().isEmpty());
            ++errors;
        }
        s.depth = 0;
    };
    for (int i = 0; i < 4000; ++i) {
        QString f;
        const int n = 1 + static_cast<int>(rng.bounded(12));
        for (int k = 0; k < n; ++k) f += pieces[rng.bounded(pieces.size())] + (rng.bounded(3) ? " " : "");
        attempt(f);
    }
    for (int i = 0; i < 4000; ++i) {
        QString f = good[rng.bounded(good.size())];
        const int edits = 1 + static_cast<int>(rng.bounded(4));
        for (int k = 0; k < edits && !f.isEmpty(); ++k) {
            const int at = static_cast<int>(rng.bounded(f.size()));
            switch (rng.bounded(3)) {
            case 0: f.remove(at, 1); break;
            case 1: f.insert(at, QChar(static_cast<char16_t>(32 + rng.bounded(95)))); break;
            default: f.insert(at, pieces[rng.bounded(pieces.size())]); break;
            }
        }
        attempt(f);
    }
    EXPECT_EQ(values + errors, 8000);
    EXPECT_GT(values, 200) << "the generator should also make valid formulas";
    EXPECT_GT(errors, 200);
}
