#include "outings/OutingChecklist.h"
#include "outings/OutingRules.h"
#include "outings/OutingStore.h"
#include "lifelist/LifeList.h"
#include "TestDatabase.h"
#include "db/Database.h"

#include <QDate>
#include <map>
#include <random>
#include <gtest/gtest.h>

using namespace fl;

// --- counts as typed ---

struct CountCase {
    const char* text;
    CountEntry::Kind kind;
    qint64 number;
    const char* problemPart; // for Bad: part of the reason given
};

class CountEntryTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountEntryTest, ReadsAsItShould)
{
    const CountCase& c = GetParam();
    const CountEntry e = parseCount(QString::fromUtf8(c.text));
    EXPECT_EQ(e.kind, c.kind) << c.text;
    if (c.kind == CountEntry::Number) {
        EXPECT_EQ(e.number, c.number);
    }
    if (c.kind == CountEntry::Bad) {
        EXPECT_TRUE(e.problem.contains(QString::fromUtf8(c.problemPart))) << qPrintable(e.problem);
    }
    EXPECT_EQ(e.seen(), c.kind == CountEntry::Present || c.kind == CountEntry::Number);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CountEntryTest,
    ::testing::Values(CountCase{"", CountEntry::Empty, 0, ""}, CountCase{"   ", CountEntry::Empty, 0, ""},
                      CountCase{"X", CountEntry::Present, 0, ""}, CountCase{"x", CountEntry::Present, 0, ""},
                      CountCase{" 4 ", CountEntry::Number, 4, ""}, CountCase{"007", CountEntry::Number, 7, ""},
                      CountCase{"1000000000", CountEntry::Number, 1000000000, ""},
                      CountCase{"-3", CountEntry::Bad, 0, "negative"}, CountCase{"0", CountEntry::Bad, 0, "at least 1"},
                      CountCase{"four", CountEntry::Bad, 0, "whole number"},
                      CountCase{"4.5", CountEntry::Bad, 0, "whole number"},
                      CountCase{"x4", CountEntry::Bad, 0, "whole number"},
                      CountCase{"1000000001", CountEntry::Bad, 0, "at most"},
                      CountCase{"1000000000000", CountEntry::Bad, 0, "at most"},
                      CountCase{"99999999999999999999999", CountEntry::Bad, 0, "at most"}));

TEST(OutingEffort, TimesDurationsAndNumbersAsBirdersWriteThem)
{
    bool ok = false;
    EXPECT_EQ(parseStartTime("7:30", ok), QTime(7, 30));
    EXPECT_TRUE(ok);
    EXPECT_EQ(parseStartTime("0730", ok), QTime(7, 30));
    EXPECT_EQ(parseStartTime("7:30 pm", ok), QTime(19, 30));
    EXPECT_EQ(parseStartTime("12:05 am", ok), QTime(0, 5));
    EXPECT_FALSE(parseStartTime("", ok).isValid());
    EXPECT_TRUE(ok) << "no time is fine";
    for (const char* bad : {"25:00", "7:75", "noon", "13:00 pm"}) {
        parseStartTime(bad, ok);
        EXPECT_FALSE(ok) << bad;
    }
    EXPECT_EQ(parseDuration("90", ok), 90);
    EXPECT_EQ(parseDuration("1:30", ok), 90);
    EXPECT_EQ(parseDuration("1h30", ok), 90);
    EXPECT_EQ(parseDuration("2 h", ok), 120);
    EXPECT_EQ(parseDuration("45 min", ok), 45);
    parseDuration("1:75", ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(parseDecimal("2.5", ok), 2.5);
    EXPECT_EQ(parseDecimal("2,5", ok), 2.5);
    parseDecimal("far", ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(durationText(90), "1:30");
    EXPECT_EQ(durationText(45), "45");
}

// --- storing outings ---

namespace {

// Ontario (2, a State; species 1 to 6) is the current region; its lifesum is stored.
struct OutingFixture {
    test::TestFolder folder;
    std::unique_ptr<db::Database> db = folder.open();
    LifeListScope scope{test::kOntario, QStringLiteral("State")};
    db::Recordset options;
    OutingFixture()
    {
        db->execute("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State', lifesum = 0");
        options = db->openRecordset("Options", db::RecordsetKind::Dynaset);
    }
    Outing outing(const QDate& date, std::initializer_list<std::pair<int, std::optional<qint64>>> species,
                  int state = test::kOntario)
    {
        Outing o;
        o.date = date;
        o.site = "Presqu'ile";
        o.places[2] = state;
        for (const auto& [bird, count] : species) o.entries.push_back({bird, count, {}, {}, {}, 0});
        return o;
    }
    int mark(int bird) { return db->scalar("SELECT LifeList FROM Birds WHERE ID = ?", {bird}).toInt(); }
    int lifesum() { return db->scalar("SELECT lifesum FROM Options").toInt(); }
    int sightings() { return db->scalar("SELECT count(*) FROM Sightings").toInt(); }
};

} // namespace

TEST(OutingStore, SavesTheOutingWithItsCountsAndMarksTheLifeList)
{
    OutingFixture f;
    Outing o = f.outing(QDate(2024, 5, 10), {{3, 4}, {4, std::nullopt}, {9, 2}});
    o.startTime = QTime(6, 45);
    o.duration = 150;
    o.distance = 3.2;
    o.observers = 2;
    o.entries[0].comments = "flyover, calling";
    const OutingChange change = saveOuting(*f.db, o, f.scope, f.options);
    ASSERT_GT(o.id, 0);
    EXPECT_EQ(change.outingId, o.id);
    EXPECT_EQ(f.sightings(), 3);
    for (const OutingEntry& e : o.entries) EXPECT_GT(e.sightId, 0);
    EXPECT_EQ(f.db->scalar("SELECT Count FROM Sightings WHERE Bird_ID = 3").toInt(), 4);
    EXPECT_TRUE(f.db->scalar("SELECT Count FROM Sightings WHERE Bird_ID = 4").isNull()) << "X is stored as no number";
    EXPECT_EQ(f.db->scalar("SELECT notes FROM Sightings WHERE Bird_ID = 3").toString(), "flyover, calling");
    EXPECT_EQ(f.db->scalar("SELECT count(*) FROM Sightings WHERE Outing_ID = ? AND Date = '2024-05-10' AND state = 2 "
                           "AND site = 'Presqu''ile'", {o.id}).toInt(), 3);
    // Goose and robin are on Ontario's list; the yellowthroat (9) is not, so it has no mark.
    EXPECT_EQ(f.mark(3), o.entries[0].sightId);
    EXPECT_EQ(f.mark(4), o.entries[1].sightId);
    EXPECT_EQ(f.mark(9), 0);
    EXPECT_EQ(change.lifesum, 2);
    EXPECT_EQ(f.lifesum(), 2);

    const Outing back = loadOuting(*f.db, o.id);
    EXPECT_EQ(back.date, QDate(2024, 5, 10));
    EXPECT_EQ(back.startTime, QTime(6, 45));
    EXPECT_EQ(back.duration, 150);
    EXPECT_EQ(back.distance, 3.2);
    EXPECT_EQ(back.observers, 2);
    EXPECT_EQ(back.places[2], test::kOntario);
    ASSERT_EQ(back.entries.size(), 3u);
    // In checklist order: goose (10), robin (60), yellowthroat (90).
    EXPECT_EQ(back.entries[0].birdId, 3);
    EXPECT_EQ(back.entries[0].count, 4);
    EXPECT_EQ(back.entries[1].count, std::nullopt);
    EXPECT_EQ(outingSightingCount(*f.db, o.id), 3);
}

// Where the marks go after saves, edits and deletes is checked against a plain recomputation
// below; here, what an edit and a delete do to the outing's rows.
TEST(OutingStore, AnEditKeepsTheSightingsOfKeptSpeciesAndADeleteTakesThemAll)
{
    OutingFixture f;
    Outing a = f.outing(QDate(2024, 5, 10), {{3, 4}, {4, 1}});
    saveOuting(*f.db, a, f.scope, f.options);
    const int goose = a.entries[0].sightId;
    ASSERT_EQ(f.lifesum(), 2);
    // Another date and place, a species taken off and another added, a count changed.
    a.date = QDate(2024, 4, 1);
    a.places[2] = 0;
    a.places[1] = test::kCanada;
    a.entries.erase(a.entries.begin() + 1); // the robin
    a.entries[0].count = 7;
    a.entries.push_back({6, std::nullopt, "singing", {}, {}, 0});
    saveOuting(*f.db, a, f.scope, f.options);
    EXPECT_EQ(a.entries[0].sightId, goose) << "a kept species keeps its sighting";
    EXPECT_EQ(f.db->scalar("SELECT Date || '/' || state || '/' || country || '/' || Count FROM Sightings "
                           "WHERE Sight_ID = ?", {goose}).toString(), "2024-04-01/0/3/7");
    EXPECT_EQ(f.sightings(), 2);
    EXPECT_EQ(f.db->scalar("SELECT notes FROM Sightings WHERE Bird_ID = 6").toString(), "singing");
    EXPECT_EQ(f.lifesum(), 0) << "out of the region";

    deleteOuting(*f.db, a.id, f.scope, f.options);
    EXPECT_EQ(f.sightings(), 0);
    EXPECT_EQ(f.db->scalar("SELECT count(*) FROM Outings").toInt(), 0);
    EXPECT_THROW(deleteOuting(*f.db, a.id, f.scope, f.options), db::DbError);
}

TEST(OutingStore, AFaultyOutingStoresNothingAndKeepsTheWindowsCopy)
{
    OutingFixture f;
    Outing ok = f.outing(QDate(2024, 5, 10), {{3, 4}});
    saveOuting(*f.db, ok, f.scope, f.options);
    const QString before = f.db->scalar("SELECT group_concat(Sight_ID || Bird_ID || Date || coalesce(Count, 'X')) "
                                        "FROM Sightings").toString();
    struct Bad {
        const char* why;
        std::function<void(Outing&)> spoil;
    } bads[] = {
        {"no species", [](Outing& o) { o.entries.clear(); }},
        {"twice", [](Outing& o) { o.entries.push_back({3, 1, {}, {}, {}, 0}); }},
        {"count 0", [](Outing& o) { o.entries[0].count = 0; }},
        {"count too big", [](Outing& o) { o.entries[0].count = 1000000000000LL; }},
        {"future", [](Outing& o) { o.date = QDate::currentDate().addDays(1); }},
        {"no date", [](Outing& o) { o.date = {}; }},
        {"latitude alone", [](Outing& o) { o.latitude = 44.0; }},
        {"latitude 95", [](Outing& o) { o.latitude = 95.0; o.longitude = -77.0; }},
        {"duration 0", [](Outing& o) { o.duration = 0; }},
        {"unknown species", [](Outing& o) { o.entries[0].birdId = 999; }},
    };
    for (const Bad& bad : bads) {
        Outing o = f.outing(QDate(2024, 6, 1), {{3, 2}, {4, 1}});
        bad.spoil(o);
        EXPECT_THROW(saveOuting(*f.db, o, f.scope, f.options), db::DbError) << bad.why;
        EXPECT_EQ(o.id, 0) << bad.why;
        for (const OutingEntry& e : o.entries) EXPECT_EQ(e.sightId, 0) << bad.why;
        EXPECT_EQ(f.db->scalar("SELECT count(*) FROM Outings").toInt(), 1) << bad.why;
    }
    EXPECT_EQ(f.db->scalar("SELECT group_concat(Sight_ID || Bird_ID || Date || coalesce(Count, 'X')) FROM Sightings")
                  .toString(), before);
    EXPECT_EQ(f.lifesum(), 1);
    // The database refuses what the rules refuse, whoever writes it.
    EXPECT_THROW(f.db->execute("UPDATE Sightings SET Count = -1"), db::DbError);
    EXPECT_THROW(f.db->execute("UPDATE Sightings SET Date = '2020-01-01' WHERE Outing_ID IS NOT NULL"), db::DbError);
    EXPECT_THROW(f.db->execute("INSERT INTO Sightings (Bird_ID, Date, Outing_ID) VALUES (3, '2024-05-10', ?)", {ok.id}),
                 db::DbError) << "a species is in an outing once";
    EXPECT_THROW(f.db->execute("INSERT INTO Outings (Date) VALUES ('2024-02-30')"), db::DbError);
    EXPECT_THROW(f.db->execute("INSERT INTO Outings (Date, SubmissionID) VALUES ('2024-02-03', 'S1'), "
                               "('2024-02-04', 'S1')"), db::DbError);
}

// The life list as a birder reckons it, from the sightings alone.
TEST(OutingStore, MarksAlwaysEqualAPlainRecomputation)
{
    struct Scope {
        int id;
        const char* type;
    };
    const Scope scopes[] = {{0, ""}, {1, "Region"}, {3, "Country"}, {2, "State"}, {6, "State"}, {4, "District"}};
    for (unsigned seed = 1; seed <= 6; ++seed) {
        OutingFixture f;
        std::mt19937 rng(seed);
        const Scope& sc = scopes[seed % std::size(scopes)];
        f.db->execute("INSERT INTO Regions (Reg_ID, Name, Type) VALUES (5, 'Europe', 'Region'), (6, 'Quebec', 'State')");
        f.db->execute("INSERT INTO Checklists (Bird_ID, Reg_ID, Status) SELECT ID, 6, 'B' FROM Birds WHERE ID % 2 = 0");
        f.db->execute("INSERT INTO Checklists (Bird_ID, Reg_ID, Status) SELECT ID, 4, 'B' FROM Birds WHERE ID > 4");
        auto any = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        auto places = [&](int (&p)[4]) {
            const int choices[4][3] = {{0, 1, 5}, {0, 3, 3}, {0, 2, 6}, {0, 4, 4}};
            for (int k = 0; k < 4; ++k) p[k] = choices[k][any(3)];
        };
        // Sightings made on their own, some in the region.
        for (int i = 0; i < 15; ++i) {
            int p[4];
            places(p);
            f.db->execute("INSERT INTO Sightings (Bird_ID, Date, Region, country, state, district) VALUES (?, ?, ?, ?, ?, ?)",
                          {1 + any(12), QDate(2021, 1, 1).addDays(any(20)), p[0], p[1], p[2], p[3]});
        }
        LifeListScope scope{sc.id, QString::fromLatin1(sc.type)};
        if (sc.id == 0) rebuildWorldLifeList(*f.db, " Order By Birds.sortOrder");
        else ASSERT_TRUE(rebuildLifeList(*f.db, sc.id, " Order By Birds.sortOrder").has_value());

        std::vector<int> outings;
        for (int step = 0; step < 30; ++step) {
            const int what = any(10);
            if (what < 5 || outings.empty()) {
                Outing o;
                o.date = QDate(2021, 1, 1).addDays(any(20)); // ties on dates, with each other and the others
                places(o.places);
                for (int b = 1; b <= 12; ++b)
                    if (any(3) == 0) o.entries.push_back({b, any(2) ? std::optional<qint64>(1 + any(30)) : std::nullopt, {}, {}, {}, 0});
                if (o.entries.empty()) o.entries.push_back({1 + any(12), 1, {}, {}, {}, 0});
                saveOuting(*f.db, o, scope, f.options);
                outings.push_back(o.id);
            } else if (what < 8) {
                Outing o = loadOuting(*f.db, outings[size_t(any(int(outings.size())))]);
                if (any(2)) o.date = QDate(2021, 1, 1).addDays(any(20));
                if (any(2)) places(o.places);
                if (o.entries.size() > 1 && any(2)) o.entries.erase(o.entries.begin() + any(int(o.entries.size())));
                const int add = 1 + any(12);
                if (std::none_of(o.entries.begin(), o.entries.end(), [add](const OutingEntry& e) { return e.birdId == add; }))
                    o.entries.push_back({add, 3, {}, {}, {}, 0});
                saveOuting(*f.db, o, scope, f.options);
            } else {
                const size_t at = size_t(any(int(outings.size())));
                deleteOuting(*f.db, outings[at], scope, f.options);
                outings.erase(outings.begin() + qsizetype(at));
            }

            // The plain reckoning: every species on the region's list, its earliest sighting with
            // the region in any of its four places (every sighting for World).
            std::map<int, std::pair<QDate, int>> first;
            auto rs = f.db->openRecordset("SELECT Sight_ID, Bird_ID, Date, Region, country, state, district FROM Sightings",
                                          db::RecordsetKind::Snapshot);
            for (; !rs.eof(); rs.moveNext()) {
                bool counts = sc.id == 0;
                for (int k = 0; k < 4; ++k) counts = counts || rs.field(3 + k).toInt() == sc.id;
                if (!counts) continue;
                const std::pair<QDate, int> key{rs.field(2).toDate(), rs.field(0).toInt()};
                auto [it, inserted] = first.try_emplace(rs.field(1).toInt(), key);
                if (!inserted && key < it->second) it->second = key;
            }
            int sum = 0;
            for (int b = 1; b <= 12; ++b) {
                const bool listed = sc.id == 0
                    || f.db->scalar("SELECT count(*) FROM Checklists WHERE Reg_ID = ? AND Bird_ID = ?", {sc.id, b}).toInt();
                const int expected = listed && first.count(b) ? first[b].second : 0;
                ASSERT_EQ(f.mark(b), expected) << "seed " << seed << ", step " << step << ", species " << b;
                sum += expected > 0;
            }
            ASSERT_EQ(f.lifesum(), sum) << "seed " << seed << ", step " << step;
        }
    }
}

TEST(OutingChecklistTest, TheRegionsSpeciesInOrderAndTheFilter)
{
    OutingFixture f;
    const auto rows = outingChecklist(*f.db, test::kOntario);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].name, "Canada Goose");
    EXPECT_EQ(rows[0].code, "CANG") << "the official code";
    f.db->execute("UPDATE Birds SET AlphaCode = NULL WHERE ID = 3");
    EXPECT_EQ(outingChecklist(*f.db, test::kOntario)[0].code, "CAGO") << "without one, the code the name makes";
    EXPECT_EQ(outingChecklist(*f.db, 0).size(), 12u);
    const auto off = speciesOffChecklist(*f.db, test::kOntario);
    ASSERT_EQ(off.size(), 6u);
    EXPECT_FALSE(off[0].onChecklist);

    const auto all = outingChecklist(*f.db, 0);
    auto best = [&all](const char* text) {
        SpeciesFilter filter{QString::fromUtf8(text)};
        QString name;
        int top = 0;
        for (const auto& r : all)
            if (filter.score(r) > top) top = filter.score(r), name = r.name;
        return name;
    };
    EXPECT_EQ(best("AMRO"), "American Robin") << "the code first";
    EXPECT_EQ(best("amro"), "American Robin");
    EXPECT_EQ(best("kirtland's"), "Kirtland's Warbler");
    EXPECT_EQ(best("kirtland\u2019s"), "Kirtland's Warbler") << "either apostrophe";
    EXPECT_EQ(best("bay breasted"), "Bay-breasted Warbler") << "a blank for a hyphen";
    EXPECT_EQ(best("thrush"), "Wood Thrush") << "a word's start before a word's middle; the first in order";
    EXPECT_EQ(best("catharus"), "Hermit Thrush") << "the scientific name";
    EXPECT_EQ(best("zzz"), "");
}

TEST(OutingChecklistTest, NewForTheLifeListAndTheYear)
{
    OutingFixture f;
    Outing dec = f.outing(QDate(2023, 12, 30), {{3, 1}});
    saveOuting(*f.db, dec, f.scope, f.options);
    const auto rows = outingChecklist(*f.db, test::kOntario); // goose first, robin next
    {
        OutingNewness n(*f.db, f.scope, 0);
        n.setOuting(QDate(2024, 1, 2), true);
        EXPECT_FALSE(n.of(rows[0], 0).life) << "the goose was seen in December";
        EXPECT_TRUE(n.of(rows[0], 0).year) << "but not in 2024";
        EXPECT_TRUE(n.of(rows[1], 0).life);
        n.setOuting(QDate(2023, 12, 31), true);
        EXPECT_FALSE(n.of(rows[0], 0).year);
        n.setOuting(QDate(2023, 12, 1), true);
        EXPECT_TRUE(n.of(rows[0], 0).life) << "earlier than the December outing";
        n.setOuting(QDate(2024, 1, 2), false);
        EXPECT_FALSE(n.of(rows[1], 0).life) << "nothing is new outside the region";
    }
    {
        // The outing's own sighting does not count against it.
        OutingNewness n(*f.db, f.scope, dec.id);
        n.setOuting(dec.date, true);
        EXPECT_TRUE(n.of(rows[0], dec.entries[0].sightId).life);
        EXPECT_TRUE(n.of(rows[0], dec.entries[0].sightId).year);
    }
}

TEST(OutingStore, RecentSitesAndTheirPlaces)
{
    OutingFixture f;
    Outing a = f.outing(QDate(2024, 5, 10), {{3, 1}});
    a.site = "Tommy Thompson Park";
    saveOuting(*f.db, a, f.scope, f.options);
    Outing b = f.outing(QDate(2024, 6, 10), {{3, 1}}, 0);
    b.site = "Long Point";
    b.places[1] = test::kCanada;
    saveOuting(*f.db, b, f.scope, f.options);
    Outing c = f.outing(QDate(2024, 7, 10), {{4, 1}});
    c.site = "tommy thompson park";
    saveOuting(*f.db, c, f.scope, f.options);
    EXPECT_EQ(recentSites(*f.db), (QStringList{"tommy thompson park", "Long Point"})) << "newest first, each once";
    int places[4] = {};
    ASSERT_TRUE(placesOfSite(*f.db, "Long Point", places));
    EXPECT_EQ(places[1], test::kCanada);
    EXPECT_EQ(places[2], 0);
    EXPECT_FALSE(placesOfSite(*f.db, "Nowhere", places));
}
