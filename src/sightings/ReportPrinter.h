#pragma once

#include "platform/Platform.h"
#include "report/ReportBuilder.h"

#include <QFontMetricsF>
#include <QList>
#include <QRectF>
#include <QString>

class QPagedPaintDevice;
class QPaintDevice;

namespace fl {

// Lays a built report out on pages with QPainter: the page header (region and date) and
// footer (page numbers) on every page, the title on the first, then the family headings and
// rows flowing down one or two lists per page, and the closing line with the counts.
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
        enum class Kind { Title, Heading, Row, Summary } kind;
        QPointF at;       // left end of the baseline
        double width = 0; // of its list (or of the page for the title)
        int group = -1;
        int row = -1;
        bool continued = false; // a heading repeated at the top of a list
    };
    struct Page {
        QList<Item> items;
    };
    struct Layout {
        QList<Page> pages;
        int lists = 1; // lists side by side
        double listWidth = 0;
    };
    Layout layout(QPaintDevice& device, QSizeF page) const;

private:
    QList<double> columnWidths(const QList<QFontMetricsF>& metrics, double listWidth, double gap) const;
    // Why `path` must not be written (told to the user), or an empty text.
    QString refusal(const QString& path) const;
    report::BuiltReport m_r;
    QString m_database;
    Platform* m_platform = nullptr;
};

} // namespace fl
