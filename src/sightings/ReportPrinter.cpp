#include "ReportPrinter.h"

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

namespace fl {

namespace {

using report::ColumnDef;

// The report's fonts and their measures on one device.
struct Fonts {
    QFont header, title, heading, row, mono, italic, bold;
    double mm = 1;           // device pixels per millimetre
    double rowStep = 0;      // baseline to baseline of two rows
    double headingStep = 0;  // the same for a heading, with its space above
    double headerHeight = 0; // the page header band, rule included
    double footerHeight = 0;
    double titleHeight = 0;  // the title block of the first page
    double cellGap = 0;      // between two cells of a row

    explicit Fonts(QPaintDevice& device)
    {
        const QFont base = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        auto sized = [&](double points, bool boldFace = false, bool italicFace = false) {
            QFont f(base);
            f.setPointSizeF(points);
            f.setBold(boldFace);
            f.setItalic(italicFace);
            return f;
        };
        header = sized(8.5);
        title = sized(16, true);
        heading = sized(9.5, true);
        row = sized(8);
        italic = sized(8, false, true);
        bold = sized(8, true);
        mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        mono.setPointSizeF(8);
        mm = device.logicalDpiY() / 25.4;
        const QFontMetricsF rowM(row, &device);
        rowStep = rowM.lineSpacing() * 1.12;
        headingStep = QFontMetricsF(heading, &device).lineSpacing() + 0.6 * rowStep + 1.2 * mm;
        headerHeight = QFontMetricsF(header, &device).lineSpacing() + 3 * mm;
        footerHeight = headerHeight;
        titleHeight = QFontMetricsF(title, &device).lineSpacing() + 4 * mm;
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

} // namespace

ReportPrinter::ReportPrinter(report::BuiltReport content, QString database, Platform* platform)
    : m_r(std::move(content)), m_database(std::move(database)), m_platform(platform)
{
}

QList<double> ReportPrinter::columnWidths(const QList<QFontMetricsF>& metrics, double listWidth, double gap) const
{
    // Each column gets its share of the line, but a column whose texts are all short (a tick
    // box, a date) is widened to its widest text, at the expense of the others in proportion.
    const int n = static_cast<int>(m_r.columns.size());
    double total = 0;
    for (const ColumnDef& c : m_r.columns) total += c.weight;
    QList<double> share(n), want(n, 0.0);
    for (int c = 0; c < n; ++c) share[c] = listWidth * m_r.columns[c].weight / total;
    for (const auto& g : m_r.groups)
        for (const auto& row : g.rows)
            for (int c = 0; c < n && c < row.cells.size(); ++c)
                if (!row.cells[c].isEmpty()) want[c] = std::max(want[c], metrics[c].horizontalAdvance(row.cells[c]) + gap);
    double extra = 0, rest = 0;
    for (int c = 0; c < n; ++c) {
        if (want[c] > share[c] && want[c] <= listWidth / 4) extra += want[c] - share[c];
        else rest += share[c];
    }
    if (extra <= 0 || rest <= 0) return share;
    const double keep = std::max(0.5, (rest - extra) / rest);
    QList<double> out(n);
    for (int c = 0; c < n; ++c)
        out[c] = (want[c] > share[c] && want[c] <= listWidth / 4) ? want[c] : share[c] * keep;
    return out;
}

ReportPrinter::Layout ReportPrinter::layout(QPaintDevice& device, QSizeF page) const
{
    const Fonts f(device);
    Layout out;
    const double gutter = 8 * f.mm;
    const double listMin = m_r.listWidthMm * f.mm;
    out.lists = (listMin > 0 && page.width() >= 2 * listMin + gutter) ? 2 : 1;
    const double listWidth = (page.width() - gutter * (out.lists - 1)) / out.lists;
    out.listWidth = listWidth;
    const double bodyTop = f.headerHeight;
    const double bodyBottom = std::max(bodyTop + 3 * f.headingStep, page.height() - f.footerHeight);
    const double rowAscent = QFontMetricsF(f.row, &device).ascent();
    const double headingAscent = QFontMetricsF(f.heading, &device).ascent();

    out.pages.append(Page{});
    out.pages.last().items.append(Item{Item::Kind::Title, {0, bodyTop + QFontMetricsF(f.title, &device).ascent() + f.mm}, page.width()});
    int list = 0;
    // Every list of the first page starts below the title.
    const double firstTop = bodyTop + f.titleHeight;
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
    auto heading = [&](int g, bool continued) {
        const double space = atListTop ? 0 : 0.6 * f.rowStep;
        atListTop = false;
        out.pages.last().items.append(Item{Item::Kind::Heading, {x(), y + space + headingAscent + 0.4 * f.mm}, listWidth, g, -1, continued});
        y += space + f.headingStep - 0.6 * f.rowStep;
    };
    for (int g = 0; g < m_r.groups.size(); ++g) {
        const auto& rows = m_r.groups[g].rows;
        // A heading stays with its first row.
        if (y + f.headingStep + f.rowStep > bodyBottom) next();
        heading(g, false);
        for (int r = 0; r < rows.size(); ++r) {
            if (y + f.rowStep > bodyBottom) {
                next();
                heading(g, true);
            }
            out.pages.last().items.append(Item{Item::Kind::Row, {x(), y + rowAscent}, listWidth, g, r});
            atListTop = false;
            y += f.rowStep;
        }
    }
    if (y + 2 * f.rowStep > bodyBottom) next();
    out.pages.last().items.append(Item{Item::Kind::Summary, {x(), y + f.rowStep + rowAscent}, listWidth});
    return out;
}

bool ReportPrinter::paint(QPagedPaintDevice& device)
{
    const QSizeF page = printableSize(device);
    const Layout lay = layout(device, page);
    QPainter p;
    if (!p.begin(&device)) return false;
    const Fonts f(device);
    const int pages = static_cast<int>(lay.pages.size());

    // Column widths within a list, the same for every row.
    const int columns = static_cast<int>(m_r.columns.size());
    QList<QFontMetricsF> metrics;
    for (const ColumnDef& c : m_r.columns) metrics.append(QFontMetricsF(f.cellFont(c.style), &device));
    const QList<double> widths = columnWidths(metrics, lay.listWidth, f.cellGap);

    const QFontMetricsF headerM(f.header, &device);
    const QFontMetricsF titleM(f.title, &device);
    const QFontMetricsF headingM(f.heading, &device);
    const QPen rule(Qt::black, 0.25 * f.mm);
    const QPen thin(Qt::darkGray, 0.15 * f.mm);

    for (int pi = 0; pi < pages; ++pi) {
        if (pi > 0 && !device.newPage()) return false;
        // Page header and footer.
        p.setPen(Qt::black);
        p.setFont(f.header);
        const double hb = headerM.ascent();
        p.drawText(QPointF(0, hb), m_r.headerLeft(pi + 1, pages));
        const QString right = m_r.headerRight(pi + 1, pages);
        p.drawText(QPointF(page.width() - headerM.horizontalAdvance(right), hb), right);
        p.setPen(rule);
        p.drawLine(QPointF(0, headerM.lineSpacing() + f.mm), QPointF(page.width(), headerM.lineSpacing() + f.mm));
        const double footTop = page.height() - f.footerHeight + f.mm;
        p.drawLine(QPointF(0, footTop), QPointF(page.width(), footTop));
        p.setPen(Qt::black);
        const QString foot = m_r.footer(pi + 1, pages);
        p.drawText(QPointF((page.width() - headerM.horizontalAdvance(foot)) / 2, footTop + f.mm + hb), foot);

        for (const Item& it : lay.pages[pi].items) {
            switch (it.kind) {
            case Item::Kind::Title: {
                p.setFont(f.title);
                const QString t = titleM.elidedText(m_r.title, Qt::ElideRight, it.width);
                p.drawText(QPointF((it.width - titleM.horizontalAdvance(t)) / 2, it.at.y()), t);
                break;
            }
            case Item::Kind::Heading: {
                p.setFont(f.heading);
                QString t = m_r.groups[it.group].heading;
                if (it.continued) t += QStringLiteral(" (continued)");
                p.drawText(it.at, headingM.elidedText(t, Qt::ElideRight, it.width));
                p.setPen(thin);
                const double under = it.at.y() + headingM.descent() + 0.4 * f.mm;
                p.drawLine(QPointF(it.at.x(), under), QPointF(it.at.x() + it.width, under));
                p.setPen(Qt::black);
                break;
            }
            case Item::Kind::Row: {
                const auto& cells = m_r.groups[it.group].rows[it.row].cells;
                double cx = it.at.x();
                for (int c = 0; c < columns && c < cells.size(); ++c) {
                    const double w = widths[c];
                    const double room = w - f.cellGap;
                    const QString& text = cells[c];
                    if (!text.isEmpty()) {
                        const QFontMetricsF& m = metrics[c];
                        p.setFont(f.cellFont(m_r.columns[c].style));
                        double adv = m.horizontalAdvance(text);
                        if (adv <= room) {
                            const double left = m_r.columns[c].alignRight ? cx + room - adv : cx;
                            p.drawText(QPointF(left, it.at.y()), text);
                        } else {
                            const QString cut = m.elidedText(text, Qt::ElideRight, room);
                            adv = m.horizontalAdvance(cut);
                            p.drawText(QPointF(m_r.columns[c].alignRight ? cx + room - adv : cx, it.at.y()), cut);
                        }
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
    w.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
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
