#pragma once

#include <QString>

namespace fl {

// The fixed selections of the Searches menu.
enum class ListSearch { Birds, Songs, CdSongs, Life, MissingAll, MissingRare };

struct ListSearchInfo {
    QString title;        // the list's title (searchType)
    QString emptyMessage; // shown when the result is empty; empty: the result is not tested
};

ListSearchInfo listSearchInfo(ListSearch search);

// The query of a selection for the current region (0: no region) and sort clause.
QString listSearchQuery(ListSearch search, int regId, const QString& qrySort);

// The names of the species on the checklist of region `regId`, narrowed by `conditions`
// (text starting with " AND ", may hold "?" placeholders) and sorted by `qrySort`.
QString regionSpeciesQuery(int regId, const QString& conditions, const QString& qrySort);

} // namespace fl
