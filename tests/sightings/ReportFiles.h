#pragma once

// The report definitions as shipped, the main window's report control, PDF files read back as
// text, and the running program's print preview.

#include "Harness.h"
#include "platform/QtPlatform.h"
#include "sightings/ReportControl.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <stdexcept>

namespace fl::test {

// The one report control the report commands share.
inline ReportControl& reportControl(Harness& h)
{
    auto* control = h.w->findChild<ReportControl*>();
    if (!control) throw std::logic_error("the main window has no report control");
    return *control;
}

inline void copyDefinitions(const QString& folder)
{
    for (const char* name : {"checklist.rpt", "life.rpt", "seen.rpt", "list.rpt"}) {
        const QString to = QDir(folder).filePath(QString::fromLatin1(name));
        QFile::remove(to);
        ASSERT_TRUE(QFile::copy(QDir(QStringLiteral(REPORTS_DIR)).filePath(QString::fromLatin1(name)), to));
    }
}

// The output of a poppler tool (pdftotext, pdfinfo) run on `pdf` with `options`.
inline QString popplerOutput(const char* tool, const QString& pdf, QStringList options)
{
    QProcess p;
    options << pdf;
    if (QString::fromLatin1(tool) == QLatin1String("pdftotext")) options << QStringLiteral("-");
    p.start(QString::fromLatin1(tool), options);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString::fromLatin1(tool) + QStringLiteral(" failed: ") + QString::fromUtf8(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The PDF's text: laid out as on the page (lines as printed), or in the order it was drawn.
inline QString pdfText(const QString& pdf, bool layout)
{
    return popplerOutput("pdftotext", pdf, {layout ? QStringLiteral("-layout") : QStringLiteral("-raw")});
}

// What the running program's print preview showed of a report.
struct Previewed {
    bool shown = false; // what the platform reported
    QString title;
    int pages = 0;
    QPageSize::PageSizeId paper = QPageSize::Custom;
};

// Shows `report` in the running program's print preview over the main window, and closes the
// preview once its pages are painted (or after five seconds).
inline Previewed preview(Harness& h, const QString& title, PrintableReport& report)
{
    Previewed seen;
    QtPlatform qt;
    qt.setParentWindow(h.w.get());
    QTimer poll;
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        if (auto* widget = dialog->findChild<QPrintPreviewWidget*>())
            seen.pages = widget->pageCount();
        if (seen.pages > 0 || ++ticks > 250) {
            seen.title = dialog->windowTitle();
            seen.paper = dialog->printer()->pageLayout().pageSize().id();
            dialog->reject();
        }
    });
    poll.start(20);
    seen.shown = qt.previewReport(title, report);
    poll.stop();
    return seen;
}

} // namespace fl::test
