#pragma once

#include <QLocale>
#include <QPageSize>

namespace fl {

// The paper a locale prints on by default: Letter in the United States, Canada and the other
// countries that use it (Mexico, Central America, Chile, Colombia, Venezuela, the
// Philippines), A4 everywhere else.
QPageSize::PageSizeId localePaperSize(const QLocale& locale);

// The locale that chooses the paper: the first of LC_ALL, LC_PAPER and LANG that is set,
// else the system's locale.
QLocale paperLocale();

// The paper and margins every report is laid out on unless the user picks another paper.
QPageSize defaultReportPaper();

} // namespace fl
