#pragma once

namespace fl::db { class Database; }

namespace fl {

// Gives a bird database the taxonomy's codes and forms:
// - Birds.SpeciesCode, eBird's code of the species (unique where given), and Birds.AlphaCode,
//   the four-letter code of the Institute for Bird Populations (NULL where it gives none);
// - TaxonForms(FormCode, Category, Name, sci_name, Bird_ID): the taxonomy's subspecies groups,
//   forms and intergrades, each pointing at the species it is a record of;
// - Sightings.NeedsReview, 1 for a sighting that a taxonomy update left in doubt (its species
//   was split), 0 otherwise.
// Species of a database built from the earlier sample data get their codes from the list
// that came with this step, matched by common and scientific name.
void addTaxonomyTables(db::Database& db);

} // namespace fl
