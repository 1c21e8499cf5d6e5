// The life-list rebuild of a region (marks, names and counts in one transaction), against
// its floor: the set-based statement for the marks plus the query of the region's names.

#include "lifelist/LifeList.h"
#include "RatioReporter.h"
#include "Synthetic.h"

#include <benchmark/benchmark.h>

using namespace fl;

namespace {

bench::SyntheticDb& data()
{
    static bench::SyntheticDb d(11000, 100000);
    return d;
}

void Rebuild(benchmark::State& state)
{
    auto& db = *data().db;
    for (auto _ : state) {
        state.PauseTiming();
        db.execute("UPDATE Birds SET LifeList = 1 WHERE ID % 2 = 0"); // marks of another region
        state.ResumeTiming();
        auto list = rebuildLifeList(db, 1, " Order By Birds.sortOrder");
        benchmark::DoNotOptimize(list);
    }
}

void SetBasedRebuildAndNames(benchmark::State& state)
{
    auto& db = *data().db;
    for (auto _ : state) {
        state.PauseTiming();
        db.execute("UPDATE Birds SET LifeList = 1 WHERE ID % 2 = 0");
        state.ResumeTiming();
        db::Transaction tx(db);
        rebuildLifeListSetBased(db, 1);
        auto names = db.openRecordset("SELECT Birds.Name, Birds.LifeList FROM Birds INNER JOIN Checklists ON "
                                      "Birds.ID = Checklists.Bird_ID WHERE Checklists.Reg_ID = ? Order By Birds.sortOrder",
                                      db::RecordsetKind::Snapshot, {1});
        QStringList list;
        for (; !names.eof(); names.moveNext()) list << names.field(0).toString();
        tx.commit();
        benchmark::DoNotOptimize(list);
    }
}

} // namespace

BENCHMARK(Rebuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(SetBasedRebuildAndNames)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({{"Rebuild", "SetBasedRebuildAndNames", 1.3}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
