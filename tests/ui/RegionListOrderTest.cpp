#include "ui/RegionList.h"

#include <QPersistentModelIndex>
#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>

using namespace fl;

namespace {

bool lies(const RegionEntry& r, const QString& under)
{
    return !under.isEmpty() && r.code.startsWith(under + u'-', Qt::CaseInsensitive);
}

// The order the list should have, worked out plainly from every region it holds.
QVector<int> expectedIds(QVector<RegionEntry> all, const QString& under)
{
    std::sort(all.begin(), all.end(), [&](const RegionEntry& a, const RegionEntry& b) {
        if (lies(a, under) != lies(b, under)) return lies(a, under);
        if (regionNameLess(a.name, b.name)) return true;
        if (regionNameLess(b.name, a.name)) return false;
        return a.id < b.id;
    });
    QVector<int> ids;
    for (const RegionEntry& r : all) ids << r.id;
    return ids;
}

QVector<int> shownIds(const RegionListModel& m)
{
    QVector<int> ids;
    for (int r = 0; r < m.rowCount(); ++r) ids << m.index(r, 0).data(RegionListModel::IdRole).toInt();
    return ids;
}

} // namespace

// Regions added, removed and put under one state or another in random turns: the list is
// always in the order a plain sort gives, and a chosen row follows its region.
TEST(RegionListOrder, EveryChangeLeavesThePlainOrderAndTheChosenRowOnItsRegion)
{
    QRandomGenerator rng(20261207);
    const QStringList words = {"adams", "Adams", "Baker", "Clear", "Ébène", "elk", "Fox", "grant", "Hill"};
    const QStringList states = {"US-TX", "US-OH", "CA-QC", "US"};
    int nextId = 1;
    auto region = [&] {
        const QString code = QStringLiteral("%1-%2").arg(states[rng.bounded(3)]).arg(rng.bounded(1000));
        return RegionEntry{words[rng.bounded(words.size())] + u' ' + words[rng.bounded(words.size())], nextId++,
                           rng.bounded(5) == 0 ? QString() : code};
    };
    QVector<RegionEntry> all;
    for (int i = 0; i < 300; ++i) all << region();
    RegionListModel m;
    m.setRegions(all, false);
    QString under;
    for (int step = 0; step < 200; ++step) {
        SCOPED_TRACE(step);
        const int chosen = rng.bounded(m.rowCount());
        const QPersistentModelIndex kept = m.index(chosen, 0);
        const int keptId = kept.data(RegionListModel::IdRole).toInt();
        switch (rng.bounded(3)) {
        case 0:
            under = rng.bounded(5) == 0 ? QString() : states[rng.bounded(states.size())];
            m.setFirstUnder(under);
            break;
        case 1:
            all << region();
            m.addRegion(all.back());
            break;
        default: {
            const int row = (chosen + 1 + rng.bounded(m.rowCount() - 1)) % m.rowCount(); // not the chosen one
            const int id = m.index(row, 0).data(RegionListModel::IdRole).toInt();
            m.removeRegionAt(row);
            all.erase(std::find_if(all.begin(), all.end(), [&](const RegionEntry& r) { return r.id == id; }));
        }
        }
        ASSERT_EQ(shownIds(m), expectedIds(all, under));
        ASSERT_EQ(kept.data(RegionListModel::IdRole).toInt(), keptId);
    }
}
