#include "frmWeblink.h"

#include "state/AppState.h"
#include "frmURL.h"
#include "platform/Platform.h"
#include "ui/Context.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

namespace fl {

frmWeblink::frmWeblink(Context& ctx, frmURL& links, QWidget* parent) : QDialog(parent), m_ctx(ctx), m_links(links)
{
    setObjectName(QStringLiteral("frmWeblink"));
    setWindowTitle(QStringLiteral("Add Web Link"));
    setWindowIcon(ImageList1::icon(6));

    auto* heading = new QLabel(QStringLiteral("Link This Web Page To The Current Category"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    txtTitle = new QLineEdit(this);
    txtTitle->setObjectName(QStringLiteral("txtTitle"));
    txtTitle->setMinimumWidth(360);
    txtUrl = new QLineEdit(this);
    txtUrl->setObjectName(QStringLiteral("txtUrl"));
    cmdLink = new QPushButton(QStringLiteral("&Link"), this);
    cmdLink->setObjectName(QStringLiteral("cmdLink"));
    cmdLink->setDefault(true);
    cmdClose = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Title"), txtTitle);
    fields->addRow(QStringLiteral("Web URL"), txtUrl);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdLink);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    setTabOrder(txtTitle, txtUrl);
    setTabOrder(txtUrl, cmdLink);
    setTabOrder(cmdLink, cmdClose);

    connectGuarded(cmdLink, &QPushButton::clicked, this, ctx.platform, QStringLiteral("The link could not be stored."),
                   [this] { cmdLink_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
}

void frmWeblink::cmdLink_Click()
{
    Platform& p = m_ctx.platform;
    if (txtTitle->text().trimmed().isEmpty()) {
        p.messageBox(QStringLiteral("You must enter a title for the web URL."), QStringLiteral("Missing Title"),
                     Platform::Buttons::Ok, Platform::Icon::Exclamation);
        txtTitle->setFocus();
        return;
    }
    if (txtUrl->text().trimmed().isEmpty()) {
        p.messageBox(QStringLiteral("You must enter the address (URL) of the web page."), QStringLiteral("Missing URL"),
                     Platform::Buttons::Ok, Platform::Icon::Exclamation);
        txtUrl->setFocus();
        return;
    }

    // Stored exactly as typed, blanks included.
    AppState& s = m_ctx.state;
    const QString title = txtTitle->text();
    const QString url = txtUrl->text();
    if (s.linkMode) {
        if (!s.rsBird.isOpen() || s.rsBird.eof() || s.rsBird.bof() || !s.rsLinks.isOpen())
            throw std::runtime_error("There is no bird on show to link this page to.");
        s.rsLinks.addNew();
        s.rsLinks.setField(QStringLiteral("bird_ID"), s.rsBird.field(QStringLiteral("id")));
        s.rsLinks.setField(QStringLiteral("Title"), title);
        s.rsLinks.setField(QStringLiteral("URL"), url);
        s.rsLinks.update();
    } else {
        if (!s.rsTopicLinks.isOpen()) throw std::runtime_error("No topic is open to link this page to.");
        s.rsTopicLinks.addNew();
        s.rsTopicLinks.setField(QStringLiteral("subject"), m_links.topic());
        s.rsTopicLinks.setField(QStringLiteral("Title"), title);
        s.rsTopicLinks.setField(QStringLiteral("URL"), url);
        s.rsTopicLinks.update();
    }
    m_links.addTitle(title);
    accept();
}

} // namespace fl
