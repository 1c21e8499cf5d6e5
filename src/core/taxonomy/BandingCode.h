#pragma once

#include <QString>

namespace fl {

// The four-letter banding code of a common name, upper case: one word gives its first four
// letters, two words two and two, three words one, one and two, four or more words the first
// letter of each of the first four. A hyphen separates words; apostrophes and other marks
// are dropped ("Cooper's Hawk" is COHA, "Black-capped Chickadee" BCCH).
QString bandingCode(const QString& commonName);

} // namespace fl
