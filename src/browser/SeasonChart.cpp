#include "SeasonChart.h"

#include <QPainter>
#include <QPaintEvent>

namespace fl {

namespace {
const QColor kBar(0x2e, 0x8b, 0x3e);     // the weeks when the species is there
const QColor kTrack(0xdd, 0xdd, 0xdd);   // the line of the year under them
const QColor kMark(0x1f, 0x4e, 0x9c);    // a week with the user's records
const QColor kMonthLine(0xbb, 0xbb, 0xbb);
} // namespace

SeasonChart::SeasonChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("chtSeasons"));
    setAccessibleName(QStringLiteral("Seasonal chart"));
    setFocusPolicy(Qt::TabFocus); // screen readers reach its description
    clear();
}

void SeasonChart::clear()
{
    m_weeks.fill(codes::Abundance::None);
    m_records.fill(0);
    setAccessibleDescription({});
    setToolTip({});
    update();
}

void SeasonChart::setEntry(const QVariant& status, const QVariant& scode, const QList<QDate>& sightings, bool region)
{
    if (region) m_weeks = codes::weeklyAbundance(status, scode);
    else m_weeks.fill(codes::Abundance::None);
    m_records.fill(0);
    for (const QDate& d : sightings)
        if (const int w = codes::weekOfDate(d); w >= 0) ++m_records[size_t(w)];
    const QString text = codes::chartText(status, scode, sightings, region);
    setAccessibleDescription(text);
    setToolTip(text);
    update();
}

QList<int> SeasonChart::markedWeeks() const
{
    QList<int> weeks;
    for (int w = 0; w < codes::kWeeks; ++w)
        if (m_records[size_t(w)] > 0) weeks << w;
    return weeks;
}

int SeasonChart::barThickness(codes::Abundance level, int full)
{
    // None, very rare, rare, present, uncommon, common, abundant.
    static const int share[] = {0, 12, 25, 40, 55, 75, 100};
    const int i = int(level);
    if (i <= 0) return 0;
    return std::max(1, full * share[std::min(i, 6)] / 100);
}

QSize SeasonChart::sizeHint() const { return {48 * 6, fontMetrics().height() + 24}; }
QSize SeasonChart::minimumSizeHint() const { return {48 * 3, fontMetrics().height() + 18}; }

void SeasonChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QFontMetrics fm = fontMetrics();
    const int labelHeight = fm.height();
    const int markHeight = 5;
    const QRect chart(0, markHeight + 1, width(), height() - labelHeight - markHeight - 2);
    if (chart.height() < 2 || chart.width() < codes::kWeeks) return;
    const int full = chart.height();
    const int mid = chart.top() + chart.height() / 2;
    auto weekLeft = [&](int w) { return chart.left() + chart.width() * w / codes::kWeeks; };

    // The year, its months and their initials.
    p.fillRect(QRect(chart.left(), mid, chart.width(), 1), kTrack);
    p.setPen(kMonthLine);
    for (int m = 1; m < 12; ++m) p.drawLine(weekLeft(m * 4), chart.top(), weekLeft(m * 4), chart.bottom());
    p.setPen(palette().color(QPalette::WindowText));
    for (int m = 0; m < 12; ++m) {
        const QRect month(weekLeft(m * 4), chart.bottom() + 1, weekLeft(m * 4 + 4) - weekLeft(m * 4), labelHeight);
        p.drawText(month, Qt::AlignCenter, codes::monthAbbreviation(m + 1).left(1));
    }

    // The bars, a gap of one pixel between weeks when there is room, and the marks.
    for (int w = 0; w < codes::kWeeks; ++w) {
        const int left = weekLeft(w);
        const int right = weekLeft(w + 1);
        const int gap = right - left > 3 ? 1 : 0;
        const int thick = barThickness(m_weeks[size_t(w)], full);
        if (thick > 0) p.fillRect(QRect(left, mid - thick / 2, right - left - gap, std::max(thick, 1)), kBar);
        if (m_records[size_t(w)] > 0) {
            const int centre = (left + right) / 2;
            const QPoint tri[3] = {{centre - 3, 0}, {centre + 3, 0}, {centre, markHeight}};
            p.setPen(Qt::NoPen);
            p.setBrush(kMark);
            p.drawPolygon(tri, 3);
        }
    }
}

} // namespace fl
