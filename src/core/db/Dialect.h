#pragma once

#include <QString>
#include <QStringView>

namespace fl::db {

// The query dialect the program writes its SQL in, and its translation to the engine's SQL.
//
// Text values may be written between double quotes; they become ordinary string literals.
// `?` outside a literal is a bound parameter. TRUE and FALSE become 1 and 0.
QString translateSql(const QString& sql);

// LIKE patterns: `*` any run of characters, `?` one character, `#` one digit,
// `[abc]`, `[a-z]` and `[!abc]` character classes; letter case is ignored.
bool likeMatch(QStringView pattern, QStringView text);
// The same on UTF-8 bytes, as the engine hands them over (no allocation).
bool likeMatchUtf8(const char* pattern, const char* text);

// Makes typed text match itself inside a LIKE pattern (each pattern character in brackets).
QString escapeLikeLiteral(const QString& text);

// The pattern that finds `text` anywhere, literally, in any letter case.
inline QString containsPattern(const QString& text) { return u'*' + escapeLikeLiteral(text) + u'*'; }

} // namespace fl::db
