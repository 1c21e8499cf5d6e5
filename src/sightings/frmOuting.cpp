#include "frmOuting.h"

#include "OutingGridModel.h"
#include "PlaceBoxes.h"
#include "SightingDates.h"
#include "outings/OutingChecklist.h"
#include "outings/OutingRules.h"
#include "outings/OutingStore.h"
#include "records/EbirdImport.h"
#include "state/AppState.h"
#include "state/OptionsRow.h"
#include "status/StatusTexts.h"
#include "platform/Platform.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/MainWindow.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace fl {

namespace {

QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& hint)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setPlaceholderText(hint);
    return e;
}

} // namespace

frmOuting::frmOuting(Context& ctx, int outingId, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmOuting"));
    setWindowTitle(outingId ? QStringLiteral("Edit Outing") : QStringLiteral("New Outing"));
    setWindowIcon(ImageList1::icon(10));
    AppState& s = m_ctx.state;
    buildWindow();
    if (outingId == 0) {
        startNew();
        return;
    }
    m_scope = {s.Reg_ID, s.Reg_ID ? currentRegionType(s) : QString()};
    loadSpecies();
    m_outing = loadOuting(s.db(), outingId);
    showOuting();
    // The grid opens on the species recorded, not on the top of the checklist.
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->rowAt(row).seen()) {
            grdSpecies->setCurrentIndex(model->index(row, OutingGridModel::Count));
            grdSpecies->scrollTo(grdSpecies->currentIndex(), QAbstractItemView::PositionAtTop);
            break;
        }
    txtFilter->setFocus();
}

frmOuting::~frmOuting() = default;

void frmOuting::startNew()
{
    AppState& s = m_ctx.state;
    // What the last outing left: its newness first, which refers to the database of then.
    model->setNewness(nullptr);
    m_newness.reset();
    m_outing = Outing{};
    m_scope = {s.Reg_ID, s.Reg_ID ? currentRegionType(s) : QString()};
    m_fromFilter = false;
    setWindowTitle(QStringLiteral("New Outing"));
    {
        const QSignalBlocker quietFilter(txtFilter), quietWhole(chkWholeList);
        txtFilter->clear();
        chkWholeList->setChecked(false);
    }
    model->setFilter({});
    model->setWholeList(false);
    txtStart->clear();
    cmbProtocol->setCurrentIndex(0);
    txtDuration->clear();
    txtDistance->clear();
    txtObservers->clear();
    chkAllReported->setChecked(true);
    txtComments->clear();
    cmbSite->clear();
    loadSpecies();
    showOuting();
    grdSpecies->setCurrentIndex({});
    grdSpecies->scrollToTop();
    txtFilter->setFocus();
}

void frmOuting::buildWindow()
{
    auto* top = new QHBoxLayout;
    top->addWidget(buildDetails(), 3);
    top->addWidget(buildPlaces(), 2);

    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdDelete = new QPushButton(QStringLiteral("&Delete"), this);
    cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    // Enter belongs to the filter line and the grid, never to a button.
    for (QPushButton* b : {cmdSave, cmdCancel, cmdDelete}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    Platform& p = m_ctx.platform;
    connect(cmdSave, &QPushButton::clicked, this,
            guarded(p, QStringLiteral("The outing could not be saved."), [this] { cmdSave_Click(); }));
    connectGuarded(cmdCancel, &QPushButton::clicked, this, p, QStringLiteral("The window could not be closed."),
                   [this] { cmdCancel_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this,
            guarded(p, QStringLiteral("The outing could not be deleted."), [this] { cmdDelete_Click(); }));

    lblSeen = new QLabel(this);
    lblSeen->setObjectName(QStringLiteral("lblSeen"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblSeen);
    buttons->addStretch();
    buttons->addWidget(cmdDelete);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);

    lblOther = new QLabel(this);
    lblOther->setObjectName(QStringLiteral("lblOther"));
    lblOther->setWordWrap(true);
    lblOther->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblOther->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buildGrid(), 1);
    layout->addWidget(lblOther);
    layout->addLayout(buttons);
    resize(980, 720);
}

QWidget* frmOuting::buildDetails()
{
    auto* box = new QGroupBox(QStringLiteral("Outing"), this);
    box->setObjectName(QStringLiteral("fraOuting"));
    txtDate = lineEdit(box, "txtDate", {});
    txtDate->setMinimumWidth(txtDate->fontMetrics().horizontalAdvance(longDate(QDate(2026, 9, 30))) + 16);
    cmdCalendar = new QToolButton(box);
    cmdCalendar->setObjectName(QStringLiteral("cmdCalendar"));
    cmdCalendar->setText(QStringLiteral("..."));
    cmdCalendar->setToolTip(QStringLiteral("Pick the date from a calendar"));
    cmdCalendar->setAccessibleName(cmdCalendar->toolTip());
    // The calendar is made when first asked for: it is the slowest part of the window to build.
    const QString calendarFailure = QStringLiteral("The calendar could not be shown.");
    connectGuarded(cmdCalendar, &QToolButton::clicked, this, m_ctx.platform, calendarFailure, [this, calendarFailure] {
        auto* calendar = calDate;
        if (!calendar) {
            calendar = calDate = new QCalendarWidget(this);
            calendar->setObjectName(QStringLiteral("calDate"));
            calendar->setWindowFlags(Qt::Popup);
            calendar->setMinimumDate(QDate(1900, 1, 1));
            auto pick = [this, calendar](QDate date) {
                txtDate->setText(longDate(date));
                calendar->hide();
                txtDate->setFocus();
                dateChanged();
            };
            connectGuarded(calendar, &QCalendarWidget::activated, this, m_ctx.platform, calendarFailure, pick);
            connectGuarded(calendar, &QCalendarWidget::clicked, this, m_ctx.platform, calendarFailure, pick);
        }
        calendar->setMaximumDate(QDate::currentDate());
        const QDate typed = parseSightingDate(txtDate->text());
        calendar->setSelectedDate(typed.isValid() ? typed : QDate::currentDate());
        calendar->move(cmdCalendar->mapToGlobal(QPoint(0, cmdCalendar->height())));
        calendar->show();
        calendar->setFocus();
    });
    connect(txtDate, &QLineEdit::editingFinished, this,
            guarded(m_ctx.platform, QStringLiteral("The species new on that date could not be found."),
                    [this] { dateChanged(); }));

    txtStart = lineEdit(box, "txtStart", QStringLiteral("7:30"));
    cmbProtocol = new QComboBox(box);
    cmbProtocol->setObjectName(QStringLiteral("cmbProtocol"));
    cmbProtocol->addItems(outingProtocols());
    txtDuration = lineEdit(box, "txtDuration", QStringLiteral("minutes, or 1:30"));
    txtDistance = lineEdit(box, "txtDistance", QStringLiteral("km"));
    txtObservers = lineEdit(box, "txtObservers", {});
    chkAllReported = new QCheckBox(QStringLiteral("&All species reported"), box);
    chkAllReported->setObjectName(QStringLiteral("chkAllReported"));
    chkAllReported->setChecked(true);
    cmbSite = new QComboBox(box);
    cmbSite->setObjectName(QStringLiteral("cmbSite"));
    cmbSite->setEditable(true);
    cmbSite->setInsertPolicy(QComboBox::NoInsert);
    connect(cmbSite, &QComboBox::activated, this,
            guarded(m_ctx.platform, QStringLiteral("The places of the site could not be read."), [this] { siteChosen(); }));
    txtComments = new QPlainTextEdit(box);
    txtComments->setObjectName(QStringLiteral("txtComments"));
    txtComments->setTabChangesFocus(true);
    txtComments->setMaximumHeight(txtComments->fontMetrics().height() * 4);

    auto* grid = new QGridLayout(box);
    auto label = [box](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, box);
        l->setBuddy(buddy);
        return l;
    };
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(txtDate, 1);
    dateRow->addWidget(cmdCalendar);
    grid->addWidget(label(QStringLiteral("&Date"), txtDate), 0, 0);
    grid->addLayout(dateRow, 0, 1);
    grid->addWidget(label(QStringLiteral("S&tart time"), txtStart), 0, 2);
    grid->addWidget(txtStart, 0, 3);
    grid->addWidget(label(QStringLiteral("&Protocol"), cmbProtocol), 1, 0);
    grid->addWidget(cmbProtocol, 1, 1);
    grid->addWidget(label(QStringLiteral("D&uration"), txtDuration), 1, 2);
    grid->addWidget(txtDuration, 1, 3);
    grid->addWidget(label(QStringLiteral("O&bservers"), txtObservers), 2, 0);
    grid->addWidget(txtObservers, 2, 1);
    grid->addWidget(label(QStringLiteral("Distance (&km)"), txtDistance), 2, 2);
    grid->addWidget(txtDistance, 2, 3);
    grid->addWidget(chkAllReported, 3, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("&Site"), cmbSite), 4, 0);
    grid->addWidget(cmbSite, 4, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("Co&mments"), txtComments), 5, 0, Qt::AlignTop);
    grid->addWidget(txtComments, 5, 1, 1, 3);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* frmOuting::buildPlaces()
{
    placeBoxes = new PlaceBoxes(m_ctx.platform, this);
    for (int k = 0; k < 4; ++k) {
        cmbPlace[k] = placeBoxes->box[k];
        PicClear[k] = placeBoxes->clear[k];
    }
    connectGuarded(placeBoxes, &PlaceBoxes::placesChanged, this, m_ctx.platform,
                   QStringLiteral("The species new at that place could not be found."), [this] { placesChanged(); });
    return placeBoxes;
}

QWidget* frmOuting::buildGrid()
{
    auto* box = new QWidget(this);
    auto* lblFilter = new QLabel(QStringLiteral("&Find:"), box);
    txtFilter = new QLineEdit(box);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setPlaceholderText(QStringLiteral("alpha code, part of the name or scientific name; Enter to count"));
    txtFilter->setClearButtonEnabled(true);
    txtFilter->installEventFilter(this);
    lblFilter->setBuddy(txtFilter);
    chkWholeList = new QCheckBox(QStringLiteral("&Whole list"), box);
    chkWholeList->setObjectName(QStringLiteral("chkWholeList"));
    chkWholeList->setToolTip(QStringLiteral("Show the species that are not on the checklist of the current region too"));

    model = new OutingGridModel(this);
    grdSpecies = new QTableView(box);
    grdSpecies->setObjectName(QStringLiteral("grdSpecies"));
    grdSpecies->setAccessibleName(QStringLiteral("Species"));
    grdSpecies->setModel(model);
    grdSpecies->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdSpecies->setSelectionMode(QAbstractItemView::SingleSelection);
    grdSpecies->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
                                | QAbstractItemView::EditKeyPressed);
    grdSpecies->setTabKeyNavigation(true);
    grdSpecies->setWordWrap(false);
    grdSpecies->verticalHeader()->hide();
    grdSpecies->verticalHeader()->setDefaultSectionSize(grdSpecies->fontMetrics().height() + 6);
    grdSpecies->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {300, 60, 70, 300};
    for (int i = 0; i < int(std::size(widths)); ++i) grdSpecies->setColumnWidth(i, widths[i]);
    grdSpecies->installEventFilter(this);
    connectGuarded(grdSpecies->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, m_ctx.platform,
                   QStringLiteral("The next species could not be chosen."),
                   [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) { countClosed(int(hint)); });

    const QString filterFailure = QStringLiteral("The species could not be listed.");
    connect(txtFilter, &QLineEdit::textChanged, this, guarded(m_ctx.platform, filterFailure, [this](const QString& t) {
                if (!t.trimmed().isEmpty() && !model->hasOffList())
                    model->setOffList(speciesOffChecklist(m_ctx.state.db(), m_scope.regId));
                model->setFilter(t);
                const int best = model->bestRow();
                if (best >= 0) grdSpecies->setCurrentIndex(model->index(best, OutingGridModel::Count));
            }));
    connect(txtFilter, &QLineEdit::returnPressed, this,
            guarded(m_ctx.platform, filterFailure, [this] { txtFilter_Return(); }));
    connect(chkWholeList, &QCheckBox::toggled, this, guarded(m_ctx.platform, filterFailure, [this](bool on) {
                if (on && !model->hasOffList()) model->setOffList(speciesOffChecklist(m_ctx.state.db(), m_scope.regId));
                model->setWholeList(on);
            }));
    connect(model, &OutingGridModel::seenChanged, this,
            [this](int seen) noexcept { lblSeen->setText(QStringLiteral("%1 species seen").arg(seen)); });

    auto* bar = new QHBoxLayout;
    bar->addWidget(lblFilter);
    bar->addWidget(txtFilter, 1);
    bar->addWidget(chkWholeList);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(grdSpecies, 1);
    return box;
}

void frmOuting::loadSpecies()
{
    AppState& s = m_ctx.state;
    {
        const QSignalBlocker quiet(placeBoxes); // the newness follows once the outing is shown
        placeBoxes->load(s.db());
    }
    cmbSite->addItems(recentSites(s.db()));
    model->setSpecies(outingChecklist(s.db(), m_scope.regId), {});
}

void frmOuting::showOuting()
{
    AppState& s = m_ctx.state;
    m_newness = std::make_unique<OutingNewness>(s.db(), m_scope, m_outing.id);
    model->setNewness(m_newness.get());
    const QSignalBlocker quiet(placeBoxes);
    if (m_outing.id == 0) {
        txtDate->setText(longDate(QDate::currentDate()));
        cmbSite->setCurrentIndex(-1);
        cmbSite->clearEditText();
        // The current region preselected, as the sighting window does it.
        placeBoxes->preselect(s.Reg_ID);
        cmdDelete->hide();
        lblOther->hide();
        m_otherRecords = 0;
    } else {
        const Outing& o = m_outing;
        txtDate->setText(longDate(o.date));
        txtStart->setText(o.startTime.isValid() ? o.startTime.toString(QStringLiteral("H:mm")) : QString());
        const int protocol = cmbProtocol->findText(o.protocol, Qt::MatchFixedString);
        if (protocol >= 0) {
            cmbProtocol->setCurrentIndex(protocol);
        } else { // a protocol of eBird's that the list lacks stays as it is
            cmbProtocol->addItem(o.protocol);
            cmbProtocol->setCurrentIndex(cmbProtocol->count() - 1);
        }
        txtDuration->setText(durationText(o.duration));
        txtDistance->setText(decimalText(o.distance));
        txtObservers->setText(o.observers ? QString::number(*o.observers) : QString());
        chkAllReported->setChecked(o.allReported);
        cmbSite->setEditText(o.site);
        txtComments->setPlainText(o.comments);
        placeBoxes->setPlaces({o.places[0], o.places[1], o.places[2], o.places[3]});
        for (const OutingEntry& e : o.entries) {
            if (model->setEntry(e)) continue;
            if (!model->hasOffList()) model->setOffList(speciesOffChecklist(s.db(), m_scope.regId));
            model->setEntry(e);
        }
        model->markClean();
        const QStringList others = outingOtherRecords(s.db(), o.id);
        lblOther->setText(QStringLiteral("Also recorded, counted in no list: %1").arg(others.join(QStringLiteral("; "))));
        lblOther->setVisible(!others.isEmpty());
        m_otherRecords = others.size();
    }
    lblSeen->setText(QStringLiteral("%1 species seen").arg(model->seenCount()));
    placesChanged();
    m_savedDetails = details();
}

QString frmOuting::details() const
{
    QStringList d = {txtDate->text(),          txtStart->text(),    cmbProtocol->currentText(), txtDuration->text(),
                     txtDistance->text(),      txtObservers->text(), chkAllReported->isChecked() ? "1" : "0",
                     cmbSite->currentText(),   txtComments->toPlainText()};
    for (QComboBox* box : cmbPlace) d << box->currentText();
    return d.join(u'\x1f');
}

bool frmOuting::hasUnsavedEntries() const { return model->isDirty() || details() != m_savedDetails; }

void frmOuting::placesChanged()
{
    const std::array<int, 4> chosen = placeBoxes->places();
    const int places[4] = {chosen[0], chosen[1], chosen[2], chosen[3]};
    const QDate date = parseSightingDate(txtDate->text());
    m_newness->setOuting(date, countsForRegion(places, m_scope));
    model->refreshNewness();
}

void frmOuting::dateChanged() { placesChanged(); }

void frmOuting::siteChosen()
{
    int places[4] = {};
    if (!placesOfSite(m_ctx.state.db(), cmbSite->currentText(), places)) return;
    placeBoxes->setPlaces({places[0], places[1], places[2], places[3]});
}

void frmOuting::txtFilter_Return()
{
    const int best = model->bestRow();
    if (best < 0) {
        m_ctx.platform.beep();
        return;
    }
    const QModelIndex cell = model->index(best, OutingGridModel::Count);
    grdSpecies->setCurrentIndex(cell);
    grdSpecies->scrollTo(cell);
    grdSpecies->setFocus();
    m_fromFilter = true;
    grdSpecies->edit(cell);
}

void frmOuting::countClosed(int hint)
{
    const bool fromFilter = m_fromFilter;
    m_fromFilter = false;
    if (hint != QAbstractItemDelegate::SubmitModelCache) return; // Tab moves on by itself; Escape stays
    if (fromFilter) {
        // Back to the filter line for the next species.
        txtFilter->clear();
        txtFilter->setFocus();
        return;
    }
    const QModelIndex at = grdSpecies->currentIndex();
    if (at.isValid() && at.row() + 1 < model->rowCount())
        grdSpecies->setCurrentIndex(model->index(at.row() + 1, at.column()));
}

bool frmOuting::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == txtFilter && key->key() == Qt::Key_Down && model->rowCount() > 0) {
        // Down from the filter line into the grid, at the count of the species found.
        const int best = std::max(0, model->bestRow());
        grdSpecies->setCurrentIndex(model->index(best, OutingGridModel::Count));
        grdSpecies->setFocus();
        return true;
    }
    if (watched == grdSpecies && grdSpecies->hasFocus() && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        // Enter on a cell not being typed into moves on, as it does after typing. (An open
        // editor has the focus; its Enter, passed on to the grid, commits the count first.)
        countClosed(QAbstractItemDelegate::SubmitModelCache);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool frmOuting::readOuting(Outing& o)
{
    Platform& p = m_ctx.platform;
    auto refuse = [&p](QWidget* field, const QString& text, const QString& title) {
        p.messageBox(text, title, Platform::Buttons::Ok, Platform::Icon::Exclamation);
        field->setFocus();
        return false;
    };
    const QDate date = parseSightingDate(txtDate->text());
    if (!date.isValid() || date > QDate::currentDate() || date.year() < 1900) {
        p.messageBox(QStringLiteral("The date is missing or not in a proper format."), QStringLiteral("Improper Date"),
                     Platform::Buttons::Ok, Platform::Icon::None);
        txtDate->setFocus();
        return false;
    }
    bool ok = true;
    const QTime start = parseStartTime(txtStart->text(), ok);
    if (!ok)
        return refuse(txtStart, QStringLiteral("The start time is not a time of day such as 7:30 or 19:30."),
                      QStringLiteral("Improper Time"));
    const std::optional<int> duration = parseDuration(txtDuration->text(), ok);
    if (!ok || (duration && (*duration < 1 || *duration > 1440)))
        return refuse(txtDuration,
                      QStringLiteral("The duration is a number of minutes, or hours and minutes such as 1:30, "
                                     "from 1 minute to 24 hours."),
                      QStringLiteral("Improper Duration"));
    const std::optional<double> distance = parseDecimal(txtDistance->text(), ok);
    if (!ok || (distance && (*distance < 0 || *distance > 10000)))
        return refuse(txtDistance, QStringLiteral("The distance is a number of kilometres from 0 to 10,000."),
                      QStringLiteral("Improper Distance"));
    const std::optional<int> observers = parseWholeNumber(txtObservers->text(), ok);
    if (!ok || (observers && (*observers < 1 || *observers > 1000)))
        return refuse(txtObservers, QStringLiteral("The number of observers is a whole number from 1 to 1,000."),
                      QStringLiteral("Improper Number"));
    if (!placeBoxes->acceptTyped()) return false;
    QString problem;
    if (const int bad = model->firstProblem(&problem); bad >= 0) {
        const QString name = model->speciesNameAt(bad);
        txtFilter->clear();
        const int shown = [&] {
            for (int r = 0; r < model->rowCount(); ++r)
                if (model->rowAt(r).species.name == name) return r;
            return -1;
        }();
        if (shown >= 0) grdSpecies->setCurrentIndex(model->index(shown, OutingGridModel::Count));
        return refuse(grdSpecies, QStringLiteral("The count of %1 is not right: %2").arg(name, problem),
                      QStringLiteral("Improper Count"));
    }
    std::vector<OutingEntry> entries = model->entries();
    if (entries.empty())
        return refuse(txtFilter, QStringLiteral("No species has a count or X. Enter at least one species seen."),
                      QStringLiteral("No Species"));

    o.date = date;
    o.startTime = start;
    o.duration = duration;
    o.distance = distance;
    o.observers = observers;
    o.protocol = cmbProtocol->currentText();
    o.allReported = chkAllReported->isChecked();
    o.site = cmbSite->currentText().trimmed();
    o.comments = txtComments->toPlainText();
    const std::array<int, 4> places = placeBoxes->places();
    for (int k = 0; k < 4; ++k) o.places[k] = places[size_t(k)];
    // The region codes follow the boxes; a code the boxes cannot show stays as it was.
    const QString state = placeBoxes->code(2);
    const QString county = placeBoxes->code(3);
    if (o.places[2]) o.stateCode = state;
    if (o.places[3]) o.countyCode = county;
    if (!o.countyCode.isEmpty() && !o.stateCode.isEmpty() && !o.countyCode.startsWith(o.stateCode + u'-'))
        o.countyCode.clear();
    o.entries = std::move(entries);
    return true;
}

void frmOuting::afterChange(int)
{
    AppState& s = m_ctx.state;
    m_ctx.main->setPanel(panel::Life, panelText::lifeAfterSighting(storedLifeSum(s), storedLifeTotal(s)));
    m_ctx.main->refreshSpecies(); // its commands, its seen line
}

void frmOuting::cmdSave_Click()
{
    Outing o = m_outing;
    if (!readOuting(o)) return;
    AppState& s = m_ctx.state;
    OutingChange change;
    try {
        Hourglass busy(m_ctx.platform);
        change = saveOuting(s.db(), o, m_scope, s.rsOptions);
    } catch (const db::DbError&) {
        // Nothing was stored: the window keeps every entry; the Options row is read again.
        try {
            s.rsOptions = s.db().openRecordset(QStringLiteral("Options"), db::RecordsetKind::Dynaset);
        } catch (const db::DbError&) {
        }
        throw;
    }
    m_outing = o;
    model->markClean();
    m_savedDetails = details();
    afterChange(change.lifesum);
    QDialog::accept();
}

void frmOuting::cmdDelete_Click()
{
    if (m_outing.id == 0) return;
    AppState& s = m_ctx.state;
    const int n = outingSightingCount(s.db(), m_outing.id);
    const qsizetype others = m_otherRecords;
    QString question = n == 1 ? QStringLiteral("Delete this outing and its sighting?")
                              : QStringLiteral("Delete this outing and its %1 sightings?").arg(n);
    if (others > 0) // they go with it, so the question names them too
        question = QStringLiteral("Delete this outing, its %1 and its %2?")
                       .arg(n == 1 ? QStringLiteral("sighting") : QStringLiteral("%1 sightings").arg(n),
                            others == 1 ? QStringLiteral("record of no species")
                                        : QStringLiteral("%1 records of no species").arg(others));
    if (m_ctx.platform.messageBox(question, QStringLiteral("Delete Outing"), Platform::Buttons::YesNo,
                                  Platform::Icon::Question)
        != Platform::Answer::Yes)
        return;
    OutingChange change;
    try {
        change = deleteOuting(s.db(), m_outing.id, m_scope, s.rsOptions);
    } catch (const db::DbError&) {
        try {
            s.rsOptions = s.db().openRecordset(QStringLiteral("Options"), db::RecordsetKind::Dynaset);
        } catch (const db::DbError&) {
        }
        throw;
    }
    afterChange(change.lifesum);
    m_outing.id = 0;
    QDialog::accept();
}

void frmOuting::cmdCancel_Click() { reject(); }

void frmOuting::reject()
{
    if (hasUnsavedEntries()
        && m_ctx.platform.messageBox(QStringLiteral("Close without saving? The entries of this outing will be lost."),
                                     windowTitle(), Platform::Buttons::YesNo, Platform::Icon::Question)
               != Platform::Answer::Yes)
        return;
    QDialog::reject();
}

bool editOuting(Context& ctx, int outingId, QWidget* parent)
{
    frmOuting dialog(ctx, outingId, parent);
    return dialog.exec() == QDialog::Accepted;
}

void mnuFileOuting_Click(Context& ctx)
{
    // The window is made once and kept, hidden, for the next outing: opening it again reads
    // only the checklist, the recent sites and (when they changed) the regions.
    static QPointer<frmOuting> kept;
    QWidget* parent = ctx.main->dialogParent();
    if (kept && kept->parentWidget() == parent && &kept->context() == &ctx) {
        kept->startNew();
    } else {
        delete kept.data();
        kept = new frmOuting(ctx, 0, parent);
    }
    kept->exec();
    // Ended without an answer (the session ends the program): the kept window goes out of
    // sight as a window of its own would go away, so that closing the program does not ask
    // about its entries after the database is closed.
    if (kept && kept->isVisible()) kept->hide();
    ctx.main->focusSpeciesList();
}

} // namespace fl
