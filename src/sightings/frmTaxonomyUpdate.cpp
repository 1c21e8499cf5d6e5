#include "frmTaxonomyUpdate.h"

#include "RecordCommands.h"
#include "state/AppState.h"
#include "state/SpeciesOnShow.h"
#include "platform/Platform.h"
#include "ui/Counted.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>
#include <optional>

namespace fl {

namespace {

const QString kTitle = QStringLiteral("Update Taxonomy");

QString named(const QString& common, const QString& sci) { return QStringLiteral("%1 (%2)").arg(common, sci); }

} // namespace

frmTaxonomyUpdate::frmTaxonomyUpdate(Context& ctx, const TaxonomyFile& file, const QString& path, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_file(file)
{
    setObjectName(QStringLiteral("frmTaxonomyUpdate"));
    setWindowTitle(kTitle);
    setWindowIcon(ImageList1::icon(9));

    lblFile = new QLabel(QStringLiteral("%1: %2 species").arg(QFileInfo(path).fileName()).arg(file.speciesCount()), this);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    lblReview = new QLabel(this);
    lblReview->setObjectName(QStringLiteral("lblReview"));
    lblReview->setWordWrap(true);

    lstChanges = new QTreeWidget(this);
    lstChanges->setObjectName(QStringLiteral("lstChanges"));
    lstChanges->setAccessibleName(QStringLiteral("Changes"));
    lstChanges->setColumnCount(3);
    lstChanges->setHeaderLabels({QStringLiteral("Now"), QStringLiteral("Becomes"), QStringLiteral("Sightings")});
    lstChanges->header()->setStretchLastSection(false);
    lstChanges->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lstChanges->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    lstChanges->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);

    chkUnrelated = new QCheckBox(this);
    chkUnrelated->setObjectName(QStringLiteral("chkUnrelated"));
    prgApply = new QProgressBar(this);
    prgApply->setObjectName(QStringLiteral("prgApply"));
    prgApply->setValue(0);
    cmdApply = new QPushButton(QStringLiteral("&Apply"), this);
    cmdApply->setObjectName(QStringLiteral("cmdApply"));
    cmdApply->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connectGuarded(cmdApply, &QPushButton::clicked, this,
                   m_ctx.platform, QStringLiteral("The taxonomy could not be updated."), [this] { cmdApply_Click(); });
    connectGuarded(cmdCancel, &QPushButton::clicked, this,
                   m_ctx.platform, QStringLiteral("The window could not be closed."), [this] { cmdCancel_Click(); });
    connectGuarded(chkUnrelated, &QCheckBox::toggled, this,
                   m_ctx.platform, QStringLiteral("The file could not be compared with the database."),
                   [this](bool on) { chkUnrelated_Toggled(on); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(prgApply, 1);
    buttons->addWidget(cmdApply);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblFile);
    layout->addWidget(lblSummary);
    layout->addWidget(lstChanges, 1);
    layout->addWidget(lblReview);
    layout->addWidget(chkUnrelated);
    layout->addLayout(buttons);
    resize(960, 640);

    m_plan = planTaxonomyUpdate(m_ctx.state.db(), m_file);
    showPlan();
}

QTreeWidgetItem* frmTaxonomyUpdate::group(const QString& title, int count)
{
    auto* item = new QTreeWidgetItem(lstChanges, {QStringLiteral("%1 (%2)").arg(title).arg(count)});
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    item->setFirstColumnSpanned(true);
    return item;
}

void frmTaxonomyUpdate::showPlan()
{
    const TaxonomyPlan& p = m_plan;
    lstChanges->clear();
    if (!p.renames.empty()) {
        QTreeWidgetItem* g = group(QStringLiteral("Renamed"), int(p.renames.size()));
        for (const auto& r : p.renames) {
            QString to = named(r.to.common, r.to.sci);
            if (r.codeChanged()) to += QStringLiteral(" [%1]").arg(r.to.code);
            new QTreeWidgetItem(g, {named(r.oldName, r.oldSci), to, QString()});
        }
    }
    if (!p.splits.empty()) {
        QTreeWidgetItem* g = group(QStringLiteral("Split"), int(p.splits.size()));
        for (int i = 0; i < int(p.splits.size()); ++i) {
            const auto& s = p.splits[size_t(i)];
            QStringList daughters;
            for (const auto& d : s.daughters)
                daughters << (d.existingId ? d.common + QStringLiteral(" (already listed)") : d.common);
            auto* item = new QTreeWidgetItem(g, {named(s.oldName, s.oldSci), daughters.join(QStringLiteral(", ")),
                                                 QString::number(s.sightings)});
            item->setToolTip(2, QStringLiteral("Sightings that will need review"));
            // The daughter that keeps the old species' row, its records and checklists.
            auto* keeper = new QTreeWidgetItem(item, {QStringLiteral("Keeps the records:")});
            auto* box = new QComboBox(lstChanges);
            box->setObjectName(QStringLiteral("cmbKeeper(%1)").arg(i));
            box->setAccessibleName(QStringLiteral("Species that keeps the records of %1").arg(s.oldName));
            for (int d = 0; d < int(s.daughters.size()); ++d)
                if (!s.daughters[size_t(d)].existingId) box->addItem(s.daughters[size_t(d)].common, d);
            box->setCurrentIndex(box->findData(s.keeper));
            lstChanges->setItemWidget(keeper, 1, box);
            connectGuarded(box, &QComboBox::activated, this, m_ctx.platform,
                           QStringLiteral("The species that keeps the records could not be chosen."),
                           [this, i, box](int index) { setKeeper(i, box->itemData(index).toInt()); });
        }
    }
    if (!p.lumps.empty()) {
        QTreeWidgetItem* g = group(QStringLiteral("Lumped"), int(p.lumps.size()));
        for (const auto& l : p.lumps) {
            const QStringList parts = QStringList{l.survivorName} + l.mergedNames;
            new QTreeWidgetItem(g, {parts.join(QStringLiteral(" + ")), named(l.to.common, l.to.sci),
                                    QString::number(l.sightingsMoved)});
        }
    }
    if (p.newSpecies() > 0) {
        QTreeWidgetItem* g = group(QStringLiteral("New species"), p.newSpecies());
        for (const auto& s : p.splits)
            for (int d = 0; d < int(s.daughters.size()); ++d)
                if (d != s.keeper && !s.daughters[size_t(d)].existingId)
                    new QTreeWidgetItem(g, {QString(), named(s.daughters[size_t(d)].common, s.daughters[size_t(d)].sci)
                                                           + QStringLiteral(", split from ") + s.oldName});
        for (const auto& t : p.added) new QTreeWidgetItem(g, {QString(), named(t.common, t.sci)});
    }
    if (!p.missing.empty()) {
        QTreeWidgetItem* g = group(QStringLiteral("Not in the file (kept as they are)"), int(p.missing.size()));
        for (const auto& m : p.missing)
            new QTreeWidgetItem(g, {m.name, QString(), QString::number(m.sightings)});
    }
    lstChanges->expandAll();
    for (int i = 0; i < lstChanges->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = lstChanges->topLevelItem(i);
        if (top->childCount() > 40) top->setExpanded(false); // long lists stay folded
    }

    QStringList parts;
    if (!p.renames.empty()) parts << counted(int(p.renames.size()), "species renamed", "species renamed");
    if (!p.splits.empty()) parts << counted(int(p.splits.size()), "split", "splits");
    if (!p.lumps.empty()) parts << counted(int(p.lumps.size()), "lump", "lumps");
    if (p.newSpecies() > 0) parts << counted(p.newSpecies(), "new species", "new species");
    const int forms = p.formsAdded + p.formsRemoved + p.formsChanged;
    if (forms) parts << counted(forms, "subspecies group or form changed", "subspecies groups and forms changed");
    if (!p.missing.empty()) parts << counted(int(p.missing.size()), "species not in the file (kept)", "species not in the file (kept)");
    lblSummary->setText(p.hasChanges() ? parts.join(QStringLiteral(", ")) + u'.'
                                       : QStringLiteral("The database already follows this taxonomy; there is nothing "
                                                        "to change.")
                                             + (p.missing.empty() ? QString() : u' ' + parts.join(QStringLiteral(", ")) + u'.'));
    QStringList review;
    if (p.sightingsToReview() > 0)
        review << QStringLiteral("%1 of split species stay with the species that keeps the records and will be "
                                 "marked \"needs review\".")
                      .arg(counted(p.sightingsToReview(), "sighting", "sightings"));
    if (p.sightingsToMove() > 0)
        review << QStringLiteral("%1 of lumped species move to the species they join.")
                      .arg(counted(p.sightingsToMove(), "sighting", "sightings"));
    lblReview->setText(review.join(u' '));
    lblReview->setVisible(!review.isEmpty());
    chkUnrelated->setText(QStringLiteral("Also add the %1 of the file that the database does not hold")
                              .arg(counted(p.unrelated, "other species", "other species")));
    chkUnrelated->setVisible(p.unrelated > 0);
    cmdApply->setEnabled(p.hasChanges() && !m_applied && !m_applying);
    if (!m_applying) {
        prgApply->setRange(0, 1);
        prgApply->setValue(0);
    }
}

void frmTaxonomyUpdate::setKeeper(int split, int daughter)
{
    if (m_applying) return;
    m_plan.setKeeper(split, daughter);
    // The list is built afresh once the box that asked is done with its signal.
    QMetaObject::invokeMethod(
        this, guarded(m_ctx.platform, QStringLiteral("The changes could not be listed."), [this] { showPlan(); }),
        Qt::QueuedConnection);
}

void frmTaxonomyUpdate::chkUnrelated_Toggled(bool on)
{
    if (m_applying) return;
    // The keepers chosen so far stay chosen.
    QHash<int, QString> keepers;
    for (const auto& s : m_plan.splits) keepers.insert(s.birdId, s.daughters[size_t(s.keeper)].code);
    TaxonomyPlanOptions options;
    options.addUnrelated = on;
    Hourglass busy(m_ctx.platform);
    m_plan = planTaxonomyUpdate(m_ctx.state.db(), m_file, options);
    for (int i = 0; i < int(m_plan.splits.size()); ++i) {
        const auto& s = m_plan.splits[size_t(i)];
        for (int d = 0; d < int(s.daughters.size()); ++d)
            if (s.daughters[size_t(d)].code == keepers.value(s.birdId)) m_plan.setKeeper(i, d);
    }
    showPlan();
}

void frmTaxonomyUpdate::cmdApply_Click()
{
    if (m_applying || m_applied || !m_plan.hasChanges()) return;
    m_applying = true;
    m_cancel = false;
    cmdApply->setEnabled(false);
    chkUnrelated->setEnabled(false);
    lstChanges->setEnabled(false);
    bool done = false;
    std::optional<UserMessage> failure;
    try {
        m_ctx.main->storePendingEdits();
        done = applyTaxonomyUpdate(m_ctx.state, m_file, m_plan, [this](int step, int total) {
            prgApply->setMaximum(total);
            prgApply->setValue(step);
            QCoreApplication::processEvents(); // the Cancel button stays live
            return !m_cancel;
        });
    } catch (const std::exception& e) {
        failure = userMessage(e); // plain words; the engine's report behind the details button
    }
    m_applying = false;
    chkUnrelated->setEnabled(true);
    lstChanges->setEnabled(true);
    if (failure || !done) {
        prgApply->setValue(0);
        cmdApply->setEnabled(true);
        if (failure)
            m_ctx.platform.detailedMessageBox(
                QStringLiteral("The update failed; nothing was changed.\n\n%1").arg(failure->text), failure->details,
                kTitle, Platform::Buttons::Ok, Platform::Icon::Exclamation);
        else
            m_ctx.platform.messageBox(QStringLiteral("The update was cancelled; nothing was changed."), kTitle,
                                      Platform::Buttons::Ok, Platform::Icon::Information);
        return;
    }
    m_applied = true;
    QString text = QStringLiteral("The database follows the new taxonomy.");
    if (m_plan.sightingsToReview() > 0)
        text += QStringLiteral("\n\n%1 need review: the Sightings Log lists them.")
                    .arg(counted(m_plan.sightingsToReview(), "sighting", "sightings"));
    m_ctx.platform.messageBox(text, kTitle, Platform::Buttons::Ok, Platform::Icon::Information);
    accept();
}

void frmTaxonomyUpdate::cmdCancel_Click()
{
    if (m_applying) m_cancel = true; // the update stops at its next step and changes nothing
    else QDialog::reject();
}

void frmTaxonomyUpdate::reject() { cmdCancel_Click(); }

void frmTaxonomyUpdate::closeEvent(QCloseEvent* event)
{
    if (m_applying) {
        m_cancel = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void mnuFileTaxonomy_Click(Context& ctx)
{
    const QString path = ctx.platform.openFileDialog(kTitle, recordsFolder(ctx.state),
                                                     QStringLiteral("eBird taxonomy (*.csv);;All files (*)"));
    if (path.isEmpty()) return;
    rememberFolder(ctx.state, path);
    std::optional<TaxonomyFile> file;
    try {
        Hourglass busy(ctx.platform);
        file = TaxonomyFile::read(path);
    } catch (const TaxonomyError& e) {
        ctx.platform.messageBox(QStringLiteral("%1\n\nNothing was changed.").arg(e.message()), kTitle,
                                Platform::Buttons::Ok, Platform::Icon::Exclamation);
        return;
    }
    ctx.main->storePendingEdits();
    const int shownId = ctx.main->species().id();
    bool applied = false;
    {
        std::unique_ptr<frmTaxonomyUpdate> dialog;
        {
            Hourglass busy(ctx.platform);
            dialog = std::make_unique<frmTaxonomyUpdate>(ctx, *file, path, ctx.main->dialogParent());
        }
        dialog->exec();
        applied = dialog->applied();
    }
    if (!applied) return;
    // Names changed: the main window reads the list again and shows the same species.
    const QString name =
        ctx.state.db().scalar(QStringLiteral("SELECT Name FROM Birds WHERE ID = ?"), {shownId}).toString();
    ctx.main->reload();
    if (!name.isEmpty()) ctx.main->selectSpeciesByName(name);
    refreshAfterSightingsChanged(ctx);
}

} // namespace fl
