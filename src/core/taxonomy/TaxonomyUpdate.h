#pragma once

#include "taxonomy/TaxonomyFile.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace fl::db { class Database; }

namespace fl {

struct AppState;

// What bringing the database to a taxonomy file changes, found by comparing its species with
// the file's by species code, then by scientific and common name, and through the
// taxonomy's subspecies groups and forms.
struct TaxonomyPlan {
    // A species of the file as the database will hold it.
    struct Taxon {
        QString code, common, sci;
        double taxonOrder = 0;
        QString order, family, familyName;
        int existingId = 0; // a split: the database holds this daughter already
    };
    // A species that keeps its records under other names or another code.
    struct Rename {
        int birdId = 0;
        QString oldCode, oldName, oldSci;
        Taxon to;
        bool nameChanged() const { return oldName != to.common; }
        bool sciChanged() const { return oldSci != to.sci; }
        bool codeChanged() const { return oldCode.compare(to.code, Qt::CaseInsensitive) != 0; }
    };
    // One species became several: the one at `keeper` keeps the old row with its records,
    // checklists and pictures (its sightings are marked for review); the others are new.
    struct Split {
        int birdId = 0;
        QString oldCode, oldName, oldSci;
        std::vector<Taxon> daughters;
        int keeper = 0;
        int sightings = 0; // of the old species: all of them are marked for review
        int newDaughters() const;
    };
    // Several species became one: the survivor (`survivorId`, which takes the names of `to`)
    // receives the sightings, pictures, links and checklist entries of the others.
    struct Lump {
        int survivorId = 0;
        QString survivorName;
        std::vector<int> merged;
        QStringList mergedNames;
        Taxon to;
        int sightingsMoved = 0;
    };
    // A species of the database that the file does not have: kept as it is.
    struct Missing {
        int birdId = 0;
        QString code, name;
        int sightings = 0;
    };

    std::vector<Rename> renames;
    std::vector<Split> splits;
    std::vector<Lump> lumps;
    std::vector<Taxon> added;     // species of the file added on request (not from a split)
    std::vector<Missing> missing;
    int unrelated = 0;            // species of the file the database does not hold, left out
    int formsAdded = 0, formsRemoved = 0, formsChanged = 0;
    int alphaChanged = 0;         // renamed or new species whose four-letter code changes

    // Makes daughter `daughter` of split `split` the one that keeps the old species' row
    // (ignored for a daughter the database holds already).
    void setKeeper(int split, int daughter);

    int newSpecies() const;
    int sightingsToReview() const;
    int sightingsToMove() const;
    bool hasChanges() const;
};

struct TaxonomyPlanOptions {
    // Also add the file's species that the database lacks and that come from no split.
    bool addUnrelated = false;
};

// Compares the database with `file`; reads only.
TaxonomyPlan planTaxonomyUpdate(db::Database& db, const TaxonomyFile& file, const TaxonomyPlanOptions& options = {});

// Applies `plan` in one transaction: names and codes, new species in their family and sort
// order, lumped species' records moved to the survivor (checklists keep the highest status
// of the parts), split species' sightings marked for review, the taxonomy's forms, and the
// life list of the current region rebuilt once. `progress(done, total)` is called now and
// then; when it returns false, nothing is changed and false is returned.
bool applyTaxonomyUpdate(AppState& state, const TaxonomyFile& file, const TaxonomyPlan& plan,
                         const std::function<bool(int done, int total)>& progress = {});

} // namespace fl
