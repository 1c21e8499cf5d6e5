// The user's lists counted from the sightings, against a plain recomputation from the rows
// as they were generated.

#include "lists/CustomLists.h"
#include "lists/ListCounts.h"
#include "outings/Outing.h"
#include "outings/OutingStore.h"
#include "TestDatabase.h"
#include "db/Database.h"

#include <QDate>
#include <QMap>
#include <QSet>
#include <gtest/gtest.h>
#include <random>

using namespace fl;

namespace {

// Regions beyond the fixture's: a country, two states and counties in them.
constexpr int kUsa = 20, kOhio = 21, kMichigan = 22, kLucas = 23, kFranklin = 24, kMonroe = 25, kGone = 26;

void addRegions(db::Database& db)
{
    db.executeScript(QStringLiteral(
        "INSERT INTO Regions (Reg_ID, Name, Type) VALUES (20, 'United States', 'Country');"
        "INSERT INTO Regions (Reg_ID, Name, Type) VALUES (21, 'Ohio', 'State');"
        "INSERT INTO Regions (Reg_ID, Name, Type) VALUES (22, 'Michigan', 'State');"
        "INSERT INTO Regions (Reg_ID, Name, Type) VALUES (23, 'Lucas', 'District');"
        "INSERT INTO Regions (Reg_ID, Name, Type) VALUES (24, 'Franklin', 'District');"
        "INSERT INTO Regions (Reg_ID, Name, Type) VALUES (25, 'Monroe', 'District');"));
}

struct Row {
    int sightId;
    int bird;
    QDate date;
    int places[4]; // Region, country, state, district
    QString site;
};

// Where each county lies: {Region, country, state, district}.
const int kCounties[][4] = {
    {1, 3, 2, 4},                     // Point Pelee, Ontario, Canada
    {1, kUsa, kOhio, kLucas},         // Lucas, Ohio
    {1, kUsa, kOhio, kFranklin},      // Franklin, Ohio
    {1, kUsa, kMichigan, kMonroe},    // Monroe, Michigan
    {1, kUsa, kOhio, kGone},          // a county deleted since: it has no list of its own
    {0, 0, kOhio, 0},                 // Ohio, nothing narrower given
    {0, 0, 0, 0},                     // no region at all
};

const char* const kSites[] = {"Magee Marsh", "  magee marsh ", "Oak Openings", "Rondeau", "", nullptr};

std::vector<Row> generate(std::mt19937& rng, int count)
{
    std::vector<Row> rows;
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (int i = 0; i < count; ++i) {
        Row r{};
        r.bird = 1 + pick(12);
        const int year = 2019 + pick(6);
        switch (pick(5)) {
        case 0: r.date = QDate(year, 12, 31); break; // the last day of one year ...
        case 1: r.date = QDate(year, 1, 1); break;   // ... and the first of the next
        default: r.date = QDate(year, 1, 1).addDays(pick(365));
        }
        const int* where = kCounties[pick(int(std::size(kCounties)))];
        std::copy(where, where + 4, r.places);
        const char* site = kSites[pick(int(std::size(kSites)))];
        r.site = site ? QString::fromLatin1(site) : QString();
        rows.push_back(r);
    }
    return rows;
}

void store(db::Database& db, std::vector<Row>& rows)
{
    db::Transaction tx(db);
    for (Row& r : rows) {
        db.execute(QStringLiteral("INSERT INTO Sightings (Bird_ID, Date, Region, country, state, district, site) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                   {r.bird, r.date.toString(Qt::ISODate), r.places[0], r.places[1], r.places[2], r.places[3],
                    r.site.isNull() ? QVariant() : QVariant(r.site)});
        r.sightId = db.scalar(QStringLiteral("SELECT last_insert_rowid()")).toInt();
    }
    tx.commit();
}

// A list as text: its totals, then each species with its first and last date, records and
// whether it was new, by Bird_ID.
using Lists = QMap<QString, QString>;

QString key(ListPlace::Kind kind, int id, ListPeriod period, int value)
{
    return QStringLiteral("%1:%2:%3:%4").arg(int(kind)).arg(id).arg(int(period)).arg(value);
}

struct Entry {
    QDate first, last;
    int records = 0;
    bool isNew = false;
};

QString text(const QMap<int, Entry>& species)
{
    QString t;
    QDate first, last;
    int records = 0, news = 0;
    for (auto it = species.begin(); it != species.end(); ++it) {
        const Entry& e = *it;
        if (!first.isValid() || e.first < first) first = e.first;
        if (!last.isValid() || e.last > last) last = e.last;
        records += e.records;
        news += e.isNew;
        t += QStringLiteral(" %1[%2 %3 %4%5]")
                 .arg(it.key())
                 .arg(e.first.toString(Qt::ISODate), e.last.toString(Qt::ISODate))
                 .arg(e.records)
                 .arg(e.isNew ? "*" : "");
    }
    return QStringLiteral("%1 species, %2 new, %3 records, %4 to %5:")
               .arg(species.size())
               .arg(news)
               .arg(records)
               .arg(first.toString(Qt::ISODate), last.toString(Qt::ISODate))
           + t;
}

Lists counted(const ListCounts& counts, const ListSightings& data)
{
    Lists out;
    const auto& all = data.sightings();
    for (int l = 0; l < int(counts.lists().size()); ++l) {
        const ListSummary& s = counts.lists()[size_t(l)];
        const ListPlace& p = counts.places()[size_t(s.place)];
        QMap<int, Entry> species;
        for (const ListEntry& e : counts.entries(l))
            species.insert(e.birdId, {all[size_t(e.first)].date, all[size_t(e.last)].date, e.records, e.isNew});
        const QString t = text(species);
        // The totals must agree with the species.
        const QString totals = QStringLiteral("%1 species, %2 new, %3 records, %4 to %5:")
                                   .arg(s.species)
                                   .arg(s.newSpecies)
                                   .arg(s.records)
                                   .arg(s.first.toString(Qt::ISODate), s.last.toString(Qt::ISODate));
        EXPECT_TRUE(t.startsWith(totals)) << qPrintable(p.name) << " " << qPrintable(counts.listName(l)) << ": "
                                          << qPrintable(totals) << " vs " << qPrintable(t);
        const QString k = key(p.kind, p.id, s.period, s.value);
        EXPECT_FALSE(out.contains(k)) << "one list per place and period: " << qPrintable(k);
        out.insert(k, t);
    }
    return out;
}

// The plain way: for each place, its sightings; for each list, those of its period.
Lists recomputed(const std::vector<Row>& rows, int regId, int regColumn, const QList<CustomList>& custom)
{
    const QSet<int> existing = {1, 2, 3, 4, kUsa, kOhio, kMichigan, kLucas, kFranklin, kMonroe};
    struct Place {
        ListPlace::Kind kind;
        int id;
        bool periods;
        std::function<bool(const Row&)> holds;
    };
    std::vector<Place> places;
    auto names = [](const Row& r, int id) { return std::find(r.places, r.places + 4, id) != r.places + 4; };
    places.push_back({ListPlace::Kind::World, 0, regId == 0, [](const Row&) { return true; }});
    if (regId != 0) places.push_back({ListPlace::Kind::Region, regId, true, [=](const Row& r) { return names(r, regId); }});
    // The regions within: those that the region's sightings name in a narrower column.
    QSet<int> within;
    for (const Row& r : rows)
        if (regId == 0 || names(r, regId))
            for (int c = regColumn + 1; c < 4; ++c)
                if (r.places[c] != 0 && r.places[c] != regId && existing.contains(r.places[c])) within.insert(r.places[c]);
    for (int id : within) places.push_back({ListPlace::Kind::Region, id, true, [=](const Row& r) { return names(r, id); }});
    for (const CustomList& l : custom) {
        QSet<QString> sites;
        for (const QString& s : l.sites) sites.insert(s.trimmed().toCaseFolded());
        const QList<int> regions = l.regions;
        places.push_back({ListPlace::Kind::Custom, l.id, true, [=](const Row& r) {
                              if (!r.site.isNull() && sites.contains(r.site.trimmed().toCaseFolded())) return true;
                              for (int id : regions)
                                  if (names(r, id)) return true;
                              return false;
                          }});
    }

    Lists out;
    for (const Place& p : places) {
        std::vector<const Row*> in;
        for (const Row& r : rows)
            if (p.holds(r)) in.push_back(&r);
        // The first sighting of each species in the place: by date, then by number.
        QMap<int, const Row*> firstIn;
        for (const Row* r : in) {
            const Row*& f = firstIn[r->bird];
            if (!f || r->date < f->date || (r->date == f->date && r->sightId < f->sightId)) f = r;
        }
        auto list = [&](ListPeriod period, int value, auto belongs) {
            QMap<int, Entry> species;
            for (const Row* r : in) {
                if (!belongs(*r)) continue;
                Entry& e = species[r->bird];
                if (!e.first.isValid() || r->date < e.first) e.first = r->date;
                if (!e.last.isValid() || r->date > e.last) e.last = r->date;
                ++e.records;
                e.isNew = e.isNew || firstIn.value(r->bird) == r;
            }
            // The region's and each custom list's life list shows even when empty.
            const bool always = period == ListPeriod::Life && (p.kind == ListPlace::Kind::Custom || p.id == regId);
            if (!species.isEmpty() || always) out.insert(key(p.kind, p.id, period, value), text(species));
        };
        list(ListPeriod::Life, 0, [](const Row&) { return true; });
        if (!p.periods) continue;
        for (int y = 2000; y <= 2030; ++y) list(ListPeriod::Year, y, [y](const Row& r) { return r.date.year() == y; });
        for (int m = 1; m <= 12; ++m) list(ListPeriod::Month, m, [m](const Row& r) { return r.date.month() == m; });
    }
    return out;
}

void expectSame(const Lists& got, const Lists& want, const char* what)
{
    for (auto it = want.begin(); it != want.end(); ++it)
        EXPECT_EQ(got.value(it.key()).toStdString(), it->toStdString()) << what << " list " << qPrintable(it.key());
    for (auto it = got.begin(); it != got.end(); ++it)
        EXPECT_TRUE(want.contains(it.key())) << what << " has a list it should not: " << qPrintable(it.key());
}

class ListCountsTest : public testing::Test {
protected:
    void SetUp() override
    {
        db = folder.open();
        addRegions(*db);
    }
    test::TestFolder folder;
    std::unique_ptr<db::Database> db;
};

} // namespace

TEST_F(ListCountsTest, RandomSightingsCountAsAPlainRecomputationDoes)
{
    CustomList patch{0, QStringLiteral("Lake Erie shore"), {kLucas, 4}, {}};
    CustomList sites{0, QStringLiteral("Marshes"), {}, {QStringLiteral("MAGEE MARSH"), QStringLiteral("Rondeau ")}};
    CustomList mixed{0, QStringLiteral("Ohio and the Oaks"), {kOhio}, {QStringLiteral("Oak Openings")}};
    patch.id = createCustomList(*db, patch);
    sites.id = createCustomList(*db, sites);
    mixed.id = createCustomList(*db, mixed);
    const QList<CustomList> custom = readCustomLists(*db);
    ASSERT_EQ(custom.size(), 3);

    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 rng(seed);
        db->execute(QStringLiteral("DELETE FROM Sightings"));
        std::vector<Row> rows = generate(rng, 150 + int(seed) * 60);
        store(*db, rows);
        // Two outings of a morning at one place, stored and deleted the way the outing window
        // does it: the kept one counts like any other records, the deleted one no more.
        {
            LifeListScope world;
            db::Recordset options = db->openRecordset("Options", db::RecordsetKind::Dynaset);
            const int* where = kCounties[seed % 4]; // a place that is still a region
            auto outingOf = [&](int day, int firstBird) {
                Outing o;
                o.date = QDate(2020 + int(seed % 5), 12, 31).addDays(day);
                o.site = QStringLiteral("Magee Marsh");
                std::copy(where, where + 4, o.places);
                for (int b = firstBird; b < firstBird + 5; ++b) o.entries.push_back({b, qint64(b), {}, {}, {}, 0});
                saveOuting(*db, o, world, options);
                return o;
            };
            const Outing gone = outingOf(0, 1);
            const Outing kept = outingOf(1, 3 + int(seed % 4));
            deleteOuting(*db, gone.id, world, options);
            for (const OutingEntry& e : kept.entries) {
                Row r{e.sightId, e.birdId, kept.date, {}, kept.site};
                std::copy(where, where + 4, r.places);
                rows.push_back(r);
            }
        }
        ListSightings data;
        data.load(*db);
        ASSERT_EQ(data.sightings().size(), rows.size()) << "the deleted outing's records are gone, the kept one's there";
        // World (every region named is within it), a region, a country, a state, a county.
        const struct {
            int regId;
            int column;
        } chosen[] = {{0, -1}, {1, 0}, {kUsa, 1}, {kOhio, 2}, {kLucas, 3}};
        for (const auto& c : chosen) {
            ListCounts counts;
            counts.count(data, c.regId, custom);
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", region " << c.regId);
            expectSame(counted(counts, data), recomputed(rows, c.regId, c.column, custom), "counted");
        }
    }
}

TEST_F(ListCountsTest, NewYearsEveAndDayAreTwoYearsAndASpeciesInTwoCountiesIsOneInTheState)
{
    std::vector<Row> rows = {
        {0, 5, QDate(2023, 12, 31), {1, kUsa, kOhio, kLucas}, QStringLiteral("Magee Marsh")},
        {0, 5, QDate(2024, 1, 1), {1, kUsa, kOhio, kFranklin}, QStringLiteral("Scioto Audubon")},
        {0, 7, QDate(2024, 1, 1), {1, kUsa, kOhio, kFranklin}, QString()},
        {0, 7, QDate(2024, 12, 31), {1, kUsa, kOhio, kLucas}, QString()},
    };
    store(*db, rows);
    ListSightings data;
    data.load(*db);
    ListCounts counts;
    counts.count(data, kOhio, {});
    const ListPlace ohio{ListPlace::Kind::Region, kOhio, 2, {}};
    auto summary = [&](const ListPlace& p, ListPeriod period, int value) {
        const int l = counts.find(p, period, value);
        if (l < 0) return std::string("none");
        const ListSummary& s = counts.lists()[size_t(l)];
        return QStringLiteral("%1 species, %2 new, %3 records")
            .arg(s.species)
            .arg(s.newSpecies)
            .arg(s.records)
            .toStdString();
    };
    EXPECT_EQ(summary(ohio, ListPeriod::Life, 0), "2 species, 2 new, 4 records");
    EXPECT_EQ(summary(ohio, ListPeriod::Year, 2023), "1 species, 1 new, 1 records");
    EXPECT_EQ(summary(ohio, ListPeriod::Year, 2024), "2 species, 1 new, 3 records") << "Hermit Thrush was new in 2023";
    EXPECT_EQ(summary(ohio, ListPeriod::Month, 12), "2 species, 1 new, 2 records");
    EXPECT_EQ(summary(ohio, ListPeriod::Month, 1), "2 species, 1 new, 2 records");
    EXPECT_EQ(summary(ohio, ListPeriod::Year, 2022), "none");
    const ListPlace lucas{ListPlace::Kind::Region, kLucas, 3, {}};
    const ListPlace franklin{ListPlace::Kind::Region, kFranklin, 3, {}};
    EXPECT_EQ(summary(lucas, ListPeriod::Life, 0), "2 species, 2 new, 2 records");
    EXPECT_EQ(summary(franklin, ListPeriod::Year, 2024), "2 species, 2 new, 2 records")
        << "new in the county, though seen in the state before";

    // The places in the order shown: the whole list, the state, its counties by name.
    QStringList order;
    for (const ListPlace& p : counts.places()) order << p.name;
    EXPECT_EQ(order.join(", "), "World, Ohio, Franklin, Lucas");
    EXPECT_EQ(counts.listName(counts.find(ohio, ListPeriod::Month, 12)), "December (all years)");
    // The years come latest first after the life list.
    const int life = counts.find(ohio, ListPeriod::Life);
    EXPECT_EQ(counts.listName(life + 1), "2024");
    EXPECT_EQ(counts.listName(life + 2), "2023");

    // The species rows: checklist order, the first sighting's place.
    const auto species = counts.rows(data, counts.find(ohio, ListPeriod::Year, 2024));
    ASSERT_EQ(species.size(), 2u);
    EXPECT_EQ(species[0].name, "Hermit Thrush");
    EXPECT_EQ(species[0].place(), "Scioto Audubon (Franklin)");
    EXPECT_EQ(species[0].records, 1);
    EXPECT_FALSE(species[0].isNew);
    EXPECT_EQ(species[1].name, "Yellow Warbler");
    EXPECT_EQ(species[1].place(), "Franklin");
    EXPECT_EQ(species[1].last, QDate(2024, 12, 31));
    EXPECT_TRUE(species[1].isNew);
}

TEST_F(ListCountsTest, EmptyDatabaseAndOddPlaces)
{
    ListSightings data;
    data.load(*db);
    ListCounts counts;
    const int patch = createCustomList(*db, {0, QStringLiteral("Yard"), {}, {QStringLiteral("Home")}});
    counts.count(data, kOhio, readCustomLists(*db));
    // The whole list and the region's and the custom list's life lists, empty.
    ASSERT_EQ(counts.lists().size(), 2u);
    EXPECT_EQ(counts.places()[size_t(counts.lists()[0].place)].name, "Ohio");
    EXPECT_EQ(counts.lists()[0].species, 0);
    EXPECT_EQ(counts.places()[size_t(counts.lists()[1].place)].id, patch);

    // A sighting whose place numbers are not regions (negative, or never stored) is counted
    // in the whole list only.
    db->execute("INSERT INTO Sightings (Bird_ID, Date, Region, country, state, district) VALUES (1, '2020-02-02', -3, 999, 0, -1)");
    data.load(*db);
    counts.count(data, 0, {});
    ASSERT_EQ(counts.places().size(), 1u);
    EXPECT_EQ(counts.lists().size(), 3u); // life, 2020, February
    EXPECT_EQ(counts.lists()[0].species, 1);
}
