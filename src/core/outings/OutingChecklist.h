#pragma once

#include "outings/Outing.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <vector>

namespace fl::db { class Database; }

namespace fl {

// A species as the outing window lists it.
struct OutingSpeciesRow {
    int birdId = 0;
    QString name, sciName;
    QString code;             // the four-letter code the species answers to, empty for none
    bool onChecklist = false; // on the checklist of the current region
    int mark = 0;             // its life-list mark (Birds.LifeList)
};

// The species of region `regId`'s checklist in checklist order, with their marks; with
// `regId` 0, every species.
std::vector<OutingSpeciesRow> outingChecklist(db::Database& db, int regId);
// Every species not on that checklist, in checklist order (none for `regId` 0).
std::vector<OutingSpeciesRow> speciesOffChecklist(db::Database& db, int regId);

// How well a typed text finds a species: 0 not at all, more for a better match. The exact
// four-letter code finds its species best; then a piece of the common name (its words' starts
// before other places), then a piece of the scientific name. Letter case, the kind of
// apostrophe and hyphens against blanks do not matter.
class SpeciesFilter {
public:
    explicit SpeciesFilter(const QString& text);
    bool isEmpty() const { return m_text.isEmpty(); }
    int score(const OutingSpeciesRow& row) const;
    // What a name is compared as.
    static QString folded(const QString& name);

private:
    QString m_text, m_code;
};

// Whether the species of an outing are new to the life list of the current region (none before
// it in the region, whichever window made them) and to the region's year list (none before it
// that year), as the outing's date and places make them. The outing's own stored sightings do
// not count against it.
class OutingNewness {
public:
    OutingNewness(db::Database& db, LifeListScope scope, int outingId);
    // The outing's date and whether its places count for the region.
    void setOuting(const QDate& date, bool inRegion);
    struct New {
        bool life = false;
        bool year = false;
    };
    // `sightId`: the outing's stored sighting of the species, 0 for none yet.
    New of(const OutingSpeciesRow& row, int sightId);

private:
    struct First {
        QDate date;
        int sightId = 0;
    };
    bool before(const First& first, int sightId) const;
    First lifeFirst(const OutingSpeciesRow& row);
    // The date and the outing (0 for none) of sighting `sightId`, a mark, read when first needed.
    struct Mark {
        QDate date;
        int outing = 0;
    };
    Mark markOf(int sightId);
    QString regionCondition() const;

    db::Database& m_db;
    LifeListScope m_scope;
    int m_outingId;
    QDate m_date;
    bool m_inRegion = false;
    int m_year = 0;
    QHash<int, First> m_yearFirst;
    QHash<int, First> m_lifeFirst; // species whose mark the list cannot tell
    QHash<int, Mark> m_marks;      // by Sight_ID
};

} // namespace fl
