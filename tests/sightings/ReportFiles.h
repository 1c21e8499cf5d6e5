#pragma once

// The report definitions as shipped, the main window's report control, and PDF files read
// back as text.

#include "Harness.h"
#include "sightings/ReportControl.h"

#include <QDir>
#include <QFile>
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

} // namespace fl::test
