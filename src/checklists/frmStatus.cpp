#include "frmStatus.h"

#include "status/StatusCodes.h"
#include "platform/Platform.h"
#include "ui/ImageList.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fl {

frmStatus::frmStatus(const QString& curScode, Platform& platform, QWidget* parent, const QString& heading)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStatus"));
    setWindowTitle(QStringLiteral("Region Detailed Status and Abundance"));
    setWindowIcon(ImageList1::icon(14));
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    auto* lines = new QVBoxLayout(panel);
    const auto text = codes::detailLines(curScode);
    for (int i = 0; i < 3; ++i) {
        lblStatus[i] = new QLabel(text[i], panel);
        lblStatus[i]->setObjectName(QStringLiteral("lblStatus(%1)").arg(i));
        lblStatus[i]->setTextFormat(Qt::PlainText);
        lblStatus[i]->setMinimumWidth(360);
        lines->addWidget(lblStatus[i]);
    }
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    lblHeading = new QLabel(heading, this);
    lblHeading->setObjectName(QStringLiteral("lblHeading"));
    lblHeading->setTextFormat(Qt::PlainText); // the species and the region as they are named
    QFont bold = lblHeading->font();
    bold.setBold(true);
    lblHeading->setFont(bold);
    lblHeading->setVisible(!heading.isEmpty());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblHeading);
    layout->addWidget(panel);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    platform.beep();
}

} // namespace fl
