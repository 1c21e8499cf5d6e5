#include "lists/ListCounts.h"

#include "status/Seasons.h"

#include "regions/RegionKinds.h"

#include "db/Connection.h"
#include "db/Database.h"

#include <QSet>
#include <algorithm>
#include <array>

namespace fl {

// ---- the sightings -----------------------------------------------------------------------

void ListSightings::load(db::Database& db)
{
    *this = ListSightings();
    db::Connection& conn = *db.connection();
    conn.flushPending();
    {
        db::Statement st(conn, QStringLiteral("SELECT ID, Name, sci_name, sortOrder FROM Birds"));
        while (st.step())
            m_species.insert(int(st.int64(0)), {st.value(1).toString(), st.value(2).toString(), int(st.int64(3))});
    }
    {
        db::Statement st(conn, QStringLiteral("SELECT Reg_ID, Name, Type FROM Regions"));
        while (st.step()) {
            Region r;
            r.name = st.value(1).toString();
            const RegionKind* kind = regionKindOfType(st.value(2).toString());
            for (int c = 0; kind && c < 4; ++c)
                if (&regionKinds()[size_t(c)] == kind) r.column = c;
            m_regions.insert(int(st.int64(0)), r);
        }
    }
    const qint64 count = db.scalar(QStringLiteral("SELECT count(*) FROM Sightings")).toLongLong();
    m_sightings.reserve(size_t(count));
    QSet<int> inColumn[4];
    QHash<QString, int> exact; // sites as written, to their index
    db::Statement st(conn, QStringLiteral("SELECT Sight_ID, Bird_ID, Date, Region, country, state, district, site "
                                          "FROM Sightings ORDER BY Bird_ID, Date, Sight_ID"));
    while (st.step()) {
        ListSighting s;
        s.sightId = int(st.int64(0));
        s.birdId = int(st.int64(1));
        s.date = st.value(2).toDate();
        for (int c = 0; c < 4; ++c) {
            s.places[c] = std::max(0, int(st.int64(3 + c))); // no region below 0
            if (s.places[c] != 0) inColumn[c].insert(s.places[c]);
            m_maxRegion = std::max(m_maxRegion, s.places[c]);
        }
        const QVariant site = st.value(7);
        if (!site.isNull()) {
            const QString text = site.toString();
            auto it = exact.constFind(text);
            if (it == exact.constEnd()) {
                int index = -1;
                const QString key = siteKey(text);
                if (!key.isEmpty()) {
                    index = m_siteIndex.value(key, -1);
                    if (index < 0) {
                        index = int(m_sites.size());
                        m_sites << text.trimmed();
                        m_siteIndex.insert(key, index);
                    }
                }
                it = exact.insert(text, index);
            }
            s.site = *it;
        }
        if (s.date.isValid()) {
            if (m_lastYear < m_firstYear) m_firstYear = m_lastYear = s.date.year();
            m_firstYear = std::min(m_firstYear, s.date.year());
            m_lastYear = std::max(m_lastYear, s.date.year());
        }
        m_sightings.push_back(s);
    }
    for (int c = 0; c < 4; ++c) {
        m_inColumn[c] = QList<int>(inColumn[c].begin(), inColumn[c].end());
        std::sort(m_inColumn[c].begin(), m_inColumn[c].end());
    }
}

const ListSightings::Species* ListSightings::species(int birdId) const
{
    const auto it = m_species.constFind(birdId);
    return it == m_species.constEnd() ? nullptr : &*it;
}

const ListSightings::Region* ListSightings::region(int regId) const
{
    const auto it = m_regions.constFind(regId);
    return it == m_regions.constEnd() ? nullptr : &*it;
}

// ---- counting ----------------------------------------------------------------------------

namespace {

// A place while its lists are counted.
struct PlaceWork {
    ListPlace place;
    bool periods = true; // the years and months too, not the life list alone
    int life = -1;
    std::vector<int> years; // list by year - first year; -1 until needed
    std::array<int, 12> months;
    // A custom list: which regions (by Reg_ID) and sites (by index) it takes.
    std::vector<char> regions;
    std::vector<char> sites;
    PlaceWork() { months.fill(-1); }
};

class Counter {
public:
    Counter(const ListSightings& data) : m_data(data) {}

    int addPlace(ListPlace place, bool periods)
    {
        PlaceWork w;
        w.place = std::move(place);
        w.periods = periods;
        if (m_data.lastYear() >= m_data.firstYear())
            w.years.assign(size_t(m_data.lastYear() - m_data.firstYear() + 1), -1);
        m_places.push_back(std::move(w));
        return int(m_places.size()) - 1;
    }
    PlaceWork& place(int p) { return m_places[size_t(p)]; }
    std::vector<PlaceWork>& places() { return m_places; }
    std::vector<ListSummary>& lists() { return m_lists; }
    std::vector<std::vector<ListEntry>>& entries() { return m_entries; }

    // Counts sighting `i` in the lists of place `p`.
    void count(int p, int i, const ListSighting& s)
    {
        PlaceWork& w = m_places[size_t(p)];
        if (w.life < 0) w.life = newList(p, ListPeriod::Life, 0);
        const bool firstInPlace = touch(w.life, i, s.birdId, true);
        if (!w.periods || !s.date.isValid()) return;
        int& year = w.years[size_t(s.date.year() - m_data.firstYear())];
        if (year < 0) year = newList(p, ListPeriod::Year, s.date.year());
        touch(year, i, s.birdId, firstInPlace);
        int& month = w.months[size_t(s.date.month() - 1)];
        if (month < 0) month = newList(p, ListPeriod::Month, s.date.month());
        touch(month, i, s.birdId, firstInPlace);
    }

private:
    int newList(int p, ListPeriod period, int value)
    {
        ListSummary l;
        l.place = p;
        l.period = period;
        l.value = value;
        m_lists.push_back(l);
        m_entries.emplace_back();
        m_stamp.push_back(0);
        return int(m_lists.size()) - 1;
    }

    // Adds sighting `i` to list `l`; whether it is the species' first there. The sightings
    // come species by species, so the species' entry, once made, is the list's last.
    bool touch(int l, int i, int birdId, bool isNew)
    {
        auto& entries = m_entries[size_t(l)];
        if (m_stamp[size_t(l)] != birdId || entries.empty()) {
            m_stamp[size_t(l)] = birdId;
            entries.push_back({birdId, i, i, 1, isNew});
            return true;
        }
        ListEntry& e = entries.back();
        e.last = i;
        ++e.records;
        return false;
    }

    const ListSightings& m_data;
    std::vector<PlaceWork> m_places;
    std::vector<ListSummary> m_lists;
    std::vector<std::vector<ListEntry>> m_entries;
    std::vector<int> m_stamp; // the species each list last counted
};

} // namespace

void ListCounts::count(const ListSightings& data, int regId, const QList<CustomList>& custom)
{
    m_places.clear();
    m_lists.clear();
    m_entries.clear();

    // The region's own place column; the regions within it are in the narrower ones.
    int column = -1;
    Counter counter(data);
    const int world = counter.addPlace({ListPlace::Kind::World, 0, -1, QStringLiteral("World")}, regId == 0);
    int region = world;
    if (regId != 0) {
        const ListSightings::Region* r = data.region(regId);
        column = r && r->column >= 0 ? r->column : 3;
        region = counter.addPlace({ListPlace::Kind::Region, regId, column, r ? r->name : QString()}, true);
    }
    const auto& all = data.sightings();
    auto inRegion = [&](const ListSighting& s) { return countsForRegion(s.places, regId); };
    // The regions within the chosen one: those that its sightings name in a narrower place
    // column (a region since deleted has no list of its own). Each counts all its sightings,
    // so that its lists are the same whichever wider region shows them.
    std::vector<int> subPlace(size_t(data.maxRegionId()) + 1, -1);
    for (const ListSighting& s : all) {
        if (!inRegion(s)) continue;
        for (int c = column + 1; c < 4; ++c) {
            const int id = s.places[c];
            if (id == 0 || id == regId || subPlace[size_t(id)] >= 0) continue;
            if (const ListSightings::Region* r = data.region(id))
                subPlace[size_t(id)] = counter.addPlace({ListPlace::Kind::Region, id, c, r->name}, true);
        }
    }
    std::vector<int> customPlaces;
    for (const CustomList& l : custom) {
        const int p = counter.addPlace({ListPlace::Kind::Custom, l.id, -1, l.name}, true);
        PlaceWork& w = counter.place(p);
        w.regions.assign(size_t(data.maxRegionId()) + 1, 0);
        w.sites.assign(size_t(data.sites().size()), 0);
        for (int r : l.regions)
            if (r > 0 && r <= data.maxRegionId()) w.regions[size_t(r)] = 1;
        for (const QString& s : l.sites)
            if (const int at = data.siteIndex(s); at >= 0) w.sites[size_t(at)] = 1;
        customPlaces.push_back(p);
    }

    for (int i = 0; i < int(all.size()); ++i) {
        const ListSighting& s = all[size_t(i)];
        counter.count(world, i, s);
        if (region != world && inRegion(s)) counter.count(region, i, s);
        for (int c = 0; c < 4; ++c) {
            const int id = s.places[c];
            if (id == 0 || subPlace[size_t(id)] < 0) continue;
            // The sighting counts for each region among its places (countsForRegion), once
            // for a region it names in two of them.
            bool again = false;
            for (int d = 0; d < c; ++d) again = again || s.places[d] == id;
            if (!again) counter.count(subPlace[size_t(id)], i, s);
        }
        for (int p : customPlaces) {
            const PlaceWork& w = counter.place(p);
            bool in = s.site >= 0 && w.sites[size_t(s.site)];
            for (int c = 0; c < 4 && !in; ++c) in = s.places[c] != 0 && w.regions[size_t(s.places[c])];
            if (in) counter.count(p, i, s);
        }
    }

    // The totals of each list.
    std::vector<ListSummary>& lists = counter.lists();
    std::vector<std::vector<ListEntry>>& entries = counter.entries();
    for (size_t l = 0; l < lists.size(); ++l) {
        ListSummary& sum = lists[l];
        sum.species = int(entries[l].size());
        for (const ListEntry& e : entries[l]) {
            sum.records += e.records;
            if (e.isNew) ++sum.newSpecies;
            const QDate first = all[size_t(e.first)].date, last = all[size_t(e.last)].date;
            if (first.isValid() && (!sum.first.isValid() || first < sum.first)) sum.first = first;
            if (last.isValid() && (!sum.last.isValid() || last > sum.last)) sum.last = last;
        }
    }

    // The places in the order shown: the whole list, the region, the regions within it (wider
    // first, then by name), the custom lists (already by name). A place without sightings
    // still shows its life list, empty, when it is the region or a custom list.
    std::vector<PlaceWork>& work = counter.places();
    std::vector<int> order(work.size());
    for (size_t p = 0; p < work.size(); ++p) order[p] = int(p);
    auto rank = [&](int p) {
        const ListPlace& pl = work[size_t(p)].place;
        if (p == world) return 0;
        if (p == region) return 1;
        return pl.kind == ListPlace::Kind::Custom ? 3 : 2;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int ra = rank(a), rb = rank(b);
        if (ra != rb) return ra < rb;
        if (ra != 2) return false;
        const ListPlace& pa = work[size_t(a)].place;
        const ListPlace& pb = work[size_t(b)].place;
        if (pa.column != pb.column) return pa.column < pb.column;
        const int byName = QString::compare(pa.name, pb.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : pa.id < pb.id;
    });
    for (int p : order) m_places.push_back(work[size_t(p)].place);
    for (size_t k = 0; k < order.size(); ++k) {
        PlaceWork& w = work[size_t(order[k])];
        if (w.life < 0 && (order[k] == region || w.place.kind == ListPlace::Kind::Custom)) {
            ListSummary empty;
            empty.place = int(k);
            m_lists.push_back(empty);
            m_entries.emplace_back();
        }
        auto take = [&](int l) {
            if (l < 0) return;
            ListSummary s = lists[size_t(l)];
            s.place = int(k);
            m_lists.push_back(s);
            m_entries.push_back(std::move(entries[size_t(l)]));
        };
        take(w.life);
        for (auto y = w.years.rbegin(); y != w.years.rend(); ++y) take(*y);
        for (int m : w.months) take(m);
    }
}

QString ListSpeciesRow::place() const
{
    if (site.isEmpty()) return region;
    if (region.isEmpty()) return site;
    return site + QStringLiteral(" (") + region + u')';
}

std::vector<ListSpeciesRow> ListCounts::rows(const ListSightings& sightings, int list) const
{
    const auto& all = sightings.sightings();
    std::vector<ListSpeciesRow> rows;
    rows.reserve(entries(list).size());
    for (const ListEntry& e : entries(list)) {
        ListSpeciesRow r;
        r.birdId = e.birdId;
        if (const ListSightings::Species* sp = sightings.species(e.birdId)) {
            r.name = sp->name;
            r.sciName = sp->sciName;
            r.sortOrder = sp->sortOrder;
        }
        const ListSighting& first = all[size_t(e.first)];
        r.first = first.date;
        r.last = all[size_t(e.last)].date;
        if (first.site >= 0) r.site = sightings.sites()[first.site];
        for (int c = 3; c >= 0 && r.region.isEmpty(); --c)
            if (first.places[c] != 0)
                if (const ListSightings::Region* reg = sightings.region(first.places[c])) r.region = reg->name;
        r.records = e.records;
        r.isNew = e.isNew;
        rows.push_back(std::move(r));
    }
    std::sort(rows.begin(), rows.end(), [](const ListSpeciesRow& a, const ListSpeciesRow& b) {
        if (a.sortOrder != b.sortOrder) return a.sortOrder < b.sortOrder;
        return a.name < b.name;
    });
    return rows;
}

QString ListCounts::listName(int list) const
{
    const ListSummary& l = m_lists[size_t(list)];
    switch (l.period) {
    case ListPeriod::Life: return QStringLiteral("Life list");
    case ListPeriod::Year: return QString::number(l.value);
    case ListPeriod::Month: return codes::monthName(l.value) + QStringLiteral(" (all years)");
    }
    return {};
}

int ListCounts::find(const ListPlace& place, ListPeriod period, int value) const
{
    for (size_t l = 0; l < m_lists.size(); ++l) {
        const ListSummary& s = m_lists[l];
        const ListPlace& p = m_places[size_t(s.place)];
        if (p.kind == place.kind && p.id == place.id && s.period == period && (period == ListPeriod::Life || s.value == value))
            return int(l);
    }
    return -1;
}

} // namespace fl
