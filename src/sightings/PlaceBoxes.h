#pragma once

#include "ui/RegionList.h"

#include <QGroupBox>
#include <QVector>
#include <array>

class QComboBox;
class QLabel;
class QToolButton;

namespace fl {

namespace db { class Database; }
class Platform;

// "Location Details (Optional)": the four place boxes of a sighting or an outing (Region,
// Country, State/Prov, District/County), each with a button that clears it. A box takes a
// region of its list only; typing filters the list. The chosen country's states come first
// in the State/Prov box, and the chosen state's counties (or the country's) first in the
// District/County box.
class PlaceBoxes : public QGroupBox {
    Q_OBJECT
public:
    // Failures in the boxes' handlers are told through `platform`, which outlives them.
    PlaceBoxes(Platform& platform, QWidget* parent);

    // The captions of the boxes, widest first as the region kinds are.
    static QString caption(int k);

    // Fills the boxes with the regions of `db` and chooses none.
    void load(db::Database& db);
    // As a new sighting has them: the first region in the Region box, and the region `regId`
    // (when above 0) in the box of its kind.
    void preselect(int regId);
    // Chooses the regions by their ids, 0 or a region not in a box's list for none; with
    // `keepWhereNone`, a box whose id is 0 or not in its list keeps its choice instead.
    void setPlaces(const std::array<int, 4>& ids, bool keepWhereNone = false);
    // The chosen regions' ids, 0 for an empty box.
    std::array<int, 4> places() const;
    // The eBird code of the region chosen in box `k`, empty for none.
    QString code(int k) const;
    // Empties box `k` and puts the cursor in it.
    void clearPlace(int k);
    // Selects what each box's typed text names. When a box holds text that names no region of
    // its list, says so through the platform, puts the cursor there and returns false.
    bool acceptTyped();

    QComboBox* box[4] = {};
    QToolButton* clear[4] = {};
    QLabel* label[4] = {};

signals:
    // The choice of a box changed (by the user or the program).
    void placesChanged();

private:
    // Chooses row `rows[k]` (-1 for none) of each box `k`.
    void choose(const std::array<int, 4>& rows);
    void orderPlaces();
    Platform& m_platform;
    RegionListModel* m_models[4] = {};
    QVector<RegionEntry> m_shown[4]; // the lists the boxes were filled from (shared, not copied)
};

} // namespace fl
