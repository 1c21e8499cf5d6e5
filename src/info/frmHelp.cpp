#include "frmHelp.h"

#include "HelpBook.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

namespace fl {

namespace {

QPointer<frmHelp> g_help;

// The page name of a manual URL ("qrc:/help/codes.html#scode" gives "codes.html").
QString fileOf(const QUrl& url)
{
    if (url.scheme() != u"qrc" || !url.path().startsWith(QStringLiteral("/help/"))) return {};
    return url.path().mid(6);
}

} // namespace

frmHelp::frmHelp(Platform& platform, QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Featherlog Help"));
    setWindowIcon(ImageList1::icon(19));
    resize(900, 640);

    cmdBack = new QPushButton(QStringLiteral("&Back"));
    cmdBack->setObjectName(QStringLiteral("cmdBack"));
    cmdForward = new QPushButton(QStringLiteral("&Forward"));
    cmdForward->setObjectName(QStringLiteral("cmdForward"));
    cmdContents = new QPushButton(QStringLiteral("&Contents"));
    cmdContents->setObjectName(QStringLiteral("cmdContents"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdContents);
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdForward);
    buttons->addStretch(1);

    auto* side = new QWidget;
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    auto* contentsLabel = new QLabel(QStringLiteral("C&ontents"));
    lstContents = new QListWidget;
    lstContents->setObjectName(QStringLiteral("lstContents"));
    contentsLabel->setBuddy(lstContents);
    for (const help::Page& p : help::pages()) {
        auto* item = new QListWidgetItem(p.title, lstContents);
        item->setData(Qt::UserRole, p.file);
    }
    auto* searchLabel = new QLabel(QStringLiteral("&Search for words"));
    txtSearch = new QLineEdit;
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setClearButtonEnabled(true);
    searchLabel->setBuddy(txtSearch);
    cmdSearch = new QPushButton(QStringLiteral("&Find"));
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(txtSearch, 1);
    searchRow->addWidget(cmdSearch);
    lstFound = new QListWidget;
    lstFound->setObjectName(QStringLiteral("lstFound"));
    lstFound->setAccessibleName(QStringLiteral("Pages found"));
    sideLayout->addWidget(contentsLabel);
    sideLayout->addWidget(lstContents, 3);
    sideLayout->addWidget(searchLabel);
    sideLayout->addLayout(searchRow);
    sideLayout->addWidget(lstFound, 2);

    txtPage = new QTextBrowser;
    txtPage->setObjectName(QStringLiteral("txtPage"));
    txtPage->setOpenLinks(true);
    txtPage->setOpenExternalLinks(false);

    auto* splitter = new QSplitter;
    splitter->addWidget(side);
    splitter->addWidget(txtPage);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 640});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(cmdBack, &QPushButton::clicked, txtPage, &QTextBrowser::backward);
    connect(cmdForward, &QPushButton::clicked, txtPage, &QTextBrowser::forward);
    Platform& p = platform;
    const QString pageFailure = QStringLiteral("The help page could not be shown.");
    connectGuarded(cmdContents, &QPushButton::clicked, this, p, pageFailure, [this] { showTopic(help::kContents); });
    connect(txtPage, &QTextBrowser::backwardAvailable, cmdBack, &QWidget::setEnabled);
    connect(txtPage, &QTextBrowser::forwardAvailable, cmdForward, &QWidget::setEnabled);
    // The signal comes before source() reports the new page.
    connectGuarded(txtPage, &QTextBrowser::sourceChanged, this, p, pageFailure,
                   [this](const QUrl& url) { pageChanged(fileOf(url)); });
    for (auto signal : {&QListWidget::itemActivated, &QListWidget::itemClicked})
        connectGuarded(lstContents, signal, this, p, pageFailure,
                       [this](QListWidgetItem* item) { showTopic(item->data(Qt::UserRole).toString()); });
    const QString searchFailure = QStringLiteral("The help pages could not be searched.");
    connectGuarded(cmdSearch, &QPushButton::clicked, this, p, searchFailure, [this] { cmdSearch_Click(); });
    connectGuarded(txtSearch, &QLineEdit::returnPressed, this, p, searchFailure, [this] { cmdSearch_Click(); });
    // A page found opens by a click or by the keyboard (both, where a single click activates).
    for (auto signal : {&QListWidget::itemActivated, &QListWidget::itemClicked})
        connectGuarded(lstFound, signal, this, p, pageFailure, [this](QListWidgetItem* item) { openFound(item); });
    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);
    showTopic(help::kContents);
}

void frmHelp::showTopic(const QString& file)
{
    const QString page = help::exists(file) ? file : help::kContents;
    if (currentTopic() == page) return;
    txtPage->setSource(help::urlOf(page));
}

QString frmHelp::currentTopic() const { return fileOf(txtPage->source()); }

void frmHelp::openFound(QListWidgetItem* item)
{
    const QString file = item ? item->data(Qt::UserRole).toString() : QString();
    if (file.isEmpty()) return;
    showTopic(file);
    // Marks where the first typed word first stands on the page, wherever the page was read
    // or searched before.
    const QStringList words = m_searchWords.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty()) return;
    QTextCursor start = txtPage->textCursor();
    start.movePosition(QTextCursor::Start);
    txtPage->setTextCursor(start);
    txtPage->find(words.first());
}

void frmHelp::cmdSearch_Click()
{
    m_searchWords = txtSearch->text().simplified();
    lstFound->clear();
    if (m_searchWords.isEmpty()) return;
    const QStringList found = help::search(m_searchWords);
    for (const QString& file : found) {
        auto* item = new QListWidgetItem(help::titleOf(file), lstFound);
        item->setData(Qt::UserRole, file);
    }
    if (found.isEmpty()) {
        auto* item = new QListWidgetItem(QStringLiteral("No page holds all of these words."), lstFound);
        item->setFlags(Qt::NoItemFlags);
    } else {
        lstFound->setCurrentRow(0);
    }
}

void frmHelp::pageChanged(const QString& file)
{
    setWindowTitle(QStringLiteral("Featherlog Help - ") + help::titleOf(file));
    for (int i = 0; i < lstContents->count(); ++i) {
        if (lstContents->item(i)->data(Qt::UserRole).toString() == file) {
            const QSignalBlocker quiet(lstContents);
            lstContents->setCurrentRow(i);
            return;
        }
    }
}

void frmHelp::belongTo(QWidget* owner)
{
    if (m_owner == owner && parentWidget() == owner) return;
    if (m_owner) m_owner->removeEventFilter(this);
    m_owner = owner;
    if (owner) owner->installEventFilter(this);
    if (parentWidget() == owner) return;
    const QRect where = geometry();
    const bool shown = isVisible();
    setParent(owner, Qt::Window); // hides the window
    setGeometry(where);
    if (shown) show();
}

namespace {
// The modal dialog still up beneath `closing` (its nearest modal window), or none.
QWidget* nextOwner(QWidget* closing)
{
    for (QWidget* w = closing->parentWidget(); w; w = w->parentWidget()) {
        w = w->window();
        if (w->isVisible() && w->isModal()) return w;
    }
    return nullptr;
}
} // namespace

bool frmHelp::eventFilter(QObject* watched, QEvent* event)
{
    // The dialog the window belongs to closes (or goes away): the window stays.
    if (watched == m_owner && event->type() == QEvent::Hide) belongTo(nextOwner(m_owner));
    return QWidget::eventFilter(watched, event);
}

frmHelp* helpWindow() { return g_help.data(); }

frmHelp* showHelpWindow(Platform& platform, const QString& topic)
{
    // A modal dialog blocks every window but its own: over one, the help window is one of its
    // windows for as long as it is up.
    QWidget* owner = QApplication::activeModalWidget();
    if (!g_help) {
        g_help = new frmHelp(platform);
        g_help->setAttribute(Qt::WA_DeleteOnClose);
    }
    g_help->belongTo(owner);
    g_help->showTopic(topic);
    g_help->show();
    g_help->raise();
    g_help->activateWindow();
    return g_help.data();
}

} // namespace fl
