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
// matched, what is in the database already, the new sightings and the records of no species
// kept with their checklists, records skipped by reason, dates it could not read with their
// lines); Import stores the new records in one step with a progress bar, and Cancel during
// the import stores nothing. The window can read the file itself, showing its progress as
// it goes, with Cancel live throughout.
class frmImportPreview : public QDialog {
    Q_OBJECT
public:
    // A window that reads `path` when readFile() is called.
    frmImportPreview(Context& ctx, const QString& path, QWidget* parent = nullptr);
    // A window showing a preview already read.
    frmImportPreview(Context& ctx, ImportPreview preview, const QString& path, QWidget* parent = nullptr);

    // Reads the file, the window appearing with a progress bar once reading takes a moment.
    // False when the user cancelled; a file that is no eBird file raises CsvError.
    bool readFile();

    void cmdImport_Click();
    void cmdCancel_Click();
    // Sightings stored by this window (0 when nothing was, or the import was cancelled).
    int stored() const { return m_stored; }
    bool importing() const { return m_importing; }
    bool reading() const { return m_reading; }
    const ImportPreview& preview() const { return m_preview; }

    QLabel* lblFile = nullptr;
    QLabel* lblRead = nullptr;
    QLabel* lblMatched = nullptr;
    QLabel* lblDates = nullptr;
    QLabel* lblStored = nullptr;
    QLabel* lblNew = nullptr;
    QLabel* lblOther = nullptr;
    QTreeWidget* lstSkipped = nullptr;
    QProgressBar* prgImport = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void fill();

    Context& m_ctx;
    QString m_path;
    ImportPreview m_preview;
    int m_stored = 0;
    bool m_importing = false;
    bool m_reading = false;
    bool m_cancel = false;
};

} // namespace fl
