// Bringing a database of 100,000 sightings from the 2024 to the 2025 eBird/Clements taxonomy
// (its North American species): the preview (reading the file and comparing it with the
// database) and the apply, against the floor of the same changes written as plain statements
// in one transaction (names and codes, review marks, new species, the forms, the life-list
// rebuild).

#include "lifelist/LifeList.h"
#include "RatioReporter.h"
#include "records/EbirdImport.h"
#include "schema/Schema.h"
#include "state/AppState.h"
#include "state/Startup.h"
#include "taxonomy/TaxonomyUpdate.h"
#include "db/Database.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <random>

using namespace fl;

namespace {

constexpr int kSightings = 100000;
const QString kTaxonomy = QStringLiteral(TAXONOMY_DATA_DIR);

struct Data {
    QTemporaryDir dir;
    QString templ, work;
    AppState state;
    TaxonomyFile v2025;
    std::vector<std::pair<QString, QVariantList>> plain; // the floor's statements

    Data()
    {
        templ = dir.filePath("template");
        work = dir.filePath("work");
        QDir().mkpath(templ);
        QDir().mkpath(work);
        buildTemplate();
        v2025 = TaxonomyFile::read(kTaxonomy + "/ebird-taxonomy-na-v2025.csv");
        // The floor's statements: what the update writes, found by running it once.
        fresh();
        const TaxonomyPlan plan = planTaxonomyUpdate(state.db(), v2025);
        if (!applyTaxonomyUpdate(state, v2025, plan)) throw std::runtime_error("the update did not run");
        db::Database& db = state.db();
        for (const auto& r : plan.renames) renameTo(db, r.birdId);
        for (const auto& s : plan.splits) {
            renameTo(db, s.birdId);
            plain.push_back({"UPDATE Sightings SET NeedsReview = 1 WHERE Bird_ID = ?", {s.birdId}});
        }
        auto added = db.openRecordset("SELECT * FROM Birds WHERE ID > (SELECT max(ID) FROM Birds) - ?",
                                      db::RecordsetKind::Snapshot, {plan.newSpecies()});
        for (; !added.eof(); added.moveNext())
            plain.push_back({"INSERT INTO Birds (Name, sci_name, Data, family_ID, subFam_ID, sortOrder, song, LifeList, "
                             "SpeciesCode, AlphaCode) VALUES (?, ?, ?, ?, ?, ?, '', 0, ?, ?)",
                             {added.field("Name"), added.field("sci_name"), added.field("Data"), added.field("family_ID"),
                              added.field("subFam_ID"), added.field("sortOrder"), added.field("SpeciesCode"),
                              added.field("AlphaCode")}});
        plain.push_back({"DELETE FROM TaxonForms", {}});
        auto forms = db.openRecordset("SELECT FormCode, Category, Name, sci_name, Bird_ID FROM TaxonForms",
                                      db::RecordsetKind::Snapshot);
        for (; !forms.eof(); forms.moveNext())
            plain.push_back({"INSERT INTO TaxonForms VALUES (?, ?, ?, ?, ?)",
                             {forms.field(0), forms.field(1), forms.field(2), forms.field(3), forms.field(4)}});
        std::printf("v2024 -> v2025: %zu renamed, %zu split, %zu lumped, %d new species, %d sightings to review; "
                    "%zu plain statements\n",
                    plan.renames.size(), plan.splits.size(), plan.lumps.size(), plan.newSpecies(),
                    plan.sightingsToReview(), plain.size());
    }

    void renameTo(db::Database& db, int id)
    {
        auto rs = db.openRecordset("SELECT Name, sci_name, SpeciesCode, AlphaCode FROM Birds WHERE ID = ?",
                                   db::RecordsetKind::Snapshot, {id});
        plain.push_back({"UPDATE Birds SET Name = ?, sci_name = ?, SpeciesCode = ?, AlphaCode = ? WHERE ID = ?",
                         {rs.field(0), rs.field(1), rs.field(2), rs.field(3), id}});
    }

    // A database that follows the 2024 taxonomy, every species on the checklist of North
    // America, with 100,000 sightings (the species split in 2025 among them).
    void buildTemplate()
    {
        {
            auto db = db::Database::create(templ + "/" + kDatabaseFile, "qzmv");
            createSchema(*db);
            db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (1, 'North America', 'Region')");
            db->execute("INSERT INTO Options VALUES ('North America', 1, 'Region', 'All Birds', "
                        "' Order By Birds.sortOrder', '', 0, 0, 0, 0)");
        }
        AppState s;
        s.dataFolder = templ;
        openAndLoadOptions(s);
        db::Database& db = s.db();
        const TaxonomyFile v2024 = TaxonomyFile::read(kTaxonomy + "/ebird-taxonomy-na-v2024.csv");
        TaxonomyPlanOptions everything;
        everything.addUnrelated = true;
        applyTaxonomyUpdate(s, v2024, planTaxonomyUpdate(db, v2024, everything));
        std::vector<int> ids;
        auto rs = db.openRecordset("SELECT ID FROM Birds", db::RecordsetKind::Snapshot);
        for (; !rs.eof(); rs.moveNext()) ids.push_back(rs.field(0).toInt());
        db::Transaction tx(db);
        db.execute("INSERT INTO Checklists SELECT ID, 1, 'B', 'FS/' FROM Birds");
        std::mt19937 rng(7);
        std::uniform_int_distribution<size_t> bird(0, ids.size() - 1);
        std::uniform_int_distribution<int> day(0, 9000);
        const QDate start(2000, 1, 1);
        for (int i = 0; i < kSightings; ++i)
            db.execute("INSERT INTO Sightings (Bird_ID, Date, Type, Region, site) VALUES (?, ?, 'Adult', 1, 'Site')",
                       {ids[bird(rng)], start.addDays(day(rng))});
        refreshCurrentLifeList(s);
        tx.commit();
        closeDatabase(s);
    }

    // The working copy back as the template has it, open.
    void fresh()
    {
        if (state.dbBirds) closeDatabase(state);
        const QString file = work + "/" + kDatabaseFile;
        QFile::remove(file);
        if (!QFile::copy(templ + "/" + kDatabaseFile, file)) throw std::runtime_error("cannot copy the database");
        state = AppState();
        state.dataFolder = work;
        openAndLoadOptions(state);
    }
};

Data& data()
{
    static Data d;
    return d;
}

void PreviewTaxonomy(benchmark::State& st)
{
    Data& d = data();
    d.fresh();
    for (auto _ : st) {
        const TaxonomyFile file = TaxonomyFile::read(kTaxonomy + "/ebird-taxonomy-na-v2025.csv");
        const TaxonomyPlan plan = planTaxonomyUpdate(d.state.db(), file);
        benchmark::DoNotOptimize(plan.renames.size());
    }
}

void ApplyTaxonomy(benchmark::State& st)
{
    Data& d = data();
    for (auto _ : st) {
        st.PauseTiming();
        d.fresh();
        const TaxonomyPlan plan = planTaxonomyUpdate(d.state.db(), d.v2025);
        st.ResumeTiming();
        if (!applyTaxonomyUpdate(d.state, d.v2025, plan)) st.SkipWithError("the update did not run");
    }
}

void PlainStatementsFloor(benchmark::State& st)
{
    Data& d = data();
    for (auto _ : st) {
        st.PauseTiming();
        d.fresh();
        st.ResumeTiming();
        db::Database& db = d.state.db();
        db::Transaction tx(db);
        for (const auto& [sql, params] : d.plain) db.execute(sql, params);
        rebuildLifeListSetBased(db, 1, "Region");
        db.execute("UPDATE Options SET lifetotal = (SELECT count(*) FROM Checklists WHERE Reg_ID = 1), lifesum = "
                   "(SELECT count(*) FROM Birds WHERE LifeList > 0)");
        tx.commit();
    }
}

} // namespace

BENCHMARK(PreviewTaxonomy)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ApplyTaxonomy)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(PlainStatementsFloor)->Unit(benchmark::kMillisecond)->Iterations(8);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    data();
    bench::RatioReporter reporter({{"ApplyTaxonomy", "PlainStatementsFloor", 3.0}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
