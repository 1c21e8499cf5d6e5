#pragma once

#include "taxonomy/TaxonomyUpdate.h"
#include "ui/Context.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace fl {

// "Update Taxonomy": what a taxonomy file changes before anything is changed: renamed species
// (common or scientific name, or code), splits (with the daughter that keeps the old records,
// which the user may choose, and how many sightings will need review), lumps (whose records
// merge), new species, and species the file does not have (kept). Apply makes every change
// in one step with a progress bar; Cancel during it changes nothing.
class frmTaxonomyUpdate : public QDialog {
    Q_OBJECT
public:
    frmTaxonomyUpdate(Context& ctx, const TaxonomyFile& file, const QString& path, QWidget* parent = nullptr);

    void cmdApply_Click();
    void cmdCancel_Click();
    // Adds or leaves out the file's species that no split brings.
    void chkUnrelated_Toggled(bool on);
    // Chooses which daughter of split `split` keeps the old records.
    void setKeeper(int split, int daughter);

    const TaxonomyPlan& plan() const { return m_plan; }
    bool applied() const { return m_applied; }
    bool applying() const { return m_applying; }

    QLabel* lblFile = nullptr;
    QLabel* lblSummary = nullptr;
    QLabel* lblReview = nullptr;
    QTreeWidget* lstChanges = nullptr;
    QCheckBox* chkUnrelated = nullptr;
    QProgressBar* prgApply = nullptr;
    QPushButton* cmdApply = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showPlan();
    QTreeWidgetItem* group(const QString& title, int count);
    Context& m_ctx;
    const TaxonomyFile& m_file;
    TaxonomyPlan m_plan;
    bool m_applied = false;
    bool m_applying = false;
    bool m_cancel = false;
};

// The menu command: asks for a taxonomy file, shows what it changes and applies it.
void mnuFileTaxonomy_Click(Context& ctx);

} // namespace fl
