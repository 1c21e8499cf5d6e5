#include "frmDisplay.h"

#include "SeasonChart.h"

#include "state/AppState.h"
#include "state/OptionsRow.h"
#include "state/Startup.h"
#include "status/StatusTexts.h"
#include "MainMenus.h"
#include "NameCompleter.h"
#include "platform/Platform.h"
#include "ui/ElidedLabel.h"
#include "ui/Guard.h"
#include "ui/ImageList.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTextEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace fl {

namespace {

const char* const kPanels[] = {"Region", "Type", "Hits", "Life"};

// The seasonal chart's band under the status lines; the description box starts below it.
constexpr int kChartTwips = 600;

} // namespace

frmDisplay::frmDisplay(Context& ctx) : m_ctx(ctx), m_commands(ctx.platform), m_species(ctx.state)
{
    m_ctx.main = this;
    setObjectName(QStringLiteral("frmDisplay"));
    setWindowTitle(QStringLiteral("Featherlog"));
    setWindowIcon(ImageList1::icon(13));
    buildWindow();
    buildMenus();
    buildToolbar();
    buildStatusBar();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    // Others change the species on show too (its song, its sightings): the page follows.
    connectGuarded(&m_species, &SpeciesOnShow::speciesChanged, this, ctx.platform,
                   QStringLiteral("Featherlog could not show this bird."), [this] { showSpeciesRow(); });
}

frmDisplay::~frmDisplay()
{
    if (m_ctx.main == this) m_ctx.main = nullptr;
}

int frmDisplay::tw(int twips) const { return twipsToPixels(twips, logicalDpiY()); }
int frmDisplay::px(int pixels) const { return pixelsToTwips(pixels, logicalDpiY()); }

void frmDisplay::place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(tw(left), tw(top), tw(width), tw(height));
}

void frmDisplay::buildWindow()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("client"));
    setCentralWidget(central);

    QFont bold = font();
    bold.setBold(true);
    for (int i = 0; i < 5; ++i) {
        lblName[i] = new QLabel(central);
        lblName[i]->setObjectName(QStringLiteral("lblName(%1)").arg(i));
        lblName[i]->setTextFormat(Qt::PlainText); // names and titles are shown as they are
        lblName[i]->setFont(bold);
    }
    QFont big = bold;
    big.setPointSize(18);
    lblName[0]->setFont(big);
    QFont sci = bold;
    sci.setPointSize(12);
    sci.setItalic(true);
    lblName[4]->setFont(sci);
    // The name labels size to their text; the family line is right-aligned in a wide label
    // so that its right edge stays where the layout puts it, whatever the family's name.
    place(lblName[0], 120, 780, 5190, 435);
    place(lblName[4], 5400, 855, 6000, 300);
    place(lblName[2], 180, 1260, 6000, 240);
    place(lblName[1], 3000, 1260, 6000, 240);
    lblName[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    for (int i = 0; i < 2; ++i) {
        picCont[i] = new QFrame(central);
        picCont[i]->setObjectName(QStringLiteral("picCont(%1)").arg(i));
        picCont[i]->setFrameShape(QFrame::StyledPanel);
    }
    place(picCont[0], 180, 1620, 4695, 3735);
    place(picCont[1], 4980, 1620, 4155, 3735);
    picCont[1]->setAutoFillBackground(true);
    QPalette grey = picCont[1]->palette();
    grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    picCont[1]->setPalette(grey);

    const char* iconNames[] = {"Web links of this bird", "Seasonal status details", "Next picture",
                               "Show the whole picture"};
    const char* iconFailures[] = {"The web links of this bird could not be shown.",
                                  "The seasonal status of this bird could not be shown.",
                                  "The next picture could not be shown.", "The whole picture could not be shown."};
    for (int i = 0; i < 4; ++i) {
        img[i] = new QToolButton(picCont[i < 2 ? 0 : 1]);
        img[i]->setObjectName(QStringLiteral("img(%1)").arg(i));
        img[i]->setAutoRaise(true);
        img[i]->setToolTip(QString::fromLatin1(iconNames[i]));
        img[i]->setAccessibleName(QString::fromLatin1(iconNames[i]));
        img[i]->setIconSize(QSize(tw(435) - 4, tw(435) - 4));
        connectGuarded(img[i], &QToolButton::clicked, this, m_ctx.platform, QString::fromLatin1(iconFailures[i]),
                       [this, i] { img_Click(i); });
    }
    // The links and status icons open other windows: they follow their commands' state.
    const CommandId iconCommands[2] = {cmd::imgLinks, cmd::imgStatus};
    for (int i = 0; i < 2; ++i) {
        QAction* a = m_commands.add(iconCommands[i], img[i]->toolTip());
        connect(a, &QAction::enabledChanged, img[i], &QWidget::setEnabled);
        img[i]->setEnabled(a->isEnabled());
    }
    place(img[1], 60, 45, 435, 465);
    place(img[0], 600, 60, 495, 465);
    place(img[2], 60, 60, 435, 465);
    place(img[3], 600, 60, 435, 465);
    img[2]->hide();
    img[3]->hide();

    lblStatus = new QLabel(picCont[0]);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setFont(bold);
    lblStatus->setTextFormat(Qt::PlainText);
    place(lblStatus, 1200, 30, 3375, 255);
    lblSeen = new ElidedLabel(picCont[0]); // a long site or region name ends in "…"
    lblSeen->setObjectName(QStringLiteral("lblSeen"));
    place(lblSeen, 1200, 300, 3375, 255);
    chtSeasons = new SeasonChart(picCont[0]);
    place(chtSeasons, 60, 570, 4500, kChartTwips - 45);

    txtData = new QTextEdit(picCont[0]);
    txtData->setObjectName(QStringLiteral("txtData"));
    txtData->setAccessibleName(QStringLiteral("Description"));
    txtData->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtData->setAcceptRichText(false); // the description is plain text, pasted text included
    txtData->setTabChangesFocus(true);
    txtData->installEventFilter(this); // the menus' shortcuts win over its keys
    place(txtData, 60, 570 + kChartTwips, 4500, 2895 - kChartTwips);
    // The text box lays its text out when it is painted, so stepping through species
    // quickly does not lay out every description on the way.
    connect(txtData, &QTextEdit::textChanged, this, [this]() noexcept {
        if (!m_loadingText) m_textChanged = true; // a flag only
    });

    lblName[3]->setParent(picCont[1]);
    lblName[3]->setAlignment(Qt::AlignCenter);
    place(lblName[3], 60, 165, 3945, 300);
    lblName[3]->lower(); // the picture icons sit over the title's left end

    Picture1 = new QWidget(picCont[1]);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAutoFillBackground(true);
    QPalette white = Picture1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Picture1->setPalette(white);
    place(Picture1, 60, 600, 3960, 3600);
    Picture2 = new QLabel(Picture1);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setAutoFillBackground(true);
    Picture2->setPalette(white);
    Picture2->move(0, 0);
    picNone = new QWidget(Picture1);
    picNone->setObjectName(QStringLiteral("picNone"));
    auto* noPicture = new QVBoxLayout(picNone);
    imgNoPicture = new QLabel(picNone);
    imgNoPicture->setObjectName(QStringLiteral("imgNoPicture"));
    imgNoPicture->setAlignment(Qt::AlignCenter);
    lblNoPicture = new QLabel(QStringLiteral("No picture yet: File \u203A Add New Image, or drop a picture file here"),
                              picNone);
    lblNoPicture->setObjectName(QStringLiteral("lblNoPicture"));
    lblNoPicture->setAlignment(Qt::AlignCenter);
    lblNoPicture->setWordWrap(true);
    QPalette greyText = lblNoPicture->palette();
    greyText.setColor(QPalette::WindowText, QColor(0x70, 0x70, 0x70));
    lblNoPicture->setPalette(greyText);
    noPicture->addStretch();
    noPicture->addWidget(imgNoPicture);
    noPicture->addWidget(lblNoPicture);
    noPicture->addStretch();
    picNone->hide();
    // Picture files dropped here go to the handler that the picture catalogue registers.
    Picture1->setAcceptDrops(true);
    Picture1->installEventFilter(this);
    setTextBackground(false);
}

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
    // The keyboard starts in the list and goes on to the page: the status and links icons
    // (stops only while they show a picture), the text, the picture icons.
    QWidget::setTabOrder(cmbNames, img[1]);
    QWidget::setTabOrder(img[1], img[0]);
    QWidget::setTabOrder(img[0], txtData);
    QWidget::setTabOrder(txtData, img[2]);
    QWidget::setTabOrder(img[2], img[3]);
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

void frmDisplay::setTextBackground(bool yellow)
{
    QPalette p = txtData->palette();
    p.setColor(QPalette::Base, yellow ? QColor(255, 255, 192) : QColor(255, 255, 255));
    txtData->setPalette(p);
}

void frmDisplay::Form_Load()
{
    AppState& s = m_ctx.state;
    Hourglass busy(m_ctx.platform);
    checkCD = true;
    m_greySilhouettes.clear(); // the database may have been replaced
    setTextBackground(s.wincolor);
    img[2]->setIcon(ImageList1::icon(17));
    img[3]->setIcon(ImageList1::icon(18));
    s.rsResult = s.db().openRecordset(startupListQuery(s), db::RecordsetKind::Snapshot);
    rsClass = s.db().openRecordset(QStringLiteral("GetClassName"), db::RecordsetKind::Snapshot);
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
            const int h = innerHeight - px(picCont[0]->y()) - 500;
            picCont[0]->resize(picCont[0]->width(), tw(h));
            picCont[1]->resize(picCont[1]->width(), tw(h));
            txtData->resize(txtData->width(), tw(h - 700 - kChartTwips));
            Picture1->resize(Picture1->width(), tw(h - 700));
        }
        if (outerWidth > 7000) {
            const int w = outerWidth - px(picCont[0]->width()) - 600;
            picCont[1]->resize(tw(w), picCont[1]->height());
            Picture1->resize(tw(w - 200), Picture1->height());
            picCont[1]->move(tw(px(picCont[0]->width()) + 300), picCont[1]->y());
            lblName[3]->resize(tw(w - 160), lblName[3]->height());
        }
        lblName[1]->move(tw(outerWidth - px(lblName[1]->width()) - 300), lblName[1]->y());
        fitPicture();
    } catch (...) {
        runGuarded(m_ctx.platform, {}, [this] {
            m_ctx.platform.messageBox(QStringLiteral("Error resizing window, Error : 5"), QStringLiteral("Resize Error"),
                                      Platform::Buttons::Ok, Platform::Icon::Exclamation);
        });
    }
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
    Timer1->stop();
    // The other subsystems' exit work (the CD device stops and closes, ...), each guarded so
    // that one failing step does not keep the database open.
    for (const auto& step : m_exitSteps)
        runGuarded(m_ctx.platform, QStringLiteral("Featherlog could not finish its work at exit."), step);
    m_ctx.platform.stopSound();
    rsClass.close();
    rsCDSong.close();
    m_species.release();
    closeDatabase(m_ctx.state);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible()) w->close();
}

} // namespace fl
