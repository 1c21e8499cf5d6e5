#pragma once

#include "lists/CustomLists.h"
#include "regions/RegionRule.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace fl::db { class Database; }

namespace fl {

// The user's lists: for the whole list of species, a chosen region, each region within it and
// each custom list, the life list, the list of each year and the list of each month (over all
// years), counted from every sighting in the Sightings table.

// One sighting as the lists count it.
struct ListSighting {
    int sightId = 0;
    int birdId = 0;
    QDate date;
    SightingPlaces places = {}; // Region, country, state, district (0: none)
    int site = -1;      // index into ListSightings::sites(); -1 for none
};

// Every sighting, read by one query in the order the counting needs (by species, then date,
// then sighting number), with the names of the species, regions and sites.
class ListSightings {
public:
    void load(db::Database& db);

    const std::vector<ListSighting>& sightings() const { return m_sightings; }
    // The sites, each as first written; sites differing only in letter case or surrounding
    // blanks are one.
    const QStringList& sites() const { return m_sites; }
    // The site of a name given by the user (compared as sites are), or -1.
    int siteIndex(const QString& site) const { return m_siteIndex.value(siteKey(site), -1); }

    struct Species {
        QString name;
        QString sciName;
        int sortOrder = 0;
    };
    const Species* species(int birdId) const;
    struct Region {
        QString name;
        int column = -1; // its place column (0 to 3), -1 for an unknown type
    };
    const Region* region(int regId) const;
    // The regions (Reg_ID) that sightings name in each place column.
    const QList<int>& regionsInColumn(int column) const { return m_inColumn[column]; }
    int maxRegionId() const { return m_maxRegion; }
    int firstYear() const { return m_firstYear; }
    int lastYear() const { return m_lastYear; }

    static QString siteKey(const QString& site) { return site.trimmed().toCaseFolded(); }

private:
    std::vector<ListSighting> m_sightings;
    QStringList m_sites;
    QHash<QString, int> m_siteIndex; // by siteKey
    QHash<int, Species> m_species;
    QHash<int, Region> m_regions;
    QList<int> m_inColumn[4];
    int m_maxRegion = 0;
    int m_firstYear = 0, m_lastYear = -1;
};

// Where a list's sightings are.
struct ListPlace {
    enum class Kind { World, Region, Custom };
    Kind kind = Kind::World;
    int id = 0;      // Reg_ID, List_ID, 0 for the whole list
    int column = -1; // of a region: its place column
    QString name;    // "World", the region's or the custom list's name
};

enum class ListPeriod { Life, Year, Month };

// One list and its totals.
struct ListSummary {
    int place = 0; // index into ListCounts::places()
    ListPeriod period = ListPeriod::Life;
    int value = 0; // the year, or the month (1 to 12)
    int species = 0;
    int newSpecies = 0; // species whose first sighting in the place is in this list
    int records = 0;
    QDate first, last;
};

// One species of a list: its first and last sighting there (indexes into
// ListSightings::sightings()), its number of records, and whether it was new in the list.
struct ListEntry {
    int birdId = 0;
    int first = 0;
    int last = 0;
    int records = 0;
    bool isNew = false;
};

// A species of a list as the windows, the CSV file and the report show it.
struct ListSpeciesRow {
    int birdId = 0;
    QString name;
    QString sciName;
    int sortOrder = 0;
    QDate first, last; // its first and last sighting in the list
    QString site;      // of the first sighting
    QString region;    // the narrowest region of the first sighting
    int records = 0;
    bool isNew = false;
    // "Magee Marsh (Lucas, Ohio)": the site and the region, or whichever is given.
    QString place() const;
};

class ListCounts {
public:
    // Counts the lists of the region `regId` (0: the whole list, World), of each region that
    // its sightings name in the place columns narrower than its own kind (every region named,
    // for World; each of them counts all of its own sightings), and of each custom list; the
    // whole list's life list always comes first.
    // A sighting is in a region when any of its four places is that region.
    void count(const ListSightings& sightings, int regId, const QList<CustomList>& custom);

    const std::vector<ListPlace>& places() const { return m_places; }
    // Every list, in the order shown: by place (the whole list, the region, the regions within
    // it, wider first and then by name, the custom lists by name), then the life list, the
    // years (latest first) and the months.
    const std::vector<ListSummary>& lists() const { return m_lists; }
    // The species of a list, by Bird_ID.
    const std::vector<ListEntry>& entries(int list) const { return m_entries[size_t(list)]; }
    // The species of a list with their names and places, in checklist order.
    std::vector<ListSpeciesRow> rows(const ListSightings& sightings, int list) const;
    // "Life list", "2024", "May (all years)"
    QString listName(int list) const;
    // The list of a place, period and value; -1 when there is none.
    int find(const ListPlace& place, ListPeriod period, int value = 0) const;

private:
    std::vector<ListPlace> m_places;
    std::vector<ListSummary> m_lists;
    std::vector<std::vector<ListEntry>> m_entries;
};

} // namespace fl
