#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>
#include <vector>

namespace fl {

// One species of an outing: how many were seen and what the birder noted. It is stored as
// a sighting of the species on the outing's date, at its site and places.
struct OutingEntry {
    int birdId = 0;
    std::optional<qint64> count; // none: present, not counted ("X")
    QString comments;            // the species comments, the sighting's notes
    QString breedingCode;        // eBird's breeding code, empty for none
    QString mediaNumbers;        // media catalogue numbers separated by blanks, empty for none
    int sightId = 0;             // the stored sighting; 0 before the outing is saved
};

// A day's checklist: one place, one date, the effort, and the species seen.
struct Outing {
    int id = 0; // 0: not stored yet
    QDate date;
    QTime startTime;                // not valid: not given
    std::optional<int> duration;    // minutes
    std::optional<double> distance; // km
    std::optional<double> area;     // ha
    std::optional<int> observers;
    QString protocol = QStringLiteral("Traveling");
    bool allReported = true;
    QString site;
    std::optional<double> latitude, longitude;
    int places[4] = {}; // Reg_IDs of its Region, country, state and district; 0 for none
    QString stateCode, countyCode; // eBird's codes, empty for none
    QString comments;
    QString submissionId; // eBird's checklist id, empty for none
    std::vector<OutingEntry> entries;
};

// The region whose life list the marks keep: the current one. `regId` 0 is the whole list
// ("World"), where every sighting counts; otherwise `regType` is its type word ("State").
struct LifeListScope {
    int regId = 0;
    QString regType;
};

} // namespace fl
