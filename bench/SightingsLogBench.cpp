// Opening the sightings log on 100,000 sightings in 10,000 outings (reading them, the
// newest-first order, the counts, the window and its table; and grouped by outing) against the
// floor of the queries reading the same rows.

#include "state/AppState.h"
#include "RatioReporter.h"
#include "state/Startup.h"
#include "Synthetic.h"
#include "db/Connection.h"
#include "platform/ScriptedPlatform.h"
#include "sightings/SightingsLogModel.h"
#include "sightings/frmSightingsLog.h"
#include "ui/Context.h"
#include "app/Wiring.h"
#include "browser/frmDisplay.h"
#include <QCheckBox>

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
        // Ten sightings to an outing, each species once in it, on the outing's date.
        db::Transaction tx(*data.db);
        data.db->execute("INSERT INTO Outings (Outing_ID, Date, site, Region, StartTime, Duration) "
                         "SELECT 1 + (Sight_ID - 1) / 10, min(Date), 'Site ' || ((Sight_ID - 1) / 10 % 700), 1, "
                         "'07:30', 90 FROM Sightings GROUP BY 1 + (Sight_ID - 1) / 10");
        data.db->execute("UPDATE Sightings SET Outing_ID = 1 + (Sight_ID - 1) / 10, Count = 1 + Sight_ID % 12, "
                         "Date = (SELECT Date FROM Outings WHERE Outing_ID = 1 + (Sight_ID - 1) / 10), "
                         "site = 'Site ' || ((Sight_ID - 1) / 10 % 700) "
                         "WHERE NOT EXISTS (SELECT 1 FROM Sightings AS Other WHERE Other.Bird_ID = Sightings.Bird_ID "
                         "AND (Other.Sight_ID - 1) / 10 = (Sightings.Sight_ID - 1) / 10 AND Other.Sight_ID < Sightings.Sight_ID)");
        tx.commit();
        data.db.reset();
        state.dataFolder = data.dir.path();
        openAndLoadOptions(state);
        // The log follows the main window's region, so it needs one.
        main = createMainWindow(ctx);
        main->Form_Load();
    }
    std::unique_ptr<frmDisplay> main;
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
            "SELECT Sight_ID, Bird_ID, Date, Region, country, state, district, site, notes, Outing_ID, Count FROM Sightings"));
        qint64 sum = 0;
        while (q.step())
            for (int i = 0; i < 11; ++i) sum += q.value(i).isValid() ? 1 : 0;
        db::Statement outings(conn, QStringLiteral("SELECT Outing_ID, Date, site, StartTime, Protocol FROM Outings"));
        while (outings.step())
            for (int i = 0; i < 5; ++i) sum += outings.value(i).isValid() ? 1 : 0;
        benchmark::DoNotOptimize(sum);
    }
}

} // namespace

void OpenSightingsLogGrouped(benchmark::State& st)
{
    Program& p = program();
    for (auto _ : st) {
        frmSightingsLog w(p.ctx);
        w.chkGroup->setChecked(true);
        w.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w.model->rowCount());
    }
}

BENCHMARK(OpenSightingsLogGrouped)->Unit(benchmark::kMillisecond)->MinTime(2.0);
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
    std::printf("outings: %s, sightings in them: %s\n",
                qPrintable(program().state.db().scalar("SELECT count(*) FROM Outings").toString()),
                qPrintable(program().state.db().scalar("SELECT count(*) FROM Sightings WHERE Outing_ID IS NOT NULL").toString()));
    bench::RatioReporter reporter({{"OpenSightingsLog", "QueryFloor", 3.0}, {"OpenSightingsLogGrouped", "QueryFloor", 3.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    program().main.reset(); // while the application object still exists
    return 0;
}
