#include "frmURL.h"

#include "state/AppState.h"
#include "WebAddress.h"
#include "frmWeblink.h"
#include "platform/Platform.h"
#include "ui/Context.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"
#include "ui/MainWindow.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <stdexcept>

namespace fl {

namespace {

const QString kBrowserFailure = QStringLiteral(
    "The program cannot access Internet Explorer. Use the 'Copy URL' button to copy the URL to the clipboard, "
    "then  manually paste it into your browser.");
// A stored address of another kind (a file, a script, mail) is never handed to the desktop.
const QString kNotWebAddress = QStringLiteral(
    "Only web addresses (http, https and ftp) are opened. This link's address is not one; use the 'Copy URL' "
    "button to copy it to the clipboard.");

// Alphabetical order of the list: letter case ignored, then exact text, so that equal titles
// in other capitals keep a fixed order.
bool titleBefore(const QString& a, const QString& b)
{
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

} // namespace

const QStringList& frmURL::topics()
{
    static const QStringList list{QStringLiteral("Bird Photos"),   QStringLiteral("Bird Songs"),
                                  QStringLiteral("Current Bird"),  QStringLiteral("Checklists"),
                                  QStringLiteral("Bird Houses"),   QStringLiteral("Feeding Birds"),
                                  QStringLiteral("Optics"),        QStringLiteral("Organizations"),
                                  QStringLiteral("Other Sites")};
    return list;
}

frmURL::frmURL(Context& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmURL"));
    setWindowTitle(QStringLiteral("Web Links"));

    auto* topicsFrame = new QGroupBox(QStringLiteral("Topics"), this);
    cmbType = new QComboBox(topicsFrame);
    cmbType->setObjectName(QStringLiteral("cmbType"));
    cmbType->setEditable(false);
    cmbType->setAccessibleName(QStringLiteral("Topic"));
    auto* topicsLayout = new QHBoxLayout(topicsFrame);
    topicsLayout->addWidget(cmbType, 1);

    auto* linksFrame = new QGroupBox(QStringLiteral("Web Page Links"), this);
    lstURL = new QListWidget(linksFrame);
    lstURL->setObjectName(QStringLiteral("lstURL"));
    lstURL->setAccessibleName(QStringLiteral("Web page links"));
    lstURL->setMinimumSize(360, 200);
    cmdGo = new QPushButton(linksFrame);
    cmdGo->setObjectName(QStringLiteral("cmdGo"));
    cmdGo->setIcon(ImageList1::icon(6));
    cmdGo->setIconSize(QSize(32, 32));
    cmdGo->setToolTip(QStringLiteral("Open the selected web page"));
    cmdGo->setAccessibleName(QStringLiteral("Go"));
    auto* linksLayout = new QHBoxLayout(linksFrame);
    linksLayout->addWidget(lstURL, 1);
    linksLayout->addWidget(cmdGo, 0, Qt::AlignTop);

    cmdAdd = new QPushButton(QStringLiteral("&Add  Link"), this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdDelete = new QPushButton(QStringLiteral("&Delete Link"), this);
    cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    cmdCopy = new QPushButton(QStringLiteral("&Copy URL"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdClose = new QPushButton(QStringLiteral("Clo&se"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton* b : {cmdGo, cmdAdd, cmdDelete, cmdCopy, cmdClose}) b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdAdd, cmdDelete, cmdCopy, cmdClose}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(topicsFrame);
    layout->addWidget(linksFrame, 1);
    layout->addLayout(buttons);

    Platform& p = ctx.platform;
    connectGuarded(cmbType, &QComboBox::currentIndexChanged, this,
                   p, QStringLiteral("The links of this topic could not be listed."),
                   [this] { cmbType_Click(); });
    connectGuarded(cmdGo, &QPushButton::clicked, this, p, QStringLiteral("The web page could not be opened."),
                   [this] { cmdGo_Click(); });
    connectGuarded(lstURL, &QListWidget::itemDoubleClicked, this,
                   p, QStringLiteral("The web page could not be opened."),
                   [this] { cmdGo_Click(); });
    connectGuarded(cmdCopy, &QPushButton::clicked, this, p, QStringLiteral("The address could not be copied."),
                   [this] { cmdCopy_Click(); });
    connectGuarded(cmdDelete, &QPushButton::clicked, this, p, QStringLiteral("The link could not be deleted."),
                   [this] { cmdDelete_Click(); });
    connectGuarded(cmdAdd, &QPushButton::clicked, this, p, QStringLiteral("The link could not be added."),
                   [this] { cmdAdd_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load();
}

void frmURL::Form_Load()
{
    setWindowIcon(ImageList1::icon(6));
    {
        const QSignalBlocker quiet(cmbType);
        cmbType->addItems(topics());
        cmbType->setCurrentIndex(m_ctx.state.linkMode ? kCurrentBird : 0);
    }
    cmbType_Click();
    SetLinkButtons();
}

QString frmURL::topic() const { return cmbType->currentText(); }

bool frmURL::speciesShown() const
{
    const db::Recordset& bird = m_ctx.state.rsBird;
    return bird.isOpen() && !bird.eof() && !bird.bof();
}

void frmURL::listTitles(db::Recordset& rs)
{
    if (!rs.isOpen() || rs.recordCount() == 0) return;
    rs.moveFirst();
    for (; !rs.eof(); rs.moveNext()) addTitle(rs.field(QStringLiteral("Title")).toString());
    rs.moveFirst();
}

void frmURL::cmbType_Click()
{
    AppState& s = m_ctx.state;
    lstURL->clear();
    if (cmbType->currentIndex() == kCurrentBird) {
        s.linkMode = true;
        listTitles(s.rsLinks);
    } else {
        s.linkMode = false;
        s.rsTopicLinks = s.db().openRecordset(QStringLiteral("Select * from Links1 where Subject = ?"),
                                              db::RecordsetKind::Dynaset, {topic()});
        listTitles(s.rsTopicLinks);
    }
    SetLinkButtons();
}

void frmURL::SetLinkButtons()
{
    const bool any = lstURL->count() > 0;
    if (any) lstURL->setCurrentRow(0);
    for (QWidget* w : {static_cast<QWidget*>(lstURL), static_cast<QWidget*>(cmdGo),
                       static_cast<QWidget*>(cmdDelete), static_cast<QWidget*>(cmdCopy)})
        w->setEnabled(any);
    // A link of the current bird needs a bird on show to belong to.
    cmdAdd->setEnabled(!m_ctx.state.linkMode || speciesShown());
    cmdClose->setEnabled(true);
}

void frmURL::addTitle(const QString& title)
{
    int row = 0;
    while (row < lstURL->count() && !titleBefore(title, lstURL->item(row)->text())) ++row;
    lstURL->insertItem(row, title);
}

db::Recordset& frmURL::currentSet()
{
    AppState& s = m_ctx.state;
    return s.linkMode ? s.rsLinks : s.rsTopicLinks;
}

bool frmURL::findSelectedLink()
{
    const QListWidgetItem* selected = lstURL->currentItem();
    db::Recordset& rs = currentSet();
    if (!selected || !rs.isOpen() || rs.recordCount() == 0) return false;
    const QString title = selected->text();
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        if (rs.field(QStringLiteral("Title")).toString() == title) return true;
    return false;
}

void frmURL::cmdGo_Click()
{
    bool opened = false;
    try {
        if (findSelectedLink()) {
            const auto address = browsableAddress(currentSet().field(QStringLiteral("URL")).toString());
            if (!address) {
                m_ctx.platform.messageBox(kNotWebAddress, QStringLiteral("Not a Web Address"), Platform::Buttons::Ok,
                                          Platform::Icon::Exclamation);
                return;
            }
            opened = m_ctx.platform.openInBrowser(*address);
        }
    } catch (const std::exception&) {
        opened = false;
    }
    if (!opened)
        m_ctx.platform.messageBox(kBrowserFailure, QStringLiteral("Can not open Explorer"), Platform::Buttons::Ok,
                                  Platform::Icon::Exclamation);
}

void frmURL::cmdCopy_Click()
{
    if (!findSelectedLink()) throw std::runtime_error("The selected link is no longer stored.");
    m_ctx.platform.setClipboardText(currentSet().field(QStringLiteral("URL")).toString());
    m_ctx.platform.beep();
}

void frmURL::cmdDelete_Click()
{
    if (m_ctx.platform.messageBox(QStringLiteral("Do you really want to delete this link?"),
                                  QStringLiteral("Delete Web Link"), Platform::Buttons::YesNo,
                                  Platform::Icon::Question)
        != Platform::Answer::Yes)
        return;
    if (!findSelectedLink()) throw std::runtime_error("The selected link is no longer stored.");
    db::Recordset& rs = currentSet();
    rs.remove();
    rs.moveNext();
    delete lstURL->takeItem(lstURL->currentRow());
    SetLinkButtons();
}

void frmURL::cmdAdd_Click()
{
    frmWeblink add(m_ctx, *this, this);
    add.exec();
    SetLinkButtons();
}

} // namespace fl
