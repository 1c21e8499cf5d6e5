#pragma once

#include <QString>

namespace fl {

// A number with its noun for the window texts: "1 checklist", "3 checklists".
inline QString counted(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

} // namespace fl
