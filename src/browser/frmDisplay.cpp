#include "frmDisplay.h"

#include "BirdPage.h"
#include "PictureArea.h"

#include "state/AppState.h"
#include "state/OptionsRow.h"
#include "state/Startup.h"
#include "status/StatusTexts.h"
#include "MainMenus.h"
#include "NameCompleter.h"
#include "platform/Platform.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace fl {

namespace {

const char* const kPanels[] = {"Region", "Type", "Hits", "Life"};

} // namespace

frmDisplay::frmDisplay(Context& ctx) : m_ctx(ctx), m_commands(ctx.platform), m_species(ctx.state)
{
    m_ctx.main = this;
    setObjectName(QStringLiteral("frmDisplay"));
    setWindowTitle(QStringLiteral("Featherlog"));
    setWindowIcon(ImageList1::icon(13));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    m_page = new BirdPage(ctx, m_commands, m_species, client, this);
    m_pictures = new PictureArea(ctx, m_commands, m_species, client);
    buildMenus();
    buildToolbar();
    buildStatusBar();
}

frmDisplay::~frmDisplay()
{
    if (m_ctx.main == this) m_ctx.main = nullptr;
}

int frmDisplay::tw(int twips) const { return twipsToPixels(twips, logicalDpiY()); }
int frmDisplay::px(int pixels) const { return pixelsToTwips(pixels, logicalDpiY()); }

void frmDisplay::buildMenus()
{
    for (const menus::Menu& m : menus::menuBar()) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(m.caption));
        menu->setObjectName(QString::fromLatin1(m.name));
        QMenu* target = menu;
        for (const menus::Line& line : m.lines) {
            switch (line.kind) {
            case menus::Line::Separator:
                target->addSeparator()->setObjectName(QString::fromLatin1(line.name));
                break;
            case menus::Line::Submenu:
                target = menu->addMenu(QString::fromLatin1(line.caption));
                target->setObjectName(QString::fromLatin1(line.name));
                m_submenus.insert(QString::fromLatin1(line.name), target->menuAction());
                break;
            case menus::Line::EndSubmenu:
                target = menu;
                break;
            case menus::Line::Command: {
                QAction* a = m_commands.add(line.command, QString::fromLatin1(line.caption),
                                            QKeySequence(QString::fromLatin1(line.shortcut)));
                a->setIconVisibleInMenu(false);
                target->addAction(a);
                addAction(a); // its shortcut works wherever the focus is in the window
                break;
            }
            }
        }
    }
    for (CommandId id : menus::startDisabled()) m_commands.setEnabled(id, false);
    menuItem(cmd::mnuSortName)->setCheckable(true);
    menuItem(cmd::mnuSortList)->setCheckable(true);
}

void frmDisplay::buildToolbar()
{
    Toolbar1 = new QToolBar(centralWidget());
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setIconSize(QSize(tw(360), tw(360)));
    Toolbar1->setGeometry(0, 0, width(), tw(660));
    cmbNames = new QComboBox;
    cmbNames->setObjectName(QStringLiteral("cmbNames"));
    cmbNames->setAccessibleName(QStringLiteral("Bird"));
    cmbNames->setMinimumWidth(tw(2415));
    // Wide enough for the longest names without measuring every name of the list when shown.
    cmbNames->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbNames->setMinimumContentsLength(30);
    cmbNames->setMaxVisibleItems(25);
    // Typed names complete from the list: anywhere in the common or scientific name, or by
    // banding code. The box never adds what is typed to the list.
    cmbNames->setEditable(true);
    cmbNames->setInsertPolicy(QComboBox::NoInsert);
    m_nameCompleter = new NameCompleter(this);
    cmbNames->setCompleter(m_nameCompleter);
    connectGuarded(m_nameCompleter, qOverload<const QModelIndex&>(&QCompleter::activated), this,
                   m_ctx.platform, QStringLiteral("Featherlog could not show this bird."),
                   [this](const QModelIndex& index) { completionChosen(index); });
    cmbNames->installEventFilter(this);
    // The completer reads the species of the list when the user first types after a change.
    connectGuarded(cmbNames->lineEdit(), &QLineEdit::textEdited, this,
                   m_ctx.platform, QStringLiteral("The names of the list could not be read."), [this] {
                       if (!m_completerStale) return;
                       QStringList names;
                       for (int i = 0; i < cmbNames->count(); ++i) names << cmbNames->itemText(i);
                       m_nameCompleter->setSpecies(names, m_ctx.state.db());
                       m_completerStale = false;
                   });
    // nameSelected() tells its own failures (the description not stored, the bird not shown).
    connectGuarded(cmbNames, &QComboBox::currentIndexChanged, this, m_ctx.platform,
                   QStringLiteral("Featherlog could not show this bird."), [this](int index) { nameSelected(index); });
    for (const menus::ToolButton& b : menus::toolbar()) {
        const QString key = QString::fromLatin1(b.key);
        QAction* a = m_commands.action(b.command);
        a->setIcon(ImageList1::icon(b.image));
        a->setToolTip(QString::fromLatin1(b.tooltip));
        m_commands.setToolbarKey(key, b.command);
        Toolbar1->addAction(a);
        if (QWidget* button = Toolbar1->widgetForAction(a)) {
            button->setObjectName(key);
            button->setAccessibleName(QString::fromLatin1(b.tooltip));
        }
        if (key == QLatin1String(menus::kListAfterKey)) Toolbar1->addWidget(cmbNames);
    }
    // The keyboard starts in the list and goes on to the page, then to the picture icons.
    m_pictures->chainTabOrder(m_page->chainTabOrder(cmbNames));
}

void frmDisplay::buildStatusBar()
{
    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    setStatusBar(bar);
    for (const char* key : kPanels) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QString::fromLatin1(key));
        panel->setTextFormat(Qt::PlainText); // the region's name as it is
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(tw(1200));
        bar->addPermanentWidget(panel, 1);
        m_panels.insert(QString::fromLatin1(key), panel);
    }
}

void frmDisplay::setTextBackground(bool yellow) { m_page->setTextBackground(yellow); }

void frmDisplay::Form_Load()
{
    AppState& s = m_ctx.state;
    Hourglass busy(m_ctx.platform);
    setTextBackground(s.wincolor);
    m_pictures->load();
    s.rsResult = s.db().openRecordset(startupListQuery(s), db::RecordsetKind::Snapshot);
    m_page->load();
    LoadListNames();
    setPanel(panel::Region, panelText::region(s.regname));
    setPanel(panel::Type, panelText::findType(s.searchType));
    setPanel(panel::Life, lifePanelText(s));
    const bool byName = sortsByName(s.qrySort);
    menuItem(cmd::mnuSortName)->setChecked(byName);
    menuItem(cmd::mnuSortList)->setChecked(!byName);
}

void frmDisplay::Toolbar1_ButtonClick(const QString& key)
{
    if (const auto id = m_commands.commandOfKey(key)) runCommand(*id);
}

bool frmDisplay::isMenuShortcut(const QKeyEvent& key) const
{
    const QKeySequence pressed(key.keyCombination());
    for (const QAction* a : actions())
        if (a->isEnabled() && a->shortcuts().contains(pressed)) return true;
    return false;
}

QAction* frmDisplay::submenu(const QString& name) const { return m_submenus.value(name); }

QAction* frmDisplay::toolButton(const QString& key) const
{
    const auto id = m_commands.commandOfKey(key);
    return id ? m_commands.action(*id) : nullptr;
}

void frmDisplay::bringToFront()
{
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

void frmDisplay::setPanel(const QString& key, const QString& text)
{
    if (QLabel* l = m_panels.value(key)) l->setText(text);
    if (key != panel::Region) return;
    std::erase_if(m_regionWatchers, [](const auto& w) { return w.first.isNull(); });
    const auto watchers = m_regionWatchers; // a watcher may add another
    for (const auto& [owner, watcher] : watchers)
        if (owner) runGuarded(m_ctx.platform, QStringLiteral("A window could not follow the change of region."), watcher);
}

void frmDisplay::watchRegion(QObject* owner, std::function<void()> watcher)
{
    m_regionWatchers.emplace_back(owner, std::move(watcher));
}

QString frmDisplay::panelText(const QString& key) const
{
    const QLabel* l = m_panels.value(key);
    return l ? l->text() : QString();
}

void frmDisplay::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Toolbar1->setGeometry(0, 0, centralWidget()->width(), Toolbar1->geometry().height());
    Form_Resize();
}

void frmDisplay::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    cmbNames->setFocus(); // the keyboard starts in the list
}

void frmDisplay::Form_Resize()
{
    if (isMinimized()) return;
    try {
        const int outerHeight = px(frameGeometry().height());
        const int outerWidth = px(frameGeometry().width());
        // The client area below the menu bar, the status bar included.
        const int innerHeight = px(height() - (menuBar()->isVisible() ? menuBar()->height() : 0));
        if (outerHeight > 5000) {
            const int h = innerHeight - m_page->top() - 500;
            m_page->setHeight(h);
            m_pictures->setHeight(h);
        }
        if (outerWidth > 7000)
            m_pictures->setWidth(outerWidth - m_page->width() - 600, m_page->width() + 300);
        m_page->placeFamily(outerWidth);
        m_pictures->fit();
    } catch (...) {
        runGuarded(m_ctx.platform, {}, [this] {
            m_ctx.platform.messageBox(QStringLiteral("Error resizing window, Error : 5"), QStringLiteral("Resize Error"),
                                      Platform::Buttons::Ok, Platform::Icon::Exclamation);
        });
    }
}

// ---- the species on show ----

void frmDisplay::storePendingText() { m_page->storePendingText(); }
bool frmDisplay::descriptionEdited() const { return m_page->descriptionEdited(); }
void frmDisplay::showCurrentPicture() { m_pictures->showCurrent(); }
void frmDisplay::setPictureTitle(const QString& title) { m_pictures->setTitle(title); }

void frmDisplay::setPictureDropHandler(std::function<void(const QStringList& files)> handler)
{
    m_pictures->setDropHandler(std::move(handler));
}

// The commands of a species on show. When one is shown, the page then sets those that depend
// on the species (pictures, songs, life list) itself, each once, so that none is switched twice.
void frmDisplay::setSpeciesCommandsEnabled(bool enabled)
{
    if (!enabled)
        for (CommandId item : {cmd::mnuFileImageDelete, cmd::mnuFileEditTitle, cmd::mnuFileSong, cmd::mnuFileSongDelete,
                               cmd::mnuFileSighting, cmd::mnuViewDetails, cmd::mnuFilePlay, cmd::mnuFilePlayCD})
            m_commands.setEnabled(item, false);
    m_commands.setEnabled(cmd::mnuFileImage, enabled);
    m_page->setEnabled(enabled);
    m_pictures->setEnabled(enabled);
}

void frmDisplay::clearBirdPage()
{
    m_species.release();
    m_page->clear();
    m_pictures->clear();
    setSpeciesCommandsEnabled(false);
}

void frmDisplay::cmbNames_Click()
{
    // The user's edit of the previous species' text.
    storePendingText();
    // The species' own row, found by its name, with its pictures and links; its song and
    // life-list commands and its seen line follow its row.
    if (!m_species.show(cmbNames->itemText(cmbNames->currentIndex()))) {
        clearBirdPage();
        return;
    }
    setSpeciesCommandsEnabled(true);
    m_page->show();
    m_pictures->showSpecies();
    setPanel(panel::Hits, panelText::position(cmbNames->currentIndex() + 1, cmbNames->count()));
}

bool frmDisplay::eventFilter(QObject* watched, QEvent* event)
{
    // The menus' shortcuts win over the keys a text box would claim for itself (Ctrl+E is
    // "end of line" in the boxes of many desktops).
    if (event->type() == QEvent::ShortcutOverride && isMenuShortcut(*static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    // Leaving the species box with text that names no species puts the shown name back.
    if (watched == cmbNames && event->type() == QEvent::FocusOut
        && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason
        && cmbNames->findText(cmbNames->currentText(), Qt::MatchExactly) < 0)
        restoreShownName();
    return QMainWindow::eventFilter(watched, event);
}

void frmDisplay::mnuquit_Click() { close(); }

void frmDisplay::closeEvent(QCloseEvent* event)
{
    // A text edit still pending is stored, so that closing never loses the user's writing.
    runGuarded(m_ctx.platform, QStringLiteral("The changes to the description could not be stored."),
               [this] { storePendingText(); });
    runGuarded(m_ctx.platform, QStringLiteral("Featherlog could not close the database properly."),
               [this] { exitSteps(); });
    event->accept();
}

void frmDisplay::exitSteps()
{
    if (m_exited) return;
    m_exited = true;
    // The other subsystems' exit work (the CD device stops and closes, ...), each guarded so
    // that one failing step does not keep the database open.
    for (const auto& step : m_exitSteps)
        runGuarded(m_ctx.platform, QStringLiteral("Featherlog could not finish its work at exit."), step);
    m_ctx.platform.stopSound();
    releaseDatabase();
    closeDatabase(m_ctx.state);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible()) w->close();
}

} // namespace fl
