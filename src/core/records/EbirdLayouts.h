#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>

namespace fl {

// eBird's two file layouts of records, shared by the import and the export.
//
// - The record format, the layout eBird's import tool takes for uploads: 19 columns in a fixed
//   order (recordFormatColumns()), no header row, one record a line. Dates MM/DD/YYYY, the
//   state or province by its code within the country ("CA"), the country by its code ("US"),
//   the start time as HH:MM, all observations reported as Y or N, the distance in miles and
//   the area in acres. A checklist is the records of one date, place and effort.
// - "My eBird Data", the file of eBird's download: a header row naming the columns
//   (downloadColumns()), one record a line, the checklist by its Submission ID. Dates
//   YYYY-MM-DD, the state or province by its full code ("US-CA"), the county by name, the
//   time as "07:30 AM", all observations reported as 1 or 0, the distance in km and the area
//   in hectares, the protocol by eBird's long name ("eBird - Traveling Count").

const QStringList& recordFormatColumns();
const QStringList& downloadColumns();

// The protocol as eBird's download names it, for the program's protocol names (those of
// outingProtocols(): "Traveling", "Incidental"...); a name it does not know stays as it is.
QString downloadProtocolName(const QString& protocol);
// The other way: a protocol named as eBird's files name it ("eBird - Traveling Count",
// "traveling", "casual"), by the name the outings use ("Traveling"); other names as they are.
QString ebirdProtocolName(const QString& text);
// Units of the record format.
inline constexpr double kKmPerMile = 1.609344;
inline constexpr double kHaPerAcre = 0.40468564224;

// A decimal number as a file holds it: at most `decimals` places, no trailing zeros, a point
// for the decimal sign ("2.5", "3", "0.0123").
QString decimalField(double value, int decimals);
// The shortest text that reads back as the same number (coordinates, km and ha of the
// download, which keep what the database holds).
QString exactDecimalField(double value);

// Times as the layouts write them: "07:05" (record format), "07:05 AM" (download).
QString recordFormatTime(const QTime& time);
QString downloadTime(const QTime& time);

// eBird's largest upload file: the export writes record-format files of at most this many bytes.
inline constexpr qint64 kUploadFileLimit = 1000000;

} // namespace fl
