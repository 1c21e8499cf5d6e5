#include "Harness.h"

#include "info/HelpBook.h"
#include "info/HelpKey.h"
#include "info/frmHelp.h"
#include "platform/QtPlatform.h"
#include "sightings/frmSight.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
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

TEST(Help, MenuCommandsAskForTheContentsAndTheHelpPage)
{
    Harness h;
    h.run("mnuHelpContents");
    h.run("mnuHelpHelponhelp");
    EXPECT_EQ(h.platform.helpTopics, (QStringList{"index.html", "usinghelp.html"}));
    EXPECT_EQ(help::topicForCommand(11), "index.html");
    EXPECT_EQ(help::topicForCommand(4), "usinghelp.html");
}

TEST(Help, ProgramPlatformOpensOurHelpWindowAtTheAskedPage)
{
    HelpWindowCloser closer;
    QtPlatform platform;
    platform.setHelpViewer([](const QString& topic) { showHelpWindow(topic); });
    platform.showHelp(help::topicForCommand(help::kHelpContents));
    frmHelp* w = helpWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->currentTopic(), "index.html");
    EXPECT_TRUE(w->txtPage->toPlainText().contains("Contents")) << qPrintable(w->txtPage->source().toString());
    ASSERT_NE(w->lstContents->currentItem(), nullptr);
    EXPECT_EQ(w->lstContents->currentItem()->text(), "Contents");

    platform.showHelp(help::topicForCommand(help::kHelpOnHelp));
    EXPECT_EQ(helpWindow(), w) << "one help window serves the run";
    EXPECT_EQ(w->currentTopic(), "usinghelp.html");
    EXPECT_TRUE(w->txtPage->toPlainText().startsWith("Using the help window"));
    EXPECT_EQ(w->windowTitle(), "Featherlog Help - Using the help window");

    // An unknown page falls back to the contents rather than an empty window.
    w->showTopic("nosuchpage.html");
    EXPECT_EQ(w->currentTopic(), "index.html");
}

TEST(Help, EveryPageIsListedAndEveryInternalLinkLeadsToAPage)
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
}

TEST(Help, EveryWindowOpensItsOwnPage)
{
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

    HelpWindowCloser closer;
    frmHelp* w = showHelpWindow(help::kContents);
    QTest::keyClicks(w->txtSearch, "Congratulations");
    QTest::keyClick(w->txtSearch, Qt::Key_Return);
    ASSERT_EQ(titles(w->lstFound), QStringList{help::titleOf("searches.html")});
    QTest::mouseClick(w->lstFound->viewport(), Qt::LeftButton, {},
                      w->lstFound->visualItemRect(w->lstFound->item(0)).center());
    EXPECT_EQ(w->currentTopic(), "searches.html");
    EXPECT_EQ(w->txtPage->textCursor().selectedText().toLower(), "congratulations") << "the word is marked";

    w->txtSearch->setText("zzzzqqq");
    w->cmdSearch->click();
    ASSERT_EQ(w->lstFound->count(), 1);
    EXPECT_EQ(w->lstFound->item(0)->flags(), Qt::NoItemFlags) << "a note, not a page";
}

TEST(Help, BackForwardAndContentsList)
{
    HelpWindowCloser closer;
    frmHelp* w = showHelpWindow(help::kContents);
    EXPECT_FALSE(w->cmdBack->isEnabled());
    // Follow a link of the contents page.
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

TEST(Help, F1OpensThePageOfTheWindowInUse)
{
    Harness h([](test::TestFolder& f) { f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario'"); });
    std::unique_ptr<HelpKey> key(installHelpKey(h.platform));
    h.state.sightingMode = false;
    frmSight d(h.ctx, h.w.get());
    d.show();
    QTest::keyClick(d.txtSite, Qt::Key_F1);
    EXPECT_EQ(h.platform.helpTopics, QStringList{"sightings.html"});
    EXPECT_EQ(d.txtSite->text(), "") << "the key is not typed into the box";
    d.close();

    h.w->show();
    QTest::keyClick(h.w->cmbNames, Qt::Key_F1);
    EXPECT_EQ(h.platform.helpTopics.last(), "browsing.html");
    QTest::keyClick(h.w->cmbNames, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(h.platform.helpTopics.size(), 2) << "only F1 alone asks for help";
    key.reset();
    QTest::keyClick(h.w->cmbNames, Qt::Key_F1);
    EXPECT_EQ(h.platform.helpTopics.size(), 2);
}

TEST(Help, HelpOverAModalDialogBelongsToTheDialog)
{
    HelpWindowCloser closer;
    Harness h;
    QtPlatform platform;
    platform.setHelpViewer([](const QString& topic) { showHelpWindow(topic); });
    std::unique_ptr<HelpKey> key(installHelpKey(platform));
    QPointer<frmHelp> opened;
    QWidget* dialog = nullptr;
    QTimer::singleShot(0, [&] {
        dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_F1);
        opened = helpWindow();
        ASSERT_NE(opened, nullptr);
        EXPECT_EQ(opened->currentTopic(), "options.html");
        EXPECT_EQ(opened->parentWidget(), dialog) << "a window of the modal dialog can be used";
        EXPECT_TRUE(opened->isVisible());
        static_cast<QDialog*>(dialog)->reject();
    });
    h.run("mnuViewOptions");
    EXPECT_TRUE(opened.isNull()) << "closed with its dialog";
    frmHelp* again = showHelpWindow(help::kContents);
    EXPECT_EQ(again->parentWidget(), nullptr);
}
