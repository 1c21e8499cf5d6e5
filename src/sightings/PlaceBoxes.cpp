#include "PlaceBoxes.h"

#include "platform/Platform.h"
#include "ui/Guard.h"
#include "ui/RegionList.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>

namespace fl {

namespace {
const char* const kCaptions[4] = {"Region", "Country", "State/Prov", "District/County"};
}

QString PlaceBoxes::caption(int k) { return QString::fromLatin1(kCaptions[k]); }

PlaceBoxes::PlaceBoxes(Platform& platform, QWidget* parent)
    : QGroupBox(QStringLiteral("Location Details (Optional)"), parent), m_platform(platform)
{
    setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(this);
    for (int k = 0; k < 4; ++k) {
        box[k] = new QComboBox(this);
        box[k]->setObjectName(QStringLiteral("cmbPlace(%1)").arg(k));
        box[k]->setMinimumContentsLength(18);
        m_models[k] = new RegionListModel(this);
        setUpRegionBox(box[k], m_models[k]);
        clear[k] = new QToolButton(this);
        clear[k]->setObjectName(QStringLiteral("PicClear(%1)").arg(k));
        clear[k]->setIcon(style()->standardIcon(QStyle::SP_LineEditClearButton));
        const QString clearText = QStringLiteral("Clear %1").arg(caption(k));
        clear[k]->setToolTip(clearText);
        clear[k]->setAccessibleName(clearText);
        clear[k]->setAutoRaise(true);
        connectGuarded(clear[k], &QToolButton::clicked, this, platform, QStringLiteral("The place could not be cleared."),
                       [this, k] { clearPlace(k); });
        label[k] = new QLabel(caption(k), this);
        label[k]->setBuddy(box[k]);
        grid->addWidget(label[k], k, 0);
        grid->addWidget(box[k], k, 1);
        grid->addWidget(clear[k], k, 2);
        connectGuarded(box[k], &QComboBox::currentIndexChanged, this, platform,
                       QStringLiteral("The places could not be put in order."), [this, k] {
                           if (k == 1 || k == 2) orderPlaces();
                           emit placesChanged();
                       });
    }
    grid->setRowStretch(4, 1);
}

void PlaceBoxes::load(db::Database& db)
{
    for (int k = 0; k < 4; ++k) {
        QVector<RegionEntry> regions = placeRegions(db, k);
        if (regions.constData() == m_shown[k].constData() && regions.size() == m_shown[k].size()) continue; // as they were
        const QSignalBlocker quiet(box[k]);
        m_shown[k] = regions;
        m_models[k]->setRegions(std::move(regions), true);
    }
    choose({-1, -1, -1, -1});
}

void PlaceBoxes::preselect(int regId)
{
    std::array<int, 4> rows = {box[0]->count() > 0 ? 0 : -1, -1, -1, -1};
    if (regId > 0)
        for (int k = 0; k < 4; ++k) {
            const int row = m_models[k]->rowOfRegion(regId);
            if (row >= 0) rows[size_t(k)] = row;
        }
    choose(rows);
}

void PlaceBoxes::setPlaces(const std::array<int, 4>& ids, bool keepWhereNone)
{
    std::array<int, 4> rows{};
    for (int k = 0; k < 4; ++k) {
        rows[size_t(k)] = ids[size_t(k)] > 0 ? m_models[k]->rowOfRegion(ids[size_t(k)]) : -1;
        if (rows[size_t(k)] < 0 && keepWhereNone) rows[size_t(k)] = box[k]->currentIndex();
    }
    choose(rows);
}

void PlaceBoxes::choose(const std::array<int, 4>& rows)
{
    // The boxes are set quietly, then ordered once and told once: setting them one by one
    // would put the county list in order for each box on the way.
    bool changed = false;
    for (int k = 0; k < 4; ++k) {
        const QSignalBlocker quiet(box[k]);
        const int row = rows[size_t(k)];
        changed = changed || box[k]->currentIndex() != row;
        box[k]->setCurrentIndex(row);
        if (row < 0) box[k]->clearEditText();
    }
    orderPlaces();
    if (changed) emit placesChanged();
}

std::array<int, 4> PlaceBoxes::places() const
{
    std::array<int, 4> ids{};
    for (int k = 0; k < 4; ++k)
        ids[size_t(k)] = box[k]->currentText().trimmed().isEmpty() ? 0 : box[k]->currentData().toInt();
    return ids;
}

QString PlaceBoxes::code(int k) const { return box[k]->currentData(RegionListModel::CodeRole).toString(); }

void PlaceBoxes::clearPlace(int k)
{
    box[k]->setCurrentIndex(-1);
    box[k]->clearEditText();
    box[k]->setFocus();
}

bool PlaceBoxes::acceptTyped()
{
    for (int k = 0; k < 4; ++k) {
        if (selectTypedRegion(box[k])) continue;
        m_platform.messageBox(QStringLiteral("There is no %1 named \"%2\" in the list. Choose one from the list, or "
                                             "clear the box.")
                                  .arg(caption(k), box[k]->currentText().trimmed()),
                              QStringLiteral("Unknown Place"), Platform::Buttons::Ok, Platform::Icon::Exclamation);
        box[k]->setFocus();
        return false;
    }
    return true;
}

void PlaceBoxes::orderPlaces()
{
    const QString country = code(1);
    const QString state = code(2);
    m_models[2]->setFirstUnder(country);
    m_models[3]->setFirstUnder(state.isEmpty() ? country : state);
}

} // namespace fl
