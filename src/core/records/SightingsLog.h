#pragma once

#include "regions/RegionRule.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <vector>

namespace fl::db { class Database; }

namespace fl {

// Every sighting, read by one query, for the sightings log: filtering by text, year and
// region, sorting, and the year's counts, all done on the rows in memory.
class SightingsLog {
public:
    struct Entry {
        int sightId = 0;
        int birdId = 0;
        QDate date;
        SightingPlaces places{}; // Region, country, state, district
        QString site;
        QString notes;
        bool needsReview = false; // a taxonomy update split its species
        int outingId = 0; // the outing the sighting belongs to, 0 for none
        qint64 count = 0; // the number of birds, 0 for present but not counted ("X")
    };
    // An outing, as its heading in the log shows it.
    struct OutingInfo {
        QDate date;
        QString site;
        QString startTime; // "HH:MM", empty for none
        QString protocol;
        int species = 0; // its sightings, all of them
        int others = 0;  // its records of no species (a spuh, a hybrid), counted in no list
    };
    struct Filter {
        QString text;          // part of the species' name or of the site, any letter case
        int year = 0;          // 0: all years
        int regId = 0;         // not 0: only the sightings that count for that region
        bool reviewOnly = false; // only sightings that need review
    };
    struct Counts {
        int sightings = 0; // rows shown
        int species = 0;   // species among them
        int lifers = 0;    // of those, species first seen (in the region, when limited) in the year
        int toReview = 0;  // rows shown that need review
    };
    enum Column { Date, Species, Count, Site, Region, Country, State, District, Notes, Review, ColumnCount };

    void load(db::Database& db);

    const std::vector<Entry>& entries() const { return m_entries; }
    QString speciesName(int birdId) const { return m_species.value(birdId); }
    QString regionName(int regId) const { return regId ? m_regions.value(regId) : QString(); }
    // The outing `outingId`, or null.
    const OutingInfo* outing(int outingId) const
    {
        auto it = m_outings.constFind(outingId);
        return it == m_outings.constEnd() ? nullptr : &*it;
    }
    // The text of a cell as the log shows it.
    QString text(const Entry& e, Column column) const;
    // The years that have sightings, newest first.
    QList<int> years() const;

    // The rows that pass the filter, newest first (by date, then by sighting number).
    std::vector<int> select(const Filter& filter) const;
    Counts counts(const std::vector<int>& rows, const Filter& filter) const;
    // Orders rows by a column (ties: newest first).
    void sort(std::vector<int>& rows, Column column, bool ascending) const;


private:
    std::vector<Entry> m_entries;
    QHash<int, QString> m_species;
    QHash<int, QString> m_regions;
    QHash<int, OutingInfo> m_outings;
};

} // namespace fl
