#pragma once

#include "outings/Outing.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace fl {

// What a count cell holds.
struct CountEntry {
    enum Kind { Empty, Present, Number, Bad } kind = Empty;
    qint64 number = 0; // for Number
    QString problem;   // for Bad: what is wrong, in a sentence
    bool seen() const { return kind == Present || kind == Number; }
    std::optional<qint64> count() const { return kind == Number ? std::optional<qint64>(number) : std::nullopt; }
};

// Reads a typed count: empty (not seen), "X" (present, not counted) or a whole number of
// birds from 1 to 1,000,000,000. Anything else is Bad, with the reason.
CountEntry parseCount(const QString& text);
// How a count is shown: the number, or "X".
QString countText(const std::optional<qint64>& count);

// eBird's protocol names, the common ones first.
const QStringList& outingProtocols();
// The effort a protocol measures besides its duration.
bool protocolHasDistance(const QString& protocol);
bool protocolHasArea(const QString& protocol);

// Typed effort. Each returns nothing for an empty text and sets `ok` false for a text it
// cannot read (a blank text is fine).
// A start time: "7:30", "07:30", "0730", "7.30", "7:30 pm", "19:30".
QTime parseStartTime(const QString& text, bool& ok);
// A duration in minutes: "90", "1:30", "1h30", "1 h 30 min", "2h".
std::optional<int> parseDuration(const QString& text, bool& ok);
// A number with a decimal point or the system's decimal separator: "2.5", "2,5".
std::optional<double> parseDecimal(const QString& text, bool& ok);
std::optional<int> parseWholeNumber(const QString& text, bool& ok);
QString durationText(const std::optional<int>& minutes);
QString decimalText(const std::optional<double>& value);

// The first thing wrong with an outing as it would be stored (dates from 1900 to today,
// effort within its bounds, both or neither coordinate, each species once with a count from
// 1 to 1,000,000,000 or none), or an empty text.
QString outingProblem(const Outing& outing);

} // namespace fl
