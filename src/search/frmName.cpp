#include "frmName.h"

#include "state/AppState.h"
#include "lists/ListQueries.h"
#include "status/StatusTexts.h"
#include "db/Dialect.h"
#include "platform/Platform.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/MainWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fl {

QString nameSearchQuery(int regId, const QString& qrySort)
{
    const QString match = QStringLiteral("(Name LIKE ? OR AlphaCode = ? OR sci_name = ?)");
    if (regId > 0) return regionSpeciesQuery(regId, QStringLiteral(" AND ") + match, qrySort);
    return QStringLiteral("SELECT Name from Birds Where ") + match + qrySort;
}

QVariantList nameSearchParams(const QString& text)
{
    const QString exact = text.simplified();
    return {db::containsPattern(text), exact, exact};
}

frmName::frmName(Context& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmName"));
    setWindowTitle(QStringLiteral("Search By Name"));
    setWindowIcon(ImageList1::icon(7));
    Label1 = new QLabel(QStringLiteral("Enter a Name or Partial Bird Name"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    Label1->setBuddy(txtName);
    cmdFind = new QPushButton(QStringLiteral("&Find"), this);
    cmdFind->setObjectName(QStringLiteral("cmdFind"));
    cmdFind->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connectGuarded(cmdFind, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The search by name could not be run."),
                   [this] { cmdFind_Click(); });
    connectGuarded(cmdCancel, &QPushButton::clicked, this,
                   ctx.platform, QStringLiteral("The window could not be closed."),
                   [this] { cmdCancel_Click(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdFind);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(txtName);
    layout->addLayout(buttons);
    setTabOrder(txtName, cmdFind);
    setTabOrder(cmdFind, cmdCancel);
    txtName->setFocus();
}

void frmName::cmdCancel_Click() { reject(); }

void frmName::cmdFind_Click()
{
    AppState& s = m_ctx.state;
    MainWindow& main = *m_ctx.main;
    try {
        // The typed text is bound, never pasted into the query.
        db::Recordset result = s.db().openRecordset(nameSearchQuery(s.Reg_ID, s.qrySort), db::RecordsetKind::Snapshot,
                                                    nameSearchParams(txtName->text()));
        s.rsResult = std::move(result);
    } catch (const db::DbError& e) {
        m_ctx.platform.messageBox(e.message(), QStringLiteral("Search By Name"), Platform::Buttons::Ok,
                                  Platform::Icon::Exclamation);
        return;
    }
    if (s.rsResult.recordCount() == 0) {
        m_ctx.platform.messageBox(QStringLiteral("Could not find any birds containing that text."),
                                  QStringLiteral("Search Not Successfull"), Platform::Buttons::Ok, Platform::Icon::None);
        return;
    }
    QStringList names;
    for (s.rsResult.moveFirst(); !s.rsResult.eof(); s.rsResult.moveNext())
        names << s.rsResult.field(QStringLiteral("Name")).toString();
    s.searchType = QStringLiteral("A Bird Name");
    main.replaceSpeciesList(names, true);
    main.setPanel(panel::Hits, panelText::position(1, int(names.size())));
    main.setPanel(panel::Type, panelText::findType(s.searchType));
    accept();
}

void mnuSearchName_Click(Context& ctx)
{
    {
        frmName dialog(ctx, ctx.main->dialogParent());
        dialog.exec();
    }
    ctx.main->focusSpeciesList();
}

} // namespace fl
