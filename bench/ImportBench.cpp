// Importing an eBird download of 100,000 records (reading, matching species and places,
// finding repeats, storing with source keys, rebuilding the life list) against its floor:
// reading the same file with the CSV reader and inserting the same rows with one prepared
// statement in one transaction.

#include "state/AppState.h"
#include "records/CsvReader.h"
#include "records/EbirdImport.h"
#include "RatioReporter.h"
#include "schema/Schema.h"
#include "state/Startup.h"
#include "db/Connection.h"
#include "db/Database.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <random>

using namespace fl;

namespace {

constexpr int kSpecies = 1000;
constexpr int kRecords = 100000;

QString field(const QString& s)
{
    if (!s.contains(u',') && !s.contains(u'"') && !s.contains(u'\n')) return s;
    QString q = s;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

struct Data {
    QTemporaryDir dir;
    AppState state;
    QString file;
    std::vector<ImportRecord> rows; // what the import stores, for the floor

    Data()
    {
        state.dataFolder = dir.path();
        {
            auto db = db::Database::create(dir.filePath(kDatabaseFile), "qzmv");
            createSchema(*db);
            db::Transaction tx(*db);
            db->execute("INSERT INTO Orders VALUES (1, 'Order', 'Orderiformes', 1, '')");
            db->execute("INSERT INTO Families VALUES (1, 1, 'Family', 'Familiidae', 1, 7, '', '', 175)");
            db->executeScript("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (1, 'North America', 'Region');"
                              "INSERT INTO Regions (Reg_ID, Name, Type) VALUES (2, 'United States', 'Country');"
                              "INSERT INTO Regions (Reg_ID, Name, Type) VALUES (3, 'California', 'State');"
                              "INSERT INTO Regions (Reg_ID, Name, Type) VALUES (4, 'Monterey County', 'District');"
                              "INSERT INTO Regions (Reg_ID, Name, Type) VALUES (5, 'Canada', 'Country');"
                              "INSERT INTO Regions (Reg_ID, Name, Type) VALUES (6, 'Ontario', 'State')");
            for (int i = 1; i <= kSpecies; ++i) {
                db->execute("INSERT INTO Birds (ID, Name, sci_name, Data, family_ID, sortOrder, LifeList) "
                            "VALUES (?, ?, ?, '', 1, ?, 0)",
                            {i, QStringLiteral("Bird %1").arg(i), QStringLiteral("Avis species%1").arg(i), i});
                db->execute("INSERT INTO Checklists VALUES (?, 1, 'B', 'FS/')", {i});
            }
            db->execute("INSERT INTO Options VALUES ('North America', 1, 'Region', 'All Birds', "
                        "' Order By Birds.sortOrder', '', 0, 0, ?, 0)", {kSpecies});
            tx.commit();
        }
        file = dir.filePath("MyEBirdData.csv");
        writeFile();
        openAndLoadOptions(state);
        rows = readEbirdFile(state.db(), file).records;
    }

    void writeFile()
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("Submission ID,Common Name,Scientific Name,Taxonomic Order,Count,State/Province,County,Location ID,"
                "Location,Latitude,Longitude,Date,Time,Protocol,Duration (Min),All Obs Reported,"
                "Distance Traveled (km),Area Covered (ha),Number of Observers,Breeding Code,Observation Details,"
                "Checklist Comments,ML Catalog Numbers\n");
        std::mt19937 rng(11);
        std::uniform_int_distribution<int> bird(1, kSpecies + 20), count(0, 30), day(0, 7000), place(0, 3);
        const QDate start(2000, 1, 1);
        QByteArray chunk;
        for (int i = 0; i < kRecords; ++i) {
            const int checklist = i / 5;
            const int b = bird(rng);
            const bool canada = place(rng) == 0;
            const QString name = b > kSpecies ? QStringLiteral("gull sp.") : QStringLiteral("Bird %1").arg(b);
            const QString sci = b > kSpecies ? QStringLiteral("Larinae sp.") : QStringLiteral("Avis species%1").arg(b);
            const int c = count(rng);
            QStringList fields = {
                QStringLiteral("S%1").arg(10000000 + checklist), name, sci, QString::number(b),
                c ? QString::number(c) : QStringLiteral("X"), canada ? "CA-ON" : "US-CA",
                canada ? "" : "Monterey", QStringLiteral("L%1").arg(checklist % 500),
                QStringLiteral("Site %1, along the shore").arg(checklist % 500), "36.6", "-121.9",
                start.addDays(day(rng)).toString(Qt::ISODate), "07:30 AM", "eBird - Traveling Count", "60", "1",
                "2.5", "", "1", "", i % 7 ? QString() : QStringLiteral("flying \"north\", calling"),
                i % 5 ? QString() : QStringLiteral("Overcast;\nlight wind"), ""};
            QStringList q;
            for (const QString& s : fields) q << field(s);
            chunk += q.join(u',').toUtf8() + '\n';
            if (chunk.size() > (1 << 20)) { f.write(chunk); chunk.clear(); }
        }
        f.write(chunk);
    }

    void clear()
    {
        state.db().executeScript("DELETE FROM Sightings; DELETE FROM ImportKeys; UPDATE Birds SET LifeList = 0");
    }
};

Data& data()
{
    static Data d;
    return d;
}

void ImportEbird(benchmark::State& st)
{
    Data& d = data();
    for (auto _ : st) {
        st.PauseTiming();
        d.clear();
        st.ResumeTiming();
        const ImportPreview p = readEbirdFile(d.state.db(), d.file);
        const int n = storeImport(d.state, p, [](int, int) { return true; });
        benchmark::DoNotOptimize(n);
    }
}

void ReadAndInsertFloor(benchmark::State& st)
{
    Data& d = data();
    db::Connection& conn = *d.state.db().connection();
    for (auto _ : st) {
        st.PauseTiming();
        d.clear();
        st.ResumeTiming();
        CsvReader reader(d.file);
        QStringList fields;
        reader.next(fields); // header
        db::Transaction tx(d.state.db());
        const db::CachedStatement insert = conn.cached(QStringLiteral(
            "INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        size_t i = 0;
        while (reader.next(fields)) {
            if (i >= d.rows.size()) continue;
            const ImportRecord& r = d.rows[i++];
            insert->bind({r.birdId, r.date, r.type, r.region, r.country, r.state, r.district, r.site, r.notes});
            insert->step();
        }
        tx.commit();
    }
}

} // namespace

BENCHMARK(ImportEbird)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(ReadAndInsertFloor)->Unit(benchmark::kMillisecond)->MinTime(3.0);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Data& d = data();
    const ImportPreview p = readEbirdFile(d.state.db(), d.file);
    std::printf("file: %d records, %d matched, %d skipped\n", p.recordsRead, p.matched, p.skippedTotal());
    if (p.recordsRead != kRecords || p.matched + p.skippedTotal() != kRecords) return 1;
    bench::RatioReporter reporter({{"ImportEbird", "ReadAndInsertFloor", 2.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
