#include "frmEditReg.h"

#include "state/AppState.h"
#include "lifelist/LifeList.h"
#include "state/OptionsRow.h"
#include "RegionData.h"
#include "regions/RegionKinds.h"
#include "status/StatusTexts.h"
#include "frmChecklist.h"
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

namespace {
const QString kWorld = QStringLiteral("World");
const QString kAllBirds = QStringLiteral("All Birds");
} // namespace

frmEditReg::frmEditReg(Context& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmEditReg"));
    setWindowTitle(QStringLiteral("Checklist Maintenance"));
    setWindowIcon(ImageList1::icon(7));

    Frame1 = regionKindButtons(this, ctx.platform, optRegion, [this](int i) { optRegion_Click(i); });
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* options = static_cast<QVBoxLayout*>(Frame1->layout());
    options->addStretch();

    lblList = new QLabel(QStringLiteral("Available CheckLists:"), this);
    lblList->setObjectName(QStringLiteral("lblList"));
    lstRegion = new RegionListView(ctx.platform, this);
    lstRegion->setObjectName(QStringLiteral("lstRegion"));
    txtFilter = lstRegion->filterBox();
    lblList->setBuddy(lstRegion);
    connectGuarded(lstRegion, &RegionListView::currentRowChanged, this,
                   ctx.platform, QStringLiteral("The region could not be chosen."), [this](int row) {
                       lstRegion_Click();
                       // Edit and Delete act on the chosen region: only while the list shows one.
                       if (m_kind > 0) {
                           cmdEdit->setEnabled(row >= 0);
                           cmdDelete->setEnabled(row >= 0);
                       }
                   });

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdNew = button("cmdNew", QStringLiteral("&New"));
    cmdEdit = button("cmdEdit", QStringLiteral("&Edit"));
    cmdDelete = button("cmdDelete", QStringLiteral("&Delete"));
    cmdClose = button("cmdClose", QStringLiteral("&Close"));
    cmdNew->setEnabled(false);
    cmdEdit->setEnabled(false);
    cmdDelete->setEnabled(false);
    connectGuarded(cmdNew, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The region could not be created."),
                   [this] { cmdNew_Click(); });
    connectGuarded(cmdEdit, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The checklist could not be edited."),
                   [this] { cmdEdit_Click(); });
    connectGuarded(cmdDelete, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The region could not be deleted."),
                   [this] { cmdDelete_Click(); });
    connectGuarded(cmdClose, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The window could not be closed."),
                   [this] { cmdClose_Click(); });

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(lblList);
    listColumn->addWidget(txtFilter);
    listColumn->addWidget(lstRegion);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdNew);
    buttons->addWidget(cmdEdit);
    buttons->addWidget(cmdDelete);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(listColumn, 1);
    layout->addLayout(buttons);
}

void frmEditReg::optRegion_Click(int index)
{
    if (index < 1 || index > 4) return;
    {
        const QSignalBlocker quiet(optRegion[index]);
        optRegion[index]->setChecked(true);
    }
    m_kind = index;
    cmdNew->setEnabled(true);
    cmdEdit->setEnabled(true);
    cmdDelete->setEnabled(true);
    const RegionKind& kind = regionKinds()[index - 1];
    selRegType = kind.type;
    if (lstRegion->setRegions(readRegions(m_ctx.state.db(), kind)) > 0) {
        lstRegion_Click();
    } else {
        cmdEdit->setEnabled(false);
        cmdDelete->setEnabled(false);
    }
    lstRegion->setFocus();
}

void frmEditReg::lstRegion_Click() { chooseCurrentRegion(m_ctx.state, lstRegion); }

void frmEditReg::cmdNew_Click()
{
    if (m_kind == 0) return;
    const std::optional<QString> answer = m_ctx.platform.inputBox(
        QStringLiteral("Enter a name for the new checklist region."), QStringLiteral("New Region"), QString());
    if (!answer || answer->trimmed().isEmpty()) return;
    const int id = createRegion(m_ctx.state.db(), regionKinds()[m_kind - 1].type, *answer);
    const bool wasEmpty = lstRegion->count() == 0;
    const int row = lstRegion->addRegion({*answer, id, QString()});
    if (wasEmpty && row >= 0) {
        // The list had nothing to select until now: the new region becomes the chosen one,
        // so that Edit and Delete act on it.
        lstRegion->setCurrentRow(row);
        lstRegion_Click();
        cmdEdit->setEnabled(true);
        cmdDelete->setEnabled(true);
    }
}

void frmEditReg::cmdEdit_Click()
{
    if (lstRegion->currentRow() < 0) return;
    {
        frmChecklist editor(m_ctx, this);
        editor.exec();
    }
    if (m_ctx.state.selReg_ID == m_ctx.state.Reg_ID) rebuildCurrentRegion();
}

void frmEditReg::rebuildCurrentRegion()
{
    AppState& s = m_ctx.state;
    db::Database& db = s.db();
    std::optional<RegionList> list;
    bool world = false;
    {
        Hourglass busy(m_ctx.platform);
        db::Transaction tx(db);
        list = rebuildLifeList(db, s.selReg_ID, selRegType, s.qrySort);
        if (!list) {
            world = true;
            list = rebuildWorldLifeList(db, s.qrySort);
        }
        OptionsChange change;
        change.regId = world ? 0 : s.selReg_ID;
        change.regname = world ? kWorld : s.selRegname;
        change.regType = world ? kWorld : selRegType;
        change.searchType = world ? kAllBirds : s.searchType.trimmed();
        change.lifetotal = list->total;
        change.lifesum = list->sighted;
        writeOptions(s, change);
        tx.commit();
    }
    if (world) {
        m_ctx.platform.messageBox(
            QStringLiteral("There are no birds entered in the checklist for this region. Loading World list."),
            QStringLiteral("Unsuccessful Search"), Platform::Buttons::Ok, Platform::Icon::None);
        s.Reg_ID = 0;
        s.regname = kWorld;
        s.regType = kWorld;
    } else {
        s.regname = s.selRegname;
        s.regType = selRegType;
    }
    MainWindow& main = *m_ctx.main;
    main.replaceSpeciesList(list->names, true);
    main.setPanel(panel::Life, panelText::lifeOfRegion(list->sighted, list->total));
    main.setPanel(panel::Hits, panelText::regionCount(int(list->names.size())));
    main.setPanel(panel::Region, panelText::region(s.regname));
    s.searchType = kAllBirds;
    main.setPanel(panel::Type, panelText::findType(s.searchType));
}

void frmEditReg::cmdDelete_Click()
{
    if (m_kind == 0 || lstRegion->currentRow() < 0) return;
    AppState& s = m_ctx.state;
    if (s.selReg_ID == s.Reg_ID) {
        m_ctx.platform.messageBox(QStringLiteral("This region is currently being used. It can not be deleted."),
                                  QStringLiteral("Cannot Delete Checklist"), Platform::Buttons::Ok,
                                  Platform::Icon::Exclamation);
        return;
    }
    if (m_ctx.platform.messageBox(QStringLiteral("Do you really want to delete this region? This will delete all "
                                                 "checklists and sightings based on this region."),
                                  QStringLiteral("Delete Region"), Platform::Buttons::YesNo, Platform::Icon::Question)
        != Platform::Answer::Yes)
        return;
    deleteRegion(s.db(), regionKinds()[m_kind - 1], s.selReg_ID);
    lstRegion->removeCurrent();
    if (lstRegion->count() == 0) {
        cmdEdit->setEnabled(false);
        cmdDelete->setEnabled(false);
    } else {
        lstRegion->setCurrentRow(0);
        lstRegion_Click();
    }
}

void frmEditReg::cmdClose_Click() { reject(); }

void mnuEditList_Click(Context& ctx)
{
    frmEditReg window(ctx, ctx.main->dialogParent());
    window.exec();
}

} // namespace fl
