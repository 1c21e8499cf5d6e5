#include "Csv.h"

#include <QFile>
#include <stdexcept>

namespace fl {

std::vector<QStringList> parseCsv(const QString& text)
{
    std::vector<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    const qsizetype n = text.size();
    int line = 1;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') { field += u'"'; ++i; }
                else quoted = false;
            } else {
                if (c == u'\n') ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"' && !fieldStarted) { quoted = true; fieldStarted = true; }
        else if (c == u',') { row << field; field.clear(); fieldStarted = false; }
        else if (c == u'\r') { }
        else if (c == u'\n') {
            ++line;
            row << field;
            field.clear();
            fieldStarted = false;
            rows.push_back(row);
            row.clear();
        } else { field += c; fieldStarted = true; }
    }
    if (quoted) throw std::runtime_error("Unterminated quoted field before line " + std::to_string(line));
    if (fieldStarted || !row.isEmpty()) {
        row << field;
        rows.push_back(row);
    }
    return rows;
}

std::vector<QStringList> readCsvFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("Cannot read " + path.toStdString());
    QString text = QString::fromUtf8(f.readAll());
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    try {
        return parseCsv(text);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path.toStdString() + ": " + e.what());
    }
}

} // namespace fl
