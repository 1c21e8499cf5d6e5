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

} // namespace fl
