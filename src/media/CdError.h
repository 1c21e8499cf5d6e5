#pragma once

#include <QString>
#include <stdexcept>

namespace fl {

// A failure of a CD operation, with the run-time error number it is reported by.
class CdError : public std::runtime_error {
public:
    // The numbers used.
    static constexpr int Overflow = 6;
    static constexpr int TypeMismatch = 13;
    static constexpr int InvalidValue = 380;

    CdError(int number, const char* what) : std::runtime_error(what), m_number(number) {}
    int number() const { return m_number; }

private:
    int m_number;
};

} // namespace fl
