// Speed of the report engine: the North America checklist of the sample database written
// to a PDF file (definition, query, formulas, layout and painting), against Qt itself
// printing a plain QTextDocument table of the same rows to a PDF file; and a sum of texts as
// long as a formula may be against one a tenth as long, which must take about ten times as
// long (time in proportion to the formula's length).

#include "records/DataImport.h"
#include "RatioReporter.h"
#include "schema/Schema.h"
#include "db/Database.h"
#include "report/ReportBuilder.h"
#include "sightings/ReportPrinter.h"

#include <QApplication>
#include <QDir>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <benchmark/benchmark.h>

using namespace fl;

namespace {

struct Sample {
    QTemporaryDir dir;
    std::unique_ptr<db::Database> db;
    Sample()
    {
        const QString path = dir.filePath("bird.mdb");
        buildDatabase(QStringLiteral(SAMPLE_DATA_DIR), path, false);
        db = db::Database::open(path, true, false, QString::fromLatin1(kConnectString));
    }
};

Sample& sample()
{
    static Sample s;
    return s;
}

void setUpPdf(QPdfWriter& w)
{
    w.setResolution(300);
    w.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                QPageLayout::Millimeter));
}

void ChecklistPdf(benchmark::State& st)
{
    Sample& s = sample();
    const QString definition = QDir(QStringLiteral(REPORTS_DIR)).filePath("checklist.rpt");
    const QString out = s.dir.filePath("checklist.pdf");
    int rows = 0;
    for (auto _ : st) {
        const report::ReportDefinition def = report::loadDefinition(definition);
        ReportPrinter printer(report::buildReport(*s.db, def, "{checklists.reg_ID} = 1",
                                                  {"Title = 'Checklist For ' + {options.regname}", "Lifer = '[    ]'"},
                                                  QDate(2026, 12, 7)));
        rows = printer.content().listed;
        if (!printer.writePdf(out)) st.SkipWithError("the PDF could not be written");
    }
    st.counters["species"] = rows;
}

void QTextDocumentTablePdf(benchmark::State& st)
{
    Sample& s = sample();
    const QString out = s.dir.filePath("table.pdf");
    int rows = 0;
    for (auto _ : st) {
        auto rs = s.db->openRecordset(
            "SELECT Birds.Name, Birds.sci_name FROM Checklists INNER JOIN Birds ON Birds.ID = Checklists.Bird_ID "
            "LEFT JOIN Families ON Families.Fam_ID = Birds.family_ID WHERE Checklists.Reg_ID = ? "
            "ORDER BY Birds.sortOrder, Birds.Name",
            db::RecordsetKind::Snapshot, {1});
        QTextDocument doc;
        QTextCursor cursor(&doc);
        QTextTable* table = cursor.insertTable(std::max(1, rs.recordCount()), 3);
        rows = 0;
        for (; !rs.eof(); rs.moveNext(), ++rows) {
            table->cellAt(rows, 0).firstCursorPosition().insertText(QStringLiteral("[    ]"));
            table->cellAt(rows, 1).firstCursorPosition().insertText(rs.field(0).toString());
            table->cellAt(rows, 2).firstCursorPosition().insertText(rs.field(1).toString());
        }
        QPdfWriter w(out);
        setUpPdf(w);
        doc.print(&w);
    }
    st.counters["species"] = rows;
}

// A scope with one text field.
class OneField : public report::Scope {
public:
    report::Value field(const QString&, int) const override { return report::Value::text(QStringLiteral("Mallard")); }
    report::Value formula(const QString&, int) const override { return {}; }
    bool hasField(const QString&) const override { return true; }
    bool hasFormula(const QString&) const override { return false; }
};

void textSum(benchmark::State& st, int terms)
{
    const report::Formula f = report::Formula::parse(
        QStringList(terms, QStringLiteral("{birds.name}")).join(QStringLiteral(" + ")));
    const OneField scope;
    for (auto _ : st) benchmark::DoNotOptimize(f.evaluate(scope).toText().size());
}

void TextSumLong(benchmark::State& st) { textSum(st, (report::Formula::kMaxFormulaParts + 1) / 2); }
void TextSumTenth(benchmark::State& st) { textSum(st, (report::Formula::kMaxFormulaParts + 1) / 20); }

} // namespace

BENCHMARK(TextSumLong)->Unit(benchmark::kMicrosecond);
BENCHMARK(TextSumTenth)->Unit(benchmark::kMicrosecond);
BENCHMARK(ChecklistPdf)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(QTextDocumentTablePdf)->Unit(benchmark::kMillisecond)->MinTime(3.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({{"ChecklistPdf", "QTextDocumentTablePdf", 1.5}, {"TextSumLong", "TextSumTenth", 12.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.allMet() ? 0 : 1;
}
