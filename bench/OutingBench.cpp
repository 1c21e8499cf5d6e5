// The outing window and the outing's save, each against its floor:
// - opening the window on a region of 800 species (its checklist with the names and marks,
//   the place boxes, the recent sites, the grid shown) against one query reading that
//   checklist with the names;
// - saving an outing of 200 species (the outing's row, its sightings, the marks and lifesum)
//   against the same inserts as prepared statements in one transaction plus the mark update
//   as one statement.

#include "RatioReporter.h"
#include "Synthetic.h"
#include "db/Connection.h"
#include "outings/OutingChecklist.h"
#include "outings/OutingStore.h"
#include "regions/RegionKinds.h"
#include "ui/RegionList.h"
#include "platform/ScriptedPlatform.h"
#include "sightings/OutingGridModel.h"
#include "sightings/frmOuting.h"
#include "state/AppState.h"
#include "state/Startup.h"
#include "ui/Context.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace fl;

namespace {

constexpr int kState = 3;
constexpr int kListed = 800;

struct Program {
    bench::SyntheticDb data{2000, 20000};
    AppState state;
    ScriptedPlatform platform;
    Context ctx{state, platform, nullptr};
    std::vector<int> listed;
    Program()
    {
        db::Database& db = *data.db;
        db::Transaction tx(db);
        db.execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (?, 'Somewhere', 'State')", {kState});
        for (int i = 0; i < kListed; ++i) {
            listed.push_back(1 + i * 2000 / kListed);
            db.execute("INSERT INTO Checklists VALUES (?, ?, 'B', 'FS/')", {listed.back(), kState});
        }
        // A third of the sightings in the state, some sites used.
        db.execute("UPDATE Sightings SET state = ?, site = 'Site ' || (Sight_ID % 40) WHERE Sight_ID % 3 = 0", {kState});
        db.execute("UPDATE Options SET Reg_ID = ?, regname = 'Somewhere', regType = 'State'", {kState});
        tx.commit();
        rebuild(db);
        data.db.reset();
        state.dataFolder = data.dir.path();
        openAndLoadOptions(state);
    }
    static void rebuild(db::Database& db)
    {
        db.execute("UPDATE Birds SET LifeList = coalesce((SELECT Sight_ID FROM Sightings WHERE state = ? AND "
                   "Bird_ID = Birds.ID ORDER BY Date, Sight_ID LIMIT 1), 0) * (ID IN (SELECT Bird_ID FROM Checklists "
                   "WHERE Reg_ID = ?))",
                   {kState, kState});
    }
    Outing outing(int species) const
    {
        Outing o;
        o.date = QDate(2020, 5, 17);
        o.site = "Site 7";
        o.places[2] = kState;
        for (int i = 0; i < species; ++i) o.entries.push_back({listed[size_t(i * 4)], 1 + i % 30, {}, {}, {}, 0});
        return o;
    }
};

Program& program()
{
    static Program p;
    return p;
}

void OpenOutingWindow(benchmark::State& st)
{
    Program& p = program();
    for (auto _ : st) {
        frmOuting w(p.ctx, 0);
        w.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w.model->rowCount());
    }
}

// Where the window's time goes: its species, its place boxes' regions, its recent sites.
void PartChecklist(benchmark::State& st)
{
    Program& p = program();
    for (auto _ : st) benchmark::DoNotOptimize(outingChecklist(p.state.db(), kState).size());
}

void PartPlaceLists(benchmark::State& st)
{
    Program& p = program();
    for (auto _ : st)
        for (const RegionKind& kind : regionKinds()) benchmark::DoNotOptimize(readRegions(p.state.db(), kind, true).size());
}

void PartRecentSites(benchmark::State& st)
{
    Program& p = program();
    for (auto _ : st) benchmark::DoNotOptimize(recentSites(p.state.db()).size());
}

void PartWindowBuilt(benchmark::State& st)
{
    Program& p = program();
    for (auto _ : st) {
        frmOuting w(p.ctx, 0);
        benchmark::DoNotOptimize(w.model->rowCount());
    }
}

void ChecklistQueryFloor(benchmark::State& st)
{
    Program& p = program();
    db::Connection& conn = *p.state.db().connection();
    for (auto _ : st) {
        db::Statement q(conn, QStringLiteral("SELECT Birds.ID, Birds.Name, Birds.sci_name, Birds.LifeList FROM Birds "
                                             "INNER JOIN Checklists ON Checklists.Bird_ID = Birds.ID "
                                             "WHERE Checklists.Reg_ID = ? ORDER BY Birds.sortOrder"));
        q.bind({kState});
        qint64 n = 0;
        while (q.step()) n += q.value(1).toString().size() + q.int64(3);
        benchmark::DoNotOptimize(n);
    }
}

void SaveOuting200(benchmark::State& st)
{
    Program& p = program();
    db::Database& db = p.state.db();
    const LifeListScope scope{kState, QStringLiteral("State")};
    for (auto _ : st) {
        Outing o = p.outing(200);
        saveOuting(db, o, scope, p.state.rsOptions);
        st.PauseTiming();
        deleteOuting(db, o.id, scope, p.state.rsOptions);
        st.ResumeTiming();
    }
}

void InsertFloor200(benchmark::State& st)
{
    Program& p = program();
    db::Database& db = p.state.db();
    db::Connection& conn = *db.connection();
    const Outing o = p.outing(200);
    QStringList ids;
    for (const OutingEntry& e : o.entries) ids << QString::number(e.birdId);
    const QString marks = QStringLiteral(
        "UPDATE Birds SET LifeList = coalesce((SELECT Sight_ID FROM Sightings WHERE state = ?1 AND Bird_ID = Birds.ID "
        "ORDER BY Date, Sight_ID LIMIT 1), 0) WHERE ID IN (%1)").arg(ids.join(u','));
    for (auto _ : st) {
        db::Transaction tx(db);
        db.execute("INSERT INTO Outings (Date, site, state) VALUES (?, ?, ?)", {o.date, o.site, kState});
        const qint64 outingId = conn.lastInsertRowid();
        {
            db::Statement insert(conn, QStringLiteral(
                "INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes, Outing_ID, "
                "Count, BreedingCode, MediaNumbers) VALUES (?, ?, '', 0, 0, ?, 0, ?, '', ?, ?, NULL, NULL)"));
            for (const OutingEntry& e : o.entries) {
                insert.bind({e.birdId, o.date, kState, o.site, outingId, *e.count});
                insert.step();
                insert.reset();
            }
        }
        db.execute(marks, {kState});
        tx.commit();
        st.PauseTiming();
        {
            db::Transaction clean(db);
            db.execute("DELETE FROM Sightings WHERE Outing_ID = ?", {outingId});
            db.execute("DELETE FROM Outings WHERE Outing_ID = ?", {outingId});
            db.execute(marks, {kState});
            clean.commit();
        }
        st.ResumeTiming();
    }
}

} // namespace

BENCHMARK(OpenOutingWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PartChecklist)->Unit(benchmark::kMillisecond);
BENCHMARK(PartPlaceLists)->Unit(benchmark::kMillisecond);
BENCHMARK(PartRecentSites)->Unit(benchmark::kMillisecond);
BENCHMARK(PartWindowBuilt)->Unit(benchmark::kMillisecond);
BENCHMARK(ChecklistQueryFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(SaveOuting200)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(InsertFloor200)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    {
        frmOuting w(program().ctx, 0);
        std::printf("outing window: %d species listed\n", w.model->rowCount());
        if (w.model->rowCount() != kListed) return 1;
    }
    bench::RatioReporter reporter({{"OpenOutingWindow", "ChecklistQueryFloor", 2.0},
                                   {"SaveOuting200", "InsertFloor200", 2.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
