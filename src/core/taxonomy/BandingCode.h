#pragma once

#include <QString>
#include <QStringList>

namespace fl {

// The four-letter banding code of a common name, upper case: one word gives its first four
// letters, two words two and two, three words one, one and two, four or more words the first
// letter of each of the first four. A hyphen separates words; apostrophes and other marks
// are dropped ("Cooper's Hawk" is COHA, "Black-capped Chickadee" BCCH).
QString bandingCode(const QString& commonName);

// The four-letter codes a list of species answers to: each species' official code (the
// Institute for Bird Populations', `alphaCodes`, empty where it gives none) or, only where
// it has none, the code made by the rule above, unless that is another species' official
// code (the official codes are unique by design, the rule's are not).
QStringList completionCodes(const QStringList& commonNames, const QStringList& alphaCodes);

} // namespace fl
