#include "frmImportPreview.h"

#include "platform/Platform.h"
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
}

frmImportPreview::frmImportPreview(Context& ctx, const ImportPreview& preview, const QString& path, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_preview(preview)
{
    setObjectName(QStringLiteral("frmImportPreview"));
    setWindowTitle(QStringLiteral("Import eBird Data"));
    setWindowIcon(ImageList1::icon(9));

    auto label = [this](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setTextFormat(Qt::PlainText); // the file's name as it is
        return l;
    };
    const ImportPreview& p = preview;
    lblFile = label("lblFile", QStringLiteral("%1 (%2)").arg(QFileInfo(path).fileName(), p.format));
    lblRead = label("lblRead", QString::number(p.recordsRead));
    lblMatched = label("lblMatched", QStringLiteral("%1 species in %2 record%3")
                                         .arg(p.speciesMatched).arg(p.matched).arg(p.matched == 1 ? "" : "s"));
    lblDates = label("lblDates", p.first.isValid() ? QStringLiteral("%1 to %2").arg(dateText(p.first), dateText(p.last))
                                                   : QStringLiteral("none"));
    lblStored = label("lblStored", QString::number(p.alreadyStored));
    lblNew = label("lblNew", QString::number(p.records.size()));

    lstSkipped = new QTreeWidget(this);
    lstSkipped->setObjectName(QStringLiteral("lstSkipped"));
    lstSkipped->setAccessibleName(QStringLiteral("Records not imported"));
    lstSkipped->setColumnCount(2);
    lstSkipped->setHeaderLabels({QStringLiteral("Not imported"), QStringLiteral("Records")});
    lstSkipped->header()->setStretchLastSection(false);
    lstSkipped->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (const auto& [reason, names] : p.skipped) {
        auto* group = new QTreeWidgetItem(lstSkipped, {skipReasonText(reason), QString::number(p.skippedCount(reason))});
        for (auto it = names.begin(); it != names.end(); ++it)
            new QTreeWidgetItem(group, {it.key(), QString::number(it.value())});
    }
    lstSkipped->expandAll();

    prgImport = new QProgressBar(this);
    prgImport->setObjectName(QStringLiteral("prgImport"));
    prgImport->setRange(0, int(p.records.size()));
    prgImport->setValue(0);
    cmdImport = new QPushButton(QStringLiteral("&Import"), this);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdImport->setDefault(true);
    cmdImport->setEnabled(!p.records.empty());
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
    form->addRow(QStringLiteral("New records to import:"), lblNew);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(prgImport, 1);
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lstSkipped, 1);
    layout->addLayout(buttons);
    resize(520, 460);
}

void frmImportPreview::cmdImport_Click()
{
    if (m_importing || m_preview.records.empty()) return;
    m_importing = true;
    m_cancel = false;
    cmdImport->setEnabled(false);
    int stored = 0;
    QString failure, details;
    try {
        stored = storeImport(m_ctx.state, m_preview, [this](int done, int total) {
            prgImport->setMaximum(total);
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
    m_ctx.platform.messageBox(QStringLiteral("%1 sighting%2 imported.")
                                  .arg(stored).arg(stored == 1 ? QStringLiteral(" was") : QStringLiteral("s were")),
                              title, Platform::Buttons::Ok, Platform::Icon::Information);
    accept();
}

void frmImportPreview::cmdCancel_Click()
{
    if (m_importing) m_cancel = true; // the import stops at its next step and stores nothing
    else QDialog::reject();
}

void frmImportPreview::reject() { cmdCancel_Click(); }

void frmImportPreview::closeEvent(QCloseEvent* event)
{
    if (m_importing) {
        m_cancel = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace fl
