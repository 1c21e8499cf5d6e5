#include "frmCredit.h"

#include "InfoTexts.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"
#include "ui/Context.h"
#include "ui/ImageList.h"
#include "ui/Silhouettes.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace fl {

frmCredit::frmCredit(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCredit"));
    setWindowTitle(info::productName() + QStringLiteral(" Credits"));

    picCredit = new QLabel;
    picCredit->setObjectName(QStringLiteral("picCredit"));
    picCredit->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    picCredit->setPixmap(silhouette(175)); // one of our own songbird silhouettes
    lblThanks = new QLabel(info::creditsThanks());
    lblThanks->setObjectName(QStringLiteral("lblThanks"));
    lblThanks->setWordWrap(true);
    QFont bold = lblThanks->font();
    bold.setBold(true);
    lblThanks->setFont(bold);
    const QString sources[] = {info::creditsTaxonomy(), info::creditsTexts(), info::creditsCodes(),
                               info::creditsMedia()};
    for (int i = 0; i < 4; ++i) {
        lblSource[i] = new QLabel(sources[i]);
        lblSource[i]->setObjectName(QStringLiteral("lblSource(%1)").arg(i));
        lblSource[i]->setWordWrap(true);
    }
    cmdOK = new QPushButton(QStringLiteral("&OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(picCredit, 0, 0, 5, 1);
    layout->addWidget(lblThanks, 0, 1);
    for (int i = 0; i < 4; ++i) layout->addWidget(lblSource[i], i + 1, 1);
    layout->addWidget(cmdOK, 5, 1, Qt::AlignRight);
    layout->setColumnMinimumWidth(1, 420);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    Form_Load();
}

void frmCredit::Form_Load() { setWindowIcon(ImageList1::icon(20)); }

void mnuHelpCredits_Click(Context& ctx)
{
    frmCredit dialog(ctx.main ? ctx.main->dialogParent() : nullptr);
    dialog.exec();
}

} // namespace fl
