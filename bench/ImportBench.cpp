// Importing an eBird download of 100,000 records, in two parts against their floors:
// - reading and previewing it (matching species and places, grouping checklists, finding
//   repeats) against reading the same file with the CSV reader alone;
// - storing it (regions, outings, sightings, records of no species, source keys, the life
//   list) against the same outings and sightings inserted with prepared statements in one
//   transaction.
// It prints the peak memory of reading and storing. `import_bench --million` instead times a
// download of 1,000,000 records against one of 100,000 in one run (the cost must grow
// linearly: at most 12 times) and prints the peak memory of each (slow: minutes).

#include "state/AppState.h"
#include "records/CsvReader.h"
#include "records/EbirdImport.h"
#include "RatioReporter.h"
#include "schema/Schema.h"
#include "state/Startup.h"
#include "db/Connection.h"
#include "db/Database.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

using namespace fl;

namespace {

constexpr int kSpecies = 1000;
constexpr int kRecords = 100000;

// The process's peak resident memory so far, in MB.
double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// Resets the peak to the memory in use now, so that each part is measured on its own.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

QString field(const QString& s)
{
    if (!s.contains(u',') && !s.contains(u'"') && !s.contains(u'\n')) return s;
    QString q = s;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

// A database of 1,000 species and the places of the download, and a download of `records`
// records in checklists of five, over 20 years, with every field eBird writes.
struct Data {
    QTemporaryDir dir;
    AppState state;
    QString file;

    explicit Data(int records)
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
        writeFile(records);
        openAndLoadOptions(state);
    }
    ~Data() { closeDatabase(state); }

    void writeFile(int records)
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write the download");
        f.write("Submission ID,Common Name,Scientific Name,Taxonomic Order,Count,State/Province,County,Location ID,"
                "Location,Latitude,Longitude,Date,Time,Protocol,Duration (Min),All Obs Reported,"
                "Distance Traveled (km),Area Covered (ha),Number of Observers,Breeding Code,Observation Details,"
                "Checklist Comments,ML Catalog Numbers\n");
        std::mt19937 rng(11);
        std::uniform_int_distribution<int> bird(1, kSpecies + 20), count(0, 30), day(0, 7000), place(0, 3);
        const QDate start(2000, 1, 1);
        QByteArray chunk;
        QString date, stateCode, county;
        for (int i = 0; i < records; ++i) {
            const int checklist = i / 5;
            if (i % 5 == 0) { // a checklist's records share its date and place
                date = start.addDays(day(rng)).toString(Qt::ISODate);
                const bool canada = place(rng) == 0;
                stateCode = canada ? QStringLiteral("CA-ON") : QStringLiteral("US-CA");
                county = canada ? QString() : QStringLiteral("Monterey");
            }
            const int b = bird(rng);
            const QString name = b > kSpecies ? QStringLiteral("gull sp.") : QStringLiteral("Bird %1").arg(b);
            const QString sci = b > kSpecies ? QStringLiteral("Larinae sp.") : QStringLiteral("Avis species%1").arg(b);
            const int c = count(rng);
            QStringList fields = {
                QStringLiteral("S%1").arg(10000000 + checklist), name, sci, QString::number(b),
                c ? QString::number(c) : QStringLiteral("X"), stateCode, county, QStringLiteral("L%1").arg(checklist % 500),
                QStringLiteral("Site %1, along the shore").arg(checklist % 500), "36.6", "-121.9", date, "07:30 AM",
                "eBird - Traveling Count", "60", "1", "2.5", "", "1", i % 11 ? QString() : QStringLiteral("FL Recently Fledged Young (C4)"),
                i % 7 ? QString() : QStringLiteral("flying \"north\",<br />calling"),
                i % 5 ? QString() : QStringLiteral("Overcast;\nlight wind"), i % 13 ? QString() : QStringLiteral("12345 67890")};
            QStringList q;
            for (const QString& s : fields) q << field(s);
            chunk += q.join(u',').toUtf8() + '\n';
            if (chunk.size() > (1 << 20)) { f.write(chunk); chunk.clear(); }
        }
        f.write(chunk);
    }

    void clear()
    {
        state.db().executeScript("DELETE FROM Sightings; DELETE FROM OtherRecords; DELETE FROM Outings; "
                                 "DELETE FROM ImportKeys; UPDATE Birds SET LifeList = 0");
    }
    ImportPreview read() { return readEbirdFile(state.db(), file, CsvReader::Limits(), {}, QDate(2030, 1, 1)); }
};

Data& data()
{
    static Data d(kRecords);
    return d;
}

void ReadAndPreview(benchmark::State& st)
{
    Data& d = data();
    d.clear();
    for (auto _ : st) benchmark::DoNotOptimize(d.read().recordsRead);
}

void CsvReaderFloor(benchmark::State& st)
{
    Data& d = data();
    for (auto _ : st) {
        CsvReader reader(d.file);
        QStringList fields;
        int n = 0;
        while (reader.next(fields)) n += int(fields.size());
        benchmark::DoNotOptimize(n);
    }
}

void StoreImport(benchmark::State& st)
{
    Data& d = data();
    d.clear();
    const ImportPreview p = d.read();
    for (auto _ : st) {
        st.PauseTiming();
        d.clear();
        st.ResumeTiming();
        benchmark::DoNotOptimize(storeImport(d.state, p, [](int, int) { return true; }));
    }
}

// The same outings and sightings with two prepared statements in one transaction.
void PreparedInsertFloor(benchmark::State& st)
{
    Data& d = data();
    d.clear();
    const ImportPreview p = d.read();
    db::Connection& conn = *d.state.db().connection();
    for (auto _ : st) {
        st.PauseTiming();
        d.clear();
        st.ResumeTiming();
        db::Transaction tx(d.state.db());
        const db::CachedStatement outing = conn.cached(QStringLiteral(
            "INSERT INTO Outings (Date, StartTime, Duration, Distance, Observers, Protocol, AllReported, site, Latitude, "
            "Longitude, Region, country, state, district, StateCode, CountyCode, comments, SubmissionID) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        const db::CachedStatement sighting = conn.cached(QStringLiteral(
            "INSERT INTO Sightings (Bird_ID, Date, Type, Region, country, state, district, site, notes, Outing_ID, Count, "
            "BreedingCode, MediaNumbers) VALUES (?, ?, '', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const ImportOuting& io : p.outings) {
            const Outing& o = io.outing;
            outing->bind({o.date, o.startTime.toString(QStringLiteral("HH:mm")), *o.duration, *o.distance, *o.observers,
                          o.protocol, o.allReported, o.site, *o.latitude, *o.longitude, o.places[0], o.places[1],
                          o.places[2], o.places[3], o.stateCode, o.countyCode.isEmpty() ? QVariant() : QVariant(o.countyCode),
                          o.comments, o.submissionId});
            outing->step();
            const qint64 id = conn.lastInsertRowid();
            for (const ImportSighting& s : io.sightings) {
                sighting->bind({s.birdId, o.date, o.places[0], o.places[1], o.places[2], o.places[3], o.site, s.comments, id,
                                s.count ? QVariant(*s.count) : QVariant(),
                                s.breedingCode.isEmpty() ? QVariant() : QVariant(s.breedingCode),
                                s.mediaNumbers.isEmpty() ? QVariant() : QVariant(s.mediaNumbers)});
                sighting->step();
            }
        }
        tx.commit();
    }
}

// Reads and stores `records` records once on a database of their own; prints the times and peaks.
struct Timed {
    double readS = 0, storeS = 0, readPeakMb = 0, storePeakMb = 0;
};

Timed timeOnce(int records)
{
    auto d = std::make_unique<Data>(records);
    Timed t;
    resetPeak();
    const double base = peakMb();
    QElapsedTimer clock;
    clock.start();
    const ImportPreview p = d->read();
    t.readS = double(clock.nsecsElapsed()) / 1e9;
    t.readPeakMb = peakMb() - base;
    clock.restart();
    const int stored = storeImport(d->state, p, [](int, int) { return true; });
    t.storeS = double(clock.nsecsElapsed()) / 1e9;
    t.storePeakMb = peakMb() - base;
    std::printf("%8d records: read and preview %.1f s, store %.1f s (%d sightings); peak memory above the start "
                "%.0f MB reading, %.0f MB storing\n",
                records, t.readS, t.storeS, stored, t.readPeakMb, t.storePeakMb);
    std::fflush(stdout);
    return t;
}

int runMillion()
{
    const Timed small = timeOnce(kRecords);
    const Timed large = timeOnce(10 * kRecords);
    const double readRatio = large.readS / small.readS, storeRatio = large.storeS / small.storeS;
    const bool met = readRatio <= 12 && storeRatio <= 12 && small.storePeakMb <= 200 && large.storePeakMb <= 600;
    std::printf("ratio 1,000,000 / 100,000: reading %.2f, storing %.2f (goal: at most 12); peak %.0f MB "
                "(goal: at most 600) %s\n",
                readRatio, storeRatio, large.storePeakMb, met ? "met" : "NOT MET");
    return met ? 0 : 1;
}

} // namespace

BENCHMARK(ReadAndPreview)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(CsvReaderFloor)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(StoreImport)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(PreparedInsertFloor)->Unit(benchmark::kMillisecond)->MinTime(3.0);

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--million") == 0) return runMillion();
    benchmark::Initialize(&argc, argv);
    {
        // One reading and one storing first, for the file's figures and the peak memory.
        const Timed once = timeOnce(kRecords);
        std::printf("peak memory for 100,000 records: %.0f MB (goal: at most 200) %s\n", once.storePeakMb,
                    once.storePeakMb <= 200 ? "met" : "NOT MET");
    }
    Data& d = data();
    const ImportPreview p = d.read();
    std::printf("file: %d records, %d matched, %d of no species, %d checklists\n", p.recordsRead, p.matched,
                p.otherRecords, p.checklists());
    if (p.recordsRead != kRecords || p.matched + p.otherRecords + p.skippedTotal() != kRecords) return 1;
    bench::RatioReporter reporter({{"ReadAndPreview", "CsvReaderFloor", 2.0}, {"StoreImport", "PreparedInsertFloor", 2.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.allMet() ? 0 : 1;
}
