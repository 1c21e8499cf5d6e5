// My Lists on 100,000 sightings over 20 years in 30 regions (a region, 2 countries, 7 states,
// 20 counties, every sighting in a county with its wider regions):
//   - opening the window (reading the sightings, counting every list, the targets) against
//     the grouped queries that compute the same totals (species, records, first and last date
//     of the life, year and month lists of every region);
//   - switching the chosen list (its species shown, in checklist order) against the grouped
//     query of that list's species with their names.

#include "state/AppState.h"
#include "state/Startup.h"
#include "RatioReporter.h"
#include "app/Wiring.h"
#include "browser/frmDisplay.h"
#include "platform/ScriptedPlatform.h"
#include "schema/Schema.h"
#include "sightings/MyListsModels.h"
#include "sightings/frmMyLists.h"

#include <QApplication>
#include <QDate>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <random>

using namespace fl;

namespace {

constexpr int kSpecies = 1500;
constexpr int kSightings = 100000;

struct Program {
    QTemporaryDir dir;
    AppState state;
    ScriptedPlatform platform;
    Context ctx{state, platform, nullptr};
    std::unique_ptr<frmDisplay> w;

    Program()
    {
        {
            auto db = db::Database::create(dir.filePath("bird.mdb"), "qzmv");
            createSchema(*db);
            db::Transaction tx(*db);
            db->execute("INSERT INTO Orders VALUES (1, 'Order', 'Orderiformes', 1, '')");
            db->execute("INSERT INTO Families VALUES (1, 1, 'Family', 'Familiidae', 1, 7, '', '', 175)");
            // Region 1; countries 2-3; states 4-10; counties 11-30.
            db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (1, 'Continent', 'Region')");
            for (int r = 2; r <= 30; ++r)
                db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (?, ?, ?)",
                            {r, QStringLiteral("Place %1").arg(r), r <= 3 ? "Country" : r <= 10 ? "State" : "District"});
            const char* codes[] = {"CP/", "FS/", "UW/", "RT/", "XV/", "FS/RW/"};
            for (int i = 1; i <= kSpecies; ++i) {
                db->execute("INSERT INTO Birds (ID, Name, sci_name, Data, family_ID, sortOrder, LifeList) "
                            "VALUES (?, ?, 'Avis synthetica', '', 1, ?, 0)",
                            {i, QStringLiteral("Bird %1").arg(i, 5, 10, QChar(u'0')), i * 10});
                db->execute("INSERT INTO Checklists VALUES (?, 1, 'B', ?)", {i, codes[i % 6]});
            }
            std::mt19937 rng(7);
            std::uniform_int_distribution<int> bird(1, kSpecies), day(0, 20 * 365 - 1), county(11, 30), site(0, 49);
            const QDate start(2005, 1, 1);
            for (int s = 0; s < kSightings; ++s) {
                const int c = county(rng);
                const int st = 4 + (c - 11) % 7;
                const int country = st <= 6 ? 2 : 3;
                db->execute("INSERT INTO Sightings (Bird_ID, Date, Region, country, state, district, site) "
                            "VALUES (?, ?, 1, ?, ?, ?, ?)",
                            {bird(rng), start.addDays(day(rng)), country, st, c, QStringLiteral("Site %1").arg(site(rng))});
            }
            db->execute("INSERT INTO Options VALUES ('Continent', 1, 'Region', 'All Birds', ' Order By Birds.sortOrder', '', 0, 0, ?, 0)",
                        {kSpecies});
            tx.commit();
        }
        state.dataFolder = dir.path();
        openAndLoadOptions(state);
        w = createMainWindow(ctx);
        w->Form_Load();
    }
};

std::unique_ptr<Program> g_program; // made on first use, gone before the application

Program& program()
{
    if (!g_program) g_program = std::make_unique<Program>();
    return *g_program;
}

void OpenLists(benchmark::State& st)
{
    Program& p = program();
    for (auto _ : st) {
        frmMyLists window(p.ctx, p.w.get());
        benchmark::DoNotOptimize(window.lists->rowCount());
    }
}

// The totals of every list of every region, by grouped queries: per place column, the life,
// year and month lists.
void OpenListsFloor(benchmark::State& st)
{
    Program& p = program();
    db::Database& db = p.state.db();
    for (auto _ : st) {
        int rows = 0;
        for (const char* column : {"Region", "country", "state", "district"})
            for (const char* period : {"''", "strftime('%Y', Date)", "strftime('%m', Date)"}) {
                auto rs = db.openRecordset(QStringLiteral("SELECT %1, %2, count(DISTINCT Bird_ID), count(*), min(Date), "
                                                          "max(Date) FROM Sightings WHERE %1 <> 0 GROUP BY 1, 2")
                                               .arg(QLatin1String(column), QLatin1String(period)),
                                           db::RecordsetKind::Snapshot);
                for (; !rs.eof(); rs.moveNext()) ++rows;
            }
        benchmark::DoNotOptimize(rows);
    }
}

// Switching between the year lists of a state.
void SwitchList(benchmark::State& st)
{
    Program& p = program();
    frmMyLists* window = new frmMyLists(p.ctx, p.w.get()); // goes with the main window
    int year = 2005;
    for (auto _ : st) {
        year = year == 2024 ? 2005 : year + 1;
        if (!window->chooseList(QStringLiteral("Place 5"), QString::number(year))) st.SkipWithError("no such list");
        benchmark::DoNotOptimize(window->speciesShown->rowCount());
    }
}

void SwitchListFloor(benchmark::State& st)
{
    Program& p = program();
    db::Database& db = p.state.db();
    int year = 2005;
    for (auto _ : st) {
        year = year == 2024 ? 2005 : year + 1;
        auto rs = db.openRecordset(
            QStringLiteral("SELECT B.Name, min(S.Date), max(S.Date), count(*) FROM Sightings S JOIN Birds B ON B.ID = S.Bird_ID "
                           "WHERE (S.Region = ? OR S.country = ? OR S.state = ? OR S.district = ?) AND S.Date >= ? "
                           "AND S.Date < ? GROUP BY S.Bird_ID ORDER BY B.sortOrder"),
            db::RecordsetKind::Snapshot,
            {5, 5, 5, 5, QStringLiteral("%1-01-01").arg(year), QStringLiteral("%1-01-01").arg(year + 1)});
        QStringList names;
        for (; !rs.eof(); rs.moveNext()) names << rs.field(0).toString();
        benchmark::DoNotOptimize(names);
    }
}

} // namespace

BENCHMARK(OpenLists)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(OpenListsFloor)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(SwitchList)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(SwitchListFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({{"OpenLists", "OpenListsFloor", 3.0}, {"SwitchList", "SwitchListFloor", 2.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    g_program.reset();
    return 0;
}
