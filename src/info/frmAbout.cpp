#include "frmAbout.h"

#include "InfoTexts.h"
#include "state/AppState.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"
#include "ui/ImageList.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace fl {

namespace {

QLabel* textLabel(const QString& name, const QString& text)
{
    auto* l = new QLabel(text);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText); // the data folder's name as it is
    l->setWordWrap(true);
    return l;
}

} // namespace

frmAbout::frmAbout(const QString& dataFolder, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Featherlog"));
    setWindowIcon(ImageList1::icon(13));

    picIcon = new QLabel;
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(ImageList1::pixmap(13, 64));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    lblTitle = textLabel(QStringLiteral("lblTitle"), info::productName());
    QFont big = lblTitle->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = textLabel(QStringLiteral("lblVersion"), info::versionLine());
    lblCopyright = textLabel(QStringLiteral("lblCopyright"), info::copyrightLine());
    lblDisclaimer = textLabel(QStringLiteral("lblDisclaimer"), info::licenceNotice());
    lblContact = textLabel(QStringLiteral("lblContact"), info::contactLine());
    lblData = textLabel(QStringLiteral("lblData"), info::dataFolderLine(dataFolder));
    lblData->setTextInteractionFlags(Qt::TextSelectableByMouse); // the folder can be copied
    cmdOK = new QPushButton(QStringLiteral("&OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picIcon, 0, 0, 4, 1);
    layout->addWidget(lblTitle, 0, 1);
    layout->addWidget(lblVersion, 1, 1);
    layout->addWidget(lblCopyright, 2, 1);
    layout->addWidget(lblDisclaimer, 3, 1);
    layout->addWidget(lblContact, 4, 1);
    layout->addWidget(lblData, 5, 1);
    layout->addWidget(cmdOK, 6, 1, Qt::AlignRight);
    layout->setColumnMinimumWidth(1, 380);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

void mnuHelpAbout_Click(Context& ctx)
{
    frmAbout dialog(ctx.state.dataFolder, ctx.main ? ctx.main->dialogParent() : nullptr);
    dialog.exec();
}

} // namespace fl
