// The outing window and the outing's save, each against its floor:
// - opening the window on a region of 800 species as File > New Outing does it a second time
//   (the window is kept: its checklist with the names and codes read again, the recent
//   sites, the place boxes, the grid shown and painted) against one query reading that
//   checklist with the names; the first opening of a run, which makes the window, is shown
//   beside it, and the same opening on a region of ten species: what the window costs
//   whatever its checklist;
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
#include <memory>

using namespace fl;

namespace {

constexpr int kState = 3;
constexpr int kListed = 800;
constexpr int kSmall = 9000; // a state whose checklist has ten species

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
        db.execute("INSERT INTO Regions (Reg_ID, Name, Type, Code) VALUES (?, 'Somewhere', 'State', 'US-SW')", {kState});
        addPlaces(db);
        db.execute("INSERT INTO Regions (Reg_ID, Name, Type, Code) VALUES (?, 'Small', 'State', 'US-SM')", {kSmall});
        for (int i = 0; i < 10; ++i) db.execute("INSERT INTO Checklists VALUES (?, ?, 'B', 'FS/')", {1 + i * 7, kSmall});
        for (int i = 0; i < kListed; ++i) {
            listed.push_back(1 + i * 2000 / kListed);
            db.execute("INSERT INTO Checklists VALUES (?, ?, 'B', 'FS/')", {listed.back(), kState});
        }
        // Nearly every species has its official alpha code, as in the shipped database.
        db.execute("UPDATE Birds SET AlphaCode = printf('B%03d', ID % 1000) WHERE ID % 50 <> 0");
        // A third of the sightings in the state, some sites used.
        db.execute("UPDATE Sightings SET state = ?, site = 'Site ' || (Sight_ID % 40) WHERE Sight_ID % 3 = 0", {kState});
        db.execute("UPDATE Options SET Reg_ID = ?, regname = 'Somewhere', regType = 'State'", {kState});
        tx.commit();
        rebuild(db);
        data.db.reset();
        state.dataFolder = data.dir.path();
        openAndLoadOptions(state);
    }
    // The place boxes' lists as large as in the shipped database: 3 countries, 96 states and
    // provinces, 5,359 counties, with eBird codes and names in no particular order.
    static void addPlaces(db::Database& db)
    {
        const char* const words[] = {"Adams", "Baker", "Clear", "Dawson", "Elk", "Fox", "Grant", "Hill", "Iron",
                                     "Jay", "King", "Lake", "Marion", "Noble", "Owen", "Pike", "Queen", "Rock",
                                     "Saint", "Todd", "Union", "Vale", "Wayne", "York"};
        const int nWords = int(std::size(words));
        for (int c = 0; c < 3; ++c)
            db.execute("INSERT INTO Regions (Name, Type, Code) VALUES (?, 'Country', ?)",
                       {QStringLiteral("Country %1").arg(c), QStringLiteral("C%1").arg(c)});
        for (int st = 0; st < 96; ++st)
            db.execute("INSERT INTO Regions (Name, Type, Code) VALUES (?, 'State', ?)",
                       {QStringLiteral("%1 %2").arg(QString::fromLatin1(words[st % nWords])).arg(st),
                        QStringLiteral("C%1-S%2").arg(st % 3).arg(st)});
        for (int d = 0; d < 5359; ++d)
            db.execute("INSERT INTO Regions (Name, Type, Code) VALUES (?, 'District', ?)",
                       {QStringLiteral("%1 %2 County").arg(QString::fromLatin1(words[(d * 7) % nWords]),
                                                           QString::fromLatin1(words[(d / 3) % nWords]))
                            + (d % 5 ? QString() : QStringLiteral(" %1").arg(d)),
                        QStringLiteral("C%1-S%2-%3").arg(d % 3).arg(d % 96).arg(d)});
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

// What the user waits for after File > New Outing: the kept window made a new outing's again
// (the checklist with its codes, the recent sites, the place boxes cleared and the current
// region chosen, the newness of the date) and shown with its first paint. A sighting is stored
// between two openings (not timed), so that each opening finds changed data, as after the
// outing saved before; the regions do not change, as they rarely do.
void openRepeatedly(benchmark::State& st, int regId)
{
    Program& p = program();
    p.state.Reg_ID = regId;
    frmOuting w(p.ctx, 0);
    w.show();
    QApplication::processEvents();
    w.hide();
    db::Database& db = p.state.db();
    for (auto _ : st) {
        st.PauseTiming();
        db.execute("INSERT INTO Sightings (Bird_ID, Date, Type, state) VALUES (?, '2021-06-01', 'Adult', ?)",
                   {p.listed[0], kState});
        db.execute("DELETE FROM Sightings WHERE Sight_ID = ?", {db.connection()->lastInsertRowid()});
        st.ResumeTiming();
        w.startNew();
        w.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w.model->rowCount());
        st.PauseTiming();
        w.hide();
        QApplication::processEvents();
        st.ResumeTiming();
    }
    p.state.Reg_ID = kState;
}

void OpenOutingWindow(benchmark::State& st) { openRepeatedly(st, kState); }

// The same on a region of ten species: what the window costs whatever the checklist.
void OpenOutingWindowTenSpecies(benchmark::State& st) { openRepeatedly(st, kSmall); }

// The first File > New Outing of a run: the window made, shown and painted (it is then kept).
void FirstOpenOfARun(benchmark::State& st)
{
    Program& p = program();
    for (auto _ : st) {
        auto w = std::make_unique<frmOuting>(p.ctx, 0);
        w->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w->model->rowCount());
        st.PauseTiming();
        w.reset();
        st.ResumeTiming();
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
BENCHMARK(OpenOutingWindowTenSpecies)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(FirstOpenOfARun)->Unit(benchmark::kMillisecond);
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
