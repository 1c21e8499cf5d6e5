#pragma once

#include <QHash>
#include <QString>
#include <functional>
#include <stdexcept>
#include <vector>

namespace fl {

// A file that is not a taxonomy in eBird's layout, with a message for the user.
class TaxonomyError : public std::runtime_error {
public:
    explicit TaxonomyError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

// One row of the taxonomy.
struct TaxonRow {
    double taxonOrder = 0;
    QString category; // species, issf, form, intergrade, slash, spuh, hybrid, domestic (lower case)
    QString code;     // SPECIES_CODE
    QString common;   // PRIMARY_COM_NAME
    QString sci;      // SCI_NAME
    QString order;    // the order's scientific name
    QString family;   // the family's scientific name ("Laridae")
    QString familyName; // its English name where the file gives one ("Gulls, Terns, and Skimmers")
    QString reportAs; // REPORT_AS: the species a subspecies group, form or intergrade is a record of

    bool isSpecies() const { return category == u"species"; }
    // A subspecies group, form or intergrade: a record of one species.
    bool isForm() const { return category == u"issf" || category == u"form" || category == u"intergrade"; }
};

// The rows of an eBird/Clements taxonomy file in eBird's CSV layout (columns found by their
// header names: TAXON_ORDER, CATEGORY, SPECIES_CODE, PRIMARY_COM_NAME, SCI_NAME, ORDER, FAMILY,
// REPORT_AS; others are ignored), in the taxonomy's order.
class TaxonomyFile {
public:
    // Reads `path`. Raises TaxonomyError with a message for the user for a file that cannot be
    // read or is not such a taxonomy (columns missing, no species, a code given twice, a form
    // pointing at no species). `progress` gets the fraction read.
    static TaxonomyFile read(const QString& path, const std::function<void(double)>& progress = {});
    // The same on rows already in memory (the same checks).
    static TaxonomyFile fromRows(std::vector<TaxonRow> rows);

    const std::vector<TaxonRow>& rows() const { return m_rows; }
    // The row of a code (any letter case), or null.
    const TaxonRow* find(const QString& code) const;
    int speciesCount() const { return m_species; }

private:
    void index();
    std::vector<TaxonRow> m_rows;
    QHash<QString, int> m_byCode;
    int m_species = 0;
};

} // namespace fl
