#include "lists/Targets.h"

#include "db/Connection.h"
#include "db/Database.h"

#include <algorithm>

namespace fl {

std::vector<Target> regionTargets(db::Database& db, int regId, int month)
{
    std::vector<Target> targets;
    if (regId == 0) return targets;
    db::Connection& conn = *db.connection();
    conn.flushPending();
    db::Statement st(conn, QStringLiteral(
        "SELECT B.ID, B.Name, B.sci_name, C.Status, C.scode FROM Checklists C JOIN Birds B ON B.ID = C.Bird_ID "
        "WHERE C.Reg_ID = ?1 AND coalesce(C.Status, '') <> 'E' "
        "AND NOT EXISTS (SELECT 1 FROM Sightings S WHERE S.Bird_ID = B.ID "
        "AND ?1 IN (S.Region, S.country, S.state, S.district)) "
        "ORDER BY B.sortOrder, B.Name"));
    st.bind({regId});
    while (st.step()) {
        Target t;
        t.birdId = int(st.int64(0));
        t.name = st.value(1).toString();
        t.sciName = st.value(2).toString();
        const QVariant status = st.value(3), scode = st.value(4);
        t.status = status.toString();
        t.scode = scode.toString();
        t.commonness = codes::commonness(status, scode, month);
        if (month != 0 && t.commonness.seasonsKnown && t.commonness.level == codes::Abundance::None) continue;
        targets.push_back(std::move(t));
    }
    std::stable_sort(targets.begin(), targets.end(),
                     [](const Target& a, const Target& b) { return a.commonness.level > b.commonness.level; });
    return targets;
}

} // namespace fl
