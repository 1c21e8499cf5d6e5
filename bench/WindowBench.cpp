// Speed of the main window's work against the queries it runs:
//   - showing one species (the whole bird page) against opening its five record sets, with
//     the ids written into the query texts (the goal's floor) and bound (the database's share);
//   - the same on 100,000 sightings with the seasonal chart against the page without it;
//   - choosing a region (the Use command, then showing the first species) against the
//     set-based statement for its marks plus the query of the region's names;
//   - the name search against a plain LIKE query;
//   - starting the program until the main window shows its first species, with the start-up
//     checks of the data folder begun (the check for damage runs on in the background), against
//     a bare program that opens the same file with its password, reads the Options row and
//     shows an empty window.

#include "state/AppState.h"
#include "records/DataImport.h"
#include "lifelist/LifeList.h"
#include "RatioReporter.h"
#include "state/Startup.h"
#include "Synthetic.h"
#include "app/Wiring.h"
#include "MainWindowPage.h"
#include "browser/SeasonChart.h"
#include "browser/frmDisplay.h"
#include "platform/ScriptedPlatform.h"
#include "search/frmName.h"
#include "search/frmRegion.h"
#include "sightings/DataSafety.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>

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
        state.dataFolder = folder;
        openAndLoadOptions(state);
        w = createMainWindow(ctx);
        w->Form_Load();
    }
    test::MainWindowPage page() const { return test::MainWindowPage(w.get()); }
};

Program& synthetic();

// Made when a benchmark first needs them, closed by main() while the application still runs
// (a window must not outlive it).
std::unique_ptr<Program> sampleProgram, syntheticProgram;

Program& sample()
{
    static QTemporaryDir dir;
    if (!sampleProgram) {
        buildDatabase(QStringLiteral(SAMPLE_DATA_DIR), dir.filePath("bird.mdb"), false);
        sampleProgram = std::make_unique<Program>(dir.path());
        sampleProgram->state.SongCD = true; // the page then runs all five of its queries
    }
    return *sampleProgram;
}

void ShowBirdPage(benchmark::State& st)
{
    Program& p = sample();
    const int n = p.page().list()->count();
    int i = 0;
    for (auto _ : st) {
        i = (i + 1) % n;
        p.w->selectListIndex(i);
    }
}

// The page's five queries with their ids bound, as the page runs them now: the database's
// share of the page.
void BirdPageBoundQueries(benchmark::State& st)
{
    Program& p = sample();
    db::Database& db = p.state.db();
    const int n = p.page().list()->count();
    int i = 0;
    for (auto _ : st) {
        i = (i + 1) % n;
        auto bird = db.openRecordset("Select * from Birds Where Name = ?", db::RecordsetKind::Dynaset,
                                     {p.page().list()->itemText(i)});
        const QVariant id = bird.field("id");
        auto images = db.openRecordset("Select * from images where Bird_ID = ? Order By file", db::RecordsetKind::Dynaset,
                                       {id});
        auto status = db.openRecordset("select status, scode from checklists where checklists.bird_ID = ? "
                                       "And checklists.reg_ID = ?", db::RecordsetKind::Snapshot, {id, 1});
        auto cd = db.openRecordset("Select * from cdSong where Bird_ID = ?", db::RecordsetKind::Dynaset, {id});
        auto links = db.openRecordset("Select * from Links Where Bird_ID = ?", db::RecordsetKind::Dynaset, {id});
        benchmark::DoNotOptimize(status.eof());
    }
}

// The bird page on 100,000 sightings, with its seasonal chart and with the chart hidden
// (which leaves it unfilled): what the chart adds.
void BirdPageWithChart(benchmark::State& st, bool chart)
{
    Program& p = synthetic();
    p.page().seasons()->setHidden(!chart);
    const int n = std::min(p.page().list()->count(), 2000);
    int i = 0;
    for (auto _ : st) {
        i = (i + 1) % n;
        p.w->selectListIndex(i);
    }
    p.page().seasons()->setHidden(false);
}
void BirdPageChart(benchmark::State& st) { BirdPageWithChart(st, true); }
void BirdPageNoChart(benchmark::State& st) { BirdPageWithChart(st, false); }

// The same five queries with the ids written into their texts, as the page once ran them (each
// text new to the statement cache): the floor the page's goal was set against.
void BirdPageQueries(benchmark::State& st)
{
    Program& p = sample();
    db::Database& db = p.state.db();
    const int n = p.page().list()->count();
    int i = 0;
    for (auto _ : st) {
        i = (i + 1) % n;
        auto bird = db.openRecordset("Select * from Birds Where Name = ?", db::RecordsetKind::Dynaset,
                                     {p.page().list()->itemText(i)});
        const QString id = bird.field("id").toString();
        auto images = db.openRecordset("Select * from images where Bird_ID = " + id + " Order By file",
                                       db::RecordsetKind::Dynaset);
        auto status = db.openRecordset("select status, scode from checklists where checklists.bird_ID = " + id
                                           + " And checklists.reg_ID = 1",
                                       db::RecordsetKind::Snapshot);
        auto cd = db.openRecordset("Select * from cdSong where Bird_ID = " + id, db::RecordsetKind::Dynaset);
        auto links = db.openRecordset("Select * from Links Where Bird_ID = " + id, db::RecordsetKind::Dynaset);
        benchmark::DoNotOptimize(status.eof());
    }
}

Program& synthetic()
{
    static std::unique_ptr<bench::SyntheticDb> data;
    if (!syntheticProgram) {
        data = std::make_unique<bench::SyntheticDb>(11000, 100000);
        const QString folder = data->dir.path();
        data->db.reset(); // the program opens it itself
        syntheticProgram = std::make_unique<Program>(folder);
    }
    return *syntheticProgram;
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
        p.w->selectListIndex(0); // the menu command then shows the first species
    }
}

void UseRegionFloor(benchmark::State& st)
{
    Program& p = synthetic();
    db::Database& db = p.state.db();
    for (auto _ : st) {
        st.PauseTiming();
        db.execute("UPDATE Birds SET LifeList = 1 WHERE ID % 2 = 0");
        st.ResumeTiming();
        db::Transaction tx(db);
        rebuildLifeListSetBased(db, 1);
        auto names = db.openRecordset("SELECT Birds.Name, Birds.LifeList FROM Birds INNER JOIN Checklists ON "
                                      "Birds.ID = Checklists.Bird_ID WHERE Checklists.Reg_ID = ?" + p.state.qrySort,
                                      db::RecordsetKind::Snapshot, {1});
        QStringList list;
        for (; !names.eof(); names.moveNext()) list << names.field(0).toString();
        tx.commit();
        benchmark::DoNotOptimize(list);
    }
}

// A copy of the sample database of its own, since the program holds the file exclusively.
const QString& startupFolder()
{
    static QTemporaryDir dir;
    static const bool built = [] {
        buildDatabase(QStringLiteral(SAMPLE_DATA_DIR), dir.filePath("bird.mdb"), false);
        return true;
    }();
    (void)built;
    static const QString path = dir.path();
    return path;
}

void Startup(benchmark::State& st)
{
    const QString folder = startupFolder();
    for (auto _ : st) {
        auto p = std::make_unique<Program>(folder);
        p->w->showMaximized();
        checkDataAfterStart(p->ctx);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(p->page().label(0)->text());
        st.PauseTiming();
        p->w->close();
        closeDatabase(p->state);
        p.reset();
        st.ResumeTiming();
    }
}

void StartupFloor(benchmark::State& st)
{
    const QByteArray path = QDir(startupFolder()).filePath("bird.mdb").toUtf8();
    for (auto _ : st) {
        sqlite3* handle = nullptr;
        sqlite3_open_v2(path.constData(), &handle, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(handle, "PRAGMA key = 'qzmv'", nullptr, nullptr, nullptr);
        sqlite3_stmt* options = nullptr;
        sqlite3_prepare_v2(handle, "SELECT * FROM Options", -1, &options, nullptr);
        if (sqlite3_step(options) != SQLITE_ROW) st.SkipWithError("no Options row");
        for (int i = 0; i < sqlite3_column_count(options); ++i) benchmark::DoNotOptimize(sqlite3_column_text(options, i));
        sqlite3_finalize(options);
        auto window = std::make_unique<QWidget>();
        window->showMaximized();
        QCoreApplication::processEvents();
        st.PauseTiming();
        window.reset();
        sqlite3_close(handle);
        st.ResumeTiming();
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

BENCHMARK(ShowBirdPage)->Name("BirdPage")->Unit(benchmark::kMicrosecond);
BENCHMARK(BirdPageQueries)->Unit(benchmark::kMicrosecond);
BENCHMARK(BirdPageBoundQueries)->Unit(benchmark::kMicrosecond);
BENCHMARK(BirdPageChart)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BirdPageNoChart)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(UseRegion)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(UseRegionFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(NameSearch)->Unit(benchmark::kMicrosecond);
BENCHMARK(NameSearchLike)->Unit(benchmark::kMicrosecond);
BENCHMARK(Startup)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(StartupFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({{"BirdPage", "BirdPageQueries", 1.5},
                                   {"BirdPage", "BirdPageBoundQueries", 10.0}, // the widgets' work on top
                                   {"BirdPageChart", "BirdPageNoChart", 1.1},
                                   {"UseRegion", "UseRegionFloor", 1.3},
                                   {"NameSearch", "NameSearchLike", 2.0},
                                   {"Startup", "StartupFloor", 1.5}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    sampleProgram.reset();
    syntheticProgram.reset();
    return 0;
}
