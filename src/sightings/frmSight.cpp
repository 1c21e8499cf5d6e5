#include "frmSight.h"

#include "state/AppState.h"
#include "state/SpeciesOnShow.h"
#include "state/OptionsRow.h"
#include "regions/ChecklistCopy.h"
#include "regions/RegionKinds.h"
#include "lifelist/SightingChanges.h"
#include "PlaceBoxes.h"
#include "RecordCommands.h"
#include "SightingDates.h"
#include "status/StatusTexts.h"
#include "platform/Platform.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/MainWindow.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace fl {

frmSight::frmSight(Context& ctx, Mode mode, QWidget* parent, int sightId)
    : QDialog(parent), m_ctx(ctx), m_viewMode(mode == Mode::StoredSighting), m_sightId(sightId)
{
    setObjectName(QStringLiteral("frmSight"));
    setWindowTitle(QStringLiteral("New Sighting Entry"));
    buildWindow();
    Form_Load();
}

void frmSight::buildWindow()
{
    auto label = [this](int index, const QString& text, QWidget* buddy, QWidget* parent) {
        lbltitle[index] = new QLabel(text, parent);
        lbltitle[index]->setObjectName(QStringLiteral("lbltitle(%1)").arg(index));
        if (buddy) lbltitle[index]->setBuddy(buddy);
        return lbltitle[index];
    };

    Frame2 = new QGroupBox(QStringLiteral("Sighting Details"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    txtDate = new QLineEdit(Frame2);
    txtDate->setObjectName(QStringLiteral("txtDate"));
    // Wide enough for the longest long date ("Wednesday, September 30, 2026").
    txtDate->setMinimumWidth(txtDate->fontMetrics().horizontalAdvance(longDate(QDate(2026, 9, 30))) + 16);
    cmbType = new QComboBox(Frame2);
    cmbType->setObjectName(QStringLiteral("cmbType"));
    cmbType->setEditable(true);
    cmbType->setInsertPolicy(QComboBox::NoInsert);
    txtSite = new QLineEdit(Frame2);
    txtSite->setObjectName(QStringLiteral("txtSite"));
    txtNotes = new QPlainTextEdit(Frame2);
    txtNotes->setObjectName(QStringLiteral("txtNotes"));
    txtNotes->setTabChangesFocus(true);
    auto* details = new QGridLayout(Frame2);
    details->addWidget(label(6, QStringLiteral("Date"), txtDate, Frame2), 0, 0);
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(txtDate);
    dateRow->addWidget(buildCalendar());
    details->addLayout(dateRow, 0, 1);
    details->addWidget(label(7, QStringLiteral("Type"), cmbType, Frame2), 1, 0);
    details->addWidget(cmbType, 1, 1);
    details->addWidget(label(4, QStringLiteral("Site"), txtSite, Frame2), 2, 0);
    details->addWidget(txtSite, 2, 1);
    details->addWidget(label(5, QStringLiteral("Notes"), txtNotes, Frame2), 3, 0, Qt::AlignTop);
    details->addWidget(txtNotes, 3, 1);

    m_placeBoxes = new PlaceBoxes(m_ctx.platform, this);
    Frame1 = m_placeBoxes;
    for (int k = 0; k < 4; ++k) {
        cmbPlace[k] = m_placeBoxes->box[k];
        PicClear[k] = m_placeBoxes->clear[k];
        lbltitle[k] = m_placeBoxes->label[k];
        lbltitle[k]->setObjectName(QStringLiteral("lbltitle(%1)").arg(k));
    }

    lbltitle[8] = new QLabel(m_sightId ? QStringLiteral("Sighting of the ") : QStringLiteral("First Sighting of the "),
                             this);
    lbltitle[8]->setObjectName(QStringLiteral("lbltitle(8)"));
    lbltitle[8]->setTextFormat(Qt::PlainText); // the species' name as it is
    QFont heading = lbltitle[8]->font();
    heading.setBold(true);
    heading.setPointSize(heading.pointSize() + 2);
    lbltitle[8]->setFont(heading);

    lblReview = new QLabel(this);
    lblReview->setObjectName(QStringLiteral("lblReview"));
    lblReview->setWordWrap(true);
    lblReview->setTextFormat(Qt::PlainText); // it names the species as it is
    lblReview->hide();
    cmbSpecies = new QComboBox(this);
    cmbSpecies->setObjectName(QStringLiteral("cmbSpecies"));
    cmbSpecies->setAccessibleName(QStringLiteral("Species seen"));
    cmbSpecies->hide();

    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdRecall = new QPushButton(QStringLiteral("&Last Entry"), this);
    cmdRecall->setObjectName(QStringLiteral("cmdRecall"));
    cmdDelete = new QPushButton(QStringLiteral("&Delete"), this);
    cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    cmdDelete->hide();
    Platform& p = m_ctx.platform;
    connectGuarded(cmdSave, &QPushButton::clicked, this, p, QStringLiteral("The sighting could not be saved."),
                   [this] { cmdSave_Click(); });
    connectGuarded(cmdCancel, &QPushButton::clicked, this, p, QStringLiteral("The window could not be closed."),
                   [this] { cmdCancel_Click(); });
    connectGuarded(cmdRecall, &QPushButton::clicked, this, p, QStringLiteral("The last sighting could not be shown."),
                   [this] { cmdRecall_Click(); });
    connectGuarded(cmdDelete, &QPushButton::clicked, this, p, QStringLiteral("The sighting could not be deleted."),
                   [this] { cmdDelete_Click(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRecall);
    buttons->addWidget(cmdDelete);
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto* columns = new QHBoxLayout;
    columns->addWidget(Frame2, 3);
    columns->addWidget(Frame1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbltitle[8]);
    layout->addWidget(lblReview);
    layout->addWidget(cmbSpecies);
    layout->addLayout(columns);
    layout->addLayout(buttons);
}

QWidget* frmSight::buildCalendar()
{
    cmdCalendar = new QToolButton(Frame2);
    cmdCalendar->setObjectName(QStringLiteral("cmdCalendar"));
    cmdCalendar->setText(QStringLiteral("..."));
    cmdCalendar->setToolTip(QStringLiteral("Pick the date from a calendar"));
    cmdCalendar->setAccessibleName(cmdCalendar->toolTip());
    calDate = new QCalendarWidget(this);
    calDate->setObjectName(QStringLiteral("calDate"));
    calDate->setWindowFlags(Qt::Popup);
    calDate->setMinimumDate(QDate(1900, 1, 1));
    calDate->setMaximumDate(QDate::currentDate());
    const QString calendarFailure = QStringLiteral("The date could not be taken from the calendar.");
    connectGuarded(cmdCalendar, &QToolButton::clicked, this, m_ctx.platform, calendarFailure,
                   [this] { cmdCalendar_Click(); });
    auto pick = [this](QDate date) {
        txtDate->setText(longDate(date));
        calDate->hide();
        txtDate->setFocus();
    };
    connectGuarded(calDate, &QCalendarWidget::activated, this, m_ctx.platform, calendarFailure, pick);
    connectGuarded(calDate, &QCalendarWidget::clicked, this, m_ctx.platform, calendarFailure, pick);
    return cmdCalendar;
}

void frmSight::cmdCalendar_Click()
{
    calDate->setMaximumDate(QDate::currentDate());
    const QDate typed = parseSightingDate(txtDate->text());
    calDate->setSelectedDate(typed.isValid() ? typed : QDate::currentDate());
    calDate->move(cmdCalendar->mapToGlobal(QPoint(0, cmdCalendar->height())));
    calDate->show();
    calDate->setFocus();
}

void frmSight::Form_Load()
{
    AppState& s = m_ctx.state;
    setWindowIcon(ImageList1::icon(10));
    m_placeBoxes->load(s.db());
    cmbType->addItems({QStringLiteral("Adult"), QStringLiteral("Male"), QStringLiteral("Female"),
                       QStringLiteral("Immature"), QStringLiteral("Pair")});
    cmbType->setCurrentIndex(-1);
    const SpeciesOnShow& species = m_ctx.main->species();
    lbltitle[8]->setText(lbltitle[8]->text() + species.name());

    m_birdId = species.id();
    if (m_viewMode) {
        cmdDelete->setVisible(true);
        cmdRecall->setVisible(false);
        if (m_sightId == 0) m_sightId = species.lifeListSighting();
        m_sightingsQuery = QStringLiteral("Select * from sightings where sight_ID = ")
                           + QString::number(m_sightId);
        openSightings();
        if (rsSight.eof()) return; // not loaded: the caller reports it
        ShowSighting();
        showReview();
    } else {
        txtDate->setText(longDate(QDate::currentDate()));
        // The current region in its own box too, so that the sighting counts for it.
        m_placeBoxes->preselect(s.Reg_ID);
        // In the order they were stored, so that the last row is the latest sighting.
        m_sightingsQuery = QStringLiteral("SELECT * FROM Sightings ORDER BY Sight_ID");
        openSightings();
        if (rsSight.recordCount() == 0) cmdRecall->setEnabled(false);
    }
    m_loaded = true;
}

// A sighting whose species a taxonomy update split: the window says so and offers every
// species, so that the sighting can be given the one that was seen.
void frmSight::showReview()
{
    if (rsSight.field(QStringLiteral("NeedsReview")).toInt() == 0) return;
    AppState& s = m_ctx.state;
    const int current = m_birdId;
    lblReview->setText(QStringLiteral("This sighting needs review: a taxonomy update split its species, and it stayed "
                                      "with %1. Choose the species seen and save to mark it reviewed.")
                           .arg(m_ctx.main->species().name()));
    lblReview->show();
    auto rs = s.db().openRecordset(QStringLiteral("SELECT ID, Name FROM Birds ORDER BY sortOrder, Name"),
                                   db::RecordsetKind::Snapshot);
    for (; !rs.eof(); rs.moveNext()) cmbSpecies->addItem(rs.field(1).toString(), rs.field(0).toInt());
    cmbSpecies->setCurrentIndex(cmbSpecies->findData(current));
    cmbSpecies->show();
}

void frmSight::openSightings()
{
    rsSight = m_ctx.state.db().openRecordset(m_sightingsQuery, db::RecordsetKind::Dynaset);
}

void frmSight::ShowSighting()
{
    txtDate->setText(longDate(rsSight.field(QStringLiteral("Date")).toDate()));
    cmbType->setEditText(rsSight.field(QStringLiteral("Type")).toString());
    txtSite->setText(rsSight.field(QStringLiteral("site")).toString());
    txtNotes->setPlainText(rsSight.field(QStringLiteral("notes")).toString());
    // Each place by its id, not its name: two regions may share a name. A place of 0 leaves
    // its box as it was.
    std::array<int, 4> ids{};
    for (int k = 0; k < 4; ++k) ids[size_t(k)] = rsSight.field(regionKinds()[k].sightingsColumn).toInt();
    m_placeBoxes->setPlaces(ids, true);
}

void frmSight::cmdRecall_Click()
{
    if (rsSight.recordCount() == 0) return;
    rsSight.moveLast();
    ShowSighting();
}

void frmSight::PicClear_Click(int index) { m_placeBoxes->clearPlace(index); }

void frmSight::cmdCancel_Click() { reject(); }

void frmSight::writeLifePanel()
{
    m_ctx.main->setPanel(panel::Life,
                         panelText::lifeAfterSighting(storedLifeSum(m_ctx.state), storedLifeTotal(m_ctx.state)));
}

// After a failed change nothing was stored: show the engine's message and read the
// species and the options row again, so that nothing on screen claims otherwise.
void frmSight::refreshAfterFailure(const QString& message)
{
    AppState& s = m_ctx.state;
    m_ctx.platform.messageBox(message, windowTitle(), Platform::Buttons::Ok, Platform::Icon::Exclamation);
    try {
        s.rsOptions = s.db().openRecordset(QStringLiteral("Options"), db::RecordsetKind::Dynaset);
        m_ctx.main->refreshSpecies();
    } catch (const db::DbError&) {
    }
}

// The species on show follows a stored change: its commands, its seen line, the life count.
void frmSight::showChange(const SightingChange& change)
{
    if (change.lifesumChanged) writeLifePanel();
    m_ctx.main->species().refresh();
}

void frmSight::cmdSave_Click()
{
    AppState& s = m_ctx.state;
    const QDate date = parseSightingDate(txtDate->text());
    // A sighting in the future, or before 1900, is a typing mistake.
    if (!date.isValid() || date > QDate::currentDate() || date.year() < 1900) {
        m_ctx.platform.messageBox(QStringLiteral("The date is missing or not in a proper format."),
                                  QStringLiteral("Improper Date"), Platform::Buttons::Ok, Platform::Icon::None);
        txtDate->setFocus();
        return;
    }
    // A place box takes only a place of its list; typed text must name one.
    if (!m_placeBoxes->acceptTyped()) return;
    Sighting sighting;
    // A sighting under review may be given another species; saving it marks it reviewed.
    sighting.birdId = m_viewMode && cmbSpecies->count() > 0 && cmbSpecies->currentData().toInt() != 0
                          ? cmbSpecies->currentData().toInt()
                          : m_birdId;
    sighting.date = date;
    sighting.type = cmbType->currentText();
    const std::array<int, 4> places = m_placeBoxes->places();
    for (int k = 0; k < 4; ++k) sighting.places[size_t(k)] = places[size_t(k)];
    sighting.site = txtSite->text();
    sighting.notes = txtNotes->toPlainText();

    SightingChange change;
    try {
        change = m_viewMode ? changeSighting(s.db(), s.rsOptions, m_sightId, sighting, s.Reg_ID)
                            : addSighting(s.db(), s.rsOptions, sighting, s.Reg_ID);
    } catch (const db::DbError& e) {
        refreshAfterFailure(e.message());
        try {
            openSightings(); // the rows as they are stored, without the one that failed
        } catch (const db::DbError&) {
        }
        return;
    }
    showChange(change);
    accept();
}

void frmSight::cmdDelete_Click()
{
    AppState& s = m_ctx.state;
    if (m_ctx.platform.messageBox(QStringLiteral("Do you really want to delete this Sighting?"),
                                  QStringLiteral("Delete Sighting"), Platform::Buttons::YesNo, Platform::Icon::Question)
        != Platform::Answer::Yes)
        return;
    SightingChange change;
    try {
        change = deleteSighting(s.db(), s.rsOptions, m_sightId, s.Reg_ID);
    } catch (const db::DbError& e) {
        refreshAfterFailure(e.message());
        reject();
        return;
    }
    showChange(change);
    accept();
}

namespace {

void showSighting(Context& ctx, bool viewMode)
{
    if (!ctx.main->species().isShown()) return;
    {
        frmSight dialog(ctx, viewMode ? frmSight::Mode::StoredSighting : frmSight::Mode::NewSighting,
                        ctx.main->dialogParent());
        if (dialog.loaded()) {
            dialog.exec();
        } else {
            ctx.platform.messageBox(QStringLiteral("The life-list sighting of this bird could not be found."),
                                    dialog.windowTitle(), Platform::Buttons::Ok, Platform::Icon::Exclamation);
        }
    }
    ctx.main->focusSpeciesList();
}

} // namespace

void mnuFileSighting_Click(Context& ctx) { showSighting(ctx, false); }
void mnuViewDetails_Click(Context& ctx) { showSighting(ctx, true); }

bool editSighting(Context& ctx, int sightId)
{
    AppState& s = ctx.state;
    const QString name = s.db()
                             .scalar(QStringLiteral("SELECT Birds.Name FROM Sightings, Birds WHERE Birds.ID = "
                                                    "Sightings.Bird_ID AND Sight_ID = ?"),
                                     {sightId})
                             .toString();
    if (name.isEmpty()) return false;
    showSpeciesInMain(ctx, name);
    if (ctx.main->species().name() != name) return false;
    bool changed = false;
    {
        frmSight dialog(ctx, frmSight::Mode::StoredSighting, ctx.main->dialogParent(), sightId);
        if (!dialog.loaded()) {
            ctx.platform.messageBox(QStringLiteral("The sighting could not be found."), dialog.windowTitle(),
                                    Platform::Buttons::Ok, Platform::Icon::Exclamation);
            return false;
        }
        changed = dialog.exec() == QDialog::Accepted;
    }
    if (changed) ctx.main->refreshSpecies();
    return changed;
}

} // namespace fl
