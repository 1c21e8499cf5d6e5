#pragma once

#include <QList>
#include <QString>

namespace fl::db { class Database; }

namespace fl {

// Where a region's checklist came from.
struct ChecklistOrigin {
    int copiedFrom = 0; // the region it is an unchanged copy of; 0 when the list is its own or there is none
    QString name;       // that region's name
    bool isCopy() const { return copiedFrom > 0; }
};

// Call where a region is needed (chosen for searches, given a sighting, opened in the
// checklist editor). A region with an eBird code that has never been needed and has no
// checklist gets a copy of the checklist of its nearest ancestor that has one (read from the
// code: US-OH-049, then US-OH, then US, then the North America region), with that ancestor's
// statuses, in one transaction (joining the caller's). A region with a checklist of its own,
// a region without a code and a region given its copy before are left as they are, so that a
// list the user has emptied stays empty. Returns what the region's list now is.
ChecklistOrigin provideChecklist(db::Database& db, int regId);

// The same for each region of a sighting's places (0 for a place not given), the widest first.
void provideChecklists(db::Database& db, const QList<int>& regIds);

} // namespace fl
