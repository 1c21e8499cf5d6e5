// Opening the checklist editor on a region (until its grid is filled and the first species
// selected) against the one join query that reads the same rows.

#include "state/AppState.h"
#include "RatioReporter.h"
#include "state/Startup.h"
#include "Synthetic.h"
#include "checklists/frmChecklist.h"
#include "platform/ScriptedPlatform.h"
#include "ui/Context.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

using namespace fl;

namespace {

constexpr int kRegion = 3;

// A synthetic database with a third region whose checklist holds `listed` of the species,
// opened as the program opens it.
struct Setup {
    std::unique_ptr<bench::SyntheticDb> data;
    AppState state;
    ScriptedPlatform platform;
    Context ctx{state, platform, nullptr};
    Setup(int species, int listed)
    {
        data = std::make_unique<bench::SyntheticDb>(species, 0);
        db::Database& db = *data->db;
        db::Transaction tx(db);
        db.execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (?, 'Somewhere', 'State')", {kRegion});
        const char* letters[] = {"B", "V", "T", "R", "E", "N"};
        for (int i = 0; i < listed; ++i)
            db.execute("INSERT INTO Checklists VALUES (?, ?, ?, 'FS/UWL')",
                       {1 + i * species / listed, kRegion, letters[i % 6]});
        tx.commit();
        data->db.reset(); // the program opens it itself
        state.dataFolder = data->dir.path();
        openAndLoadOptions(state);
        state.selReg_ID = kRegion;
        state.selRegname = QStringLiteral("Somewhere");
    }
};

Setup& setup(int species)
{
    static std::map<int, std::unique_ptr<Setup>> setups;
    auto& s = setups[species];
    if (!s) s = std::make_unique<Setup>(species, species == 11000 ? 5000 : species * 5000 / 11000);
    return *s;
}

void EditorOpen(benchmark::State& st, int species)
{
    Setup& s = setup(species);
    for (auto _ : st) {
        frmChecklist editor(s.ctx);
        if (editor.currentRow() != 0) st.SkipWithError("the first species is not selected");
        benchmark::DoNotOptimize(editor.currentRow());
    }
}

void JoinQuery(benchmark::State& st, int species)
{
    Setup& s = setup(species);
    for (auto _ : st) {
        auto rs = s.state.db().openRecordset(
            "SELECT Birds.ID, Birds.Name, Checklists.Status FROM Birds LEFT JOIN Checklists "
            "ON Checklists.Bird_ID = Birds.ID AND Checklists.Reg_ID = ? Order by Birds.sortorder",
            db::RecordsetKind::Snapshot, {kRegion});
        benchmark::DoNotOptimize(rs.recordCount());
    }
}

} // namespace

BENCHMARK_CAPTURE(EditorOpen, 11000, 11000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(JoinQuery, 11000, 11000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(EditorOpen, 1000, 1000)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(JoinQuery, 1000, 1000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({{"EditorOpen/11000", "JoinQuery/11000", 3.0},
                                   {"EditorOpen/1000", "JoinQuery/1000", 3.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
