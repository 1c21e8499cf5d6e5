#pragma once

namespace fl::db { class Database; }

namespace fl {

// Upgrade step: the records of an outing that name no species of the database, kept so that
// nothing of a checklist is lost and an export gives them back. They never count in a list.
// OtherRecords(Other_ID, Outing_ID, Name, sci_name, Category, TaxonOrder, Count, BreedingCode,
// notes, MediaNumbers, SourceKey):
// - Outing_ID: the outing they were seen on; deleting the outing deletes them;
// - Name, sci_name: the common and scientific name as the file gave them (one at least);
// - Category: the taxonomy's word for what they are: "spuh" (a genus or family, "gull sp."),
//   "slash" (one of two species), "hybrid", "intergrade", "domestic", "issf" or "form" (a
//   subspecies group or form the database does not place), or "species" (a species the
//   database does not hold);
// - TaxonOrder: their place in the taxonomy when the file gave it, for ordering;
// - Count (NULL: present, not counted, "X"), BreedingCode, notes (the species comments) and
//   MediaNumbers (catalogue numbers separated by blanks), checked as a sighting's are;
// - SourceKey: the key of the imported record (unique where given), so that importing the
//   same file again adds nothing.
void createOtherRecordsTable(db::Database& db);

} // namespace fl
