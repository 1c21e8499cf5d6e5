#include "outings/OutingChecklist.h"
#include "regions/RegionRule.h"

#include "regions/RegionKinds.h"
#include "taxonomy/BandingCode.h"
#include "db/Connection.h"
#include "db/Database.h"

namespace fl {

namespace {

// Species rows read straight through: `sql` gives ID, Name, sci_name, LifeList and the
// official code (or NULL).
std::vector<OutingSpeciesRow> readSpecies(db::Database& db, const QString& sql, const QVariantList& params,
                                          bool onChecklist)
{
    db::Connection& conn = *db.connection();
    conn.flushPending();
    db::Statement st(conn, sql);
    st.bind(params);
    std::vector<OutingSpeciesRow> rows;
    while (st.step()) {
        OutingSpeciesRow r;
        r.birdId = int(st.int64(0));
        r.name = st.value(1).toString();
        r.sciName = st.value(2).toString();
        r.mark = int(st.int64(3));
        r.code = st.value(4).toString().trimmed().toUpper();
        if (r.code.isEmpty()) r.code = bandingCode(r.name);
        r.onChecklist = onChecklist;
        rows.push_back(std::move(r));
    }
    return rows;
}

// The official four-letter codes.
QString codeColumn(db::Database&) { return QStringLiteral("Birds.AlphaCode"); }

} // namespace

std::vector<OutingSpeciesRow> outingChecklist(db::Database& db, int regId)
{
    // The marks' dates are read when a species is counted (OutingNewness), not for every row.
    const QString select =
        QStringLiteral("SELECT Birds.ID, Birds.Name, Birds.sci_name, Birds.LifeList, %1 FROM Birds ").arg(codeColumn(db));
    if (regId == 0) return readSpecies(db, select + QStringLiteral("ORDER BY Birds.sortOrder, Birds.ID"), {}, true);
    return readSpecies(db,
                       select + QStringLiteral("INNER JOIN Checklists ON Checklists.Bird_ID = Birds.ID "
                                               "WHERE Checklists.Reg_ID = ? ORDER BY Birds.sortOrder, Birds.ID"),
                       {regId}, true);
}

std::vector<OutingSpeciesRow> speciesOffChecklist(db::Database& db, int regId)
{
    if (regId == 0) return {};
    return readSpecies(db,
                       QStringLiteral("SELECT Birds.ID, Birds.Name, Birds.sci_name, Birds.LifeList, %1 FROM Birds "
                                      "WHERE NOT EXISTS (SELECT 1 FROM Checklists "
                                      "WHERE Checklists.Reg_ID = ? AND Checklists.Bird_ID = Birds.ID) "
                                      "ORDER BY Birds.sortOrder, Birds.ID")
                           .arg(codeColumn(db)),
                       {regId}, false);
}

// --- SpeciesFilter ---

QString SpeciesFilter::folded(const QString& name)
{
    QString f = name.toCaseFolded();
    for (QChar& c : f) {
        if (c == u'\u2019' || c == u'\u2018' || c == u'`') c = u'\'';
        else if (c == u'-' || c == u'\u2010' || c == u'\u2011') c = u' ';
    }
    return f.simplified();
}

SpeciesFilter::SpeciesFilter(const QString& text) : m_text(folded(text))
{
    const QString t = text.trimmed();
    if (t.size() == 4 && std::all_of(t.begin(), t.end(), [](QChar c) { return c.isLetter(); })) m_code = t.toUpper();
}

int SpeciesFilter::score(const OutingSpeciesRow& row) const
{
    if (m_text.isEmpty()) return 1;
    if (!m_code.isEmpty() && row.code == m_code) return 4;
    const QString name = folded(row.name);
    const qsizetype at = name.indexOf(m_text);
    if (at == 0 || (at > 0 && name[at - 1] == u' ')) return 3;
    if (at > 0) return 2;
    if (folded(row.sciName).contains(m_text)) return 1;
    return 0;
}

// --- OutingNewness ---

OutingNewness::OutingNewness(db::Database& db, LifeListScope scope, int outingId)
    : m_db(db), m_scope(std::move(scope)), m_outingId(outingId)
{
}

QString OutingNewness::regionCondition() const
{
    if (m_scope.regId == 0) return QStringLiteral("1");
    // Unary plus: the year's sightings are found by date, then kept by place.
    return QStringLiteral("+") + countsForRegionSql(QString::number(m_scope.regId), QStringLiteral("Sightings"));
}

void OutingNewness::setOuting(const QDate& date, bool inRegion)
{
    m_date = date;
    m_inRegion = inRegion;
    if (!date.isValid() || date.year() == m_year) return;
    m_year = date.year();
    m_yearFirst.clear();
    db::Connection& conn = *m_db.connection();
    conn.flushPending();
    // The year's sightings in the region in order; the first of each species is kept.
    db::Statement st(conn, QStringLiteral("SELECT Bird_ID, Date, Sight_ID FROM Sightings WHERE Date BETWEEN ? AND ? "
                                          "AND %1 AND (Outing_ID IS NULL OR Outing_ID <> ?) ORDER BY Date, Sight_ID")
                               .arg(regionCondition()));
    st.bind({QDate(m_year, 1, 1), QDate(m_year, 12, 31), m_outingId});
    while (st.step()) {
        const int bird = int(st.int64(0));
        if (m_yearFirst.contains(bird)) continue;
        m_yearFirst.insert(bird, {QDate::fromString(st.value(1).toString().left(10), Qt::ISODate), int(st.int64(2))});
    }
}

bool OutingNewness::before(const First& first, int sightId) const
{
    if (!first.date.isValid()) return false;
    if (first.date != m_date) return first.date < m_date;
    // On the same day the lower sighting number comes first; an outing not saved yet comes last.
    return sightId == 0 || first.sightId < sightId;
}

OutingNewness::First OutingNewness::lifeFirst(const OutingSpeciesRow& row)
{
    // The mark is the first sighting in the region unless it is this outing's own, or the
    // species is not on the region's list (and so has no mark).
    if (row.onChecklist && row.mark == 0) return First{};
    if (row.onChecklist) {
        const Mark mark = markOf(row.mark);
        if (m_outingId == 0 || mark.outing != m_outingId) return First{mark.date, row.mark};
    }
    if (auto it = m_lifeFirst.constFind(row.birdId); it != m_lifeFirst.constEnd()) return *it;
    auto rs = m_db.openRecordset(QStringLiteral("SELECT Date, Sight_ID FROM Sightings WHERE Bird_ID = ? AND %1 "
                                                "AND (Outing_ID IS NULL OR Outing_ID <> ?) ORDER BY Date, Sight_ID LIMIT 1")
                                     .arg(QString(regionCondition()).remove(u'+')),
                                 db::RecordsetKind::Snapshot, {row.birdId, m_outingId});
    const First first = rs.eof() ? First{} : First{rs.field(0).toDate(), rs.field(1).toInt()};
    m_lifeFirst.insert(row.birdId, first);
    return first;
}

OutingNewness::Mark OutingNewness::markOf(int sightId)
{
    if (auto it = m_marks.constFind(sightId); it != m_marks.constEnd()) return *it;
    db::Connection& conn = *m_db.connection();
    conn.flushPending();
    auto st = conn.cached(QStringLiteral("SELECT Date, Outing_ID FROM Sightings WHERE Sight_ID = ?"));
    st->bind({sightId});
    Mark mark;
    if (st->step()) {
        mark.date = QDate::fromString(st->value(0).toString().left(10), Qt::ISODate);
        mark.outing = int(st->int64(1));
    }
    m_marks.insert(sightId, mark);
    return mark;
}

OutingNewness::New OutingNewness::of(const OutingSpeciesRow& row, int sightId)
{
    New n;
    if (!m_inRegion || !m_date.isValid()) return n;
    n.life = !before(lifeFirst(row), sightId);
    n.year = !before(m_yearFirst.value(row.birdId), sightId);
    return n;
}

} // namespace fl
