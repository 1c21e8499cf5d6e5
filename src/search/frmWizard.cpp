#include "frmWizard.h"

#include "state/AppState.h"
#include "status/StatusTexts.h"
#include "WizardQueries.h"
#include "WizardWidgets.h"
#include "platform/Platform.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/MainWindow.h"
#include "ui/Silhouettes.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <optional>

namespace fl {

namespace {

const QString kStep1 = QStringLiteral("Step 1: Select the search criteria and type of bird.");
const QString kStep2 = QStringLiteral("Step 2: Choose the family that you wish to view.");

// Column widths of the families grid in twips; the first three columns are hidden.
constexpr int kColumnTwips[6] = {0, 0, 0, 1300, 4400, 3000};
constexpr int kRowTwips = 1170;

} // namespace

frmWizard::frmWizard(Context& ctx, PictureLoader loadPicture, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_loadPicture(loadPicture ? std::move(loadPicture) : PictureLoader(&silhouette))
{
    setObjectName(QStringLiteral("frmWizard"));
    setWindowTitle(QStringLiteral("Search Wizard"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    const QString what = QStringLiteral("The wizard could not go on.");

    lblStep = new QLabel(this);
    lblStep->setObjectName(QStringLiteral("lblStep"));
    QFont bold = lblStep->font();
    bold.setBold(true);
    lblStep->setFont(bold);

    // Step 1: the criteria and the kinds of bird.
    pic1 = new QWidget(this);
    pic1->setObjectName(QStringLiteral("pic1"));
    fraSearch = new QGroupBox(QStringLiteral("Search For"), pic1);
    fraSearch->setObjectName(QStringLiteral("fraSearch"));
    auto* searchLayout = new QVBoxLayout(fraSearch);
    for (int i = 0; i < 7; ++i) {
        optType[i] = new QRadioButton(wizardCriteria()[size_t(i)].caption, fraSearch);
        optType[i]->setObjectName(QStringLiteral("optType(%1)").arg(i));
        searchLayout->addWidget(optType[i]);
    }
    searchLayout->addStretch();
    optType[0]->setChecked(true);
    fraType = new QGroupBox(QStringLiteral("Bird Type"), pic1);
    fraType->setObjectName(QStringLiteral("fraType"));
    auto* typeLayout = new QGridLayout(fraType);
    for (int i = 0; i < 8; ++i) {
        const QString caption = wizardBirdTypes()[size_t(i)].caption;
        picBird[i] = new BirdTypePicture(fraType);
        picBird[i]->setObjectName(QStringLiteral("picBird(%1)").arg(i));
        picBird[i]->setAccessibleName(caption);
        lblName[i] = new QLabel(caption, fraType);
        lblName[i]->setObjectName(QStringLiteral("lblName(%1)").arg(i));
        lblName[i]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        const int row = (i / 4) * 2;
        typeLayout->addWidget(picBird[i], row, i % 4, Qt::AlignHCenter);
        typeLayout->addWidget(lblName[i], row + 1, i % 4);
    }
    auto* pic1Layout = new QHBoxLayout(pic1);
    pic1Layout->setContentsMargins(0, 0, 0, 0);
    pic1Layout->addWidget(fraSearch);
    pic1Layout->addWidget(fraType, 1);

    // Step 2: the families grid, in the same place.
    msfg = new FamilyGrid(this);
    msfg->setObjectName(QStringLiteral("msfg"));
    msfg->setAccessibleName(QStringLiteral("Families"));
    grid = new FamilyGridModel(msfg);
    msfg->setModel(grid);
    grid->applyTo(msfg);
    int gridWidth = 0;
    for (int c = 0; c < 6; ++c) {
        const int w = twipsToPixels(kColumnTwips[c], dpiX);
        msfg->setColumnWidth(c, w);
        gridWidth += w;
    }
    msfg->verticalHeader()->setMinimumSectionSize(1);
    msfg->verticalHeader()->setDefaultSectionSize(twipsToPixels(kRowTwips, dpiY));
    msfg->setMinimumWidth(gridWidth + msfg->frameWidth() * 2 + 24);
    msfg->hide();

    cmdNext = new QPushButton(QStringLiteral("&Next"), this);
    cmdNext->setObjectName(QStringLiteral("cmdNext"));
    cmdBack = new QPushButton(QStringLiteral("&Back"), this);
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdView = new QPushButton(QStringLiteral("&Show Selected"), this);
    cmdView->setObjectName(QStringLiteral("cmdView"));
    cmdAll = new QPushButton(QStringLiteral("Show &All Families"), this);
    cmdAll->setObjectName(QStringLiteral("cmdAll"));
    cmdCancel = new QPushButton(QStringLiteral("&Close"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {cmdNext, cmdBack, cmdView, cmdAll, cmdCancel}) b->setAutoDefault(false);

    auto* area = new QGridLayout;
    area->addWidget(pic1, 0, 0);
    area->addWidget(msfg, 0, 0);
    auto* buttons = new QGridLayout;
    buttons->setColumnStretch(0, 1);
    buttons->addWidget(cmdNext, 0, 1);
    buttons->addWidget(cmdBack, 0, 1);
    buttons->addWidget(cmdView, 0, 2);
    buttons->addWidget(cmdAll, 0, 3);
    buttons->addWidget(cmdCancel, 0, 4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStep);
    layout->addLayout(area, 1);
    layout->addLayout(buttons);
    resize(std::max(msfg->minimumWidth() + 24, twipsToPixels(9600, dpiX)), twipsToPixels(6200, dpiY));

    for (int i = 0; i < 8; ++i) {
        picBird[i]->onFocus = [this, i] { runGuarded(m_ctx.platform, {}, [this, i] { picBird_GotFocus(i); }); };
        picBird[i]->onDoubleClick = [this, i, what] {
            runGuarded(m_ctx.platform, what, [this, i] {
                if (m_lastPicture != i || !cmdNext->isEnabled()) picBird_GotFocus(i);
                cmdNext_Click();
            });
        };
    }
    for (int i = 0; i < 7; ++i)
        connectGuarded(optType[i], &QRadioButton::toggled, this, ctx.platform, what,
                       [this, i](bool on) {
                           if (on) optType_Click(i);
                       });
    connectGuarded(msfg, &QTableView::clicked, this, ctx.platform, what, [this] { Msfg_Click(); });
    msfg->onRowChosen = [this] { runGuarded(m_ctx.platform, {}, [this] { Msfg_Click(); }); };
    // Enter is Show Selected: it acts only once a row has been chosen.
    msfg->onEnter = [this] {
        runGuarded(m_ctx.platform, QStringLiteral("The species of the family could not be listed."), [this] {
            if (cmdView->isEnabled()) cmdView_Click();
        });
    };
    connectGuarded(cmdNext, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The families could not be listed."),
                   [this] { cmdNext_Click(); });
    connectGuarded(cmdBack, &QPushButton::clicked, this, ctx.platform, what, [this] { cmdBack_Click(); });
    connectGuarded(cmdView, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The species of the family could not be listed."),
                   [this] { cmdView_Click(); });
    connectGuarded(cmdAll, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The species of the families could not be listed."),
                   [this] { cmdAll_Click(); });
    connectGuarded(cmdCancel, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The window could not be closed."),
                   [this] { cmdCancel_Click(); });

    Form_Load();
}

frmWizard::~frmWizard() = default;

void frmWizard::Form_Load()
{
    {
        Hourglass hourglass(m_ctx.platform);
        setWindowIcon(ImageList1::icon(8));
        for (int i = 0; i < 8; ++i) {
            const QPixmap picture = m_loadPicture(wizardBirdTypes()[size_t(i)].picture);
            if (picture.isNull()) {
                m_ctx.platform.messageBox(QStringLiteral("Error loading image"), QStringLiteral("Image load eror"),
                                          Platform::Buttons::Ok, Platform::Icon::None);
                continue;
            }
            picBird[i]->setPicture(picture);
        }
        lblStep->setText(kStep1);
    }
    cmdNext->setEnabled(false);
    cmdBack->hide();
    cmdView->setEnabled(false);
    cmdAll->setEnabled(false);
    // The keyboard starts on the criteria, so that no kind of bird is chosen before the user
    // picks one.
    optType[0]->setFocus();
}

void frmWizard::picBird_GotFocus(int index)
{
    if (index < 0 || index > 7) return;
    picBird[m_lastPicture]->setBorder(false);
    picBird[index]->setBorder(true);
    m_lastPicture = index;
    birdType = short(index);
    cmdNext->setEnabled(true);
    cmdBack->hide();
}

void frmWizard::optType_Click(int index)
{
    if (index < 0 || index > 6) return;
    qryCriteria = wizardCriteria()[size_t(index)].clause;
}

void frmWizard::cmdNext_Click()
{
    std::optional<Hourglass> hourglass(std::in_place, m_ctx.platform);
    const AppState& s = m_ctx.state;
    db::Database& db = s.db();
    db::Recordset families =
        db.openRecordset(wizardFamilyQuery(birdType, qryCriteria, s.Reg_ID), db::RecordsetKind::Snapshot);
    if (families.eof()) {
        hourglass.reset();
        m_ctx.platform.messageBox(QStringLiteral("No birds found in search. Note that the checklist for this region "
                                                 "must contain status information for the wizard to work."),
                                  QStringLiteral("Unsuccessful search"), Platform::Buttons::Ok,
                                  Platform::Icon::Exclamation);
        return;
    }

    // One grid row per family or subfamily: the family's own row stands for its species
    // outside any subfamily.
    const QSize pictureBox(twipsToPixels(kColumnTwips[4], logicalDpiX()) - 6,
                           twipsToPixels(kRowTwips, logicalDpiY()) - 6);
    QVector<RowTableModel::Row> rows;
    QVector<QPixmap> pictures;
    QStringList names;
    for (; !families.eof(); families.moveNext()) {
        const int subFamId = families.field(QStringLiteral("subfam_ID")).toInt();
        const int famId = families.field(QStringLiteral("family_ID")).toInt();
        db::Recordset detail = subFamId > 0
            ? db.openRecordset(QStringLiteral("Select * from subfamilies where subfam_ID = ?"),
                               db::RecordsetKind::Snapshot, {subFamId})
            : db.openRecordset(QStringLiteral("Select * from families where fam_ID = ?"), db::RecordsetKind::Snapshot,
                               {famId});
        QString name;
        QString notes;
        int image = 0;
        if (!detail.eof()) {
            name = detail.field(subFamId > 0 ? QStringLiteral("Name") : QStringLiteral("Family")).toString();
            notes = detail.field(QStringLiteral("notes")).toString();
            image = detail.field(QStringLiteral("images")).toInt();
        }
        QPixmap picture = image != 0 ? m_loadPicture(image) : QPixmap();
        if (!picture.isNull() && (picture.width() > pictureBox.width() || picture.height() > pictureBox.height()))
            picture = picture.scaled(pictureBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        rows.append({QVariant(), subFamId, famId, name, QVariant(), notes});
        pictures.append(picture);
        names.append(name);
    }
    families.close();

    lblStep->setText(kStep2);
    pic1->hide();
    cmdNext->hide();
    cmdBack->show();
    cmdAll->setEnabled(true);
    cmdView->setEnabled(false);
    grid->setRows(rows);
    for (int r = 0; r < rows.size(); ++r) {
        grid->setPicture(r, pictures[r]);
        grid->setPictureText(r, names[r]);
    }
    msfg->scrollToTop();
    msfg->show();
    // The keyboard goes on in the grid: the arrow keys choose a row, Enter shows it.
    msfg->setFocus();
}

void frmWizard::Msfg_Click()
{
    if (msfg->currentIndex().isValid()) cmdView->setEnabled(true);
}

void frmWizard::cmdView_Click()
{
    const QModelIndex current = msfg->currentIndex();
    if (!current.isValid()) return;
    Hourglass hourglass(m_ctx.platform);
    const AppState& s = m_ctx.state;
    const QString Q = wizardSpeciesQuery(birdType, qryCriteria, s.Reg_ID);
    const int subFamId = grid->cell(current.row(), 1).toInt();
    if (subFamId > 0) sendList(Q + QStringLiteral(" AND Birds.subfam_ID = ?") + s.qrySort, {subFamId});
    else sendList(Q + QStringLiteral(" AND Birds.family_ID = ?") + s.qrySort, {grid->cell(current.row(), 2).toInt()});
}

void frmWizard::cmdAll_Click()
{
    Hourglass hourglass(m_ctx.platform);
    const AppState& s = m_ctx.state;
    sendList(wizardSpeciesQuery(birdType, qryCriteria, s.Reg_ID) + s.qrySort, {});
}

void frmWizard::sendList(const QString& query, const QVariantList& params)
{
    QStringList names;
    {
        db::Recordset rs = m_ctx.state.db().openRecordset(query, db::RecordsetKind::Snapshot, params);
        for (; !rs.eof(); rs.moveNext()) names << rs.field(QStringLiteral("Name")).toString();
    }
    if (names.isEmpty()) {
        // The checklist changed since the grid was filled: the main list stays as it is.
        m_ctx.platform.messageBox(QStringLiteral("No birds found in search. Note that the checklist for this region "
                                                 "must contain status information for the wizard to work."),
                                  QStringLiteral("Unsuccessful search"), Platform::Buttons::Ok,
                                  Platform::Icon::Exclamation);
        return;
    }
    MainWindow& main = *m_ctx.main;
    main.replaceSpeciesList(names, true);
    main.setPanel(panel::Hits, panelText::position(1, main.speciesCount()));
    main.setPanel(panel::Type, panelText::findType(QStringLiteral("By Wizard")));
    main.bringToFront();
}

void frmWizard::cmdBack_Click()
{
    lblStep->setText(kStep1);
    cmdNext->show();
    cmdBack->hide();
    pic1->show();
    msfg->hide();
    cmdAll->setEnabled(false);
    cmdView->setEnabled(false);
    picBird[m_lastPicture]->setFocus(); // the chosen kind stays chosen
}

void frmWizard::cmdCancel_Click() { close(); }

WizardHolder::WizardHolder(Context& ctx, QObject* parent) : QObject(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("WizardHolder"));
}

WizardHolder::~WizardHolder() { delete m_wizard.data(); }

void WizardHolder::mnuSearchWizard_Click()
{
    if (!m_wizard) {
        // A window of its own beside the main window, so that the main window can come to
        // the front after a list is sent; closing it unloads it.
        m_wizard = new frmWizard(m_ctx);
        m_wizard->setAttribute(Qt::WA_DeleteOnClose);
    }
    if (m_wizard->isMinimized()) m_wizard->showNormal();
    else m_wizard->show();
    m_wizard->raise();
    m_wizard->activateWindow();
}

} // namespace fl
