#include "frmImportPreview.h"

#include "platform/Platform.h"
#include "state/AppState.h"
#include "ui/Counted.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace fl {

namespace {
QString dateText(const QDate& d) { return d.toString(Qt::ISODate); }
} // namespace

frmImportPreview::frmImportPreview(Context& ctx, const QString& path, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_path(path)
{
    build();
}

frmImportPreview::frmImportPreview(Context& ctx, ImportPreview preview, const QString& path, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_path(path), m_preview(std::move(preview))
{
    build();
    fill();
}

void frmImportPreview::build()
{
    setObjectName(QStringLiteral("frmImportPreview"));
    setWindowTitle(QStringLiteral("Import eBird Data"));
    setWindowIcon(ImageList1::icon(9));

    auto label = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextFormat(Qt::PlainText); // the file's texts as they are
        return l;
    };
    lblFile = label("lblFile");
    lblFile->setText(QFileInfo(m_path).fileName());
    lblRead = label("lblRead");
    lblMatched = label("lblMatched");
    lblDates = label("lblDates");
    lblStored = label("lblStored");
    lblNew = label("lblNew");
    lblOther = label("lblOther");
    lblRead->setText(QStringLiteral("reading..."));

    lstSkipped = new QTreeWidget(this);
    lstSkipped->setObjectName(QStringLiteral("lstSkipped"));
    lstSkipped->setAccessibleName(QStringLiteral("Records not imported as sightings"));
    lstSkipped->setColumnCount(3);
    lstSkipped->setHeaderLabels({QStringLiteral("Not imported as sightings"), QStringLiteral("Records"),
                                 QStringLiteral("Kept")});
    lstSkipped->header()->setStretchLastSection(false);
    lstSkipped->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lstSkipped->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    lstSkipped->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);

    prgImport = new QProgressBar(this);
    prgImport->setObjectName(QStringLiteral("prgImport"));
    prgImport->setRange(0, 1);
    prgImport->setValue(0);
    cmdImport = new QPushButton(QStringLiteral("&Import"), this);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdImport->setDefault(true);
    cmdImport->setEnabled(false);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connectGuarded(cmdImport, &QPushButton::clicked, this,
                   m_ctx.platform, QStringLiteral("The records could not be imported."),
                   [this] { cmdImport_Click(); });
    connectGuarded(cmdCancel, &QPushButton::clicked, this,
                   m_ctx.platform, QStringLiteral("The window could not be closed."),
                   [this] { cmdCancel_Click(); });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("File:"), lblFile);
    form->addRow(QStringLiteral("Records read:"), lblRead);
    form->addRow(QStringLiteral("Species matched:"), lblMatched);
    form->addRow(QStringLiteral("Dates:"), lblDates);
    form->addRow(QStringLiteral("Already in the database:"), lblStored);
    form->addRow(QStringLiteral("New sightings to import:"), lblNew);
    form->addRow(QStringLiteral("Records of no species to keep:"), lblOther);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(prgImport, 1);
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lstSkipped, 1);
    layout->addLayout(buttons);
    resize(600, 500);
}

bool frmImportPreview::readFile()
{
    m_reading = true;
    m_cancel = false;
    prgImport->setRange(0, 1000);
    prgImport->setValue(0);
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_reading};
    m_preview = readEbirdFile(m_ctx.state.db(), m_path, CsvReader::Limits(), [this](double fraction) {
        // The window appears once the file takes a moment to read (a small file is read before
        // the first report), and Cancel works from then on.
        if (fraction >= 1.0) return !m_cancel;
        if (!isVisible()) {
            setWindowModality(Qt::ApplicationModal);
            show();
        }
        prgImport->setValue(int(fraction * 1000));
        QCoreApplication::processEvents();
        return !m_cancel;
    });
    if (m_preview.cancelled) {
        hide();
        return false;
    }
    fill();
    return true;
}

void frmImportPreview::fill()
{
    const ImportPreview& p = m_preview;
    lblFile->setText(QStringLiteral("%1 (%2)").arg(QFileInfo(m_path).fileName(), p.format));
    lblRead->setText(QString::number(p.recordsRead));
    lblMatched->setText(QStringLiteral("%1 species in %2 record%3")
                            .arg(p.speciesMatched).arg(p.matched).arg(p.matched == 1 ? "" : "s"));
    lblDates->setText(p.first.isValid() ? QStringLiteral("%1 to %2").arg(dateText(p.first), dateText(p.last))
                                        : QStringLiteral("none"));
    lblStored->setText(QString::number(p.alreadyStored));
    lblNew->setText(QString::number(p.newSightings()));
    QString checklists = counted(p.checklists(), "checklist", "checklists");
    if (!p.newRegions.empty()) checklists += QStringLiteral(", ") + counted(int(p.newRegions.size()), "new region", "new regions");
    if (p.merged) checklists += QStringLiteral(", ") + counted(p.merged, "record", "records") + QStringLiteral(" merged with the same species");
    lblNew->setToolTip(checklists);
    lblOther->setText(QString::number(p.newOtherRecords()));

    lstSkipped->clear();
    for (const auto& [reason, names] : p.skipped) {
        const bool kept = keptAsOtherRecord(reason);
        auto* group = new QTreeWidgetItem(lstSkipped, {skipReasonText(reason), QString::number(p.skippedCount(reason)),
                                                      kept ? QStringLiteral("with its checklist, in no list")
                                                           : QStringLiteral("not imported")});
        if (reason == SkipReason::NoDate && !p.badDates.empty()) {
            // Each date the import could not read, where it is in the file.
            for (const BadDate& d : p.badDates)
                new QTreeWidgetItem(group, {QStringLiteral("Line %1: \"%2\" (%3)").arg(d.line).arg(d.text, d.name)});
            const int more = p.skippedCount(reason) - int(p.badDates.size());
            if (more > 0) new QTreeWidgetItem(group, {QStringLiteral("and %1 more").arg(more)});
            continue;
        }
        for (auto it = names.begin(); it != names.end(); ++it)
            new QTreeWidgetItem(group, {it.key(), QString::number(it.value())});
    }
    lstSkipped->expandAll();
    const int total = p.newSightings() + p.newOtherRecords();
    prgImport->setRange(0, std::max(total, 1));
    prgImport->setValue(0);
    cmdImport->setEnabled(total > 0);
}

void frmImportPreview::cmdImport_Click()
{
    if (m_importing || m_reading || !m_preview.hasNewRecords()) return;
    m_importing = true;
    m_cancel = false;
    cmdImport->setEnabled(false);
    int stored = 0;
    QString failure, details;
    try {
        stored = storeImport(m_ctx.state, m_preview, [this](int done, int total) {
            prgImport->setMaximum(std::max(total, 1));
            prgImport->setValue(done);
            QCoreApplication::processEvents(); // the Cancel button stays live
            return !m_cancel;
        });
    } catch (const std::exception& e) {
        const UserMessage m = userMessage(e);
        failure = m.text;
        details = m.details;
    }
    m_importing = false;
    const QString title = windowTitle();
    if (!failure.isEmpty()) {
        prgImport->setValue(0);
        cmdImport->setEnabled(true);
        m_ctx.platform.detailedMessageBox(QStringLiteral("The import failed; nothing was stored.\n\n%1").arg(failure), details,
                                          title, Platform::Buttons::Ok, Platform::Icon::Exclamation);
        return;
    }
    if (m_cancel) {
        prgImport->setValue(0);
        cmdImport->setEnabled(true);
        m_ctx.platform.messageBox(QStringLiteral("The import was cancelled; nothing was stored."), title,
                                  Platform::Buttons::Ok, Platform::Icon::Information);
        return;
    }
    m_stored = stored;
    QString text = QStringLiteral("%1 sighting%2 imported.")
                       .arg(stored).arg(stored == 1 ? QStringLiteral(" was") : QStringLiteral("s were"));
    if (const int others = m_preview.newOtherRecords(); others == 1)
        text += QStringLiteral(" 1 record of no species was kept with its checklist; it counts in no list.");
    else if (others > 1)
        text += QStringLiteral(" %1 records of no species were kept with their checklists; they count in no list.")
                    .arg(others);
    m_ctx.platform.messageBox(text, title, Platform::Buttons::Ok, Platform::Icon::Information);
    accept();
}

void frmImportPreview::cmdCancel_Click()
{
    // Reading or importing stops at its next step and stores nothing.
    if (m_importing || m_reading) m_cancel = true;
    else QDialog::reject();
}

void frmImportPreview::reject() { cmdCancel_Click(); }

void frmImportPreview::closeEvent(QCloseEvent* event)
{
    if (m_importing || m_reading) {
        m_cancel = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace fl
