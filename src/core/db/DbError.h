#pragma once

#include <QString>
#include <stdexcept>

namespace fl::db {

// Raised by every database operation that fails. The message is the engine's own text,
// with the statement or file it concerns where that helps the user.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message, int code = 0)
        : std::runtime_error(message.toStdString()), m_message(message), m_code(code) {}
    const QString& message() const noexcept { return m_message; }
    int code() const noexcept { return m_code; }

private:
    QString m_message;
    int m_code;
};

} // namespace fl::db
