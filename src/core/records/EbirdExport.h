#pragma once

#include "records/EbirdLayouts.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace fl::db { class Database; }

namespace fl {

// The two layouts of an export (EbirdLayouts.h).
enum class EbirdLayout {
    RecordFormat, // for upload to eBird
    Download,     // "My eBird Data": every outing and record, as eBird's download has them
};

struct EbirdExportOptions {
    EbirdLayout layout = EbirdLayout::RecordFormat;
    // 0 writes every record; otherwise only those that count for that region (the life list's
    // rule, regions/RegionRule.h), whole outings either way.
    int regId = 0;
    // The largest record-format file; an export that is larger is written as several files.
    qint64 fileLimit = kUploadFileLimit;
    // Asked, before anything is put in place, with the files of a split export that exist
    // already and would be replaced; false writes nothing. Without it they are replaced.
    std::function<bool(const QStringList& existing)> replaceExisting;
};

struct EbirdExportResult {
    int sightings = 0;    // records of a species
    int otherRecords = 0; // records of no species (spuhs, slashes, hybrids...)
    int outings = 0;      // outings written (a sighting of no outing is no outing)
    QStringList files;    // the files written, in order; none when the export was declined
    QStringList oversized; // files larger than the limit: each holds one outing that alone is larger
    int records() const { return sightings + otherRecords; }
};

// Writes the sightings and the records of no species, outing by outing (oldest first; the
// records of an outing together, species in taxonomic order, then its records of no species),
// in one of eBird's layouts.
//
// Record format: the sighting's own comments are the species comments, the outing's comments
// the checklist comments; an outing gives its date, start time, protocol, observers, duration,
// all-reported, distance (miles) and area (acres), site, coordinates, state or province and
// country; a sighting of no outing is written as Incidental with its site and places. The
// format holds no county, Submission ID, breeding code or media numbers. The records go into
// files of at most `fileLimit` bytes, no outing split between two: one file when they fit,
// named `path`, otherwise `<name>-1.csv`, `<name>-2.csv`... beside it (exportPartPath()).
//
// Download: one file at `path` with eBird's header row and every field of an outing and its
// records that the layout has, the Submission ID included; a sighting of no outing has none.
//
// A count kept in a sighting's notes the way earlier versions imported it ("x3" as the first
// line of a sighting of no outing without a count) is written as its count.
// Texts that a spreadsheet would run as formulas are neutralised (see neutralised()). Each file
// is written beside its name and put in place only when every file is complete; the database
// and the program's own files are refused (see refusedTarget()). Raises std::runtime_error
// (or db::DbError) on failure.
EbirdExportResult exportEbird(db::Database& db, const QString& path, const EbirdExportOptions& options = {});

// The record-format export of every sighting, or of those of region `regId`, to `path`;
// returns the number of sightings written.
int exportSightings(db::Database& db, const QString& path, int regId = 0);

// The file `n` (from 1) of an export to `path` that is split: "/x/may-2.csv" for "/x/may.csv".
QString exportPartPath(const QString& path, int n);

// Splits notes into a count (the first line "x<digits>", at most 1,000,000,000, or empty) and
// the rest.
void splitCount(const QString& notes, QString& count, QString& rest);

// The largest count of birds a record may give.
inline constexpr qint64 kMaxCount = 1000000000;

// One CSV field, quoted when it has to be.
QString csvField(const QString& value);

// A text that a spreadsheet would take for a formula (one that starts with =, +, -, @, a tab
// or a carriage return, perhaps after apostrophes) gets an apostrophe in front, the usual
// way to keep it text. unneutralised() takes that apostrophe off again, so that a text
// exported and imported again is the text it was.
QString neutralised(const QString& text);
QString unneutralised(const QString& text);

} // namespace fl
