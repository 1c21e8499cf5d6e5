#include "frmClass.h"

#include "state/AppState.h"
#include "SmallIcons.h"
#include "status/StatusTexts.h"
#include "platform/Platform.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/MainWindow.h"
#include "ui/Silhouettes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

namespace fl {

namespace {

const QString kOrders = QStringLiteral("Orders");
const QString kFamilies = QStringLiteral("Families");
const QString kSubFamilies = QStringLiteral("subFamilies");

} // namespace

QString nodeIdOfKey(const QString& key)
{
    const qsizetype at = key.indexOf(u'I');
    return at < 0 ? key : key.left(at);
}

QString classFindQuery(const QString& nodeTable, int regId, const QString& S)
{
    if (regId == 0) {
        // No checklist to go by: the node's species from the whole list.
        if (nodeTable == kOrders)
            return QStringLiteral("SELECT Birds.Name from Birds,Families Where Birds.family_ID = Families.Fam_ID ")
                   + QStringLiteral(" AND Families.Order_ID = ?") + S;
        if (nodeTable == kFamilies) return QStringLiteral("SELECT Birds.Name from Birds Where Birds.family_ID = ?") + S;
        if (nodeTable == kSubFamilies) return QStringLiteral("SELECT Birds.Name From Birds Where Birds.subFam_ID = ?") + S;
        return {};
    }
    const QString R = QString::number(regId);
    if (nodeTable == kOrders)
        return QStringLiteral("SELECT Birds.Name from Birds,Checklists,Families,Orders")
               + QStringLiteral(" Where Birds.ID = Checklists.Bird_ID ") + QStringLiteral(" AND Reg_ID = ") + R
               + QStringLiteral(" AND Birds.family_ID = Families.Fam_ID ")
               + QStringLiteral(" And Families.Order_ID = Orders.Order_ID ")
               + QStringLiteral(" AND Families.Order_ID = ?") + S;
    if (nodeTable == kFamilies)
        return QStringLiteral("SELECT Birds.Name from Birds,Checklists,Families")
               + QStringLiteral(" Where Birds.ID = Checklists.Bird_ID ") + QStringLiteral(" AND Reg_ID = ") + R
               + QStringLiteral(" AND Birds.family_ID = Families.Fam_ID ") + QStringLiteral(" AND Families.Fam_ID = ?")
               + S;
    if (nodeTable == kSubFamilies)
        return QStringLiteral("SELECT Birds.Name From Birds,Checklists")
               + QStringLiteral(" Where Birds.ID = Checklists.Bird_ID ") + QStringLiteral(" AND Reg_ID = ") + R
               + QStringLiteral(" AND Birds.subFam_ID = ?") + S;
    return {};
}

frmClass::frmClass(Context& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmClass"));
    setWindowTitle(QStringLiteral("Search By Classification"));
    const int dpi = logicalDpiX();

    TrView = new QTreeWidget(this);
    TrView->setObjectName(QStringLiteral("TrView"));
    TrView->setHeaderHidden(true);
    TrView->setColumnCount(1);
    TrView->setMinimumWidth(twipsToPixels(3800, dpi));
    TrView->setAccessibleName(QStringLiteral("Orders and Families of Birds"));

    for (int i = 0; i < 2; ++i) {
        lblCaption[i] = new QLabel(this);
        lblCaption[i]->setObjectName(QStringLiteral("lblCaption(%1)").arg(i));
        lblCaption[i]->setTextFormat(Qt::PlainText); // names as they are stored
    }
    lblCaption[0]->setText(QStringLiteral("Name"));
    lblCaption[1]->setText(QStringLiteral("Family"));
    lblCaption[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = lblCaption[0]->font();
    bold.setBold(true);
    lblCaption[0]->setFont(bold);

    pic1 = new QLabel(this);
    pic1->setObjectName(QStringLiteral("pic1"));
    pic1->setAlignment(Qt::AlignCenter);
    pic1->setAutoFillBackground(true);
    QPalette white = pic1->palette();
    white.setColor(QPalette::Window, Qt::white);
    pic1->setPalette(white);
    pic1->setFrameShape(QFrame::StyledPanel);
    pic1->setMinimumSize(twipsToPixels(4800, dpi), twipsToPixels(1600, dpi));

    txtCaption = new QPlainTextEdit(this);
    txtCaption->setObjectName(QStringLiteral("txtCaption"));
    txtCaption->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtCaption->setAccessibleName(QStringLiteral("Description"));

    cmdFind = new QPushButton(QStringLiteral("&Find"), this);
    cmdFind->setObjectName(QStringLiteral("cmdFind"));
    cmdFind->setDefault(true);
    cmdSave = new QPushButton(QStringLiteral("&Save Text"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* right = new QVBoxLayout;
    right->addWidget(lblCaption[0]);
    right->addWidget(lblCaption[1]);
    right->addWidget(pic1);
    right->addWidget(txtCaption, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdFind);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(TrView, 1);
    layout->addLayout(right, 1);
    resize(twipsToPixels(10200, dpi), twipsToPixels(6000, dpi));

    // A node becomes the chosen one by the keyboard or by a click; a click on the node that is
    // already chosen chooses it again (its stored text is read anew).
    connectGuarded(TrView, &QTreeWidget::currentItemChanged, this,
                   ctx.platform, QStringLiteral("The chosen group could not be shown."),
                   [this](QTreeWidgetItem* current, QTreeWidgetItem*) { TrView_NodeClick(current); });
    TrView->viewport()->installEventFilter(this);
    connectGuarded(TrView, &QTreeWidget::itemClicked, this,
                   ctx.platform, QStringLiteral("The chosen group could not be shown."),
                   [this](QTreeWidgetItem* item, int) {
                       QTreeWidgetItem* again = std::exchange(m_pressedOnChosen, nullptr);
                       if (item && item == again) TrView_NodeClick(item);
                   });
    connectGuarded(cmdFind, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The search by classification could not be run."),
                   [this] { cmdFind_Click(); });
    connectGuarded(cmdSave, &QPushButton::clicked, this, ctx.platform, QStringLiteral("The text could not be saved."),
                   [this] { cmdSave_Click(); });
    connectGuarded(cmdCancel, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The window could not be closed."),
                   [this] { cmdCancel_Click(); });

    Form_Load();
}

QTreeWidgetItem* frmClass::addNode(QTreeWidgetItem* parent, const QString& text, const QString& key,
                                   const QString& tag, const QString& image)
{
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TrView);
    node->setText(0, text);
    node->setData(0, KeyRole, key);
    node->setData(0, TagRole, tag);
    node->setData(0, ImageRole, image);
    node->setIcon(0, imlSmallIcons(image));
    return node;
}

void frmClass::Form_Load()
{
    Hourglass hourglass(m_ctx.platform);
    setWindowIcon(ImageList1::icon(5));
    QPalette p = txtCaption->palette();
    p.setColor(QPalette::Base, m_ctx.state.wincolor ? QColor(255, 255, 192) : QColor(255, 255, 255));
    txtCaption->setPalette(p);
    txtCaption->setPlainText(QStringLiteral(" \n"));
    txtCaption->setEnabled(false);
    cmdSave->setEnabled(false);

    const QSignalBlocker quiet(TrView);
    rootNode = addNode(nullptr, QStringLiteral("Orders and Families of Birds"), {}, {}, QStringLiteral("closed"));
    rootNode->setExpanded(true);

    db::Database& db = m_ctx.state.db();
    const QString closed = QStringLiteral("closed");
    const QString book = QStringLiteral("smlBook");
    db::Recordset orders = db.openRecordset(QStringLiteral("Select * from Orders Order By SortOrder"),
                                            db::RecordsetKind::Snapshot);
    for (; !orders.eof(); orders.moveNext()) {
        const int orderId = orders.field(QStringLiteral("Order_ID")).toInt();
        QTreeWidgetItem* orderNode = addNode(rootNode, orders.field(QStringLiteral("Name")).toString(),
                                             QString::number(orderId) + QStringLiteral("IDO"), kOrders, closed);
        db::Recordset families = db.openRecordset(
            QStringLiteral("Select * from Families Where Order_ID = ? ORDER BY Sortorder"), db::RecordsetKind::Snapshot,
            {orderId});
        for (; !families.eof(); families.moveNext()) {
            const int famId = families.field(QStringLiteral("Fam_ID")).toInt();
            QTreeWidgetItem* familyNode = addNode(orderNode, families.field(QStringLiteral("Family")).toString(),
                                                  QString::number(famId) + QStringLiteral("IDF"), kFamilies, book);
            db::Recordset subFamilies = db.openRecordset(QStringLiteral("Select * from subFamilies Where Fam_ID = ?"),
                                                         db::RecordsetKind::Snapshot, {famId});
            for (; !subFamilies.eof(); subFamilies.moveNext())
                addNode(familyNode, subFamilies.field(QStringLiteral("Name")).toString(),
                        QString::number(subFamilies.field(QStringLiteral("subFam_ID")).toInt()) + QStringLiteral("IDS"),
                        kSubFamilies, book);
        }
    }
}

void frmClass::TrView_NodeClick(QTreeWidgetItem* node)
{
    if (!node) return;
    if (node == rootNode) {
        // The last chosen group stays the target of Find; only editing is switched off.
        txtCaption->setEnabled(false);
        cmdSave->setEnabled(false);
        return;
    }
    const QString tag = node->data(0, TagRole).toString();
    const QString id = nodeIdOfKey(node->data(0, KeyRole).toString());
    QString query;
    QString rank;
    if (tag == kOrders) {
        query = QStringLiteral("Select * from Orders Where Order_ID = ?");
        rank = QStringLiteral("Order: ");
    } else if (tag == kFamilies) {
        query = QStringLiteral("Select * from Families Where Fam_ID = ?");
        rank = QStringLiteral("Family: ");
    } else if (tag == kSubFamilies) {
        query = QStringLiteral("Select * from subFamilies Where subFam_ID = ?");
        rank = QStringLiteral("Subfamily: ");
    } else {
        return;
    }
    db::Recordset row = m_ctx.state.db().openRecordset(query, db::RecordsetKind::Dynaset, {id.toInt()});
    if (row.eof()) return;
    nodeRecord = std::move(row);
    nodeId = id;
    nodeTable = tag;
    txtCaption->setEnabled(true);
    cmdSave->setEnabled(true);
    lblCaption[0]->setText(node->text(0));
    lblCaption[1]->setText(rank + nodeRecord.field(QStringLiteral("sci_name")).toString());
    txtCaption->setPlainText(nodeRecord.field(QStringLiteral("Caption")).toString());
    const int picture = tag == kOrders ? 0 : nodeRecord.field(QStringLiteral("images")).toInt();
    if (picture != 0) pic1->setPixmap(silhouette(picture));
    else pic1->clear();
}

bool frmClass::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TrView->viewport() && event->type() == QEvent::MouseButtonPress) {
        QTreeWidgetItem* under = TrView->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        m_pressedOnChosen = under && under == TrView->currentItem() ? under : nullptr;
    }
    return QDialog::eventFilter(watched, event);
}

void frmClass::cmdSave_Click()
{
    if (!nodeRecord.isOpen()) return;
    nodeRecord.edit();
    nodeRecord.setField(QStringLiteral("Caption"), txtCaption->toPlainText());
    nodeRecord.update();
}

void frmClass::cmdFind_Click()
{
    if (nodeTable.isEmpty()) return;
    AppState& s = m_ctx.state;
    QStringList names;
    {
        Hourglass hourglass(m_ctx.platform);
        db::Recordset rs = s.db().openRecordset(classFindQuery(nodeTable, s.Reg_ID, s.qrySort),
                                                db::RecordsetKind::Snapshot, {nodeId.toInt()});
        for (; !rs.eof(); rs.moveNext()) names << rs.field(QStringLiteral("Name")).toString();
    }
    if (names.isEmpty()) {
        m_ctx.platform.messageBox(
            QStringLiteral("The selected order or family does not have any species in the current region"),
            QStringLiteral("Unsuccessful Search"), Platform::Buttons::Ok, Platform::Icon::None);
        return;
    }
    MainWindow& main = *m_ctx.main;
    main.replaceSpeciesList(names, true);
    main.setPanel(panel::Hits, panelText::position(1, int(names.size())));
    main.setPanel(panel::Type, panelText::findType(QStringLiteral("By Class")));
    accept();
}

void frmClass::cmdCancel_Click() { reject(); }

void mnuSearchClass_Click(Context& ctx)
{
    frmClass dialog(ctx, ctx.main->dialogParent());
    dialog.exec();
}

} // namespace fl
