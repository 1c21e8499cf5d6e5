#include "frmMyLists.h"

#include "MyListsModels.h"
#include "RecordCommands.h"
#include "Reports.h"
#include "state/AppState.h"
#include "records/Backup.h"
#include "records/TableExport.h"
#include "status/Seasons.h"
#include "platform/Platform.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/MainWindow.h"
#include "ui/RegionList.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace fl {

namespace {

QPointer<frmMyLists> g_lists;

const QString kTitle = QStringLiteral("My Lists");

QTableView* newGrid(QWidget* parent, const char* name, const QString& accessibleName)
{
    auto* grid = new QTableView(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setAccessibleName(accessibleName);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->verticalHeader()->hide();
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

QPushButton* newButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

void tell(Context& ctx, const QString& text, Platform::Icon icon = Platform::Icon::Exclamation)
{
    ctx.platform.messageBox(text, kTitle, Platform::Buttons::Ok, icon);
}

} // namespace

frmMyLists::frmMyLists(Context& ctx, QWidget* parent) : QWidget(parent, Qt::Window), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmMyLists"));
    setWindowTitle(kTitle);
    setWindowIcon(ImageList1::icon(10));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* lblRegion = new QLabel(QStringLiteral("&Region:"), this);
    cmbRegion = new QComboBox(this);
    cmbRegion->setObjectName(QStringLiteral("cmbRegion"));
    cmbRegion->setMinimumContentsLength(24);
    lblRegion->setBuddy(cmbRegion);

    tabPages = new QTabWidget(this);
    tabPages->setObjectName(QStringLiteral("tabPages"));

    // The lists and the chosen list's species.
    auto* listsPage = new QWidget(tabPages);
    lists = new ListsTableModel(this);
    grdLists = newGrid(listsPage, "grdLists", QStringLiteral("Lists"));
    grdLists->setModel(lists);
    const int listWidths[] = {190, 165, 65, 55, 65, 90, 90};
    for (int i = 0; i < int(std::size(listWidths)); ++i) grdLists->setColumnWidth(i, listWidths[i]);

    lblSpecies = new QLabel(listsPage);
    lblSpecies->setObjectName(QStringLiteral("lblSpecies"));
    auto* lblFilter = new QLabel(QStringLiteral("&Find:"), listsPage);
    txtFilter = new QLineEdit(listsPage);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setPlaceholderText(QStringLiteral("species or place"));
    txtFilter->setClearButtonEnabled(true);
    lblFilter->setBuddy(txtFilter);
    species = new ListSpeciesModel(this);
    speciesShown = new TableFilter(this);
    speciesShown->setSourceModel(species);
    grdSpecies = newGrid(listsPage, "grdSpecies", QStringLiteral("Species of the chosen list"));
    grdSpecies->setModel(speciesShown);
    grdSpecies->setSortingEnabled(true);
    grdSpecies->sortByColumn(ListSpeciesModel::Species, Qt::AscendingOrder);
    const int speciesWidths[] = {200, 90, 260, 65, 90, 45};
    for (int i = 0; i < int(std::size(speciesWidths)); ++i) grdSpecies->setColumnWidth(i, speciesWidths[i]);

    cmdNew = newButton(listsPage, "cmdNew", QStringLiteral("&New Custom List..."));
    cmdPlaces = newButton(listsPage, "cmdPlaces", QStringLiteral("&Places..."));
    cmdRename = newButton(listsPage, "cmdRename", QStringLiteral("Re&name..."));
    cmdDelete = newButton(listsPage, "cmdDelete", QStringLiteral("&Delete"));
    cmdExport = newButton(listsPage, "cmdExport", QStringLiteral("&Export CSV..."));
    cmdPrint = newButton(listsPage, "cmdPrint", QStringLiteral("&Print..."));

    auto* filterBar = new QHBoxLayout;
    filterBar->addWidget(lblSpecies, 1);
    filterBar->addWidget(lblFilter);
    filterBar->addWidget(txtFilter);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdNew, cmdPlaces, cmdRename, cmdDelete}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(cmdExport);
    buttons->addWidget(cmdPrint);
    auto* listsLayout = new QVBoxLayout(listsPage);
    listsLayout->addWidget(grdLists, 2);
    listsLayout->addLayout(filterBar);
    listsLayout->addWidget(grdSpecies, 3);
    listsLayout->addLayout(buttons);
    tabPages->addTab(listsPage, QStringLiteral("&Lists"));

    // The targets.
    auto* targetsPage = new QWidget(tabPages);
    auto* lblMonth = new QLabel(QStringLiteral("&Month:"), targetsPage);
    cmbMonth = new QComboBox(targetsPage);
    cmbMonth->setObjectName(QStringLiteral("cmbMonth"));
    cmbMonth->addItem(QStringLiteral("Any time of year"), 0);
    for (int m = 1; m <= 12; ++m) cmbMonth->addItem(codes::monthName(m), m);
    lblMonth->setBuddy(cmbMonth);
    lblTargets = new QLabel(targetsPage);
    lblTargets->setObjectName(QStringLiteral("lblTargets"));
    targets = new TargetsModel(this);
    targetsShown = new TableFilter(this);
    targetsShown->setSourceModel(targets);
    grdTargets = newGrid(targetsPage, "grdTargets", QStringLiteral("Targets"));
    grdTargets->setModel(targetsShown);
    grdTargets->setSortingEnabled(true);
    grdTargets->sortByColumn(TargetsModel::HowCommon, Qt::AscendingOrder);
    const int targetWidths[] = {200, 200, 150};
    for (int i = 0; i < int(std::size(targetWidths)); ++i) grdTargets->setColumnWidth(i, targetWidths[i]);
    auto* monthBar = new QHBoxLayout;
    monthBar->addWidget(lblMonth);
    monthBar->addWidget(cmbMonth);
    monthBar->addWidget(lblTargets, 1);
    auto* targetsLayout = new QVBoxLayout(targetsPage);
    targetsLayout->addLayout(monthBar);
    targetsLayout->addWidget(grdTargets, 1);
    tabPages->addTab(targetsPage, QStringLiteral("&Targets"));

    auto* regionBar = new QHBoxLayout;
    regionBar->addWidget(lblRegion);
    regionBar->addWidget(cmbRegion);
    regionBar->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(regionBar);
    layout->addWidget(tabPages, 1);
    resize(900, 680);

    reload();

    Platform& p = m_ctx.platform;
    const QString listFailure = QStringLiteral("The lists could not be shown.");
    connectGuarded(cmbRegion, &QComboBox::currentIndexChanged, this, p, listFailure, [this] {
                countLists();
                showTargets();
            });
    connectGuarded(grdLists->selectionModel(), &QItemSelectionModel::currentRowChanged, this, p,
                   listFailure, [this] { showChosenList(); });
    connectGuarded(txtFilter, &QLineEdit::textChanged, this, p, listFailure, [this](const QString& text) {
                speciesShown->setFilterFixedString(text);
                enableCommands();
            });
    connectGuarded(cmbMonth, &QComboBox::currentIndexChanged, this, p,
                   QStringLiteral("The targets could not be listed."), [this] { showTargets(); });
    connectGuarded(grdSpecies, &QTableView::doubleClicked, this, p,
                   QStringLiteral("The bird could not be shown."), [this](const QModelIndex& i) { grdSpecies_DblClick(i); });
    connectGuarded(grdTargets, &QTableView::doubleClicked, this, p,
                   QStringLiteral("The bird could not be shown."), [this](const QModelIndex& i) { grdTargets_DblClick(i); });
    connectGuarded(cmdNew, &QPushButton::clicked, this, p,
                   QStringLiteral("The custom list could not be made."), [this] { cmdNew_Click(); });
    connectGuarded(cmdPlaces, &QPushButton::clicked, this, p,
                   QStringLiteral("The custom list could not be changed."), [this] { cmdPlaces_Click(); });
    connectGuarded(cmdRename, &QPushButton::clicked, this, p,
                   QStringLiteral("The custom list could not be renamed."), [this] { cmdRename_Click(); });
    connectGuarded(cmdDelete, &QPushButton::clicked, this, p,
                   QStringLiteral("The custom list could not be deleted."), [this] { cmdDelete_Click(); });
    connectGuarded(cmdExport, &QPushButton::clicked, this, p,
                   QStringLiteral("The list could not be exported."), [this] { cmdExport_Click(); });
    connectGuarded(cmdPrint, &QPushButton::clicked, this, p,
                   QStringLiteral("The list could not be printed."), [this] { cmdPrint_Click(); });
}

void frmMyLists::fillRegions()
{
    const AppState& s = m_ctx.state;
    const int chosen = cmbRegion->count() ? cmbRegion->currentData().toInt() : s.Reg_ID;
    // The whole list, the current region, and every region that a sighting names.
    QVector<RegionEntry> regions;
    QSet<int> seen{0};
    auto add = [&](int id) {
        if (seen.contains(id)) return;
        seen.insert(id);
        if (const ListSightings::Region* r = m_sightings.region(id)) regions.push_back({r->name, id, {}});
    };
    add(s.Reg_ID);
    for (int c = 0; c < 4; ++c)
        for (int id : m_sightings.regionsInColumn(c)) add(id);
    std::sort(regions.begin(), regions.end(),
              [](const RegionEntry& a, const RegionEntry& b) { return regionNameLess(a.name, b.name); });
    const QSignalBlocker quiet(cmbRegion);
    cmbRegion->clear();
    cmbRegion->addItem(QStringLiteral("World"), 0);
    for (const RegionEntry& r : regions) cmbRegion->addItem(r.name, r.id);
    const int at = cmbRegion->findData(chosen);
    cmbRegion->setCurrentIndex(at < 0 ? 0 : at);
}

void frmMyLists::reload()
{
    AppState& s = m_ctx.state;
    {
        Hourglass busy(m_ctx.platform);
        m_sightings.load(s.db());
        m_custom = readCustomLists(s.db());
        m_loadedFrom = &s.db();
        m_loadedAt = databaseChangeCount(s.db());
    }
    fillRegions();
    countLists();
    showTargets();
}

void frmMyLists::countLists()
{
    const int old = chosenList();
    const ListPlace oldPlace = old >= 0 ? m_counts.places()[size_t(m_counts.lists()[size_t(old)].place)] : ListPlace();
    const ListSummary oldList = old >= 0 ? m_counts.lists()[size_t(old)] : ListSummary();
    {
        Hourglass busy(m_ctx.platform);
        lists->setCounts(nullptr);
        m_counts.count(m_sightings, cmbRegion->currentData().toInt(), m_custom);
        lists->setCounts(&m_counts);
    }
    // The same list as before when it is still there, else the region's life list.
    int choose = old >= 0 ? m_counts.find(oldPlace, oldList.period, oldList.value) : -1;
    if (choose < 0) {
        const int regId = cmbRegion->currentData().toInt();
        choose = m_counts.find({regId ? ListPlace::Kind::Region : ListPlace::Kind::World, regId, -1, {}}, ListPeriod::Life);
    }
    if (choose < 0 && lists->rowCount() > 0) choose = 0;
    if (choose >= 0) grdLists->selectionModel()->setCurrentIndex(lists->index(choose, 0),
                                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    showChosenList();
}

int frmMyLists::chosenList() const
{
    const QModelIndex i = grdLists->selectionModel() ? grdLists->selectionModel()->currentIndex() : QModelIndex();
    if (!i.isValid() || !lists->counts() || i.row() >= lists->rowCount()) return -1;
    return i.row();
}

bool frmMyLists::chooseList(const QString& place, const QString& name)
{
    for (int l = 0; l < lists->rowCount(); ++l)
        if (lists->index(l, ListsTableModel::Place).data().toString() == place && m_counts.listName(l) == name) {
            grdLists->selectionModel()->setCurrentIndex(lists->index(l, 0),
                                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return true;
        }
    return false;
}

QString frmMyLists::chosenTitle() const
{
    const int l = chosenList();
    if (l < 0) return {};
    return m_counts.places()[size_t(m_counts.lists()[size_t(l)].place)].name + QStringLiteral(": ") + m_counts.listName(l);
}

void frmMyLists::showChosenList()
{
    const int l = chosenList();
    species->setRows(l >= 0 ? m_counts.rows(m_sightings, l) : std::vector<ListSpeciesRow>());
    if (l < 0) {
        lblSpecies->setText(QStringLiteral("No list chosen"));
    } else {
        const ListSummary& sum = m_counts.lists()[size_t(l)];
        lblSpecies->setText(QStringLiteral("%1: %2 species, %3 new").arg(chosenTitle()).arg(sum.species).arg(sum.newSpecies));
    }
    enableCommands();
}

const CustomList* frmMyLists::chosenCustomList() const
{
    const int l = chosenList();
    if (l < 0) return nullptr;
    const ListPlace& p = m_counts.places()[size_t(m_counts.lists()[size_t(l)].place)];
    if (p.kind != ListPlace::Kind::Custom) return nullptr;
    for (const CustomList& c : m_custom)
        if (c.id == p.id) return &c;
    return nullptr;
}

void frmMyLists::enableCommands()
{
    const bool custom = chosenCustomList() != nullptr;
    cmdPlaces->setEnabled(custom);
    cmdRename->setEnabled(custom);
    cmdDelete->setEnabled(custom);
    const bool any = speciesShown->rowCount() > 0; // what is shown is what is exported and printed
    cmdExport->setEnabled(any);
    cmdPrint->setEnabled(any);
}

void frmMyLists::showTargets()
{
    const int regId = cmbRegion->currentData().toInt();
    const int month = cmbMonth->currentData().toInt();
    targets->setTargets(regionTargets(m_ctx.state.db(), regId, month));
    grdTargets->sortByColumn(TargetsModel::HowCommon, Qt::AscendingOrder);
    const QString when = month ? QStringLiteral(" in ") + codes::monthName(month) : QString();
    if (regId == 0)
        lblTargets->setText(QStringLiteral("Choose a region: targets are the species of its checklist not yet seen there."));
    else
        lblTargets->setText(QStringLiteral("%1 species of the %2 checklist not yet seen there%3, the most common first.")
                                .arg(targets->rowCount())
                                .arg(cmbRegion->currentText(), when));
}

void frmMyLists::afterCustomListsChanged(const QString& choosePlace)
{
    m_custom = readCustomLists(m_ctx.state.db());
    m_loadedAt = databaseChangeCount(m_ctx.state.db());
    countLists();
    if (!choosePlace.isEmpty()) chooseList(choosePlace + QStringLiteral(" (custom)"), QStringLiteral("Life list"));
}

void frmMyLists::cmdNew_Click()
{
    frmCustomList dialog(m_ctx, m_sightings, CustomList(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    afterCustomListsChanged(dialog.list().name.trimmed());
}

void frmMyLists::cmdPlaces_Click()
{
    const CustomList* chosen = chosenCustomList();
    if (!chosen) return;
    frmCustomList dialog(m_ctx, m_sightings, *chosen, this);
    if (dialog.exec() != QDialog::Accepted) return;
    afterCustomListsChanged(dialog.list().name.trimmed());
}

void frmMyLists::cmdRename_Click()
{
    const CustomList* chosen = chosenCustomList();
    if (!chosen) return;
    const int id = chosen->id;
    const std::optional<QString> name =
        m_ctx.platform.inputBox(QStringLiteral("New name of the custom list \"%1\":").arg(chosen->name),
                                QStringLiteral("Rename Custom List"), chosen->name);
    if (!name || name->trimmed() == chosen->name) return;
    try {
        renameCustomList(m_ctx.state.db(), id, *name);
    } catch (const CustomListError& e) {
        tell(m_ctx, e.message());
        return;
    }
    afterCustomListsChanged(name->trimmed());
}

void frmMyLists::cmdDelete_Click()
{
    const CustomList* chosen = chosenCustomList();
    if (!chosen) return;
    const int id = chosen->id;
    if (m_ctx.platform.messageBox(QStringLiteral("Delete the custom list \"%1\"? Its sightings stay as they are.")
                                      .arg(chosen->name),
                                  QStringLiteral("Delete Custom List"), Platform::Buttons::YesNo,
                                  Platform::Icon::Question)
        != Platform::Answer::Yes)
        return;
    deleteCustomList(m_ctx.state.db(), id);
    afterCustomListsChanged({});
}

void frmMyLists::cmdExport_Click()
{
    if (chosenList() < 0) return;
    AppState& s = m_ctx.state;
    QString name = chosenTitle();
    name.replace(QRegularExpression(QStringLiteral("[^\\w-]+")), QStringLiteral("-"));
    const QString path = m_ctx.platform.saveFileDialog(QStringLiteral("Export List"),
                                                       QDir(recordsFolder(s)).filePath(name + QStringLiteral(".csv")),
                                                       QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty()) return;
    rememberFolder(s, path);
    // The rows as shown: filtered, in the order shown.
    std::vector<QStringList> rows;
    rows.reserve(size_t(speciesShown->rowCount()));
    for (int r = 0; r < speciesShown->rowCount(); ++r)
        rows.push_back(ListSpeciesModel::cells(species->row(speciesShown->mapToSource(speciesShown->index(r, 0)).row())));
    try {
        exportTable(path, s.databasePath(), ListSpeciesModel::headers(), rows);
    } catch (const std::exception& e) {
        tell(m_ctx, QString::fromUtf8(e.what()));
        return;
    }
    tell(m_ctx, QStringLiteral("%1 species written to %2.").arg(rows.size()).arg(QDir::toNativeSeparators(path)),
         Platform::Icon::Information);
}

void frmMyLists::cmdPrint_Click()
{
    const int l = chosenList();
    if (l < 0) return;
    report::ListReportData shown;
    shown.name = m_counts.listName(l);
    shown.place = m_counts.places()[size_t(m_counts.lists()[size_t(l)].place)].name;
    for (int r = 0; r < speciesShown->rowCount(); ++r) {
        const ListSpeciesRow& row = species->row(speciesShown->mapToSource(speciesShown->index(r, 0)).row());
        shown.rows << report::ListReportRow{row.birdId, row.first, row.last, row.site, row.region, row.records, row.isNew};
    }
    printList(m_ctx, shown, QStringLiteral("List Report"));
}

void frmMyLists::grdSpecies_DblClick(const QModelIndex& index)
{
    if (!index.isValid()) return;
    showSpeciesInMain(m_ctx, species->row(speciesShown->mapToSource(index).row()).name);
}

void frmMyLists::grdTargets_DblClick(const QModelIndex& index)
{
    if (!index.isValid()) return;
    showSpeciesInMain(m_ctx, targets->target(targetsShown->mapToSource(index).row()).name);
}

void frmMyLists::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
    runGuarded(m_ctx.platform, QStringLiteral("The lists could not be read."), [this] {
        AppState& s = m_ctx.state;
        if (!s.dbBirds) return;
        if (m_loadedFrom != s.dbBirds.get() || m_loadedAt != databaseChangeCount(*s.dbBirds)) reload();
    });
}

// ---- a custom list's places --------------------------------------------------------------

frmCustomList::frmCustomList(Context& ctx, const ListSightings& sightings, const CustomList& list, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_id(list.id)
{
    setObjectName(QStringLiteral("frmCustomList"));
    setWindowTitle(list.id ? QStringLiteral("Custom List: ") + list.name : QStringLiteral("New Custom List"));

    auto* lblName = new QLabel(QStringLiteral("&Name:"), this);
    txtName = new QLineEdit(list.name, this);
    txtName->setObjectName(QStringLiteral("txtName"));
    lblName->setBuddy(txtName);
    auto* lblPlaces = new QLabel(QStringLiteral("Its &places (a sighting in any of them counts):"), this);
    m_places = new QStandardItemModel(this);
    lstPlaces = new QListView(this);
    lstPlaces->setObjectName(QStringLiteral("lstPlaces"));
    lstPlaces->setModel(m_places);
    lstPlaces->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lblPlaces->setBuddy(lstPlaces);
    auto* lblSite = new QLabel(QStringLiteral("Another &site:"), this);
    txtSite = new QLineEdit(this);
    txtSite->setObjectName(QStringLiteral("txtSite"));
    lblSite->setBuddy(txtSite);
    cmdAddSite = newButton(this, "cmdAddSite", QStringLiteral("&Add"));
    cmdOK = newButton(this, "cmdOK", QStringLiteral("&OK"));
    cmdOK->setDefault(true);
    cmdCancel = newButton(this, "cmdCancel", QStringLiteral("&Cancel"));

    // The list's own places first, then those that the sightings name.
    QSet<int> regions(list.regions.begin(), list.regions.end());
    QSet<QString> sites;
    for (const QString& site : list.sites) sites.insert(ListSightings::siteKey(site));
    QVector<RegionEntry> named;
    QSet<int> seen;
    for (int c = 0; c < 4; ++c)
        for (int id : sightings.regionsInColumn(c))
            if (!seen.contains(id) && !regions.contains(id)) {
                seen.insert(id);
                if (const ListSightings::Region* r = sightings.region(id)) named.push_back({r->name, id, {}});
            }
    std::sort(named.begin(), named.end(), [](const RegionEntry& a, const RegionEntry& b) { return regionNameLess(a.name, b.name); });
    QStringList siteNames = sightings.sites();
    std::sort(siteNames.begin(), siteNames.end(), regionNameLess);
    for (int id : list.regions)
        if (const ListSightings::Region* r = sightings.region(id)) addPlace(r->name + QStringLiteral(" (region)"), id, {}, true);
        else addPlace(QStringLiteral("Region %1 (region)").arg(id), id, {}, true);
    for (const QString& site : list.sites) addPlace(site + QStringLiteral(" (site)"), {}, site, true);
    for (const RegionEntry& r : named) addPlace(r.name + QStringLiteral(" (region)"), r.id, {}, false);
    for (const QString& site : siteNames)
        if (!sites.contains(ListSightings::siteKey(site))) addPlace(site + QStringLiteral(" (site)"), {}, site, false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblName, 0, 0);
    grid->addWidget(txtName, 0, 1, 1, 2);
    grid->addWidget(lblPlaces, 1, 0, 1, 3);
    grid->addWidget(lstPlaces, 2, 0, 1, 3);
    grid->addWidget(lblSite, 3, 0);
    grid->addWidget(txtSite, 3, 1);
    grid->addWidget(cmdAddSite, 3, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 4, 0, 1, 3);
    resize(440, 480);

    Platform& p = m_ctx.platform;
    connectGuarded(cmdAddSite, &QPushButton::clicked, this, p,
                   QStringLiteral("The site could not be added."), [this] { cmdAddSite_Click(); });
    connectGuarded(txtSite, &QLineEdit::returnPressed, this, p,
                   QStringLiteral("The site could not be added."), [this] { cmdAddSite_Click(); });
    connectGuarded(cmdOK, &QPushButton::clicked, this, p,
                   QStringLiteral("The custom list could not be stored."), [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmCustomList::addPlace(const QString& text, const QVariant& region, const QString& site, bool checked)
{
    auto* item = new QStandardItem(text);
    item->setCheckable(true);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    item->setData(region, Qt::UserRole);
    item->setData(site, Qt::UserRole + 1);
    m_places->appendRow(item);
}

bool frmCustomList::checkPlace(const QString& text, bool on)
{
    for (int r = 0; r < m_places->rowCount(); ++r)
        if (m_places->item(r)->text() == text) {
            m_places->item(r)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
            return true;
        }
    return false;
}

void frmCustomList::cmdAddSite_Click()
{
    const QString site = txtSite->text().trimmed();
    if (site.isEmpty()) return;
    txtSite->clear();
    for (int r = 0; r < m_places->rowCount(); ++r) {
        QStandardItem* item = m_places->item(r);
        if (!item->data(Qt::UserRole + 1).toString().isEmpty()
            && ListSightings::siteKey(item->data(Qt::UserRole + 1).toString()) == ListSightings::siteKey(site)) {
            item->setCheckState(Qt::Checked);
            lstPlaces->setCurrentIndex(item->index());
            return;
        }
    }
    addPlace(site + QStringLiteral(" (site)"), {}, site, true);
    lstPlaces->setCurrentIndex(m_places->index(m_places->rowCount() - 1, 0));
}

CustomList frmCustomList::list() const
{
    CustomList l;
    l.id = m_id;
    l.name = txtName->text();
    for (int r = 0; r < m_places->rowCount(); ++r) {
        const QStandardItem* item = m_places->item(r);
        if (item->checkState() != Qt::Checked) continue;
        if (item->data(Qt::UserRole).isValid()) l.regions << item->data(Qt::UserRole).toInt();
        else l.sites << item->data(Qt::UserRole + 1).toString();
    }
    return l;
}

void frmCustomList::cmdOK_Click()
{
    const CustomList l = list();
    try {
        if (m_id) updateCustomList(m_ctx.state.db(), l);
        else m_stored = createCustomList(m_ctx.state.db(), l);
        if (m_id) m_stored = m_id;
    } catch (const CustomListError& e) {
        m_ctx.platform.messageBox(e.message(), windowTitle(), Platform::Buttons::Ok, Platform::Icon::Exclamation);
        return;
    }
    accept();
}

// ---- the command ---------------------------------------------------------------------------

frmMyLists* openMyLists() { return g_lists.data(); }

void mnuViewLists_Click(Context& ctx)
{
    if (!g_lists) g_lists = new frmMyLists(ctx, ctx.main->dialogParent());
    g_lists->show();
    g_lists->raise();
    g_lists->activateWindow();
}

} // namespace fl
