#pragma once

#include "records/EbirdImport.h"
#include "ui/Context.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace fl {

// "Import eBird Data": what a file holds before anything is stored (records read, species
// matched, records skipped by reason, the dates, what is in the database already); Import
// stores the new records in one step with a progress bar, and Cancel during the import
// stores nothing.
class frmImportPreview : public QDialog {
    Q_OBJECT
public:
    frmImportPreview(Context& ctx, const ImportPreview& preview, const QString& path, QWidget* parent = nullptr);

    void cmdImport_Click();
    void cmdCancel_Click();
    // Sightings stored by this window (0 when nothing was, or the import was cancelled).
    int stored() const { return m_stored; }
    bool importing() const { return m_importing; }

    QLabel* lblFile = nullptr;
    QLabel* lblRead = nullptr;
    QLabel* lblMatched = nullptr;
    QLabel* lblDates = nullptr;
    QLabel* lblStored = nullptr;
    QLabel* lblNew = nullptr;
    QTreeWidget* lstSkipped = nullptr;
    QProgressBar* prgImport = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    Context& m_ctx;
    const ImportPreview& m_preview;
    int m_stored = 0;
    bool m_importing = false;
    bool m_cancel = false;
};

} // namespace fl
