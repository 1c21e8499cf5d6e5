#include "status/StatusCodes.h"

#include <iterator>

namespace fl::codes {

namespace {

struct Letter {
    QChar letter;
    const char* editor;  // empty: not offered by the editor
    const char* detail;
};

const Letter kAbundance[] = {
    {u'C', "Abundant", "Abundant "},
    {u'F', "Common", "Common "},
    {u'U', "Uncommon", "Uncommon "},
    {u'R', "Rare", "Rare "},
    {u'X', "Very Rare", "Very Rare "},
};

const Letter kSeason[] = {
    {u'P', "Permanent Breeder", "Permanent Breeder "},
    {u'p', "Permanent Non-breeder", "Permanent Non-breeder "},
    {u'S', "Summer Breeder", "Summer Breeder "},
    {u's', "Summer Non-breeder", "Summer Non-breeder "},
    {u'W', "Winter Visitor", "Winter Resident "},
    {u'w', "Winter Breeder", "Winter Non-breeder "},
    {u'T', "Transient", "Transient "},
    {u'V', "Vagrant", "Vagrant "},
    {u'R', "", "Sighting in Region "},
};

const Letter kQualifier[] = {
    {u'L', "(Limited Range)", " (Limited range)"},
    {u'I', "(Irregular)", " (Irregular)"},
};

template <size_t N>
const Letter* find(const Letter (&table)[N], QChar c)
{
    for (const Letter& l : table)
        if (l.letter == c) return &l;
    return nullptr;
}

template <size_t N>
QStringList editorList(const Letter (&table)[N])
{
    QStringList words;
    for (const Letter& l : table)
        if (*l.editor) words << QString::fromLatin1(l.editor);
    return words;
}

const Letter* findAt(int position, QChar c)
{
    switch (position) {
    case 0: return find(kAbundance, c);
    case 1: return find(kSeason, c);
    case 2: return find(kQualifier, c);
    default: return nullptr;
    }
}

struct Status {
    const char* letter;
    const char* word;
    const char* line;
};

const Status kStatus[] = {
    {"B", "Breeder", "Status: Breeder"},   {"V", "Visitor", "Status: Visitor"},
    {"T", "Transient", "Status: Transient"}, {"R", "Rarity", "Status: Rarity"},
    {"E", "Extinct", "Status: Extinct"},   {"N", "None", "Status: No Status"},
};

} // namespace

QString statusLine(const QVariant& status)
{
    if (!status.isNull()) {
        const QString s = status.toString();
        for (const Status& st : kStatus)
            if (s == QLatin1String(st.letter)) return QString::fromLatin1(st.line);
    }
    return QStringLiteral("Status: No Status");
}

QString statusWord(const QString& letter)
{
    for (const Status& st : kStatus)
        if (letter == QLatin1String(st.letter)) return QString::fromLatin1(st.word);
    return QStringLiteral("None");
}

QString statusLetter(const QString& word)
{
    for (const Status& st : kStatus)
        if (word == QLatin1String(st.word)) return QString::fromLatin1(st.letter);
    return QStringLiteral("N");
}

int statusRank(const QVariant& status)
{
    if (status.isNull()) return 0;
    const QString s = status.toString();
    const int count = int(std::size(kStatus));
    for (int i = 0; i < count; ++i)
        if (s == QLatin1String(kStatus[i].letter)) return count - 1 - i; // N is the last: 0
    return 0;
}

const QStringList& statusWords()
{
    static const QStringList words = [] {
        QStringList w;
        for (const Status& st : kStatus) w << QString::fromLatin1(st.word);
        return w;
    }();
    return words;
}

const QStringList& abundanceWords()
{
    static const QStringList w = editorList(kAbundance);
    return w;
}

const QStringList& seasonWords()
{
    static const QStringList w = editorList(kSeason);
    return w;
}

const QStringList& qualifierWords()
{
    static const QStringList w = editorList(kQualifier);
    return w;
}

QString editorWord(int position, QChar letter)
{
    const Letter* l = findAt(position, letter);
    return l ? QString::fromLatin1(l->editor) : QString();
}

QString CodeLetter(const QString& word)
{
    if (word.isEmpty()) return QStringLiteral("/");
    for (int pos = 0; pos < 3; ++pos) {
        const auto check = [&](const auto& table) -> QString {
            for (const Letter& l : table)
                if (*l.editor && word == QLatin1String(l.editor)) return QString(l.letter);
            return {};
        };
        const QString found = pos == 0 ? check(kAbundance) : pos == 1 ? check(kSeason) : check(kQualifier);
        if (!found.isEmpty()) return found;
    }
    return QStringLiteral("/");
}

QString DescribeGroup(QStringView group)
{
    QString phrase;
    for (int pos = 0; pos < 3 && pos < group.size(); ++pos)
        if (const Letter* l = findAt(pos, group[pos])) phrase += QString::fromLatin1(l->detail);
    return phrase;
}

bool hasDetail(const QVariant& scode)
{
    if (scode.isNull()) return false;
    const QString s = scode.toString();
    return !s.trimmed().isEmpty() && s != QLatin1String("/////////");
}

std::array<QString, 3> detailLines(const QString& scode)
{
    std::array<QString, 3> lines;
    const QString code = scode.trimmed();
    switch (code.size()) {
    case 9: lines[2] = DescribeGroup(QStringView(code).mid(6, 3)); [[fallthrough]];
    case 6: lines[1] = DescribeGroup(QStringView(code).mid(3, 3)); [[fallthrough]];
    case 3: lines[0] = DescribeGroup(QStringView(code).mid(0, 3)); break;
    default: lines[0] = QStringLiteral("Status details not available.");
    }
    return lines;
}

QStringList groupsForEditor(const QString& scode)
{
    QStringList groups;
    const qsizetype n = scode.size();
    if (n == 3 || n == 6 || n == 9)
        for (qsizetype i = 0; i < n; i += 3) groups << scode.mid(i, 3);
    return groups;
}

QString encodeRows(const std::array<std::array<QString, 3>, 3>& words)
{
    QString code;
    for (const auto& row : words)
        for (const QString& w : row) code += CodeLetter(w);
    return code;
}

} // namespace fl::codes
