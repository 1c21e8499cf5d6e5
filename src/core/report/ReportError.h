#pragma once

#include <QString>
#include <stdexcept>

namespace fl::report {

// The report engine's error numbers (listed for users in reports/README.md).
enum ErrorNumber : int {
    kErrNoDefinition = 501,   // the definition file is missing or cannot be read
    kErrBadDefinition = 502,  // the definition file is not in the definition format
    kErrFormulaSyntax = 503,  // a formula cannot be parsed
    kErrFormulaValue = 504,   // a formula cannot be evaluated (mixed kinds, a formula naming itself)
    kErrUnknownName = 505,    // a field or named formula that the report does not have
    kErrDatabase = 506,       // the database could not be read
    kErrOutput = 507,         // the output could not be written
    kErrBadProperty = 508,    // a control property or action that the engine does not accept
};

// A failure of the report engine, identified by its number. `position` is the 1-based
// character position in the formula for formula errors, 0 otherwise.
class ReportError : public std::runtime_error {
public:
    // `located`: the message already says in which file and line the fault is.
    ReportError(int number, const QString& message, int position = 0, bool located = false)
        : std::runtime_error(message.toStdString()), m_number(number), m_position(position), m_message(message),
          m_located(located)
    {
    }
    int number() const noexcept { return m_number; }
    int position() const noexcept { return m_position; }
    const QString& message() const noexcept { return m_message; }
    bool located() const noexcept { return m_located; }

private:
    int m_number;
    int m_position;
    QString m_message;
    bool m_located;
};

} // namespace fl::report
