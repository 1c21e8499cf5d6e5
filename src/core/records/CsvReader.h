#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <memory>
#include <stdexcept>

class QIODevice;

namespace fl {

// A CSV file that cannot be read: the message names the line where reading stopped.
class CsvError : public std::runtime_error {
public:
    explicit CsvError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

// Reads CSV records one at a time from a file or device, without holding the whole file:
// comma-separated; fields in double quotes may hold commas, line breaks and doubled quotes;
// a record ends in LF, CRLF or a lone CR (old Mac files); UTF-8 with or without a byte-order
// mark.
//
// Anything that is not such a file raises CsvError and nothing more is read: a quote that is
// never closed, text after a closing quote, a quote inside an unquoted field, a NUL byte or
// bytes that are not UTF-8 (a binary file), and a record or field longer than the limits.
// How much one record may hold before the input is refused.
struct CsvLimits {
    qsizetype maxRecordBytes = 1 << 20; // one record, quoted line breaks included
    int maxFields = 1000;
};

class CsvReader {
public:
    using Limits = CsvLimits;

    // Reads from `path`; raises CsvError when the file cannot be opened.
    explicit CsvReader(const QString& path, Limits limits = Limits());
    // Reads from an open device that the caller keeps alive.
    explicit CsvReader(QIODevice* device, Limits limits = Limits());
    ~CsvReader();
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    // The next record into `fields`; false at the end of the input.
    bool next(QStringList& fields);
    // The line on which the last record returned started (1 for the first).
    int line() const { return m_recordLine; }
    // Bytes consumed so far and the input's size (0 when unknown), for progress.
    qint64 position() const { return m_consumed; }
    qint64 size() const { return m_size; }

private:
    bool fill();
    [[noreturn]] void fail(const QString& what) const;
    void endField(QStringList& fields);
    void endLine(char c);

    std::unique_ptr<QIODevice> m_owned;
    QIODevice* m_dev = nullptr;
    Limits m_limits;
    QByteArray m_buf;
    qsizetype m_pos = 0;
    qint64 m_consumed = 0;
    qint64 m_size = 0;
    bool m_eof = false;
    bool m_started = false;
    int m_lineNo = 1;
    bool m_afterCr = false;  // the last record ended in CR: an LF right after it belongs to it
    bool m_quotedCr = false; // the last character of a quoted field was a CR
    int m_recordLine = 0;
    qsizetype m_recordBytes = 0;
    QByteArray m_field;
    QStringDecoder m_decoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
};

// Reads a whole CSV text with the same rules (for small inputs and tests).
std::vector<QStringList> readAllCsv(const QByteArray& bytes, CsvReader::Limits limits = CsvReader::Limits());

} // namespace fl
