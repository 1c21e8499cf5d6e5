#pragma once

namespace fl::db { class Database; }

namespace fl {

// Upgrade step: the user's custom ("patch") lists. CustomLists(List_ID, Name) names each
// list (a name is given, and no two lists share one, letter case ignored);
// CustomListPlaces(List_ID, Reg_ID, Site) holds its places, each either a region or a site
// name. A list's places go with it, and a region's with the region.
void createCustomListTables(db::Database& db);

} // namespace fl
