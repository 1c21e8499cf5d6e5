#pragma once

#include "records/CsvReader.h"

#include <QDate>
#include <QMap>
#include <QString>
#include <functional>
#include <vector>

namespace fl::db { class Database; }

namespace fl {

struct AppState;

// One record of an eBird file that names a single species, ready to be stored.
struct ImportRecord {
    QString key; // source key: the checklist's Submission ID and the species, or for a file
                 // without checklist numbers, the record's own content
    int birdId = 0;
    QDate date;
    QString type;
    int region = 0, country = 0, state = 0, district = 0;
    QString site;
    QString notes;
};

// Why a record of the file is not imported.
enum class SkipReason { Spuh, Slash, Hybrid, Domestic, NotInDatabase, NoDate, DateOutOfRange, BadCount, Repeated };
QString skipReasonText(SkipReason reason);

// What reading an eBird file found, before anything is stored.
struct ImportPreview {
    QString format;        // "eBird download" or "eBird record format"
    int recordsRead = 0;   // data records of the file
    int matched = 0;       // records naming one species of the database
    int speciesMatched = 0;
    // Records not imported: by reason, the names as the file gives them with their counts.
    std::map<SkipReason, QMap<QString, int>> skipped;
    QDate first, last;     // date range of the matched records
    int alreadyStored = 0; // matched records whose key is in the database already
    std::vector<ImportRecord> records; // the matched records not yet in the database

    int skippedCount(SkipReason reason) const;
    int skippedTotal() const;
};

// Reads `path`, an eBird "Download My Data" file (columns found by their header names) or
// a file in eBird's record format (with or without its header row), matches its species
// and places against the database and finds the records stored before. Reads nothing into
// the database. Raises CsvError (with a message for the user) for a file that is not such a
// file. `progress` gets the fraction of the file read.
//
// Every record of the file is either matched or listed under the reason it is skipped: among
// them dates before 1900 or after `today` (the sighting window takes none either), and counts
// that are not a whole number from 0 to 1,000,000,000 ("X", for present, and no count at all
// are fine). An apostrophe that an export put before a text to keep spreadsheets from running
// it is taken off again (see unneutralised()).
ImportPreview readEbirdFile(db::Database& db, const QString& path,
                            CsvReader::Limits limits = CsvReader::Limits(),
                            const std::function<void(double)>& progress = {}, QDate today = QDate::currentDate());

// The first date a sighting may have.
inline const QDate kFirstSightingDate{1900, 1, 1};

// Stores the preview's records in one transaction with their source keys, gives each place
// they name its checklist if this is its first use (ChecklistCopy.h), then rebuilds the life
// list of the current region once and writes its counts to the Options row.
// `progress(done, total)` is called now and then; when it returns false the import stops
// and nothing is stored. Returns the number of sightings stored (0 when cancelled).
// Database errors propagate with nothing stored.
int storeImport(AppState& state, const ImportPreview& preview,
                const std::function<bool(int done, int total)>& progress = {});

// The region-type word of the current region (from the Options row, or the region itself);
// empty for none.
QString currentRegionType(AppState& state);

// Rebuilds the life list of the current region and writes its counts to the Options row
// (nothing for "World", region 0). Joins the caller's transaction.
void refreshCurrentLifeList(AppState& state);

} // namespace fl
