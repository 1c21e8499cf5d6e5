#include "Paper.h"

#include <QtGlobal>

namespace fl {

QPageSize::PageSizeId localePaperSize(const QLocale& locale)
{
    switch (locale.territory()) {
    case QLocale::UnitedStates:
    case QLocale::Canada:
    case QLocale::Mexico:
    case QLocale::Belize:
    case QLocale::CostaRica:
    case QLocale::ElSalvador:
    case QLocale::Guatemala:
    case QLocale::Nicaragua:
    case QLocale::Panama:
    case QLocale::PuertoRico:
    case QLocale::Chile:
    case QLocale::Colombia:
    case QLocale::Venezuela:
    case QLocale::Philippines:
        return QPageSize::Letter;
    default:
        return QPageSize::A4;
    }
}

QLocale paperLocale()
{
    for (const char* variable : {"LC_ALL", "LC_PAPER", "LANG"}) {
        const QString name = qEnvironmentVariable(variable);
        if (!name.isEmpty()) return QLocale(name);
    }
    return QLocale::system();
}

QPageSize defaultReportPaper() { return QPageSize(localePaperSize(paperLocale())); }

} // namespace fl
