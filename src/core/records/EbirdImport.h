#pragma once

#include "records/CsvReader.h"
#include "records/EbirdLayouts.h"
#include "outings/Outing.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace fl::db { class Database; }

namespace fl {

struct AppState;

// Why a record of the file is not stored as a sighting. The first five are kept all the same,
// as records of no species of their checklist (OtherRecords); the others are not imported.
enum class SkipReason { Spuh, Slash, Hybrid, Domestic, NotInDatabase, NoDate, DateOutOfRange, BadCount };
QString skipReasonText(SkipReason reason);
// Whether records of that kind are kept as records of no species.
bool keptAsOtherRecord(SkipReason reason);

// A record naming one species of the database.
struct ImportSighting {
    int birdId = 0;
    std::optional<qint64> count; // none: "X"
    QString comments;            // the species comments
    QString breedingCode, mediaNumbers;
    QString type;                // what was seen ("Male"), from the program's older exports only
};

// A record naming no species of the database: a spuh, slash, hybrid, domestic type, or a
// species or form the database does not hold.
struct ImportOther {
    QString common, sci;
    QString category; // the word OtherRecords keeps: "spuh", "slash", "hybrid", "domestic", "form", "species"
    std::optional<double> taxonOrder;
    std::optional<qint64> count;
    QString comments, breedingCode, mediaNumbers;
    QString key; // source key
};

// One checklist of the file: an outing with its new records. `outing.places` may name
// regions still to be made: -1 is newRegions[0], -2 newRegions[1], and so on.
struct ImportOuting {
    Outing outing;       // its entries are unused; the records are below
    int existingId = 0;  // the stored outing they join (same Submission ID, or the same checklist)
    QString groupKey;    // the checklist's identity in the file: "S" + Submission ID, or its content
    std::vector<ImportSighting> sightings;
    std::vector<ImportOther> others;
    // The records are sightings of no outing: in a download, records without a Submission ID
    // that are Incidental with no time, effort, coordinates or checklist comments, as the
    // export writes a sighting entered on its own. Each is stored as it is, none merged.
    bool noOuting = false;
};

// A region a record needs that the database lacks, made when the import is stored.
struct NewRegion {
    QString name, type, code; // code empty for none
};

// A date the import could not read, with where it is.
struct BadDate {
    int line = 0;
    QString text, name;
};

// What reading an eBird file found, before anything is stored.
struct ImportPreview {
    QString format;        // "eBird download" or "eBird record format"
    int recordsRead = 0;   // data records of the file
    int matched = 0;       // records naming one species of the database
    int speciesMatched = 0;
    int otherRecords = 0;  // records of no species of the database, kept with their checklist
    int merged = 0;        // records of a species already in the same checklist of the file: counts added
    // Records not stored as sightings: by reason, the names as the file gives them with their
    // counts. Those of the first five reasons are kept as records of no species.
    std::map<SkipReason, QMap<QString, int>> skipped;
    std::vector<BadDate> badDates; // the first kMaxBadDates of them, in the order of the file
    QDate first, last;     // date range of the matched records
    int alreadyStored = 0; // records (sightings and records of no species) in the database already
    std::vector<ImportOuting> outings; // checklists with records to store, only those records
    std::vector<NewRegion> newRegions;
    bool cancelled = false;
    // Checklists of the file with a record to import.
    int checklists() const { return int(outings.size()); }

    int skippedCount(SkipReason reason) const;
    int skippedTotal() const;   // not imported at all
    int newSightings() const;
    int newOtherRecords() const;
    bool hasNewRecords() const { return newSightings() + newOtherRecords() > 0; }
    static constexpr int kMaxBadDates = 1000;
};

// Reads `path`, an eBird "Download My Data" file (columns found by their header names, of any
// year: "Observation Details" or the older "Species Comments", dates as YYYY-MM-DD, MM-DD-YYYY
// or M/D/YYYY) or a file in eBird's record format (with or without its header row), matches
// its species (by species code, scientific name, common name, then the taxonomy's forms) and
// places (by eBird's codes and county names) against the database, groups the records into
// checklists (one per Submission ID; a file without them by the checklist's own fields) and
// finds the records stored before. Reads nothing into the database. Raises CsvError (with a
// message for the user) for a file that is not such a file.
//
// `progress` gets the fraction of the file read now and then; when it returns false reading
// stops and the preview comes back with `cancelled` set.
//
// Every record of the file is either matched, kept as a record of no species, or listed under
// the reason it is skipped: dates that are none of the forms above (also listed with their
// line), dates before 1900 or after `today`, and counts that are not a whole number from 1 to
// 1,000,000,000 ("X", for present, and no count at all are fine). An apostrophe that an
// export put before a text to keep spreadsheets from running it is taken off again.
ImportPreview readEbirdFile(db::Database& db, const QString& path,
                            CsvReader::Limits limits = CsvReader::Limits(),
                            const std::function<bool(double)>& progress = {}, QDate today = QDate::currentDate());

// The first date a sighting may have.
inline const QDate kFirstSightingDate{1900, 1, 1};

// A date as eBird files write it: YYYY-MM-DD, MM-DD-YYYY or M/D/YYYY (one or two digits for
// the month and day); an invalid date for anything else.
QDate parseEbirdDate(const QString& text);
// A start time as eBird files write it: "07:30 AM", "7:30 pm", "19:30"; invalid for anything else.
QTime parseEbirdTime(const QString& text);
// Comments with eBird's HTML line breaks (<br>, <br/>, <br />) made line breaks.
QString withLineBreaks(const QString& text);

// Stores the preview in one transaction: the regions it needs, each new checklist as an
// outing, each record as a sighting of its outing (or a record of no species), every record
// with its source key; gives each place it names its checklist if this is its first use
// (ChecklistCopy.h), then rebuilds the life list of the current region once and writes its
// counts to the Options row. `progress(done, total)` is called now and then; when it returns
// false the import stops and nothing is stored. Returns the number of sightings stored (0 when
// cancelled). Database errors propagate with nothing stored.
int storeImport(AppState& state, const ImportPreview& preview,
                const std::function<bool(int done, int total)>& progress = {});

// The region-type word of the current region (from the Options row, or the region itself);
// empty for none.
QString currentRegionType(AppState& state);

// Rebuilds the life list of the current region and writes its counts to the Options row
// (nothing for "World", region 0). Joins the caller's transaction.
void refreshCurrentLifeList(AppState& state);

} // namespace fl
