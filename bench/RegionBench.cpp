// Speed of the regions on the sample database, with every county of eBird's list:
//   - opening the search region dialog on the District/County kind (5,359 counties, until the
//     list is shown) against the one query that reads the same names;
//   - the first use of a county, which copies its nearest ancestor's checklist, against the
//     one INSERT ... SELECT that copies the same rows.

#include "state/AppState.h"
#include "records/DataImport.h"
#include "regions/ChecklistCopy.h"
#include "RatioReporter.h"
#include "state/Startup.h"
#include "platform/ScriptedPlatform.h"
#include "search/frmRegion.h"
#include "ui/Context.h"
#include "ui/RegionList.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace fl;

namespace {

struct Sample {
    QTemporaryDir dir;
    AppState state;
    ScriptedPlatform platform;
    Context ctx{state, platform, nullptr};
    int county = 0, source = 0;
    Sample()
    {
        buildDatabase(QStringLiteral(SAMPLE_DATA_DIR), dir.filePath("bird.mdb"), false);
        state.dataFolder = dir.path();
        openAndLoadOptions(state);
        county = state.db().scalar("SELECT Reg_ID FROM Regions WHERE Code = 'US-OH-049'").toInt();
        source = state.db().scalar("SELECT Reg_ID FROM Regions WHERE Code = 'US'").toInt();
    }
    // The county as it was before its first use.
    void unuse()
    {
        state.db().execute("DELETE FROM Checklists WHERE Reg_ID = ?", {county});
        state.db().execute("UPDATE Regions SET CopiedFrom = NULL WHERE Reg_ID = ?", {county});
    }
};

Sample& sample()
{
    static Sample s;
    return s;
}

void RegionDialogCounties(benchmark::State& st)
{
    Sample& s = sample();
    for (auto _ : st) {
        frmRegion d(s.ctx);
        d.optRegion_Click(4);
        d.show();
        QApplication::processEvents();
        if (d.lstRegion->count() != 5359) st.SkipWithError("the counties are not listed");
    }
}

void CountyNamesQuery(benchmark::State& st)
{
    Sample& s = sample();
    for (auto _ : st) {
        auto rs = s.state.db().openRecordset("GetDistricts", db::RecordsetKind::Snapshot);
        QStringList names;
        names.reserve(rs.recordCount());
        for (; !rs.eof(); rs.moveNext()) names << rs.field(0).toString();
        benchmark::DoNotOptimize(names.size());
    }
}

void FirstUseOfACounty(benchmark::State& st)
{
    Sample& s = sample();
    for (auto _ : st) {
        const ChecklistOrigin o = provideChecklist(s.state.db(), s.county);
        st.PauseTiming();
        if (o.copiedFrom != s.source) st.SkipWithError("not copied from the United States");
        s.unuse();
        st.ResumeTiming();
    }
}

void InsertSelectOfTheSameRows(benchmark::State& st)
{
    Sample& s = sample();
    for (auto _ : st) {
        s.state.db().execute("INSERT INTO Checklists (Bird_ID, Reg_ID, Status, scode) "
                             "SELECT Bird_ID, ?, Status, scode FROM Checklists WHERE Reg_ID = ?",
                             {s.county, s.source});
        st.PauseTiming();
        s.unuse();
        st.ResumeTiming();
    }
}

} // namespace

BENCHMARK(RegionDialogCounties)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(CountyNamesQuery)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(FirstUseOfACounty)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(InsertSelectOfTheSameRows)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({{"RegionDialogCounties", "CountyNamesQuery", 2.0},
                                   {"FirstUseOfACounty", "InsertSelectOfTheSameRows", 2.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
