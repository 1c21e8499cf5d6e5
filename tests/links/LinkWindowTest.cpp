#include "Harness.h"

#include "links/frmURL.h"
#include "links/frmWeblink.h"
#include "ui/CommandIds.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <functional>

using namespace fl;
using test::Harness;

namespace {

// The first species on show is Canada Goose (id 3).
constexpr int kGoose = 3;

void links(test::TestFolder& f)
{
    f.exec("INSERT INTO Links1 VALUES ('Bird Photos', 'zebra finch gallery', 'http://z.example.org'), "
           "('Bird Photos', 'Audubon', 'https://www.audubon.org'), "
           "('Bird Photos', 'macaulay library', 'www.macaulaylibrary.org/photos'), "
           "('Bird Songs', 'Xeno-canto', 'https://xeno-canto.org'), "
           "('Checklists', 'Same', 'http://first.example.org'), "
           "('Checklists', 'Same', 'http://second.example.org'), "
           "('Checklists', 'Other', 'http://other.example.org')");
    f.exec("INSERT INTO Links VALUES (3, 'Goose facts', 'http://goose.example.org'), "
           "(3, 'All about geese', 'http://geese.example.org'), (1, 'Mallard page', 'http://mallard.example.org')");
}

QStringList titles(const frmURL& w)
{
    QStringList t;
    for (int i = 0; i < w.lstURL->count(); ++i) t << w.lstURL->item(i)->text();
    return t;
}

QString selected(const frmURL& w) { return w.lstURL->currentItem() ? w.lstURL->currentItem()->text() : QString(); }

bool linkButtonsEnabled(const frmURL& w)
{
    return w.lstURL->isEnabled() && w.cmdGo->isEnabled() && w.cmdDelete->isEnabled() && w.cmdCopy->isEnabled();
}

bool linkButtonsDisabled(const frmURL& w)
{
    return !w.lstURL->isEnabled() && !w.cmdGo->isEnabled() && !w.cmdDelete->isEnabled() && !w.cmdCopy->isEnabled();
}

void pickTopic(frmURL& w, const char* topic) { w.cmbType->setCurrentIndex(w.cmbType->findText(topic)); }

// Runs `inspect` on the next modal window as soon as it shows, then closes it.
void onNextDialog(std::function<void(QWidget*)> inspect)
{
    QTimer::singleShot(0, [inspect] {
        if (QWidget* d = QApplication::activeModalWidget()) {
            inspect(d);
            d->close();
        }
    });
}

} // namespace

TEST(LinkWindow, ViewMenuStartsWithTopicsAndTheIconWithTheBirdOnShow)
{
    Harness h(links);
    ASSERT_EQ(h.shown(), "Canada Goose");
    h.w->show();
    ASSERT_TRUE(h.enabled(cmd::mnuViewLinks));

    QString caption, topic;
    QStringList listed;
    onNextDialog([&](QWidget* d) {
        caption = d->windowTitle();
        topic = d->findChild<QComboBox*>("cmbType")->currentText();
        auto* list = d->findChild<QListWidget*>("lstURL");
        for (int i = 0; i < list->count(); ++i) listed << list->item(i)->text();
    });
    h.run(cmd::mnuViewLinks);
    EXPECT_EQ(caption, "Web Links");
    EXPECT_EQ(topic, "Bird Photos");
    EXPECT_EQ(listed, (QStringList{"Audubon", "macaulay library", "zebra finch gallery"}));
    EXPECT_EQ(h.w->focusWidget(), h.page().list());

    listed.clear();
    onNextDialog([&](QWidget* d) {
        topic = d->findChild<QComboBox*>("cmbType")->currentText();
        auto* list = d->findChild<QListWidget*>("lstURL");
        for (int i = 0; i < list->count(); ++i) listed << list->item(i)->text();
    });
    QTest::mouseClick(h.page().icon(0), Qt::LeftButton);
    EXPECT_EQ(topic, "Current Bird");
    EXPECT_EQ(listed, (QStringList{"All about geese", "Goose facts"}));
    EXPECT_TRUE(h.platform.messages.isEmpty());
}

TEST(LinkWindow, TopicsInOrderAndTitlesSortedWithTheFirstSelected)
{
    Harness h(links);
    frmURL w(h.ctx, frmURL::Mode::Topics, h.w.get());
    QStringList topics;
    for (int i = 0; i < w.cmbType->count(); ++i) topics << w.cmbType->itemText(i);
    EXPECT_EQ(topics, (QStringList{"Bird Photos", "Bird Songs", "Current Bird", "Checklists", "Bird Houses",
                                   "Feeding Birds", "Optics", "Organizations", "Other Sites"}));
    EXPECT_FALSE(w.cmbType->isEditable());
    EXPECT_EQ(titles(w), (QStringList{"Audubon", "macaulay library", "zebra finch gallery"}));
    EXPECT_EQ(selected(w), "Audubon");
    EXPECT_TRUE(linkButtonsEnabled(w));

    pickTopic(w, "Current Bird");
    EXPECT_TRUE(w.birdMode());
    EXPECT_EQ(titles(w), (QStringList{"All about geese", "Goose facts"}));
    EXPECT_EQ(selected(w), "All about geese");
    pickTopic(w, "Bird Songs");
    EXPECT_FALSE(w.birdMode());
    EXPECT_EQ(titles(w), (QStringList{"Xeno-canto"}));
}

TEST(LinkWindow, EmptyTopicDisablesTheList)
{
    Harness h(links);
    frmURL w(h.ctx, frmURL::Mode::Topics, h.w.get());
    pickTopic(w, "Optics");
    EXPECT_EQ(w.lstURL->count(), 0);
    EXPECT_TRUE(linkButtonsDisabled(w));
    EXPECT_TRUE(w.cmdAdd->isEnabled());
    EXPECT_TRUE(w.cmdClose->isEnabled());
    h.run(cmd::mnuViewNext); // Wood Duck has no links
    frmURL bird(h.ctx, frmURL::Mode::CurrentBird, h.w.get());
    EXPECT_EQ(bird.cmbType->currentText(), "Current Bird");
    EXPECT_TRUE(linkButtonsDisabled(bird));
    EXPECT_TRUE(bird.cmdAdd->isEnabled());
}

TEST(LinkWindow, DuplicateTitlesActOnTheFirstRow)
{
    Harness h(links);
    frmURL w(h.ctx, frmURL::Mode::Topics, h.w.get());
    pickTopic(w, "Checklists");
    ASSERT_EQ(titles(w), (QStringList{"Other", "Same", "Same"}));
    w.lstURL->setCurrentRow(2);
    w.cmdCopy_Click();
    EXPECT_EQ(h.platform.clipboard, "http://first.example.org");
    w.cmdGo_Click();
    EXPECT_EQ(h.platform.browsed, (QStringList{"http://first.example.org"}));
    w.lstURL->setCurrentRow(2);
    w.cmdDelete_Click();
    EXPECT_EQ(h.scalar("SELECT group_concat(URL) FROM Links1 WHERE Title = 'Same'").toString(),
              "http://second.example.org");
    EXPECT_EQ(titles(w), (QStringList{"Other", "Same"}));
    EXPECT_EQ(selected(w), "Other");
}

TEST(LinkWindow, DeleteAsksAndDeletingTheLastLinkEmptiesTheList)
{
    Harness h(links);
    frmURL w(h.ctx, frmURL::Mode::Topics, h.w.get());
    pickTopic(w, "Bird Songs");
    h.platform.answers.push_back(Platform::Answer::No);
    w.cmdDelete_Click();
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text, "Do you really want to delete this link?");
    EXPECT_EQ(h.platform.messages[0].title, "Delete Web Link");
    EXPECT_EQ(h.platform.messages[0].buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(h.platform.messages[0].icon, Platform::Icon::Question);
    EXPECT_EQ(titles(w), (QStringList{"Xeno-canto"}));
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links1 WHERE Subject = 'Bird Songs'").toInt(), 1);

    w.cmdDelete_Click(); // Yes
    EXPECT_EQ(w.lstURL->count(), 0);
    EXPECT_TRUE(linkButtonsDisabled(w));
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links1 WHERE Subject = 'Bird Songs'").toInt(), 0);
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links1").toInt(), 6) << "only that link goes";
}

TEST(LinkWindow, DeleteInBirdModeRemovesOnlyThatBirdsLink)
{
    Harness h(links);
    frmURL w(h.ctx, frmURL::Mode::CurrentBird, h.w.get());
    w.lstURL->setCurrentRow(1);
    w.cmdDelete_Click();
    EXPECT_EQ(titles(w), (QStringList{"All about geese"}));
    EXPECT_EQ(h.scalar("SELECT group_concat(Title) FROM Links WHERE Bird_ID = ?", {kGoose}).toString(),
              "All about geese");
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links WHERE Bird_ID = 1").toInt(), 1);
}

TEST(LinkWindow, CopyLeavesExactlyTheAddressAndBeeps)
{
    Harness h([](test::TestFolder& f) {
        links(f);
        f.exec("INSERT INTO Links1 VALUES ('Optics', 'Scopes', ' http://scopes.example.org/a b ')");
    });
    frmURL w(h.ctx, frmURL::Mode::Topics, h.w.get());
    w.lstURL->setCurrentRow(1);
    w.cmdCopy_Click();
    EXPECT_EQ(h.platform.clipboard, "www.macaulaylibrary.org/photos");
    EXPECT_EQ(h.platform.beeps, 1);
    pickTopic(w, "Optics");
    w.cmdCopy_Click();
    EXPECT_EQ(h.platform.clipboard, " http://scopes.example.org/a b ") << "the stored text, blanks and all";
    EXPECT_EQ(h.platform.beeps, 2);
    EXPECT_TRUE(h.platform.messages.isEmpty());
}

TEST(LinkWindow, GoOpensWebAddressesOnly)
{
    Harness h([](test::TestFolder& f) {
        f.exec("INSERT INTO Links1 VALUES ('Other Sites', 'a plain', 'http://plain.example.org/x'), "
               "('Other Sites', 'b secure', 'https://secure.example.org'), "
               "('Other Sites', 'c ftp', 'ftp://files.example.org'), "
               "('Other Sites', 'd bare', 'www.example.org/birds'), "
               "('Other Sites', 'e file', 'file:///etc/passwd'), "
               "('Other Sites', 'f script', 'javascript:alert(1)'), "
               "('Other Sites', 'g handler', 'ms-settings:privacy')");
    });
    frmURL w(h.ctx, frmURL::Mode::Topics, h.w.get());
    pickTopic(w, "Other Sites");
    ASSERT_EQ(w.lstURL->count(), 7);
    for (int row = 0; row < 7; ++row) {
        w.lstURL->setCurrentRow(row);
        w.cmdGo_Click();
    }
    EXPECT_EQ(h.platform.browsed, (QStringList{"http://plain.example.org/x", "https://secure.example.org",
                                               "ftp://files.example.org", "https://www.example.org/birds"}));
    ASSERT_EQ(h.platform.messages.size(), 3) << "file:, javascript: and a desktop handler are refused";
    for (const auto& m : h.platform.messages) {
        EXPECT_EQ(m.text, "Only web addresses (http, https and ftp) are opened. This link's address is not one; use "
                          "the 'Copy URL' button to copy it to the clipboard.");
        EXPECT_EQ(m.title, "Not a Web Address");
        EXPECT_EQ(m.icon, Platform::Icon::Exclamation);
        EXPECT_EQ(m.buttons, Platform::Buttons::Ok);
    }
}

// Refused addresses say why; only a browser that fails shows the message about the browser.
TEST(LinkWindow, RefusedAddressesNameTheReason)
{
    Harness h([](test::TestFolder& f) {
        f.exec("INSERT INTO Links1 VALUES ('Other Sites', 'a script', 'javascript:alert(1)'), "
               "('Other Sites', 'b file', 'file:///home/birder/notes.txt'), "
               "('Other Sites', 'c data', 'data:text/html,<b>hi</b>'), "
               "('Other Sites', 'd mail', 'mailto:birder@example.org'), "
               "('Other Sites', 'e web', 'https://ebird.org')");
    });
    frmURL w(h.ctx, frmURL::Mode::Topics, h.w.get());
    pickTopic(w, "Other Sites");
    ASSERT_EQ(w.lstURL->count(), 5);
    for (int row = 0; row < 4; ++row) {
        w.lstURL->setCurrentRow(row);
        w.cmdGo_Click();
        ASSERT_EQ(h.platform.messages.size(), row + 1) << qPrintable(selected(w));
        EXPECT_EQ(h.platform.messages.last().title, "Not a Web Address") << qPrintable(selected(w));
        EXPECT_TRUE(h.platform.messages.last().text.startsWith("Only web addresses (http, https and ftp) are opened."));
    }
    EXPECT_TRUE(h.platform.browsed.isEmpty()) << "nothing is handed to the desktop";
    h.platform.browserOpens = false;
    w.lstURL->setCurrentRow(4);
    w.cmdGo_Click();
    EXPECT_EQ(h.platform.browsed, QStringList{"https://ebird.org"});
    ASSERT_EQ(h.platform.messages.size(), 5);
    EXPECT_EQ(h.platform.messages.last().title, "Can not open Explorer") << "a web address the browser failed to open";
}

TEST(LinkWindow, BrowserFailureAndDoubleClick)
{
    Harness h(links);
    frmURL w(h.ctx, frmURL::Mode::Topics, h.w.get());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QRect second = w.lstURL->visualItemRect(w.lstURL->item(1));
    // A double click: a first click, then the second press that the system reports as a double click.
    QTest::mouseClick(w.lstURL->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(w.lstURL->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(h.platform.browsed, (QStringList{"https://www.macaulaylibrary.org/photos"}));

    h.platform.browserOpens = false;
    QTest::mouseClick(w.cmdGo, Qt::LeftButton);
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].title, "Can not open Explorer");
    EXPECT_TRUE(w.isVisible()) << "the window stays open";
}
