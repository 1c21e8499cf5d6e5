#include "records/CsvReader.h"

#include <QBuffer>
#include <QFile>

namespace fl {

namespace {
constexpr qsizetype kChunk = 1 << 16;
}

CsvReader::CsvReader(const QString& path, Limits limits) : m_limits(limits)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        throw CsvError(QStringLiteral("The file '%1' cannot be read: %2").arg(path, file->errorString()));
    m_size = file->size();
    m_dev = file.get();
    m_owned = std::move(file);
}

CsvReader::CsvReader(QIODevice* device, Limits limits) : m_dev(device), m_limits(limits)
{
    m_size = device->isSequential() ? 0 : device->size();
}

CsvReader::~CsvReader() = default;

void CsvReader::fail(const QString& what) const
{
    throw CsvError(QStringLiteral("Line %1: %2").arg(m_lineNo).arg(what));
}

bool CsvReader::fill()
{
    if (m_eof) return false;
    m_buf = m_dev->read(kChunk);
    m_pos = 0;
    if (m_buf.isEmpty()) {
        m_eof = true;
        return false;
    }
    if (!m_started) {
        m_started = true;
        if (m_buf.startsWith("\xEF\xBB\xBF")) {
            m_pos = 3;
            m_consumed = 3;
        }
        // A binary file (a database, a spreadsheet's own format, a picture) shows a NUL in its
        // first block: say so, rather than whatever its bytes happen to look like before one.
        if (m_buf.contains('\0')) fail(QStringLiteral("a NUL byte; this is not a CSV text file."));
    }
    return true;
}

void CsvReader::endField(QStringList& fields)
{
    if (fields.size() >= m_limits.maxFields)
        fail(QStringLiteral("more than %1 fields in one record.").arg(m_limits.maxFields));
    QString text = m_decoder.decode(m_field);
    if (m_decoder.hasError()) fail(QStringLiteral("the text is not UTF-8; this is not a CSV text file."));
    fields << std::move(text);
    m_field.clear();
}

bool CsvReader::next(QStringList& fields)
{
    fields.clear();
    m_field.clear();
    m_recordBytes = 0;
    enum State { FieldStart, Unquoted, Quoted, QuoteInQuoted } state = FieldStart;
    bool any = false; // anything of this record read (a lone line break is still an empty record)
    m_recordLine = m_lineNo;
    for (;;) {
        if (m_pos >= m_buf.size() && !fill()) break;
        const char* data = m_buf.constData();
        const qsizetype n = m_buf.size();
        while (m_pos < n) {
            const char c = data[m_pos++];
            ++m_consumed;
            if (m_afterCr) {
                // The LF of a CRLF that ended the previous record.
                m_afterCr = false;
                if (c == '\n') continue;
            }
            if (++m_recordBytes > m_limits.maxRecordBytes)
                fail(QStringLiteral("a record longer than %1 bytes; this is not a CSV file of sightings.")
                         .arg(m_limits.maxRecordBytes));
            if (c == '\0') fail(QStringLiteral("a NUL byte; this is not a CSV text file."));
            any = true;
            switch (state) {
            case FieldStart:
            case Unquoted:
                if (c == ',') {
                    endField(fields);
                    state = FieldStart;
                } else if (c == '\n' || c == '\r') {
                    endField(fields);
                    endLine(c);
                    return true;
                } else if (c == '"') {
                    if (state == Unquoted) fail(QStringLiteral("a quote inside an unquoted field."));
                    state = Quoted;
                } else {
                    m_field += c;
                    state = Unquoted;
                }
                break;
            case Quoted:
                if (c == '"') {
                    state = QuoteInQuoted;
                    m_quotedCr = false;
                } else {
                    // A line break inside a field counts one line, whether CR, LF or CRLF.
                    if (c == '\r' || (c == '\n' && !m_quotedCr)) ++m_lineNo;
                    m_quotedCr = c == '\r';
                    m_field += c;
                }
                break;
            case QuoteInQuoted:
                if (c == '"') {
                    m_field += '"';
                    state = Quoted;
                } else if (c == ',') {
                    endField(fields);
                    state = FieldStart;
                } else if (c == '\n' || c == '\r') {
                    endField(fields);
                    endLine(c);
                    return true;
                } else {
                    fail(QStringLiteral("text after the closing quote of a field."));
                }
                break;
            }
        }
    }
    if (state == Quoted) fail(QStringLiteral("a quoted field is never closed."));
    if (!any) return false;
    endField(fields);
    return true;
}

void CsvReader::endLine(char c)
{
    ++m_lineNo;
    m_afterCr = c == '\r';
}

std::vector<QStringList> readAllCsv(const QByteArray& bytes, CsvReader::Limits limits)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    CsvReader reader(&buffer, limits);
    std::vector<QStringList> rows;
    QStringList fields;
    while (reader.next(fields)) rows.push_back(fields);
    return rows;
}

} // namespace fl
