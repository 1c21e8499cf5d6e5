#include "Harness.h"

#include "info/HelpBook.h"
#include "info/HelpKey.h"
#include "info/frmHelp.h"
#include "app/Wiring.h"
#include "platform/QtPlatform.h"
#include "state/Startup.h"
#include "sightings/frmSight.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace fl;
using test::Harness;

namespace {

// Closes the help window a test left open, so that the next test starts without one.
struct HelpWindowCloser {
    ~HelpWindowCloser() { delete helpWindow(); }
};

QStringList titles(const QListWidget* list)
{
    QStringList t;
    for (int i = 0; i < list->count(); ++i) t << list->item(i)->text();
    return t;
}

} // namespace

TEST(Help, ProgramPlatformOpensOurHelpWindowAtTheAskedPageWithItsHistoryAndContents)
{
    HelpWindowCloser closer;
    QtPlatform platform;
    platform.setHelpViewer([&platform](const QString& topic) { showHelpWindow(platform, topic); });
    platform.showHelp(help::topicForCommand(help::kHelpContents));
    frmHelp* w = helpWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->currentTopic(), "index.html");
    EXPECT_TRUE(w->txtPage->toPlainText().contains("Contents")) << qPrintable(w->txtPage->source().toString());
    ASSERT_NE(w->lstContents->currentItem(), nullptr);
    EXPECT_EQ(w->lstContents->currentItem()->text(), "Contents");
    EXPECT_FALSE(w->cmdBack->isEnabled());

    platform.showHelp(help::topicForCommand(help::kHelpOnHelp));
    EXPECT_EQ(helpWindow(), w) << "one help window serves the run";
    EXPECT_EQ(w->currentTopic(), "usinghelp.html");
    EXPECT_TRUE(w->txtPage->toPlainText().startsWith("Using the help window"));
    EXPECT_EQ(w->windowTitle(), "Featherlog Help - Using the help window");

    // An unknown page falls back to the contents rather than an empty window.
    w->showTopic("nosuchpage.html");
    EXPECT_EQ(w->currentTopic(), "index.html");

    // Back, Forward and the contents list, after following a link of the contents page.
    w->txtPage->setSource(w->txtPage->source().resolved(QUrl("sightings.html")));
    EXPECT_EQ(w->currentTopic(), "sightings.html");
    ASSERT_NE(w->lstContents->currentItem(), nullptr);
    EXPECT_EQ(w->lstContents->currentItem()->text(), "Sightings and the life list");
    EXPECT_TRUE(w->cmdBack->isEnabled());
    w->cmdBack->click();
    EXPECT_EQ(w->currentTopic(), "index.html");
    EXPECT_TRUE(w->cmdForward->isEnabled());
    w->cmdForward->click();
    EXPECT_EQ(w->currentTopic(), "sightings.html");

    const int options = [&] {
        for (int i = 0; i < w->lstContents->count(); ++i)
            if (w->lstContents->item(i)->text() == "Options") return i;
        return -1;
    }();
    ASSERT_GE(options, 0);
    QTest::mouseClick(w->lstContents->viewport(), Qt::LeftButton, {},
                      w->lstContents->visualItemRect(w->lstContents->item(options)).center());
    EXPECT_EQ(w->currentTopic(), "options.html");
    w->cmdContents->click();
    EXPECT_EQ(w->currentTopic(), "index.html");
}

TEST(Help, EveryPageIsListedEveryInternalLinkAndEveryWindowLeadsToAPage)
{
    QStringList files;
    for (const help::Page& p : help::pages()) {
        EXPECT_TRUE(help::exists(p.file)) << qPrintable(p.file);
        EXPECT_FALSE(p.title.isEmpty());
        files << p.file;
    }
    EXPECT_EQ(QDir(":/help").entryList(QDir::Files, QDir::Name),
              [&] { QStringList s = files; s.sort(); return s; }())
        << "the built-in pages and the contents list agree";

    const QStringList fromContents = help::links(help::kContents);
    for (const QString& f : files) {
        if (f != help::kContents) {
            EXPECT_TRUE(fromContents.contains(f)) << qPrintable(f) << " is not in the contents";
        }
    }

    int checked = 0;
    for (const QString& f : files) {
        for (QString target : help::links(f)) {
            if (target.startsWith("http:") || target.startsWith("https:") || target.startsWith("mailto:")) continue;
            target = target.section(u'#', 0, 0);
            if (target.isEmpty()) continue;
            EXPECT_TRUE(help::exists(target)) << qPrintable(f) << " links to missing " << qPrintable(target);
            ++checked;
        }
    }
    EXPECT_GT(checked, 40);
    EXPECT_FALSE(help::exists("../Startup.cpp"));

    // Every window opens its own page.
    const struct {
        const char* window;
        const char* page;
    } expected[] = {
        {"frmDisplay", "browsing.html"},  {"frmSight", "sightings.html"},   {"frmRegion", "region.html"},
        {"frmName", "findname.html"},     {"frmClass", "classification.html"}, {"frmWizard", "wizard.html"},
        {"frmStatus", "codes.html"},      {"frmEditReg", "checklists.html"}, {"frmChecklist", "checklists.html"},
        {"frmZoom", "pictures.html"},     {"frmURL", "weblinks.html"},       {"frmWeblink", "weblinks.html"},
        {"frmOptions", "options.html"},   {"frmHelp", "usinghelp.html"},     {"frmSomethingNew", "index.html"},
        {"frmSightingsLog", "sightingslog.html"}, {"frmImportPreview", "ebird.html"},
        {"frmTaxonomyUpdate", "taxonomy.html"},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(help::topicForWindow(e.window), e.page) << e.window;
        EXPECT_TRUE(help::exists(e.page));
    }
}

TEST(Help, SearchFindsPagesByWordsInTheirText)
{
    // A word of the body text, not of any title.
    EXPECT_EQ(help::search("congratulations"), QStringList{"searches.html"});
    EXPECT_EQ(help::search("CONGRAT"), QStringList{"searches.html"}) << "beginnings of words, any case";
    const QStringList banding = help::search("banding code");
    EXPECT_TRUE(banding.contains("browsing.html"));
    EXPECT_TRUE(banding.contains("findname.html"));
    EXPECT_FALSE(banding.contains("reports.html"));
    EXPECT_TRUE(help::search("congratulations heronsong").isEmpty()) << "every word must be on the page";
    EXPECT_TRUE(help::search("ongratulations").isEmpty()) << "words match from their beginning";
    EXPECT_TRUE(help::search("  ").isEmpty());
    EXPECT_TRUE(help::search("(").isEmpty());

    ScriptedPlatform platform;
    HelpWindowCloser closer;
    frmHelp* w = showHelpWindow(platform, help::kContents);
    w->txtSearch->setText("zzzzqqq");
    w->cmdSearch->click();
    ASSERT_EQ(w->lstFound->count(), 1);
    EXPECT_EQ(w->lstFound->item(0)->flags(), Qt::NoItemFlags) << "a note, not a page";
}

namespace {

// How a page of the search results is chosen.
enum class Choose { Click, Keyboard };

void choose(frmHelp& w, int row, Choose how)
{
    QListWidget* found = w.lstFound;
    if (how == Choose::Click) {
        QTest::mouseClick(found->viewport(), Qt::LeftButton, {}, found->visualItemRect(found->item(row)).center());
    } else {
        found->setFocus();
        found->setCurrentRow(row);
        QTest::keyClick(found, Qt::Key_Return);
    }
}

class HelpSearchResult : public ::testing::TestWithParam<Choose> {};

} // namespace

TEST_P(HelpSearchResult, OpensThePageAndMarksTheWordWhereverThePageWasRead)
{
    ScriptedPlatform platform;
    HelpWindowCloser closer;
    frmHelp* w = showHelpWindow(platform, help::kContents);
    w->show();
    QTest::keyClicks(w->txtSearch, "Congratulations");
    QTest::keyClick(w->txtSearch, Qt::Key_Return);
    ASSERT_EQ(titles(w->lstFound), QStringList{help::titleOf("searches.html")});
    choose(*w, 0, GetParam());
    EXPECT_EQ(w->currentTopic(), "searches.html");
    EXPECT_EQ(w->txtPage->textCursor().selectedText().toLower(), "congratulations") << "the word is marked";

    // The page already on show, read (or searched) down past the word: the word is marked again.
    QTextCursor end = w->txtPage->textCursor();
    end.movePosition(QTextCursor::End);
    w->txtPage->setTextCursor(end);
    choose(*w, 0, GetParam());
    EXPECT_EQ(w->txtPage->textCursor().selectedText().toLower(), "congratulations");

    // Another search, whose word stands on the page on show before the last mark.
    w->txtSearch->setText("ready-made");
    w->cmdSearch->click();
    const int row = titles(w->lstFound).indexOf(help::titleOf("searches.html"));
    ASSERT_GE(row, 0);
    choose(*w, row, GetParam());
    EXPECT_EQ(w->currentTopic(), "searches.html");
    EXPECT_EQ(w->txtPage->textCursor().selectedText().toLower(), "ready-made");
}

INSTANTIATE_TEST_SUITE_P(Help, HelpSearchResult, ::testing::Values(Choose::Click, Choose::Keyboard),
                         [](const auto& p) { return p.param == Choose::Click ? "Click" : "Keyboard"; });

namespace {

// The program on the desktop's own platform: its file choosers and its print preview are the
// real ones. The help pages asked for are recorded.
struct LiveProgram {
    test::TestFolder folder;
    AppState state;
    QtPlatform platform;
    Context ctx{state, platform, nullptr};
    std::unique_ptr<frmDisplay> w;
    std::unique_ptr<HelpKey> key;
    QStringList topics;

    LiveProgram()
    {
        QDir(folder.path()).mkpath("Images");
        QDir(folder.path()).mkpath("Songs");
        state.dataFolder = folder.path();
        openAndLoadOptions(state);
        w = createMainWindow(ctx);
        platform.setParentWindow(w.get());
        platform.setHelpViewer([this](const QString& topic) { topics << topic; });
        key.reset(installHelpKey(platform, [this] {
            const auto running = w->commands().running();
            return running ? running->name() : QString();
        }));
        w->Form_Load();
    }
    ~LiveProgram() { w->close(); }
    test::MainWindowPage page() const { return test::MainWindowPage(w.get()); }

    // Runs a command; F1 is pressed in the first window it shows and every window it shows is
    // then closed. Returns the object name of the window F1 was pressed in.
    QString f1InWindowOf(CommandId item)
    {
        QString pressedIn;
        QTimer closer;
        closer.setInterval(20);
        QObject::connect(&closer, &QTimer::timeout, [&] {
            QWidget* shown = QApplication::activeModalWidget();
            if (!shown) return;
            if (pressedIn.isNull()) {
                pressedIn = shown->objectName();
                QWidget* target = shown->focusWidget() ? shown->focusWidget() : shown;
                QTest::keyClick(target, Qt::Key_F1);
            }
            if (auto* dialog = qobject_cast<QDialog*>(shown)) dialog->reject();
            else shown->close();
        });
        closer.start();
        w->runCommand(item);
        return pressedIn;
    }
};

} // namespace

TEST(Help, F1InTheFileChoosersAndThePreviewOpensThePageOfTheirCommand)
{
    LiveProgram p;
    ASSERT_EQ(p.page().list()->currentText(), "Canada Goose");
    const struct {
        CommandId item;
        const char* page;
    } cases[] = {
        {cmd::mnuFileImage, "pictures.html"},      // the picture file chooser
        {cmd::mnuFileSong, "songs.html"},          // the song file chooser
        {cmd::mnuReportChecklist, "reports.html"}, // the print preview
        {cmd::mnuReportLife, "reports.html"},
    };
    for (const auto& c : cases) {
        p.topics.clear();
        const QString window = p.f1InWindowOf(c.item);
        EXPECT_FALSE(window.startsWith("frm")) << qPrintable(c.item.name()) << ": a window of the platform, not one of ours";
        EXPECT_EQ(p.topics, QStringList{c.page}) << qPrintable(c.item.name()) << " in " << qPrintable(window);
    }
    // Our own windows keep their own pages, whatever command opened them.
    p.topics.clear();
    EXPECT_EQ(p.f1InWindowOf(cmd::mnuSearchRegion), "frmRegion");
    EXPECT_EQ(p.topics, QStringList{"region.html"});
    // With no command running, a window without a page of its own opens the contents.
    EXPECT_EQ(help::topicForWindow("QFileDialog"), "index.html");
    EXPECT_EQ(help::topicForWindow("QFileDialog", cmd::mnuFileImage.name()), "pictures.html");
    EXPECT_EQ(help::topicForWindow("frmSight", cmd::mnuFileImage.name()), "sightings.html");
}

TEST(Help, MenuCommandsAndF1OpenThePageOfTheWindowInUse)
{
    Harness h([](test::TestFolder& f) { f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario'"); });
    h.run(cmd::mnuHelpContents);
    h.run(cmd::mnuHelpHelponhelp);
    EXPECT_EQ(h.platform.helpTopics, (QStringList{"index.html", "usinghelp.html"}));
    EXPECT_EQ(help::topicForCommand(11), "index.html");
    EXPECT_EQ(help::topicForCommand(4), "usinghelp.html");
    h.platform.helpTopics.clear();

    std::unique_ptr<HelpKey> key(installHelpKey(h.platform));
    frmSight d(h.ctx, frmSight::Mode::NewSighting, h.w.get());
    d.show();
    QTest::keyClick(d.txtSite, Qt::Key_F1);
    EXPECT_EQ(h.platform.helpTopics, QStringList{"sightings.html"});
    EXPECT_EQ(d.txtSite->text(), "") << "the key is not typed into the box";
    d.close();

    h.w->show();
    QTest::keyClick(h.page().list(), Qt::Key_F1);
    EXPECT_EQ(h.platform.helpTopics.last(), "browsing.html");
    QTest::keyClick(h.page().list(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(h.platform.helpTopics.size(), 2) << "only F1 alone asks for help";
    key.reset();
    QTest::keyClick(h.page().list(), Qt::Key_F1);
    EXPECT_EQ(h.platform.helpTopics.size(), 2);
}

TEST(Help, OneHelpWindowOutlivesTheDialogsItWasUsedBeside)
{
    HelpWindowCloser closer;
    Harness h;
    QtPlatform platform;
    platform.setHelpViewer([&platform](const QString& topic) { showHelpWindow(platform, topic); });
    std::unique_ptr<HelpKey> key(installHelpKey(platform));
    QPointer<frmHelp> opened;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_F1);
        opened = helpWindow();
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(opened->currentTopic(), "options.html");
        EXPECT_EQ(opened->parentWidget(), dialog) << "a window of the modal dialog can be used beside it";
        EXPECT_TRUE(opened->isVisible());
        opened->showTopic("songs.html"); // reading on, so that there is a history
        static_cast<QDialog*>(dialog)->reject();
    });
    h.run(cmd::mnuViewOptions);
    ASSERT_FALSE(opened.isNull()) << "the help window outlives the dialog";
    EXPECT_TRUE(opened->isVisible());
    EXPECT_EQ(opened->parentWidget(), nullptr) << "a window of its own again";
    EXPECT_EQ(opened->currentTopic(), "songs.html");
    ASSERT_TRUE(opened->cmdBack->isEnabled()) << "with its history";
    opened->cmdBack->click();
    EXPECT_EQ(opened->currentTopic(), "options.html");

    // A dialog over a dialog: the window goes to the inner one, then back to the outer one,
    // then stands on its own; it is the same window all along.
    QWidget* outer = nullptr;
    bool innerSeen = false;
    QTimer::singleShot(0, [&] {
        outer = QApplication::activeModalWidget();
        ASSERT_NE(outer, nullptr);
        QTimer::singleShot(0, [&] {
            QWidget* inner = QApplication::activeModalWidget();
            ASSERT_NE(inner, nullptr);
            ASSERT_NE(inner, outer);
            QTest::keyClick(inner->focusWidget() ? inner->focusWidget() : inner, Qt::Key_F1);
            EXPECT_EQ(helpWindow(), opened.data());
            EXPECT_EQ(opened->parentWidget(), inner);
            EXPECT_EQ(opened->currentTopic(), "checklists.html");
            innerSeen = true;
            inner->close();
        });
        auto* maintenance = outer->findChild<QPushButton*>("cmdEdit");
        outer->findChild<QRadioButton*>("optRegion(1)")->click();
        maintenance->click(); // the checklist editor, modally over the window
        EXPECT_TRUE(innerSeen);
        EXPECT_EQ(opened->parentWidget(), outer) << "back with the dialog still up";
        EXPECT_TRUE(opened->isVisible());
        static_cast<QDialog*>(outer)->reject();
    });
    h.run(cmd::mnuEditList);
    ASSERT_FALSE(opened.isNull());
    EXPECT_EQ(opened->parentWidget(), nullptr);
    EXPECT_TRUE(opened->isVisible());
    EXPECT_EQ(showHelpWindow(platform, help::kContents), opened.data()) << "one help window for the run";
}
