#pragma once

#include "status/Seasons.h"

#include <QDate>
#include <QList>
#include <QWidget>

namespace fl {

// A year of a species in a region as a bar chart, eBird style: 48 weekly bars (four to a
// month) whose thickness shows how common the species is then, from its checklist entry's
// codes, and above them a mark on each week in which the user recorded it there. Its
// accessible description (and tool tip) says the same in words (codes::chartText()).
class SeasonChart : public QWidget {
    Q_OBJECT
public:
    explicit SeasonChart(QWidget* parent = nullptr);

    // Shows the weeks of a checklist entry (its status and detail code; `region` false when
    // no region is chosen, which leaves the bars empty) and the dates of the user's records.
    void setEntry(const QVariant& status, const QVariant& scode, const QList<QDate>& sightings, bool region);
    void clear();

    const codes::WeeklyAbundance& weeks() const { return m_weeks; }
    // The weeks (0 to 47) with at least one record.
    QList<int> markedWeeks() const;
    QString text() const { return accessibleDescription(); }

    // The thickness of a bar at `level`, in pixels, for a chart whose bars may be `full`
    // pixels thick: 0 for none, then growing with each level up to `full` for abundant.
    static int barThickness(codes::Abundance level, int full);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    codes::WeeklyAbundance m_weeks{};
    std::array<int, codes::kWeeks> m_records{}; // records per week
};

} // namespace fl
