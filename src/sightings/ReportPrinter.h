#pragma once

#include "platform/Platform.h"
#include "report/ReportBuilder.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPagedPaintDevice;
class QPaintDevice;

namespace fl {

// Lays a built report out on pages with QPainter: the page header (region and date) and
// footer (page numbers) on every page, the title on the first, then the family headings and
// rows flowing down one or two lists per page, and the closing line with the counts.
//
// Nothing is cut: the columns are sized from the longest text of each, and when the rows do
// not fit two lists at the normal size, their type is made smaller (down to a limit), then
// they run in one list, and only then does a long text wrap within its column. A long title
// wraps; the page header shortens the region's name rather than run into the date.
//
// A PDF file the user names (writePdf(), or a printer set to print to a file) is written
// beside its name and put in place when complete; given the open database, the printer
// refuses its files and the Backups folder, and tells `platform`'s user so.
class ReportPrinter : public PrintableReport {
public:
    explicit ReportPrinter(report::BuiltReport content, QString database = {}, Platform* platform = nullptr);

    bool print(QPrinter* printer) override;
    bool writePdf(const QString& path) override;
    QString plainText() override;

    // Lays out and paints on a paged device whose painter is not yet begun; false when the
    // painter cannot begin (the file cannot be written, for example).
    bool paint(QPagedPaintDevice& device);

    const report::BuiltReport& content() const { return m_r; }

    // What goes where on a page, in device pixels relative to the printable area.
    struct Item {
        enum class Kind { Title, Heading, Row, Summary } kind = Kind::Row;
        QPointF at;       // left end of the (first) baseline
        double width = 0; // of its list (or of the page for the title)
        int group = -1;
        int row = -1;
        bool continued = false; // a heading repeated at the top of a list
        int lines = 1;          // of a row, a heading or the title
        QStringList text;       // the lines of a heading
    };
    struct Page {
        QList<Item> items;
    };
    struct Layout {
        QList<Page> pages;
        int lists = 1; // lists side by side
        double listWidth = 0;
        double rowScale = 1;      // the rows' type size, as a share of the normal size
        QList<double> widths;     // of the columns within a list
        QStringList title;        // the title's lines ...
        double titlePoints = 16;  // ... and their type size
        double rowStep = 0;       // baseline to baseline of two lines of a row
        double bodyBottom = 0;    // no row reaches below this
        // The lines of each cell of the rows that wrap, by group and row.
        QHash<QPair<int, int>, QList<QStringList>> wrapped;
    };
    Layout layout(QPaintDevice& device, QSizeF page) const;

private:
    // Why `path` must not be written (told to the user), or an empty text.
    QString refusal(const QString& path) const;
    report::BuiltReport m_r;
    QString m_database;
    Platform* m_platform = nullptr;
};

} // namespace fl
