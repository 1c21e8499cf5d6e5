#include "Dialect.h"

#include <QChar>

namespace fl::db {

namespace {

bool isIdentChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

} // namespace

QString translateSql(const QString& sql)
{
    QString out;
    out.reserve(sql.size() + 8);
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql[i];
        if (c == u'\'') { // string literal: copied as it is, '' included
            qsizetype j = i + 1;
            while (j < n) {
                if (sql[j] == u'\'') {
                    if (j + 1 < n && sql[j + 1] == u'\'') { j += 2; continue; }
                    break;
                }
                ++j;
            }
            out += QStringView(sql).mid(i, std::min(j + 1, n) - i);
            i = j + 1;
        } else if (c == u'"') { // text value in double quotes
            qsizetype j = sql.indexOf(u'"', i + 1);
            if (j < 0) j = n;
            QString value = sql.mid(i + 1, j - i - 1);
            value.replace(u'\'', QStringLiteral("''"));
            out += u'\'' + value + u'\'';
            i = j + 1;
        } else if (c == u'[') { // bracketed identifier
            qsizetype j = sql.indexOf(u']', i + 1);
            if (j < 0) j = n - 1;
            out += QStringView(sql).mid(i, j - i + 1);
            i = j + 1;
        } else if (c.isLetter() || c == u'_') {
            qsizetype j = i;
            while (j < n && isIdentChar(sql[j])) ++j;
            const QStringView word = QStringView(sql).mid(i, j - i);
            if (word.compare(u"true", Qt::CaseInsensitive) == 0) out += u'1';
            else if (word.compare(u"false", Qt::CaseInsensitive) == 0) out += u'0';
            else out += word;
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

namespace {

// Code point sources over UTF-16 and UTF-8 with the same interface.
struct Utf16Source {
    QStringView s;
    qsizetype i = 0;
    bool atEnd() const { return i >= s.size(); }
    char32_t next()
    {
        const QChar c = s[i++];
        if (c.isHighSurrogate() && i < s.size() && s[i].isLowSurrogate())
            return QChar::surrogateToUcs4(c, s[i++]);
        return c.unicode();
    }
};

struct Utf8Source {
    const unsigned char* p;
    bool atEnd() const { return *p == 0; }
    char32_t next()
    {
        const unsigned char c = *p++;
        if (c < 0x80) return c;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t cp = c & (0x3F >> extra);
        while (extra-- > 0 && (*p & 0xC0) == 0x80) cp = (cp << 6) | (*p++ & 0x3F);
        return cp;
    }
};

char32_t fold(char32_t c)
{
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

bool isDigit(char32_t c) { return c >= '0' && c <= '9'; }

// Matches one pattern element at the pattern source against code point `c`; advances the
// pattern past the element. Returns whether it matches.
template <class Src>
bool matchElement(Src& pat, char32_t head, char32_t c)
{
    switch (head) {
    case '?': return true;
    case '#': return isDigit(c);
    case '[': {
        bool negate = false;
        bool first = true;
        bool hit = false;
        const char32_t fc = fold(c);
        char32_t prev = 0;
        bool havePrev = false;
        while (!pat.atEnd()) {
            char32_t p = pat.next();
            if (first && p == '!') { negate = true; first = false; continue; }
            if (p == ']' && !first) return hit != negate;
            first = false;
            if (p == '-' && havePrev && !pat.atEnd()) {
                Src look = pat;
                char32_t hi = look.next();
                if (hi != ']') {
                    pat = look;
                    if (fc >= fold(prev) && fc <= fold(hi)) hit = true;
                    havePrev = false;
                    continue;
                }
            }
            if (fold(p) == fc) hit = true;
            prev = p;
            havePrev = true;
        }
        return hit != negate; // unterminated class: what was read so far
    }
    default: return fold(head) == fold(c);
    }
}

template <class Src>
bool matchAll(Src pat, Src txt)
{
    // Greedy match with backtracking to the last `*`.
    bool haveStar = false;
    Src starPat = pat, starTxt = txt;
    for (;;) {
        if (!pat.atEnd()) {
            Src p = pat;
            const char32_t head = p.next();
            if (head == '*') {
                while (!p.atEnd()) { // collapse runs of stars
                    Src q = p;
                    if (q.next() != '*') break;
                    p = q;
                }
                haveStar = true;
                starPat = p;
                starTxt = txt;
                pat = p;
                continue;
            }
            if (!txt.atEnd()) {
                Src t = txt;
                const char32_t c = t.next();
                if (matchElement(p, head, c)) {
                    pat = p;
                    txt = t;
                    continue;
                }
            }
        } else if (txt.atEnd()) {
            return true;
        }
        if (!haveStar || starTxt.atEnd()) return false;
        starTxt.next();
        txt = starTxt;
        pat = starPat;
    }
}

} // namespace

bool likeMatch(QStringView pattern, QStringView text)
{
    return matchAll(Utf16Source{pattern}, Utf16Source{text});
}

bool likeMatchUtf8(const char* pattern, const char* text)
{
    return matchAll(Utf8Source{reinterpret_cast<const unsigned char*>(pattern)},
                    Utf8Source{reinterpret_cast<const unsigned char*>(text)});
}

QString escapeLikeLiteral(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            out += u'[' + QString(c) + u']';
        else
            out += c;
    }
    return out;
}

} // namespace fl::db
