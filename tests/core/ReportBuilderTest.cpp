#include "TestDatabase.h"
#include "report/ReportBuilder.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

using namespace fl;
using namespace fl::report;

namespace {

const QString kSelectOntario = "{checklists.reg_ID} = 2";
const QStringList kChecklistFormulas = {"Title = 'Checklist For ' + {options.regname}", "Lifer = '[    ]'"};
const QStringList kLifeFormulas = {"Title = 'Life List For ' + {options.regname}",
                                   "if {Birds.LifeList} > 0 then '[X]' Else '[   ]'"};

ReportDefinition shipped(const char* name)
{
    return loadDefinition(QDir(QStringLiteral(REPORTS_DIR)).filePath(QString::fromLatin1(name)));
}

// The fixture with Ontario (species 1 to 6) as the current region.
std::unique_ptr<db::Database> ontario(test::TestFolder& f)
{
    auto db = f.open();
    db->execute("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State'");
    return db;
}

QStringList headings(const BuiltReport& r)
{
    QStringList out;
    for (const auto& g : r.groups) out << g.heading;
    return out;
}

// Each row as its cells joined by " | ".
QStringList rows(const BuiltReport& r)
{
    QStringList out;
    for (const auto& g : r.groups)
        for (const auto& row : g.rows) out << row.cells.join(" | ");
    return out;
}

int errorOf(const std::function<void()>& f, QString* message = nullptr)
{
    try {
        f();
    } catch (const ReportError& e) {
        if (message) *message = e.message();
        return e.number();
    }
    return 0;
}

} // namespace

TEST(ReportBuilder, ChecklistOfARegionInChecklistOrderByFamily)
{
    test::TestFolder f;
    auto db = ontario(f);
    const BuiltReport r = buildReport(*db, shipped("checklist.rpt"), kSelectOntario, kChecklistFormulas, QDate(2026, 12, 7));
    EXPECT_EQ(r.title, "Checklist For Ontario");
    EXPECT_EQ(headings(r), (QStringList{"Ducks, Geese, and Waterfowl", "Thrushes"}));
    EXPECT_EQ(rows(r), (QStringList{
                           "[    ] | Canada Goose | Branta canadensis",
                           "[    ] | Wood Duck | Aix sponsa",
                           "[    ] | Mallard | Anas platyrhynchos",
                           "[    ] | Wood Thrush | Hylocichla mustelina",
                           "[    ] | Hermit Thrush | Catharus guttatus",
                           "[    ] | American Robin | Turdus migratorius",
                       }));
    EXPECT_EQ(r.listed, 6);
    EXPECT_EQ(r.ticked, 0);
    EXPECT_EQ(r.summary, "Species listed: 6     Species ticked: 0");
    EXPECT_EQ(r.headerLeft(1, 3), "Ontario");
    EXPECT_EQ(r.headerRight(1, 3), "Printed 2026-12-07");
    EXPECT_EQ(r.footer(2, 3), "Page 2 of 3");
}

TEST(ReportBuilder, LifeListTicksExactlyTheSightedSpecies)
{
    test::TestFolder f;
    auto db = ontario(f);
    db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Type, Region, country, state, district, site) VALUES "
                "(7, 2, '2024-05-03', 'Male', 0, 0, 2, 0, 'Rondeau Park'), (8, 5, '2025-06-01', 'Adult', 0, 0, 2, 0, 'Algonquin')");
    db->execute("UPDATE Birds SET LifeList = 7 WHERE ID = 2");
    db->execute("UPDATE Birds SET LifeList = 8 WHERE ID = 5");
    const BuiltReport r = buildReport(*db, shipped("life.rpt"), kSelectOntario, kLifeFormulas, QDate(2026, 12, 7));
    EXPECT_EQ(r.title, "Life List For Ontario");
    EXPECT_EQ(rows(r), (QStringList{
                           "[   ] | Canada Goose | Branta canadensis |  | ",
                           "[X] | Wood Duck | Aix sponsa | 2024-05-03 | Rondeau Park",
                           "[   ] | Mallard | Anas platyrhynchos |  | ",
                           "[   ] | Wood Thrush | Hylocichla mustelina |  | ",
                           "[X] | Hermit Thrush | Catharus guttatus | 2025-06-01 | Algonquin",
                           "[   ] | American Robin | Turdus migratorius |  | ",
                       }));
    EXPECT_EQ(r.ticked, 2);
    EXPECT_EQ(r.summary, "Species listed: 6     Species ticked: 2");
}

TEST(ReportBuilder, WorldListsEverySpeciesAndTicksThoseSightedAnywhere)
{
    test::TestFolder f;
    auto db = f.open();
    db->execute("UPDATE Options SET Reg_ID = 0, regname = 'World', regType = 'World'");
    db->execute("DELETE FROM Checklists WHERE Bird_ID = 9"); // in no checklist at all
    db->execute("INSERT INTO Sightings (Sight_ID, Bird_ID, Date, Region, country, state, district, site) VALUES "
                "(1, 9, '2023-01-02', 0, 0, 0, 0, 'Nowhere listed'), (2, 4, '2022-01-01', 0, 0, 2, 0, 'Later'), "
                "(3, 4, '2021-01-01', 1, 0, 0, 0, 'Earliest')");
    db->execute("UPDATE Birds SET LifeList = 99 WHERE ID = 1"); // a stale mark of another region
    const QString world = "{checklists.reg_ID} = 0";
    const BuiltReport c = buildReport(*db, shipped("checklist.rpt"), world, kChecklistFormulas, QDate(2026, 1, 1));
    EXPECT_EQ(c.title, "Checklist For World");
    EXPECT_EQ(c.listed, 12);
    EXPECT_EQ(c.ticked, 0);
    EXPECT_EQ(headings(c), (QStringList{"Ducks, Geese, and Waterfowl", "Thrushes", "Wood-Warblers"}));

    const BuiltReport l = buildReport(*db, shipped("life.rpt"), world, kLifeFormulas, QDate(2026, 1, 1));
    EXPECT_EQ(l.listed, 12);
    EXPECT_EQ(l.ticked, 2);
    QStringList ticked;
    for (const auto& g : l.groups)
        for (const auto& row : g.rows)
            if (row.ticked) ticked << row.cells.mid(1).join(" | ");
    EXPECT_EQ(ticked, (QStringList{"American Robin | Turdus migratorius | 2021-01-01 | Earliest",
                                   "Common Yellowthroat | Geothlypis trichas | 2023-01-02 | Nowhere listed"}));
}

TEST(ReportBuilder, AnyOtherSelectionIsAppliedRowByRow)
{
    test::TestFolder f;
    auto db = ontario(f);
    const auto def = shipped("checklist.rpt");
    const QDate d(2026, 1, 1);
    const BuiltReport some = buildReport(*db, def, "{checklists.reg_ID} = 2 and not ({birds.name} = 'mallard')",
                                         kChecklistFormulas, d);
    EXPECT_EQ(some.listed, 5);
    EXPECT_FALSE(rows(some).join("\n").contains("Mallard"));
    const BuiltReport two = buildReport(*db, def, "{checklists.reg_ID} >= 2", kChecklistFormulas, d);
    EXPECT_EQ(two.listed, 6 + 5) << "Ontario and Canada rows";
    const BuiltReport none = buildReport(*db, def, "{checklists.reg_ID} = 4", kChecklistFormulas, d);
    EXPECT_EQ(none.listed, 0);
    EXPECT_TRUE(none.groups.isEmpty());
    EXPECT_EQ(none.summary, "Species listed: 0     Species ticked: 0");
    const BuiltReport all = buildReport(*db, def, "", kChecklistFormulas, d);
    EXPECT_EQ(all.listed, 12 + 6 + 5);
}

TEST(ReportBuilder, FamiliesKeepOneHeadingInTheOrderTheyFirstAppear)
{
    test::TestFolder f;
    auto db = ontario(f);
    db->execute("UPDATE Birds SET sortOrder = 45 WHERE ID = 7"); // a warbler between the thrushes
    db->execute("INSERT INTO Checklists VALUES (7, 2, 'B', '')");
    const BuiltReport r = buildReport(*db, shipped("checklist.rpt"), kSelectOntario, kChecklistFormulas, QDate());
    EXPECT_EQ(headings(r), (QStringList{"Ducks, Geese, and Waterfowl", "Thrushes", "Wood-Warblers"}));
    EXPECT_EQ(r.groups[1].rows.size(), 3);
}

TEST(ReportBuilder, ProgramFormulasNamesAndValuesWithQuotes)
{
    test::TestFolder f;
    auto db = ontario(f);
    db->execute("UPDATE Options SET regname = ?", {QStringLiteral("Kirtland's ' OR 1=1 --")});
    const auto def = shipped("life.rpt");
    db->execute("UPDATE Birds SET LifeList = 3 WHERE ID = 1");
    // An unnamed formula is the tick box; a named one replaces the definition's default.
    BuiltReport r = buildReport(*db, def, kSelectOntario, {"Title = {options.regname} + '!'", "'<' + {birds.id} + '>'"}, QDate());
    EXPECT_EQ(r.title, "Kirtland's ' OR 1=1 --!");
    EXPECT_EQ(r.groups[0].rows[0].cells[0], "<3>");
    EXPECT_EQ(r.ticked, 6) << "every box holds text";
    // Without formulas the definition's own are used.
    r = buildReport(*db, def, kSelectOntario, {}, QDate());
    EXPECT_EQ(r.title, "Life List For Kirtland's ' OR 1=1 --");
    EXPECT_EQ(r.ticked, 1);
}

TEST(ReportBuilder, ErrorsHaveTheirNumbers)
{
    test::TestFolder f;
    auto db = ontario(f);
    const auto def = shipped("checklist.rpt");
    QString message;
    EXPECT_EQ(errorOf([&] { loadDefinition(QDir(f.path()).filePath("checklist.rpt")); }, &message), kErrNoDefinition);
    EXPECT_TRUE(message.contains("checklist.rpt"));
    QDir(f.path()).mkdir("life.rpt");
    EXPECT_EQ(errorOf([&] { loadDefinition(QDir(f.path()).filePath("life.rpt")); }), kErrNoDefinition)
        << "a folder is not a definition";

    EXPECT_EQ(errorOf([&] { parseDefinition("source: checklist\n", "x.rpt"); }), kErrBadDefinition);
    EXPECT_EQ(errorOf([&] { parseDefinition("featherlog report: 1\nsource: checklist\ncolumn 5: {birds.name}\nwidth 5\n", "x.rpt"); }, &message),
              kErrBadDefinition);
    EXPECT_TRUE(message.contains("x.rpt, line 4")) << qPrintable(message);
    EXPECT_EQ(errorOf([&] { parseDefinition("featherlog report: 1\nsource: checklist\ncolumn 5 wavy: {birds.name}\n", "x.rpt"); }),
              kErrBadDefinition);
    EXPECT_EQ(errorOf([&] { parseDefinition("featherlog report: 1\nsource: weather\ncolumn 5: {birds.name}\n", "x.rpt"); }),
              kErrBadDefinition);
    EXPECT_EQ(errorOf([&] { parseDefinition("featherlog report: 1\nsource: checklist\ncolumn 5: {birds.name} +\n", "x.rpt"); }, &message),
              kErrFormulaSyntax);
    EXPECT_TRUE(message.contains("line 3")) << qPrintable(message);

    const QDate d;
    EXPECT_EQ(errorOf([&] { buildReport(*db, def, "{checklists.reg_ID} = ", kChecklistFormulas, d); }), kErrFormulaSyntax);
    EXPECT_EQ(errorOf([&] { buildReport(*db, def, kSelectOntario, {"Title = 'x' + {options.region}"}, d); }), kErrUnknownName);
    EXPECT_EQ(errorOf([&] { buildReport(*db, def, "{checklists.reg_ID} = 4 and {birds.size} > 1", kChecklistFormulas, d); }),
              kErrUnknownName) << "found even when no row is selected";
    EXPECT_EQ(errorOf([&] { buildReport(*db, def, "{birds.name}", kChecklistFormulas, d); }), kErrFormulaValue);
    EXPECT_EQ(errorOf([&] { buildReport(*db, def, kSelectOntario, {"Title = {@Lifer}", "Lifer = {@Title}"}, d); }),
              kErrFormulaValue);
    db->execute("DROP TABLE Families");
    EXPECT_EQ(errorOf([&] { buildReport(*db, def, kSelectOntario, kChecklistFormulas, d); }), kErrDatabase);
}

// Damaged definition files: each gives a definition or a numbered error, never anything else.
TEST(ReportBuilder, DamagedDefinitionsGiveADefinitionOrAClearError)
{
    QFile shippedFile(QDir(QStringLiteral(REPORTS_DIR)).filePath("life.rpt"));
    ASSERT_TRUE(shippedFile.open(QIODevice::ReadOnly));
    const QString original = QString::fromUtf8(shippedFile.readAll());
    const QStringList pieces = {"\n", ":", "{", "}", "'", "column", "column 0", "formula:", " = ", "if", "+",
                                "{@Title}", "{@Nothing}", "featherlog report: 1\n", "list width: -3\n", "#", "\t"};
    test::TestFolder f;
    auto db = ontario(f);
    QRandomGenerator rng(7);
    int built = 0;
    int errors = 0;
    for (int i = 0; i < 600; ++i) {
        QString text = original;
        const int edits = 1 + static_cast<int>(rng.bounded(5));
        for (int k = 0; k < edits; ++k) {
            const int at = static_cast<int>(rng.bounded(text.size()));
            switch (rng.bounded(3)) {
            case 0: text.remove(at, 1 + static_cast<int>(rng.bounded(8))); break;
            case 1: text.insert(at, QChar(static_cast<char16_t>(32 + rng.bounded(95)))); break;
            default: text.insert(at, pieces[rng.bounded(pieces.size())]); break;
            }
        }
        try {
            const ReportDefinition def = parseDefinition(text, "life.rpt");
            // Evaluating every 20th one against the database as well keeps the test quick.
            if (i % 20 == 0) buildReport(*db, def, kSelectOntario, kLifeFormulas, QDate(2026, 1, 1));
            ++built;
        } catch (const ReportError& e) {
            EXPECT_GE(e.number(), kErrNoDefinition);
            EXPECT_LE(e.number(), kErrBadProperty);
            ++errors;
        }
    }
    EXPECT_EQ(built + errors, 600);
    EXPECT_GT(built, 20);
    EXPECT_GT(errors, 20);
}

// Report definitions are text files the user may edit: generated definitions at and beyond
// the limits give a numbered error naming the file and line, never a crash or a hang.

namespace {

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
