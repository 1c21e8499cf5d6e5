// Speed of the main window's work against the queries it runs:
//   - showing one species (the whole bird page) against opening its five record sets;
//   - choosing a region (the Use command) against the set-based statement for its marks;
//   - the name search against a plain LIKE query.

#include "AppState.h"
#include "DataImport.h"
#include "LifeList.h"
#include "RatioReporter.h"
#include "Startup.h"
#include "Synthetic.h"
#include "app/Wiring.h"
#include "browser/frmDisplay.h"
#include "platform/ScriptedPlatform.h"
#include "search/frmName.h"
#include "search/frmRegion.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace fl;

namespace {

// The program on a folder, as it runs.
struct Program {
    AppState state;
    ScriptedPlatform platform;
    Context ctx{state, platform, nullptr};
    std::unique_ptr<frmDisplay> w;
    explicit Program(const QString& folder)
    {
        state.appFolder = folder;
        openAndLoadOptions(state);
        w = createMainWindow(ctx);
        w->Form_Load();
    }
};

Program& sample()
{
    static QTemporaryDir dir;
    static std::unique_ptr<Program> p = [] {
        buildDatabase(QStringLiteral(SAMPLE_DATA_DIR), dir.filePath("bird.mdb"), false);
        auto program = std::make_unique<Program>(dir.path());
        program->state.SongCD = true; // the page then runs all five of its queries
        return program;
    }();
    return *p;
}

void BirdPage(benchmark::State& st)
{
    Program& p = sample();
    const int n = p.w->cmbNames->count();
    int i = 0;
    for (auto _ : st) {
        i = (i + 1) % n;
        p.w->selectListIndex(i);
    }
}

void BirdPageQueries(benchmark::State& st)
{
    Program& p = sample();
    db::Database& db = p.state.db();
    const int n = p.w->cmbNames->count();
    int i = 0;
    for (auto _ : st) {
        i = (i + 1) % n;
        auto bird = db.openRecordset("Select * from Birds Where Name = ?", db::RecordsetKind::Dynaset,
                                     {p.w->cmbNames->itemText(i)});
        const QString id = bird.field("id").toString();
        auto images = db.openRecordset("Select * from images where Bird_ID = " + id + " Order By file", db::RecordsetKind::Dynaset);
        auto status = db.openRecordset("select status, scode from checklists where checklists.bird_ID = " + id
                                           + " And checklists.reg_ID = 1", db::RecordsetKind::Snapshot);
        auto cd = db.openRecordset("Select * from cdSong where Bird_ID = " + id, db::RecordsetKind::Dynaset);
        auto links = db.openRecordset("Select * from Links Where Bird_ID = " + id, db::RecordsetKind::Dynaset);
        benchmark::DoNotOptimize(status.eof());
    }
}

Program& synthetic()
{
    static std::unique_ptr<bench::SyntheticDb> data;
    static std::unique_ptr<Program> p = [] {
        data = std::make_unique<bench::SyntheticDb>(11000, 100000);
        const QString folder = data->dir.path();
        data->db.reset(); // the program opens it itself
        return std::make_unique<Program>(folder);
    }();
    return *p;
}

void UseRegion(benchmark::State& st)
{
    Program& p = synthetic();
    for (auto _ : st) {
        st.PauseTiming();
        p.state.db().execute("UPDATE Birds SET LifeList = 1 WHERE ID % 2 = 0");
        frmRegion dialog(p.ctx, p.w.get());
        st.ResumeTiming();
        dialog.cmdOK_Click();
    }
}

void UseRegionSetBased(benchmark::State& st)
{
    Program& p = synthetic();
    for (auto _ : st) {
        st.PauseTiming();
        p.state.db().execute("UPDATE Birds SET LifeList = 1 WHERE ID % 2 = 0");
        st.ResumeTiming();
        rebuildLifeListSetBased(p.state.db(), 1, "Region");
    }
}

void NameSearch(benchmark::State& st)
{
    Program& p = sample();
    p.state.Reg_ID = 0;
    for (auto _ : st) {
        st.PauseTiming();
        frmName dialog(p.ctx, p.w.get());
        dialog.txtName->setText("warbler");
        st.ResumeTiming();
        dialog.cmdFind_Click();
    }
}

void NameSearchLike(benchmark::State& st)
{
    Program& p = sample();
    for (auto _ : st) {
        auto rs = p.state.db().openRecordset("SELECT Name from Birds Where Name LIKE '*warbler*'" + p.state.qrySort,
                                             db::RecordsetKind::Snapshot);
        benchmark::DoNotOptimize(rs.recordCount());
    }
}

} // namespace

BENCHMARK(BirdPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BirdPageQueries)->Unit(benchmark::kMicrosecond);
BENCHMARK(UseRegion)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(UseRegionSetBased)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(NameSearch)->Unit(benchmark::kMicrosecond);
BENCHMARK(NameSearchLike)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({{"BirdPage", "BirdPageQueries", 2.0},
                                   {"UseRegion", "UseRegionSetBased", 1.5},
                                   {"NameSearch", "NameSearchLike", 2.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
