#pragma once

#include "Formula.h"

#include <QList>
#include <QString>

namespace fl::report {

// One printed column of a report line.
struct ColumnDef {
    enum class Style { Plain, Mono, Italic, Bold };
    double weight = 1;  // share of the line's width
    Style style = Style::Plain;
    bool alignRight = false;
    Formula formula;
};

// A report definition file (the format is described in reports/README.md).
struct ReportDefinition {
    QString source;            // the data source: "checklist" or "list"
    Formula group;             // rows with the same value form a group ...
    Formula groupHeading;      // ... under this heading
    QString tickBox;           // the named formula that prints the tick box
    QList<Formula> formulas;   // named formulas with their default texts
    Formula title;             // printed at the top of the first page
    Formula headerLeft;        // page header, left and right
    Formula headerRight;
    Formula footer;            // page footer, centred
    Formula summary;           // the closing line after the last row
    QList<ColumnDef> columns;  // the fields of a row, left to right
    double listWidthMm = 0;    // two lists side by side when each can be at least this wide
};

// Raises ReportError: kErrBadDefinition for a line that is not in the format, and the formula
// errors (kErrFormulaSyntax) of its formulas, each naming `fileName` and the line.
ReportDefinition parseDefinition(const QString& text, const QString& fileName);

// Reads and parses a definition file; a missing or unreadable file raises kErrNoDefinition.
ReportDefinition loadDefinition(const QString& path);

} // namespace fl::report
