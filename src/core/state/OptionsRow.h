#pragma once

#include <QString>
#include <optional>

namespace fl::db { class Recordset; }

namespace fl {

struct AppState;

// A change to the single Options row: only the fields that are set are written.
struct OptionsChange {
    // The region choice: its id, name, type word and list title.
    std::optional<int> regId;
    std::optional<QString> regname;
    std::optional<QString> regType;
    std::optional<QString> searchType;
    // The life-list counts of the region.
    std::optional<int> lifetotal;
    std::optional<int> lifesum;
    // The ORDER BY clause of species lists.
    std::optional<QString> qrySort;
    // The display options.
    std::optional<bool> wincolor;
    std::optional<bool> songCD;
};

// Writes `change` to the open Options row of `state` in one update. On failure the row's
// edit is abandoned and the error propagates; the state's own variables are not touched.
void writeOptions(AppState& state, const OptionsChange& change);
// The same, on the Options row open as `options`.
void writeOptionsRow(db::Recordset& options, const OptionsChange& change);

// Whether the Options row is open (it is not while the database is being replaced).
bool optionsOpen(const AppState& state);

// The Options row's life-list count as stored.
int storedLifeSum(const AppState& state);
int storedLifeTotal(const AppState& state);

} // namespace fl
