#include "frmRegion.h"

#include "state/AppState.h"
#include "lifelist/LifeList.h"
#include "state/OptionsRow.h"
#include "regions/ChecklistCopy.h"
#include "regions/RegionKinds.h"
#include "status/StatusTexts.h"
#include "platform/Platform.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/MainWindow.h"
#include "ui/RegionList.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace fl {

frmRegion::frmRegion(Context& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmRegion"));
    setWindowTitle(QStringLiteral("Select Search Region"));
    setWindowIcon(ImageList1::icon(3));

    QGroupBox* frame = regionKindButtons(this, ctx.platform, optRegion, [this](int i) { optRegion_Click(i); });
    lblList = new QLabel(QStringLiteral("Available CheckLists:"), this);
    lblList->setObjectName(QStringLiteral("lblList"));
    lstRegion = new RegionListView(ctx.platform, this);
    lstRegion->setObjectName(QStringLiteral("lstRegion"));
    txtFilter = lstRegion->filterBox();
    lblList->setBuddy(lstRegion);
    connectGuarded(lstRegion, &RegionListView::currentRowChanged, this,
                   ctx.platform, QStringLiteral("The region could not be chosen."), [this](int row) {
                       lstRegion_Click();
                       if (cmdOK) cmdOK->setEnabled(row >= 0);
                   });
    connectGuarded(lstRegion, &QListView::doubleClicked, this,
                   ctx.platform, QStringLiteral("The region could not be used."),
                   [this] { lstRegion_DblClick(); });
    cmdOK = new QPushButton(QStringLiteral("Use"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Close"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connectGuarded(cmdOK, &QPushButton::clicked, this, ctx.platform, QStringLiteral("The region could not be used."),
                   [this] { cmdOK_Click(); });
    connectGuarded(cmdCancel, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The window could not be closed."),
                   [this] { cmdCancel_Click(); });

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(lblList);
    listColumn->addWidget(txtFilter);
    listColumn->addWidget(lstRegion);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* top = new QHBoxLayout;
    top->addWidget(frame);
    top->addLayout(listColumn, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    Form_Load();
}

void frmRegion::Form_Load()
{
    lstRegion->setRegions({{QStringLiteral("North America"), 1, QString()}});
    m_ctx.state.selRegname = QStringLiteral("North America");
    selRegType = QStringLiteral("Region");
    m_ctx.state.selReg_ID = 1;
    const QSignalBlocker quiet(optRegion[1]); // shown chosen, with the list above
    optRegion[1]->setChecked(true);
}

void frmRegion::optRegion_Click(int index)
{
    if (index < 1 || index > 4) return;
    {
        const QSignalBlocker quiet(optRegion[index]);
        optRegion[index]->setChecked(true);
    }
    const RegionKind& kind = regionKinds()[index - 1];
    selRegType = kind.type;
    if (lstRegion->setRegions(readRegions(m_ctx.state.db(), kind)) == 0) {
        cmdOK->setEnabled(false);
    } else {
        lstRegion_Click();
        cmdOK->setEnabled(true);
    }
    lstRegion->setFocus();
}

void frmRegion::lstRegion_Click() { chooseCurrentRegion(m_ctx.state, lstRegion); }

void frmRegion::lstRegion_DblClick() { cmdOK_Click(); }

void frmRegion::cmdCancel_Click() { reject(); }

void frmRegion::cmdOK_Click()
{
    if (!cmdOK->isEnabled() || lstRegion->currentRow() < 0) return;
    AppState& s = m_ctx.state;
    MainWindow& main = *m_ctx.main;
    s.selRegname = lstRegion->text(lstRegion->currentRow());
    try {
        std::optional<RegionList> list;
        {
            Hourglass busy(m_ctx.platform);
            db::Transaction tx(s.db());
            provideChecklist(s.db(), s.selReg_ID); // a region's first use copies its ancestor's list
            list = rebuildLifeList(s.db(), s.selReg_ID, selRegType, s.qrySort);
            if (list) {
                OptionsChange change;
                change.regId = s.selReg_ID;
                change.regname = s.selRegname;
                change.regType = selRegType;
                change.searchType = QStringLiteral("All Birds");
                change.lifetotal = list->total;
                change.lifesum = list->sighted;
                writeOptions(s, change);
                tx.commit();
            }
        }
        if (!list) {
            // The dialog stays up with its choices as they were.
            m_ctx.platform.messageBox(
                QStringLiteral("There are no birds entered in the checklist for this region. Select another region, "
                               "or enter birds into the checklist by selecting EDIT."),
                QStringLiteral("Unsuccessful Search"), Platform::Buttons::Ok, Platform::Icon::None);
            return;
        }
        main.replaceSpeciesList(list->names, false);
        main.setPanel(panel::Life, panelText::lifeOfRegion(list->sighted, list->total));
        s.Reg_ID = s.selReg_ID;
        s.regname = s.selRegname;
        s.regType = selRegType;
        s.searchType = QStringLiteral("All Birds");
        main.setPanel(panel::Hits, panelText::regionCount(int(list->names.size())));
        main.setPanel(panel::Region, panelText::region(s.regname));
        main.setPanel(panel::Type, panelText::findType(s.searchType));
        accept();
    } catch (const db::DbError& e) {
        // Nothing has changed: the transaction was rolled back.
        if (s.rsOptions.isOpen()) s.rsOptions.cancelUpdate();
        m_ctx.platform.messageBox(e.message(), QStringLiteral("Select Search Region"), Platform::Buttons::Ok,
                                  Platform::Icon::Exclamation);
    }
}

void mnuSearchRegion_Click(Context& ctx)
{
    {
        frmRegion dialog(ctx, ctx.main->dialogParent());
        dialog.exec();
    }
    MainWindow& main = *ctx.main;
    main.focusSpeciesList();
    if (main.speciesCount() > 0) main.selectSpecies(0);
}

} // namespace fl
