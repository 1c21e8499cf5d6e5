#pragma once

#include "ReportDefinition.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace fl::db { class Database; }

namespace fl::report {

class ReportScope;

struct ReportRow {
    QStringList cells; // one text per column of the definition
    bool ticked = false;
};

struct ReportGroup {
    QString heading;
    QList<ReportRow> rows;
};

// A report with every row's values worked out, ready to be laid out on pages. The page
// header and footer are evaluated per page, since they may show the page number.
class BuiltReport {
public:
    BuiltReport();
    ~BuiltReport();
    BuiltReport(BuiltReport&&) noexcept;
    BuiltReport& operator=(BuiltReport&&) noexcept;

    QString title;
    QList<ColumnDef> columns; // widths and styles (the formulas are not used again)
    QList<ReportGroup> groups;
    int listed = 0;
    int ticked = 0;
    QString summary;
    double listWidthMm = 0;

    QString headerLeft(int page, int pages) const;
    QString headerRight(int page, int pages) const;
    QString footer(int page, int pages) const;

private:
    friend class Builder;
    QString pageText(const Formula& f, int page, int pages) const;
    Formula m_headerLeft, m_headerRight, m_footer;
    std::unique_ptr<ReportScope> m_scope;
};

// Reads the rows of the definition's data source, keeps those for which the selection formula
// is true (an empty selection keeps all), and evaluates the definition's formulas for each.
// `formulas` are the program's formulas by index, each "Name = expression"; one without a
// name is the tick-box formula. They replace the definition's formulas of the same name.
//
// The "checklist" source: one row per checklist row of a region, with its species, family,
// order and the species' life-list sighting, in checklist order, grouped by the definition's
// group formula in order of first appearance. With no current region (Options.Reg_ID 0) it
// holds one row per species, with region 0 and, as life-list mark, the species' first
// sighting anywhere.
//
// Raises ReportError (formula errors, unknown names, kErrDatabase for database failures).
BuiltReport buildReport(db::Database& db, const ReportDefinition& def, const QString& selection,
                        const QStringList& formulas, QDate printDate);

// One species of one of the user's lists, for the "list" source.
struct ListReportRow {
    int birdId = 0;
    QDate first, last; // its first and last sighting in the list
    QString site;      // of the first sighting
    QString region;    // the narrowest region of the first sighting
    int records = 0;
    bool isNew = false; // its first sighting in the list's place is in the list
};
struct ListReportData {
    QString name;  // "Life list", "2024", "May (all years)"
    QString place; // "World", a region's or a custom list's name
    QList<ListReportRow> rows;
};

// The same for the "list" source: one row per species of `list` (species that are no longer
// in the database are left out), in checklist order, grouped by the definition's group
// formula in order of first appearance. Its fields: list.name and list.place (the same on
// every row); seen.first, seen.last, seen.site, seen.region, seen.records, seen.new; the
// species' birds.id, birds.name, birds.sci_name, birds.sortorder and its family and order as
// in the checklist source; the options and report fields.
BuiltReport buildListReport(db::Database& db, const ReportDefinition& def, const ListReportData& list,
                            const QString& selection, const QStringList& formulas, QDate printDate);

} // namespace fl::report
