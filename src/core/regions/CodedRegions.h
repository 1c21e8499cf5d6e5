#pragma once

namespace fl::db { class Database; }

namespace fl {

// Upgrade step to database version 3: regions carry eBird's codes. Adds the columns
// Regions.Code (unique when given) and Regions.CopiedFrom (see ChecklistCopy.h) and has the
// saved region queries return the code too; in a user's file it then runs addEbirdRegions.
// A file being built (no Options row yet) gets its regions when its data has been loaded.
void addRegionCodes(db::Database& db);

// Gives each region without a code the code of the eBird region it names (by kind and name,
// letter case and accents ignored; a county also as "Franklin County, Ohio", or by its bare
// name with or without "County" when no other county has that name), then adds each eBird
// region whose code no region has, named as the program names them. Returns how many were
// added. Joins the caller's transaction.
int addEbirdRegions(db::Database& db);

} // namespace fl
