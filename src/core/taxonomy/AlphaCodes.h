#pragma once

#include <QHash>
#include <QString>

namespace fl {

// The four-letter codes of the Institute for Bird Populations (the list that came with the
// program), by scientific and by common name.
class AlphaCodes {
public:
    // The list that came with the program.
    static const AlphaCodes& builtIn();
    // A list from the text of a file in the same layout (ALPHA, COMMONNAME, SCINAME: the
    // four-letter code, the common and the scientific name).
    static AlphaCodes fromCsv(const QByteArray& text);

    // The code of a species: the one of its scientific name, else of its common name
    // (hyphens and spaces alike, any letter case); empty when the list has none or gives the
    // name two codes.
    QString codeFor(const QString& commonName, const QString& sciName) const;
    int size() const { return m_size; }

private:
    QHash<QString, QString> m_bySci, m_byCommon; // an empty value: the name has two codes
    int m_size = 0;
};

} // namespace fl
