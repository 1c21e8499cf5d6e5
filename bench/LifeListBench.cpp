// The life-list rebuild of a region through record sets, against the same marks computed
// by one set-based statement.

#include "LifeList.h"
#include "RatioReporter.h"
#include "Synthetic.h"

#include <benchmark/benchmark.h>
#include <cstdio>

using namespace fl;

namespace {

bench::SyntheticDb& data()
{
    static bench::SyntheticDb d(11000, 100000);
    return d;
}

void RecordsetRebuild(benchmark::State& state)
{
    auto& db = *data().db;
    for (auto _ : state) {
        state.PauseTiming();
        db.execute("UPDATE Birds SET LifeList = 1 WHERE ID % 2 = 0"); // marks of another region
        state.ResumeTiming();
        auto list = rebuildLifeList(db, 1, "Region", " Order By Birds.sortOrder");
        benchmark::DoNotOptimize(list);
    }
}

void SetBasedRebuild(benchmark::State& state)
{
    auto& db = *data().db;
    for (auto _ : state) {
        state.PauseTiming();
        db.execute("UPDATE Birds SET LifeList = 1 WHERE ID % 2 = 0");
        state.ResumeTiming();
        rebuildLifeListSetBased(db, 1, "Region");
    }
}

bool sameMarks()
{
    auto& db = *data().db;
    rebuildLifeList(db, 1, "Region", " Order By Birds.sortOrder");
    db.execute("CREATE TEMP TABLE a AS SELECT ID, LifeList FROM Birds");
    rebuildLifeListSetBased(db, 1, "Region");
    const int differ = db.scalar("SELECT count(*) FROM Birds, a WHERE Birds.ID = a.ID AND Birds.LifeList <> a.LifeList").toInt();
    db.execute("DROP TABLE a");
    return differ == 0;
}

} // namespace

BENCHMARK(RecordsetRebuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(SetBasedRebuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (!sameMarks()) {
        std::printf("the two rebuilds disagree\n");
        return 1;
    }
    bench::RatioReporter reporter({{"RecordsetRebuild", "SetBasedRebuild", 1.5}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
