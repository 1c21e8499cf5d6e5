#include "frmSightingsLog.h"

#include "state/AppState.h"
#include "records/Backup.h"
#include "records/EbirdImport.h"
#include "RecordCommands.h"
#include "frmSight.h"
#include "SightingsLogModel.h"
#include "ui/Guard.h"
#include "ui/MainWindow.h"
#include "platform/Platform.h"
#include "ui/ImageList.h"
#include "frmOuting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace fl {

namespace {
QPointer<frmSightingsLog> g_log;
}

frmSightingsLog::frmSightingsLog(Context& ctx, QWidget* parent) : QWidget(parent, Qt::Window), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmSightingsLog"));
    setWindowTitle(QStringLiteral("Sightings Log"));
    setWindowIcon(ImageList1::icon(10));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* lblFilter = new QLabel(QStringLiteral("&Find:"), this);
    txtFilter = new QLineEdit(this);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setPlaceholderText(QStringLiteral("species or site"));
    txtFilter->setClearButtonEnabled(true);
    lblFilter->setBuddy(txtFilter);
    auto* lblYear = new QLabel(QStringLiteral("&Year:"), this);
    cmbYear = new QComboBox(this);
    cmbYear->setObjectName(QStringLiteral("cmbYear"));
    lblYear->setBuddy(cmbYear);
    chkRegion = new QCheckBox(this);
    chkRegion->setObjectName(QStringLiteral("chkRegion"));
    chkReview = new QCheckBox(QStringLiteral("Needing re&view"), this);
    chkReview->setObjectName(QStringLiteral("chkReview"));
    chkReview->setToolTip(QStringLiteral("Only the sightings a taxonomy update left for review"));
    cmdEdit = new QPushButton(QStringLiteral("&Edit Sighting..."), this);
    cmdEdit->setObjectName(QStringLiteral("cmdEdit"));
    cmdEdit->setEnabled(false);
    chkGroup = new QCheckBox(QStringLiteral("Group by &outing"), this);
    chkGroup->setObjectName(QStringLiteral("chkGroup"));
    cmdOpenOuting = new QPushButton(QStringLiteral("O&pen Outing"), this);
    cmdOpenOuting->setObjectName(QStringLiteral("cmdOpenOuting"));
    cmdOpenOuting->setEnabled(false);

    model = new SightingsLogModel(this);
    grdLog = new QTableView(this);
    grdLog->setObjectName(QStringLiteral("grdLog"));
    grdLog->setAccessibleName(QStringLiteral("Sightings"));
    grdLog->setModel(model);
    grdLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdLog->setSelectionMode(QAbstractItemView::SingleSelection);
    grdLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdLog->setWordWrap(false);
    grdLog->verticalHeader()->setDefaultSectionSize(grdLog->fontMetrics().height() + 6);
    grdLog->verticalHeader()->hide();
    grdLog->horizontalHeader()->setSectionResizeMode(SightingsLog::Notes, QHeaderView::Stretch);
    grdLog->horizontalHeader()->setSortIndicator(SightingsLog::Date, Qt::DescendingOrder);
    // The species column takes the longest names of the continent ("Northern Rough-winged Swallow").
    const int widths[] = {85, 225, 50, 150, 100, 100, 100, 120, 180, 95};
    for (int i = 0; i < int(std::size(widths)); ++i) grdLog->setColumnWidth(i, widths[i]);

    lblCounts = new QLabel(this);
    lblCounts->setObjectName(QStringLiteral("lblCounts"));
    lblCounts->setFrameShape(QFrame::Panel);
    lblCounts->setFrameShadow(QFrame::Sunken);

    auto* bar = new QHBoxLayout;
    bar->addWidget(lblFilter);
    bar->addWidget(txtFilter, 1);
    bar->addWidget(lblYear);
    bar->addWidget(cmbYear);
    bar->addWidget(chkRegion);
    bar->addWidget(chkReview);
    bar->addWidget(cmdEdit);
    bar->addWidget(chkGroup);
    bar->addWidget(cmdOpenOuting);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(grdLog, 1);
    layout->addWidget(lblCounts);
    resize(1150, 560);

    showRegion();
    reload();
    grdLog->setSortingEnabled(true);
    const QString filterFailure = QStringLiteral("The sightings could not be listed.");
    connectGuarded(txtFilter, &QLineEdit::textChanged, this, m_ctx.platform, filterFailure, [this] { applyFilter(); });
    connectGuarded(cmbYear, &QComboBox::currentIndexChanged, this, m_ctx.platform, filterFailure,
                   [this] { applyFilter(); });
    connectGuarded(chkRegion, &QCheckBox::toggled, this, m_ctx.platform, filterFailure, [this] { applyFilter(); });
    connectGuarded(chkReview, &QCheckBox::toggled, this, m_ctx.platform, filterFailure, [this] { applyFilter(); });
    connect(grdLog->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) noexcept {
                cmdEdit->setEnabled(current.isValid() && !model->isHeading(current.row()));
            });
    connectGuarded(cmdEdit, &QPushButton::clicked, this, m_ctx.platform,
                   QStringLiteral("The sighting could not be edited."), [this] { cmdEdit_Click(); });
    connectGuarded(chkGroup, &QCheckBox::toggled, this, m_ctx.platform, filterFailure,
                   [this](bool on) { model->setGrouped(on); });
    connectGuarded(cmdOpenOuting, &QPushButton::clicked, this, m_ctx.platform,
                   QStringLiteral("The outing could not be opened."), [this] {
                       const QModelIndex at = grdLog->currentIndex();
                       if (at.isValid()) openOuting(at.row());
                   });
    connect(grdLog->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& at) noexcept {
                cmdOpenOuting->setEnabled(at.isValid() && model->outingAt(at.row()) != 0);
            });
    connect(model, &QAbstractItemModel::modelReset, this, [this]() noexcept {
        cmdOpenOuting->setEnabled(false);
        cmdEdit->setEnabled(false);
    });
    grdLog->installEventFilter(this);
    // The region toggle follows the current region.
    m_ctx.main->watchRegion(this, [this] {
        showRegion();
        applyFilter();
    });
    connectGuarded(grdLog, &QTableView::doubleClicked, this,
                   m_ctx.platform, QStringLiteral("The bird could not be shown."),
                   [this](const QModelIndex& i) {
                       if (i.isValid()) grdLog_DblClick(i.row());
                   });
}

void frmSightingsLog::showRegion()
{
    const AppState& s = m_ctx.state;
    const bool region = s.Reg_ID != 0;
    chkRegion->setText(region ? QStringLiteral("Only in ") + s.regname : QStringLiteral("Only in the current region"));
    chkRegion->setEnabled(region);
}

void frmSightingsLog::fillYears()
{
    const int chosen = cmbYear->currentData().toInt();
    const QSignalBlocker quiet(cmbYear);
    cmbYear->clear();
    cmbYear->addItem(QStringLiteral("All years"), 0);
    for (int y : model->log().years()) cmbYear->addItem(QString::number(y), y);
    const int at = cmbYear->findData(chosen);
    cmbYear->setCurrentIndex(at < 0 ? 0 : at);
}

void frmSightingsLog::reload()
{
    AppState& s = m_ctx.state;
    Hourglass busy(m_ctx.platform);
    SightingsLog::Filter f = model->filter();
    model->load(s.db(), f);
    m_loadedFrom = &s.db();
    m_loadedAt = databaseChangeCount(s.db());
    fillYears();
    showRegion(); // a restored database brings its own region
    applyFilter();
}

void frmSightingsLog::applyFilter()
{
    AppState& s = m_ctx.state;
    SightingsLog::Filter f;
    f.text = txtFilter->text();
    f.year = cmbYear->currentData().toInt();
    f.reviewOnly = chkReview->isChecked();
    if (chkRegion->isChecked()) f.regId = s.Reg_ID;
    model->setFilter(f);
    lblCounts->setText(countsText());
    cmdEdit->setEnabled(grdLog->currentIndex().isValid());
}

QString frmSightingsLog::countsText() const
{
    const SightingsLog::Counts c = model->counts();
    const int year = model->filter().year;
    const QString shown = QStringLiteral("%1 sighting%2 of %3 species")
                              .arg(c.sightings).arg(c.sightings == 1 ? "" : "s").arg(c.species);
    const QString review = c.toReview ? QStringLiteral("; %1 need%2 review").arg(c.toReview).arg(c.toReview == 1 ? "s" : "")
                                      : QString();
    if (!year) return shown + review;
    return QStringLiteral("%1: %2 (year list), %3 new to the life list").arg(year).arg(shown).arg(c.lifers) + review;
}

void frmSightingsLog::grdLog_DblClick(int row)
{
    if (row < 0 || row >= model->rowCount()) return;
    if (model->isHeading(row)) {
        openOuting(row);
        return;
    }
    const QString name = model->log().speciesName(model->entry(row).birdId);
    try {
        showSpeciesInMain(m_ctx, name);
    } catch (const std::exception& e) {
        m_ctx.platform.messageBox(QString::fromUtf8(e.what()), windowTitle(), Platform::Buttons::Ok,
                                  Platform::Icon::Exclamation);
    }
}

void frmSightingsLog::cmdEdit_Click()
{
    const QModelIndex current = grdLog->currentIndex();
    if (!current.isValid() || current.row() >= model->rowCount() || model->isHeading(current.row())) return;
    const SightingsLog::Entry& e = model->entry(current.row());
    // A sighting of an outing changes with its outing (its date and places are the outing's),
    // unless a taxonomy update left it to review.
    if (e.outingId && !e.needsReview) {
        openOuting(current.row());
        return;
    }
    const int sightId = e.sightId;
    if (!editSighting(m_ctx, sightId)) return;
    reload();
    // The edited sighting stays chosen when the filter still shows it.
    for (int row = 0; row < model->rowCount(); ++row)
        if (!model->isHeading(row) && model->entry(row).sightId == sightId) {
            grdLog->selectRow(row);
            break;
        }
    raise();
}

void frmSightingsLog::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
    try {
        AppState& s = m_ctx.state;
        if (!s.dbBirds) return;
        if (m_loadedFrom != s.dbBirds.get() || m_loadedAt != databaseChangeCount(*s.dbBirds)) reload();
    } catch (const std::exception& e) {
        m_ctx.platform.messageBox(QString::fromUtf8(e.what()), windowTitle(), Platform::Buttons::Ok,
                                  Platform::Icon::Exclamation);
    }
}

void frmSightingsLog::openOuting(int row)
{
    if (row < 0 || row >= model->rowCount()) return;
    const int outingId = model->outingAt(row);
    if (!outingId) return;
    if (editOuting(m_ctx, outingId, this)) reload();
    const int heading = model->headingRow(outingId);
    if (heading >= 0) grdLog->setCurrentIndex(model->index(heading, 0));
}

bool frmSightingsLog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grdLog && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const QModelIndex at = grdLog->currentIndex();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && at.isValid() && model->isHeading(at.row())) {
            runGuarded(m_ctx.platform, QStringLiteral("The outing could not be opened."), [&] { openOuting(at.row()); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

frmSightingsLog* openSightingsLog() { return g_log.data(); }

void mnuViewLog_Click(Context& ctx)
{
    if (!g_log) g_log = new frmSightingsLog(ctx, ctx.main->dialogParent());
    g_log->show();
    g_log->raise();
    g_log->activateWindow();
}

} // namespace fl
