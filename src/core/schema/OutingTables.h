#pragma once

namespace fl::db { class Database; }

namespace fl {

// Gives a bird database its outings: one place, one date, a start time and the effort,
// with the species seen there and their counts.
// - Outings: Outing_ID, Date (checked as sighting dates are), StartTime ("HH:MM" or NULL),
//   Duration (minutes), Distance (km), Area (ha), Observers, Protocol (eBird's protocol names),
//   AllReported (1 when every species seen was reported), site, Latitude and Longitude (both
//   or neither, in range), the four place ids as Sightings has them (Region, country, state,
//   district), StateCode and CountyCode (eBird's region codes, kept whether or not a region
//   has them), comments, and SubmissionID (eBird's checklist id, unique where given).
// - Sightings gains Outing_ID (NULL for a sighting made on its own), Count (NULL: present,
//   not counted, "X"), BreedingCode and MediaNumbers (media catalogue numbers, separated by
//   blanks); a species is in an outing at most once. The sightings of an outing have its date,
//   site and places: a change of the outing's reaches them, and a sighting of an outing with
//   another date is refused. An outing with sightings cannot be deleted before them.
void addOutingTables(db::Database& db);

} // namespace fl
