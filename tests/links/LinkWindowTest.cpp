#include "Harness.h"
#include "LinkList.h"

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
using test::pickTopic;
using test::selected;
using test::titles;

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

bool linkButtonsEnabled(const frmURL& w)
{
    return w.lstURL->isEnabled() && w.cmdGo->isEnabled() && w.cmdDelete->isEnabled() && w.cmdCopy->isEnabled();
}

bool linkButtonsDisabled(const frmURL& w)
{
    return !w.lstURL->isEnabled() && !w.cmdGo->isEnabled() && !w.cmdDelete->isEnabled() && !w.cmdCopy->isEnabled();
}

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

TEST(LinkWindow, TopicsInOrderAndTitlesSortedWithTheFirstSelectedAnEmptyTopicDisabled)
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

    // An empty topic disables the list.
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

TEST(LinkWindow, DuplicateTitlesActOnTheFirstRowAndDeleteAsks)
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
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text, "Do you really want to delete this link?");
    EXPECT_EQ(h.platform.messages[0].title, "Delete Web Link");
    EXPECT_EQ(h.platform.messages[0].buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(h.platform.messages[0].icon, Platform::Icon::Question);

    // No keeps the link; deleting the topic's last link empties the list.
    pickTopic(w, "Bird Songs");
    h.platform.answers.push_back(Platform::Answer::No);
    w.cmdDelete_Click();
    ASSERT_EQ(h.platform.messages.size(), 2);
    EXPECT_EQ(titles(w), (QStringList{"Xeno-canto"}));
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links1 WHERE Subject = 'Bird Songs'").toInt(), 1);

    w.cmdDelete_Click(); // Yes
    EXPECT_EQ(w.lstURL->count(), 0);
    EXPECT_TRUE(linkButtonsDisabled(w));
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links1 WHERE Subject = 'Bird Songs'").toInt(), 0);
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links1").toInt(), 5) << "only those links go";

    // For the bird on show, only that bird's link goes.
    frmURL bird(h.ctx, frmURL::Mode::CurrentBird, h.w.get());
    bird.lstURL->setCurrentRow(1);
    bird.cmdDelete_Click();
    EXPECT_EQ(titles(bird), (QStringList{"All about geese"}));
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

// Which addresses are web addresses is WebAddress's table; here, that Go hands only those to
// the desktop (as browsableAddress writes them) and says why it refuses the others.
TEST(LinkWindow, GoOpensWebAddressesOnlyAndRefusedAddressesNameTheReason)
{
    Harness h([](test::TestFolder& f) {
        f.exec("INSERT INTO Links1 VALUES ('Other Sites', 'a plain', 'http://plain.example.org/x'), "
               "('Other Sites', 'b ftp', 'ftp://files.example.org'), "
               "('Other Sites', 'c bare', 'www.example.org/birds'), "
               "('Other Sites', 'd file', 'file:///etc/passwd'), "
               "('Other Sites', 'e script', 'javascript:alert(1)'), "
               "('Other Sites', 'f handler', 'ms-settings:privacy')");
    });
    frmURL w(h.ctx, frmURL::Mode::Topics, h.w.get());
    pickTopic(w, "Other Sites");
    ASSERT_EQ(w.lstURL->count(), 6);
    for (int row = 0; row < 6; ++row) {
        w.lstURL->setCurrentRow(row);
        w.cmdGo_Click();
    }
    EXPECT_EQ(h.platform.browsed, (QStringList{"http://plain.example.org/x", "ftp://files.example.org",
                                               "https://www.example.org/birds"}));
    ASSERT_EQ(h.platform.messages.size(), 3) << "file:, javascript: and a desktop handler are refused";
    for (const auto& m : h.platform.messages) {
        EXPECT_EQ(m.text, "Only web addresses (http, https and ftp) are opened. This link's address is not one; use "
                          "the 'Copy URL' button to copy it to the clipboard.");
        EXPECT_EQ(m.title, "Not a Web Address");
        EXPECT_EQ(m.icon, Platform::Icon::Exclamation);
        EXPECT_EQ(m.buttons, Platform::Buttons::Ok);
    }
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
