#include "ReportPrinter.h"

#include "platform/Paper.h"
#include "records/SafeTargets.h"

#include <QBuffer>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextLayout>
#include <algorithm>
#include <numeric>
#include <optional>

namespace fl {

namespace {

using report::ColumnDef;

constexpr double kRowPoints = 8;      // the rows' normal type size
constexpr double kMinRowScale = 0.8;  // rows are never set smaller than 6.4 points
constexpr int kMaxCellLines = 8;      // a longer text ends with an ellipsis on its last line
constexpr int kMaxTitleLines = 3;
// A title that needs more lines is set smaller, down to the last of these sizes.
constexpr double kTitlePoints[] = {16, 13, 11};

// The report's fonts and their measures on one device; `rowScale` sizes the rows' type.
struct Fonts {
    QFont header, title, heading, row, mono, italic, bold;
    double mm = 1;           // device pixels per millimetre
    double rowStep = 0;      // baseline to baseline of two rows
    double headingStep = 0;  // the same for a heading, with its space above
    double headerHeight = 0; // the page header band, rule included
    double footerHeight = 0;
    double cellGap = 0;      // between two cells of a row

    Fonts(QPaintDevice& device, double rowScale)
    {
        // Without ligatures, so that "Bufflehead" is found and copied from the PDF as printed.
        QFont base = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        base.setStyleStrategy(QFont::PreferNoShaping);
        auto sized = [&](double points, bool boldFace = false, bool italicFace = false) {
            QFont f(base);
            f.setPointSizeF(points);
            f.setBold(boldFace);
            f.setItalic(italicFace);
            return f;
        };
        const double rowPoints = kRowPoints * rowScale;
        header = sized(8.5);
        title = sized(kTitlePoints[0], true);
        heading = sized(9.5, true);
        row = sized(rowPoints);
        italic = sized(rowPoints, false, true);
        bold = sized(rowPoints, true);
        mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        mono.setStyleStrategy(QFont::PreferNoShaping);
        mono.setPointSizeF(rowPoints);
        mm = device.logicalDpiY() / 25.4;
        rowStep = QFontMetricsF(row, &device).lineSpacing() * 1.12;
        headingStep = QFontMetricsF(heading, &device).lineSpacing() + 0.6 * rowStep + 1.2 * mm;
        headerHeight = QFontMetricsF(header, &device).lineSpacing() + 3 * mm;
        footerHeight = headerHeight;
        cellGap = 2 * mm;
    }

    const QFont& cellFont(ColumnDef::Style s) const
    {
        switch (s) {
        case ColumnDef::Style::Mono: return mono;
        case ColumnDef::Style::Italic: return italic;
        case ColumnDef::Style::Bold: return bold;
        case ColumnDef::Style::Plain: break;
        }
        return row;
    }
};

QSizeF printableSize(QPagedPaintDevice& device)
{
    return device.pageLayout().paintRectPixels(device.logicalDpiX()).size();
}

double sum(const QList<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0); }

// The lines of `text` within `width`, broken between words where it can be and anywhere in a
// word that is longer than the line; at most `maxLines`, the last one shortened with an
// ellipsis when the text goes on.
QStringList wrapText(const QString& text, const QFont& font, QPaintDevice& device, double width, int maxLines)
{
    QTextLayout layout(text, font, &device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) break;
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    if (lines.isEmpty()) lines << QString();
    if (lines.size() > maxLines) {
        QStringList rest = lines.mid(maxLines - 1);
        lines = lines.mid(0, maxLines - 1);
        lines << QFontMetricsF(font, &device).elidedText(rest.join(u' '), Qt::ElideRight, width);
    }
    return lines;
}

} // namespace

ReportPrinter::ReportPrinter(report::BuiltReport content, QString database, Platform* platform)
    : m_r(std::move(content)), m_database(std::move(database)), m_platform(platform)
{
}

namespace {

// How the rows are set: in how many lists, at what type size, with which column widths.
struct Fit {
    int lists = 1;
    double listWidth = 0;
    double scale = 1;
    QList<double> widths;
    bool wraps = false; // some texts are longer than their column
};

// The widest text of each column at a type size, with the gap after it.
QList<double> widestTexts(const report::BuiltReport& r, QPaintDevice& device, double scale)
{
    const Fonts f(device, scale);
    const int n = static_cast<int>(r.columns.size());
    QList<QFontMetricsF> metrics;
    for (const ColumnDef& c : r.columns) metrics.append(QFontMetricsF(f.cellFont(c.style), &device));
    QList<double> want(n, 0.0);
    for (const auto& g : r.groups)
        for (const auto& row : g.rows)
            for (int c = 0; c < n && c < row.cells.size(); ++c)
                if (!row.cells[c].isEmpty()) want[c] = std::max(want[c], metrics[c].horizontalAdvance(row.cells[c]));
    for (double& w : want) w += f.cellGap;
    return want;
}

// Widths for columns that need `want` on a line of `width`: a column of short texts, and every
// column whose texts fit its share (by the definition's weights), gets what it needs; what is
// left is shared by the others in proportion to their weights. Any room to spare goes to all
// in that proportion.
QList<double> shareOut(const QList<ColumnDef>& columns, const QList<double>& want, double width)
{
    const int n = static_cast<int>(columns.size());
    QList<double> out(n, 0.0);
    QList<bool> fixed(n, false);
    double rest = width;
    // A column of short texts (a tick box, a date) always gets what it needs.
    for (int c = 0; c < n; ++c) {
        if (want[c] <= width / 4) {
            out[c] = want[c];
            fixed[c] = true;
            rest -= want[c];
        }
    }
    for (bool changed = true; changed;) {
        changed = false;
        double weights = 0;
        for (int c = 0; c < n; ++c)
            if (!fixed[c]) weights += std::max(columns[c].weight, 1e-9);
        for (int c = 0; c < n && weights > 0; ++c) {
            if (fixed[c]) continue;
            if (want[c] <= rest * std::max(columns[c].weight, 1e-9) / weights) {
                out[c] = want[c];
                fixed[c] = true;
                rest -= want[c];
                changed = true;
            }
        }
    }
    double weights = 0;
    for (int c = 0; c < n; ++c) weights += std::max(columns[c].weight, 1e-9);
    double unfixedWeights = 0;
    for (int c = 0; c < n; ++c)
        if (!fixed[c]) unfixedWeights += std::max(columns[c].weight, 1e-9);
    for (int c = 0; c < n; ++c) {
        const double w = std::max(columns[c].weight, 1e-9);
        if (unfixedWeights > 0) {
            if (!fixed[c]) out[c] = rest * w / unfixedWeights;
        } else {
            out[c] += rest * w / weights; // everything fits: spread what is left
        }
    }
    return out;
}

// The rows with a text wider than its column.
int rowsThatWrap(const report::BuiltReport& r, QPaintDevice& device, double scale, const QList<double>& widths)
{
    const Fonts f(device, scale);
    QList<QFontMetricsF> metrics;
    for (const ColumnDef& c : r.columns) metrics.append(QFontMetricsF(f.cellFont(c.style), &device));
    int count = 0;
    for (const auto& g : r.groups)
        for (const auto& row : g.rows)
            for (int c = 0; c < metrics.size() && c < row.cells.size(); ++c)
                if (metrics[c].horizontalAdvance(row.cells[c]) > widths[c] - f.cellGap) {
                    ++count;
                    break;
                }
    return count;
}

// The first that works of: two lists (when the page is wide enough for them) with every text
// in its column, at the normal type size or smaller down to the limit; two lists at the
// smallest type with a few long texts (2 in 100 rows at most) wrapping; one list with every
// text in its column; one list with the long texts wrapping.
Fit chooseFit(const report::BuiltReport& r, QPaintDevice& device, QSizeF page)
{
    const double mm = device.logicalDpiY() / 25.4;
    const double gutter = 8 * mm;
    const double listMin = r.listWidthMm * mm;
    const double gaps = Fonts(device, 1).cellGap * r.columns.size();
    const QList<double> full = widestTexts(r, device, 1);
    int rows = 0;
    for (const auto& g : r.groups) rows += int(g.rows.size());

    auto fitting = [&](int lists) -> std::optional<Fit> {
        const double width = (page.width() - gutter * (lists - 1)) / lists;
        if (sum(full) <= width) return Fit{lists, width, 1, shareOut(r.columns, full, width), false};
        // Type a little smaller, measured again at that size; the texts shrink with the type,
        // the gaps do not.
        double scale = std::max(kMinRowScale, (width - gaps) / std::max(1.0, sum(full) - gaps));
        for (int attempt = 0; attempt < 4; ++attempt) {
            const QList<double> want = widestTexts(r, device, scale);
            if (sum(want) <= width) return Fit{lists, width, scale, shareOut(r.columns, want, width), false};
            if (scale <= kMinRowScale) break;
            scale = std::max(kMinRowScale, scale * 0.98);
        }
        return std::nullopt;
    };

    if (listMin > 0 && page.width() >= 2 * listMin + gutter) {
        if (auto fit = fitting(2)) return *fit;
        const double width = (page.width() - gutter) / 2;
        const QList<double> want = widestTexts(r, device, kMinRowScale);
        const QList<double> widths = shareOut(r.columns, want, width);
        if (rowsThatWrap(r, device, kMinRowScale, widths) * 50 <= rows) return {2, width, kMinRowScale, widths, true};
    }
    if (auto fit = fitting(1)) return *fit;
    return {1, page.width(), 1, shareOut(r.columns, full, page.width()), true};
}

} // namespace

namespace {

ReportPrinter::Item placed(ReportPrinter::Item::Kind kind, QPointF at, double width, int group = -1, int row = -1)
{
    ReportPrinter::Item item;
    item.kind = kind;
    item.at = at;
    item.width = width;
    item.group = group;
    item.row = row;
    return item;
}

} // namespace

ReportPrinter::Layout ReportPrinter::layout(QPaintDevice& device, QSizeF page) const
{
    const Fit fit = chooseFit(m_r, device, page);
    const Fonts f(device, fit.scale);
    Layout out;
    out.lists = fit.lists;
    out.listWidth = fit.listWidth;
    out.rowScale = fit.scale;
    out.widths = fit.widths;
    out.rowStep = f.rowStep;

    // The title, wrapped to the page, in smaller type when it needs too many lines.
    QFont titleFont = f.title;
    for (double points : kTitlePoints) {
        titleFont.setPointSizeF(points);
        out.titlePoints = points;
        out.title = wrapText(m_r.title, titleFont, device, page.width(), 1000);
        if (out.title.size() <= kMaxTitleLines) break;
    }
    if (out.title.size() > kMaxTitleLines) out.title = wrapText(m_r.title, titleFont, device, page.width(), kMaxTitleLines);
    const QFontMetricsF titleM(titleFont, &device);
    const double titleHeight = out.title.size() * titleM.lineSpacing() + 4 * f.mm;

    // The lines of each row: one, unless one of its texts is wider than its column.
    const int columns = static_cast<int>(m_r.columns.size());
    auto rowLines = [&](int g, int r) {
        const QPair<int, int> key(g, r);
        const auto it = out.wrapped.constFind(key);
        if (it == out.wrapped.constEnd()) return 1;
        int lines = 1;
        for (const QStringList& cell : *it) lines = std::max(lines, int(cell.size()));
        return lines;
    };
    if (fit.wraps) {
        QList<QFontMetricsF> metrics;
        for (const ColumnDef& c : m_r.columns) metrics.append(QFontMetricsF(f.cellFont(c.style), &device));
        for (int g = 0; g < m_r.groups.size(); ++g) {
            const auto& rows = m_r.groups[g].rows;
            for (int r = 0; r < rows.size(); ++r) {
                const QStringList& cells = rows[r].cells;
                bool wraps = false;
                for (int c = 0; c < columns && c < cells.size(); ++c)
                    if (metrics[c].horizontalAdvance(cells[c]) > fit.widths[c] - f.cellGap) wraps = true;
                if (!wraps) continue;
                QList<QStringList> lines;
                for (int c = 0; c < columns && c < cells.size(); ++c)
                    lines << (metrics[c].horizontalAdvance(cells[c]) > fit.widths[c] - f.cellGap
                                  ? wrapText(cells[c], f.cellFont(m_r.columns[c].style), device,
                                             fit.widths[c] - f.cellGap, kMaxCellLines)
                                  : QStringList{cells[c]});
                out.wrapped.insert(QPair<int, int>(g, r), lines);
            }
        }
    }

    const double gutter = 8 * f.mm;
    const double listWidth = fit.listWidth;
    const double bodyTop = f.headerHeight;
    const double bodyBottom = std::max(bodyTop + titleHeight + 3 * f.headingStep, page.height() - f.footerHeight);
    out.bodyBottom = bodyBottom;
    const double rowAscent = QFontMetricsF(f.row, &device).ascent();
    const double headingAscent = QFontMetricsF(f.heading, &device).ascent();

    out.pages.append(Page{});
    Item title = placed(Item::Kind::Title, {0, bodyTop + titleM.ascent() + f.mm}, page.width());
    title.lines = static_cast<int>(out.title.size());
    out.pages.last().items.append(title);
    int list = 0;
    // Every list of the first page starts below the title.
    const double firstTop = bodyTop + titleHeight;
    const double top = bodyTop + 0.5 * f.mm;
    double y = firstTop;
    bool atListTop = true;
    auto next = [&] {
        atListTop = true;
        if (++list >= out.lists) {
            list = 0;
            out.pages.append(Page{});
        }
        y = out.pages.size() == 1 ? firstTop : top;
    };
    auto x = [&] { return list * (listWidth + gutter); };
    // A heading too long for its list (a long family name, continued) wraps.
    const QFontMetricsF headingM(f.heading, &device);
    auto headingText = [&](int g, bool continued) {
        const QString t = m_r.groups[g].heading + (continued ? QStringLiteral(" (continued)") : QString());
        return headingM.horizontalAdvance(t) <= listWidth ? QStringList{t}
                                                          : wrapText(t, f.heading, device, listWidth, kMaxTitleLines);
    };
    auto headingHeight = [&](const QStringList& lines) {
        return (atListTop ? f.headingStep - 0.6 * f.rowStep : f.headingStep) + (lines.size() - 1) * headingM.lineSpacing();
    };
    auto heading = [&](int g, bool continued) {
        const double space = atListTop ? 0 : 0.6 * f.rowStep;
        const QStringList lines = headingText(g, continued);
        const double height = headingHeight(lines);
        atListTop = false;
        Item item = placed(Item::Kind::Heading, {x(), y + space + headingAscent + 0.4 * f.mm}, listWidth, g);
        item.continued = continued;
        item.lines = static_cast<int>(lines.size());
        item.text = lines;
        out.pages.last().items.append(item);
        y += height;
    };
    for (int g = 0; g < m_r.groups.size(); ++g) {
        const auto& rows = m_r.groups[g].rows;
        // A heading stays with its first row.
        const double first = rows.isEmpty() ? 0 : rowLines(g, 0) * f.rowStep;
        if (!atListTop && y + headingHeight(headingText(g, false)) + first > bodyBottom) next();
        heading(g, false);
        for (int r = 0; r < rows.size(); ++r) {
            const int lines = rowLines(g, r);
            const double height = lines * f.rowStep;
            if (y + height > bodyBottom) {
                next();
                heading(g, true);
            }
            Item row = placed(Item::Kind::Row, {x(), y + rowAscent}, listWidth, g, r);
            row.lines = lines;
            out.pages.last().items.append(row);
            atListTop = false;
            y += height;
        }
    }
    if (!atListTop && y + 2 * f.rowStep > bodyBottom) next();
    out.pages.last().items.append(placed(Item::Kind::Summary, {x(), y + f.rowStep + rowAscent}, listWidth));
    return out;
}

bool ReportPrinter::paint(QPagedPaintDevice& device)
{
    const QSizeF page = printableSize(device);
    const Layout lay = layout(device, page);
    QPainter p;
    if (!p.begin(&device)) return false;
    const Fonts f(device, lay.rowScale);
    const int pages = static_cast<int>(lay.pages.size());

    const int columns = static_cast<int>(m_r.columns.size());
    QList<QFontMetricsF> metrics;
    for (const ColumnDef& c : m_r.columns) metrics.append(QFontMetricsF(f.cellFont(c.style), &device));

    const QFontMetricsF headerM(f.header, &device);
    QFont titleFont = f.title;
    titleFont.setPointSizeF(lay.titlePoints);
    const QFontMetricsF titleM(titleFont, &device);
    const QFontMetricsF headingM(f.heading, &device);
    const QPen rule(Qt::black, 0.25 * f.mm);
    const QPen thin(Qt::darkGray, 0.15 * f.mm);

    for (int pi = 0; pi < pages; ++pi) {
        if (pi > 0 && !device.newPage()) return false;
        // Page header and footer. The date keeps its place at the right; the region's name
        // gives way to it.
        p.setPen(Qt::black);
        p.setFont(f.header);
        const double hb = headerM.ascent();
        const QString right = headerM.elidedText(m_r.headerRight(pi + 1, pages), Qt::ElideRight, 0.45 * page.width());
        const double rightWidth = headerM.horizontalAdvance(right);
        const double leftRoom = page.width() - rightWidth - (right.isEmpty() ? 0 : 4 * f.mm);
        p.drawText(QPointF(0, hb), headerM.elidedText(m_r.headerLeft(pi + 1, pages), Qt::ElideRight, leftRoom));
        p.drawText(QPointF(page.width() - rightWidth, hb), right);
        p.setPen(rule);
        p.drawLine(QPointF(0, headerM.lineSpacing() + f.mm), QPointF(page.width(), headerM.lineSpacing() + f.mm));
        const double footTop = page.height() - f.footerHeight + f.mm;
        p.drawLine(QPointF(0, footTop), QPointF(page.width(), footTop));
        p.setPen(Qt::black);
        const QString foot = headerM.elidedText(m_r.footer(pi + 1, pages), Qt::ElideRight, page.width());
        p.drawText(QPointF((page.width() - headerM.horizontalAdvance(foot)) / 2, footTop + f.mm + hb), foot);

        for (const Item& it : lay.pages[pi].items) {
            switch (it.kind) {
            case Item::Kind::Title: {
                p.setFont(titleFont);
                double baseline = it.at.y();
                for (const QString& line : lay.title) {
                    p.drawText(QPointF((it.width - titleM.horizontalAdvance(line)) / 2, baseline), line);
                    baseline += titleM.lineSpacing();
                }
                break;
            }
            case Item::Kind::Heading: {
                p.setFont(f.heading);
                double baseline = it.at.y();
                for (const QString& line : it.text) {
                    p.drawText(QPointF(it.at.x(), baseline), headingM.elidedText(line, Qt::ElideRight, it.width));
                    baseline += headingM.lineSpacing();
                }
                p.setPen(thin);
                const double under = baseline - headingM.lineSpacing() + headingM.descent() + 0.4 * f.mm;
                p.drawLine(QPointF(it.at.x(), under), QPointF(it.at.x() + it.width, under));
                p.setPen(Qt::black);
                break;
            }
            case Item::Kind::Row: {
                const auto& cells = m_r.groups[it.group].rows[it.row].cells;
                const auto wrapped = lay.wrapped.constFind(QPair<int, int>(it.group, it.row));
                double cx = it.at.x();
                for (int c = 0; c < columns && c < cells.size(); ++c) {
                    const double w = lay.widths[c];
                    const double room = w - f.cellGap;
                    const QFontMetricsF& m = metrics[c];
                    p.setFont(f.cellFont(m_r.columns[c].style));
                    const QStringList lines = wrapped != lay.wrapped.constEnd() ? wrapped->at(c)
                                                                               : QStringList{cells[c]};
                    double baseline = it.at.y();
                    for (const QString& line : lines) {
                        // A text wider than its column only by rounding is shortened, never
                        // drawn over the next one.
                        const QString text = m.horizontalAdvance(line) <= room ? line : m.elidedText(line, Qt::ElideRight, room);
                        const double adv = m.horizontalAdvance(text);
                        if (!text.isEmpty())
                            p.drawText(QPointF(m_r.columns[c].alignRight ? cx + room - adv : cx, baseline), text);
                        baseline += lay.rowStep;
                    }
                    cx += w;
                }
                break;
            }
            case Item::Kind::Summary:
                p.setFont(f.bold);
                p.drawText(it.at, m_r.summary);
                break;
            }
        }
    }
    return p.end();
}

QString ReportPrinter::refusal(const QString& path) const
{
    if (m_database.isEmpty()) return {};
    const QString why = refusedTarget(path, m_database, TargetUse::Export);
    if (!why.isEmpty() && m_platform)
        m_platform->messageBox(why, QStringLiteral("Save Report"), Platform::Buttons::Ok, Platform::Icon::Exclamation);
    return why;
}

bool ReportPrinter::print(QPrinter* printer)
{
    if (!printer) return false;
    const QString target = printer->outputFormat() == QPrinter::PdfFormat ? printer->outputFileName() : QString();
    if (target.isEmpty()) return paint(*printer);
    // Printed to a PDF file the user named: refused where writing would destroy the user's
    // data, and written beside the name first, so that a failure leaves no half-written file.
    if (!refusal(target).isEmpty()) return false;
    QTemporaryFile partial(target + QStringLiteral(".partial-XXXXXX"));
    if (!partial.open()) return false;
    partial.close();
    printer->setOutputFileName(partial.fileName());
    const bool painted = paint(*printer);
    printer->setOutputFileName(target);
    if (!painted || QFileInfo(partial.fileName()).size() == 0) return false;
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(partial.fileName()).toStdString(), QFile::encodeName(target).toStdString(), ec);
    if (!ec) partial.setAutoRemove(false);
    return !ec;
}

namespace {

void setUpPdf(QPdfWriter& w, const QString& title)
{
    w.setResolution(300);
    w.setPageLayout(QPageLayout(defaultReportPaper(), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                QPageLayout::Millimeter));
    w.setTitle(title);
    w.setCreator(QStringLiteral("Featherlog"));
}

} // namespace

bool ReportPrinter::writePdf(const QString& path)
{
    if (!refusal(path).isEmpty()) return false;
    // Written beside the name and put in place when complete.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    bool painted = false;
    {
        QPdfWriter w(&out);
        setUpPdf(w, m_r.title);
        painted = paint(w);
    }
    if (!painted) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

QString ReportPrinter::plainText()
{
    QBuffer sink;
    QPdfWriter w(&sink);
    setUpPdf(w, m_r.title);
    const Layout lay = layout(w, printableSize(w));
    const int pages = static_cast<int>(lay.pages.size());
    QStringList lines;
    for (int pi = 0; pi < pages; ++pi) {
        if (pi > 0) lines << QStringLiteral("\f");
        lines << m_r.headerLeft(pi + 1, pages) + QStringLiteral("    ") + m_r.headerRight(pi + 1, pages);
        for (const Item& it : lay.pages[pi].items) {
            switch (it.kind) {
            case Item::Kind::Title: lines << m_r.title; break;
            case Item::Kind::Heading:
                lines << m_r.groups[it.group].heading + (it.continued ? QStringLiteral(" (continued)") : QString());
                break;
            case Item::Kind::Row: lines << m_r.groups[it.group].rows[it.row].cells.join(QStringLiteral("  ")); break;
            case Item::Kind::Summary: lines << m_r.summary; break;
            }
        }
        lines << m_r.footer(pi + 1, pages);
    }
    return lines.join(u'\n');
}

} // namespace fl
