// The check for damage that runs after start, on a database of about 200 MB (620,000
// sightings with notes): the quick check itself; how long a query of the program waits when
// it comes while the check runs in the background (they share the connection); a backup as
// the program writes it at exit (the copy and its check); and, for comparison, the full
// integrity check that a file chosen for a restore gets. The database is built once, in a
// temporary folder, which takes a minute or two.
//
// Set FEATHERLOG_CHECK_DB to the path of a database to measure that one instead (it is only
// read).

#include "RatioReporter.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "records/Backup.h"
#include "schema/Schema.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <future>
#include <random>
#include <thread>

using namespace fl;

namespace {

QString buildLargeDatabase(const QString& path)
{
    auto db = db::Database::create(path, QStringLiteral("qzmv"));
    createSchema(*db);
    db::Transaction tx(*db);
    db->execute("INSERT INTO Orders VALUES (1, 'Order', 'Orderiformes', 1, '')");
    db->execute("INSERT INTO Families VALUES (1, 1, 'Family', 'Familiidae', 1, 7, '', '', 175)");
    db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (1, 'Everywhere', 'Region')");
    for (int i = 1; i <= 2000; ++i)
        db->execute("INSERT INTO Birds (ID, Name, sci_name, Data, family_ID, sortOrder, LifeList) "
                    "VALUES (?, ?, 'Avis synthetica', 'A synthetic bird.', 1, ?, 0)",
                    {i, QStringLiteral("Bird %1").arg(i, 5, 10, QChar(u'0')), i * 10});
    db->execute("INSERT INTO Options VALUES ('Everywhere', 1, 'Region', 'All Birds', ' Order By Birds.sortOrder', '', 0, 0, "
                "2000, 0)");
    const db::CachedStatement insert = db->connection()->cached(QStringLiteral(
        "INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) "
        "VALUES (?, ?, 'Adult', 1, 0, 0, 0, ?, ?)"));
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> bird(1, 2000), day(0, 9000), length(40, 160), letter(0, 25);
    const QDate start(2000, 1, 1);
    for (int s = 0; s < 620000; ++s) {
        QString notes(length(rng), u' ');
        for (QChar& c : notes) c = QChar(u'a' + letter(rng));
        insert->bind({bird(rng), start.addDays(day(rng)), QStringLiteral("Point Pelee National Park, tip trail"), notes});
        insert->step();
    }
    tx.commit();
    return path;
}

const QString& largeDatabase()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QByteArray given = qgetenv("FEATHERLOG_CHECK_DB");
        if (!given.isEmpty()) return QString::fromLocal8Bit(given);
        return buildLargeDatabase(dir.filePath("bird.mdb"));
    }();
    return path;
}

std::unique_ptr<db::Database> openLarge()
{
    return db::Database::open(largeDatabase(), true, false, QString::fromLatin1(kConnectString));
}

void QuickCheck200MB(benchmark::State& st)
{
    auto db = openLarge();
    for (auto _ : st) {
        const auto result = db->quickCheck();
        if (!result.checked || !result.damage.isEmpty()) st.SkipWithError("the database is not sound");
    }
    st.counters["MB"] = double(QFileInfo(largeDatabase()).size()) / (1 << 20);
}

// A query of the program that comes 50 ms after the check began: the time until it has its
// row (it waits for the check, which shares the connection).
void QueryDuringBackgroundCheck(benchmark::State& st)
{
    auto db = openLarge();
    for (auto _ : st) {
        st.PauseTiming();
        std::promise<void> done;
        db->checkInBackground([&](const db::Database::CheckResult&, const std::atomic<bool>&) { done.set_value(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        st.ResumeTiming();
        benchmark::DoNotOptimize(db->scalar("SELECT regname FROM Options"));
        st.PauseTiming();
        done.get_future().wait();
        st.ResumeTiming();
    }
}

void QueryAlone(benchmark::State& st)
{
    auto db = openLarge();
    for (auto _ : st) benchmark::DoNotOptimize(db->scalar("SELECT regname FROM Options"));
}

void IntegrityCheck200MB(benchmark::State& st)
{
    for (auto _ : st)
        if (!checkBackupFile(largeDatabase(), QString::fromLatin1(kConnectString)).isEmpty())
            st.SkipWithError("the database is not sound");
}

void Backup200MB(benchmark::State& st)
{
    auto db = openLarge();
    QTemporaryDir out;
    for (auto _ : st) backupDatabase(*db, out.filePath("copy.mdb"), db::passwordFromConnect(QString::fromLatin1(kConnectString)));
    st.counters["MB"] = double(QFileInfo(out.filePath("copy.mdb")).size()) / (1 << 20);
}

} // namespace

BENCHMARK(QuickCheck200MB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(QueryAlone)->Unit(benchmark::kMicrosecond);
BENCHMARK(QueryDuringBackgroundCheck)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Backup200MB)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(IntegrityCheck200MB)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
