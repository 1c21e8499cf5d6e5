#include "frmRegion.h"

#include "AppState.h"
#include "LifeList.h"
#include "browser/frmDisplay.h"
#include "platform/Platform.h"
#include "ui/ImageList.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace fl {

namespace {

struct RegionKind {
    const char* caption;
    const char* query;
    const char* type;
};

const RegionKind kKinds[5] = {
    {"", "", ""},
    {"Region", "GetRegions", "Region"},
    {"Country", "GetCountries", "Country"},
    {"Province/State", "GetStates", "State"},
    {"District/County", "GetDistricts", "District"},
};

} // namespace

frmRegion::frmRegion(Context& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmRegion"));
    setWindowTitle(QStringLiteral("Select Search Region"));
    setWindowIcon(ImageList1::icon(3));

    auto* frame = new QGroupBox(QStringLiteral("Regions"), this);
    auto* options = new QVBoxLayout(frame);
    for (int i = 1; i <= 4; ++i) {
        optRegion[i] = new QRadioButton(QString::fromLatin1(kKinds[i].caption), frame);
        optRegion[i]->setObjectName(QStringLiteral("optRegion(%1)").arg(i));
        options->addWidget(optRegion[i]);
        connect(optRegion[i], &QRadioButton::clicked, this, [this, i] { optRegion_Click(i); });
    }
    lblList = new QLabel(QStringLiteral("Available CheckLists:"), this);
    lblList->setObjectName(QStringLiteral("lblList"));
    lstRegion = new QListWidget(this);
    lstRegion->setObjectName(QStringLiteral("lstRegion"));
    lstRegion->setSortingEnabled(true);
    lstRegion->setSelectionMode(QAbstractItemView::SingleSelection);
    lblList->setBuddy(lstRegion);
    connect(lstRegion, &QListWidget::itemClicked, this, [this] { lstRegion_Click(); });
    connect(lstRegion, &QListWidget::currentRowChanged, this, [this] { lstRegion_Click(); });
    connect(lstRegion, &QListWidget::itemDoubleClicked, this, [this] { lstRegion_DblClick(); });
    cmdOK = new QPushButton(QStringLiteral("Use"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Close"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(lblList);
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
    auto* item = new QListWidgetItem(QStringLiteral("North America"));
    item->setData(Qt::UserRole, 1);
    lstRegion->addItem(item);
    lstRegion->setCurrentItem(item);
    m_ctx.state.selRegname = QStringLiteral("North America");
    selRegType = QStringLiteral("Region");
    m_ctx.state.selReg_ID = 1;
    optRegion[1]->setChecked(true);
}

void frmRegion::optRegion_Click(int index)
{
    if (index < 1 || index > 4) return;
    optRegion[index]->setChecked(true);
    lstRegion->clear();
    auto rs = m_ctx.state.db().openRecordset(QString::fromLatin1(kKinds[index].query), db::RecordsetKind::Snapshot);
    selRegType = QString::fromLatin1(kKinds[index].type);
    if (rs.recordCount() == 0) {
        cmdOK->setEnabled(false);
    } else {
        for (; !rs.eof(); rs.moveNext()) {
            auto* item = new QListWidgetItem(rs.field(QStringLiteral("Name")).toString());
            item->setData(Qt::UserRole, rs.field(QStringLiteral("Reg_ID")).toInt());
            lstRegion->addItem(item);
        }
        lstRegion->setCurrentRow(0);
        lstRegion_Click();
        cmdOK->setEnabled(true);
    }
    lstRegion->setFocus();
}

void frmRegion::lstRegion_Click()
{
    const QListWidgetItem* item = lstRegion->currentItem();
    if (!item) return;
    m_ctx.state.selReg_ID = item->data(Qt::UserRole).toInt();
    m_ctx.state.selRegname = item->text();
}

void frmRegion::lstRegion_DblClick() { cmdOK_Click(); }

void frmRegion::cmdCancel_Click() { reject(); }

void frmRegion::cmdOK_Click()
{
    if (!cmdOK->isEnabled() || !lstRegion->currentItem()) return;
    AppState& s = m_ctx.state;
    frmDisplay& main = *m_ctx.main;
    s.selRegname = lstRegion->currentItem()->text();
    try {
        std::optional<RegionList> list;
        {
            Hourglass busy(m_ctx.platform);
            db::Transaction tx(s.db());
            list = rebuildLifeList(s.db(), s.selReg_ID, selRegType, s.qrySort);
            if (list) {
                db::Recordset& o = s.rsOptions;
                o.moveFirst();
                o.edit();
                o.setField(QStringLiteral("Reg_ID"), s.selReg_ID);
                o.setField(QStringLiteral("regname"), s.selRegname);
                o.setField(QStringLiteral("regType"), selRegType);
                o.setField(QStringLiteral("searchType"), QStringLiteral("All Birds"));
                o.setField(QStringLiteral("lifetotal"), list->total);
                o.setField(QStringLiteral("lifesum"), list->sighted);
                o.update();
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
        main.fillNames(list->names);
        main.setPanel(QStringLiteral("Life"),
                      QStringLiteral("Sighted %1 of %2 Birds").arg(list->sighted).arg(list->total));
        s.Reg_ID = s.selReg_ID;
        s.regname = s.selRegname;
        s.regType = selRegType;
        s.searchType = QStringLiteral("All Birds");
        main.setPanel(QStringLiteral("Hits"), QStringLiteral("Search Results: %1").arg(list->names.size()));
        main.setPanel(QStringLiteral("Region"), QStringLiteral("Region : ") + s.regname);
        main.setPanel(QStringLiteral("Type"), QStringLiteral("Find : ") + s.searchType);
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
        frmRegion dialog(ctx, ctx.main);
        dialog.exec();
    }
    frmDisplay& main = *ctx.main;
    main.cmbNames->setFocus();
    if (main.cmbNames->count() > 0) main.selectListIndex(0);
}

} // namespace fl
