#include "records/SightingsLog.h"

#include "regions/RegionKinds.h"

#include "schema/Schema.h"
#include "db/Connection.h"
#include "db/Database.h"

#include <QSet>
#include <algorithm>

namespace fl {

void SightingsLog::load(db::Database& db)
{
    m_entries.clear();
    m_species.clear();
    m_regions.clear();
    m_outings.clear();
    db::Connection& conn = *db.connection();
    conn.flushPending();
    {
        db::Statement st(conn, QStringLiteral("SELECT ID, Name FROM Birds"));
        while (st.step()) m_species.insert(int(st.int64(0)), st.value(1).toString());
    }
    {
        db::Statement st(conn, QStringLiteral("SELECT Reg_ID, Name FROM Regions"));
        while (st.step()) m_regions.insert(int(st.int64(0)), st.value(1).toString());
    }
    {
        db::Statement st(conn, QStringLiteral("SELECT Outing_ID, Date, site, StartTime, Protocol FROM Outings"));
        while (st.step())
            m_outings.insert(int(st.int64(0)), {st.value(1).toDate(), st.value(2).toString(), st.value(3).toString(),
                                                st.value(4).toString(), 0, 0});
    }
    {
        db::Statement st(conn, QStringLiteral("SELECT Outing_ID, count(*) FROM OtherRecords GROUP BY Outing_ID"));
        while (st.step())
            if (auto it = m_outings.find(int(st.int64(0))); it != m_outings.end()) it->others = int(st.int64(1));
    }
    const int count = int(db.scalar(QStringLiteral("SELECT count(*) FROM Sightings")).toLongLong());
    m_entries.reserve(size_t(count));
    db::Statement st(conn, QStringLiteral(
        "SELECT Sight_ID, Bird_ID, Date, Region, country, state, district, site, notes, NeedsReview, Outing_ID, "
        "Count FROM Sightings"));
    while (st.step()) {
        Entry e;
        e.sightId = int(st.int64(0));
        e.birdId = int(st.int64(1));
        e.date = st.value(2).toDate();
        for (int i = 0; i < 4; ++i) e.places[i] = int(st.int64(3 + i));
        e.site = st.value(7).toString();
        e.notes = st.value(8).toString();
        e.needsReview = st.int64(9) != 0;
        e.outingId = int(st.int64(10));
        e.count = st.int64(11);
        if (e.outingId) {
            auto it = m_outings.find(e.outingId);
            if (it != m_outings.end()) ++it->species;
        }
        m_entries.push_back(std::move(e));
    }
}

QString SightingsLog::text(const Entry& e, Column column) const
{
    switch (column) {
    case Date: return e.date.toString(Qt::ISODate);
    case Species: return speciesName(e.birdId);
    case Count: return e.count > 0 ? QString::number(e.count) : QStringLiteral("X");
    case Site: return e.site;
    case Region: case Country: case State: case District: return regionName(e.places[column - Region]);
    case Notes: return e.notes;
    case Review: return e.needsReview ? QStringLiteral("Needs review") : QString();
    case ColumnCount: break;
    }
    return {};
}

QList<int> SightingsLog::years() const
{
    QSet<int> ys;
    for (const Entry& e : m_entries)
        if (e.date.isValid()) ys.insert(e.date.year());
    QList<int> list(ys.begin(), ys.end());
    std::sort(list.begin(), list.end(), std::greater<int>());
    return list;
}

namespace {
bool newerFirst(const SightingsLog::Entry& a, const SightingsLog::Entry& b)
{
    if (a.date != b.date) return a.date > b.date;
    return a.sightId > b.sightId;
}
} // namespace

std::vector<int> SightingsLog::select(const Filter& f) const
{
    const QString text = f.text.trimmed();
    // Species matching the text, decided once per species rather than once per row.
    QHash<int, bool> speciesMatch;
    std::vector<int> rows;
    rows.reserve(m_entries.size());
    for (int i = 0; i < int(m_entries.size()); ++i) {
        const Entry& e = m_entries[size_t(i)];
        if (f.year && (!e.date.isValid() || e.date.year() != f.year)) continue;
        if (!countsForRegion(e.places, f.regId)) continue;
        if (f.reviewOnly && !e.needsReview) continue;
        if (!text.isEmpty()) {
            auto it = speciesMatch.find(e.birdId);
            if (it == speciesMatch.end())
                it = speciesMatch.insert(e.birdId, speciesName(e.birdId).contains(text, Qt::CaseInsensitive));
            if (!*it && !e.site.contains(text, Qt::CaseInsensitive)) continue;
        }
        rows.push_back(i);
    }
    std::sort(rows.begin(), rows.end(),
              [this](int a, int b) { return newerFirst(m_entries[size_t(a)], m_entries[size_t(b)]); });
    return rows;
}

SightingsLog::Counts SightingsLog::counts(const std::vector<int>& rows, const Filter& f) const
{
    Counts c;
    c.sightings = int(rows.size());
    QSet<int> species;
    for (int r : rows) {
        species.insert(m_entries[size_t(r)].birdId);
        c.toReview += m_entries[size_t(r)].needsReview;
    }
    c.species = int(species.size());
    if (f.year == 0) {
        c.lifers = c.species; // over all years, every species shown was new once
        return c;
    }
    // The first sighting of each species, over all years, in the same region when limited.
    QHash<int, QDate> first;
    for (const Entry& e : m_entries) {
        if (!e.date.isValid()) continue;
        if (!countsForRegion(e.places, f.regId)) continue;
        auto it = first.find(e.birdId);
        if (it == first.end()) first.insert(e.birdId, e.date);
        else if (e.date < *it) *it = e.date;
    }
    for (int id : species) {
        const QDate d = first.value(id);
        if (d.isValid() && d.year() == f.year) ++c.lifers;
    }
    return c;
}

void SightingsLog::sort(std::vector<int>& rows, Column column, bool ascending) const
{
    auto key = [&](const Entry& e) -> QString { return text(e, column); };
    std::stable_sort(rows.begin(), rows.end(), [&](int ia, int ib) {
        const Entry& a = m_entries[size_t(ia)];
        const Entry& b = m_entries[size_t(ib)];
        int cmp;
        if (column == Date) {
            cmp = a.date < b.date ? -1 : (b.date < a.date ? 1 : 0);
        } else if (column == Species && a.birdId == b.birdId) {
            cmp = 0;
        } else if (column == Count) { // X, present but not counted, before any number
            cmp = a.count < b.count ? -1 : (b.count < a.count ? 1 : 0);
        } else {
            cmp = QString::compare(key(a), key(b), Qt::CaseInsensitive);
        }
        if (cmp != 0) return ascending ? cmp < 0 : cmp > 0;
        return newerFirst(a, b);
    });
}

} // namespace fl
