// Opening the sightings log on 100,000 sightings (reading them, the newest-first order, the
// counts, the window and its table) against the floor of one query reading the same rows.

#include "state/AppState.h"
#include "RatioReporter.h"
#include "state/Startup.h"
#include "Synthetic.h"
#include "db/Connection.h"
#include "platform/ScriptedPlatform.h"
#include "sightings/SightingsLogModel.h"
#include "sightings/frmSightingsLog.h"
#include "ui/Context.h"

#include <QApplication>
#include <QLabel>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace fl;

namespace {

struct Program {
    bench::SyntheticDb data{1000, 100000};
    AppState state;
    ScriptedPlatform platform;
    Context ctx{state, platform, nullptr};
    Program()
    {
        data.db->execute("UPDATE Sightings SET site = 'Site ' || (Sight_ID % 700), "
                         "notes = CASE WHEN Sight_ID % 4 = 0 THEN 'x' || (Sight_ID % 9) || char(10) || 'seen well' "
                         "ELSE '' END, country = Sight_ID % 3");
        data.db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (3, 'Somewhere', 'Country')");
        data.db.reset();
        state.dataFolder = data.dir.path();
        openAndLoadOptions(state);
    }
};

Program& program()
{
    static Program p;
    return p;
}

void OpenSightingsLog(benchmark::State& st)
{
    Program& p = program();
    for (auto _ : st) {
        frmSightingsLog w(p.ctx);
        w.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w.model->rowCount());
    }
}

void QueryFloor(benchmark::State& st)
{
    Program& p = program();
    db::Connection& conn = *p.state.db().connection();
    for (auto _ : st) {
        db::Statement q(conn, QStringLiteral(
            "SELECT Sight_ID, Bird_ID, Date, Region, country, state, district, site, notes FROM Sightings"));
        qint64 sum = 0;
        while (q.step())
            for (int i = 0; i < 9; ++i) sum += q.value(i).isValid() ? 1 : 0;
        benchmark::DoNotOptimize(sum);
    }
}

} // namespace

BENCHMARK(OpenSightingsLog)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(QueryFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    {
        frmSightingsLog w(program().ctx);
        std::printf("log: %d rows; %s\n", w.model->rowCount(), qPrintable(w.lblCounts->text()));
        if (w.model->rowCount() != 100000) return 1;
    }
    bench::RatioReporter reporter({{"OpenSightingsLog", "QueryFloor", 3.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
