#include "Harness.h"
#include "LinkList.h"

#include "links/frmURL.h"
#include "links/frmWeblink.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;
using test::pickTopic;
using test::titles;

namespace {

constexpr int kGoose = 3; // the species on show at start

void links(test::TestFolder& f)
{
    f.exec("INSERT INTO Links1 VALUES ('Optics', 'Mirrors', 'http://mirrors.example.org')");
    f.exec("INSERT INTO Links VALUES (3, 'Goose facts', 'http://goose.example.org'), "
           "(3, 'Zoo geese', 'http://zoo.example.org')");
}

// Fills the add-link dialog and presses Link; true when it closed.
bool addLink(Harness& h, frmURL& w, const QString& title, const QString& url)
{
    frmWeblink add(h.ctx, w, &w);
    add.txtTitle->setText(title);
    add.txtUrl->setText(url);
    add.cmdLink_Click();
    w.SetLinkButtons();
    return add.result() == QDialog::Accepted;
}

} // namespace

TEST(AddLink, DialogPartsAndABlankTitleOrAddressIsRefused)
{
    Harness h(links);
    frmURL w(h.ctx, frmURL::Mode::Topics, h.w.get());
    frmWeblink add(h.ctx, w, &w);
    EXPECT_EQ(add.windowTitle(), "Add Web Link");
    EXPECT_EQ(add.txtTitle->text(), "");
    EXPECT_EQ(add.txtUrl->text(), "");
    EXPECT_EQ(add.cmdLink->text(), "&Link");
    EXPECT_EQ(add.cmdClose->text(), "&Cancel");
    EXPECT_EQ(add.txtTitle->nextInFocusChain(), add.txtUrl) << "the title comes first";
    EXPECT_EQ(w.cmdAdd->text(), "&Add  Link");

    // A blank title or address is refused and the dialog keeps the text.
    add.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&add));
    add.txtTitle->setText("   ");
    add.txtUrl->setText("http://x.example.org");
    QTest::mouseClick(add.cmdLink, Qt::LeftButton);
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text, "You must enter a title for the web URL.");
    EXPECT_EQ(h.platform.messages[0].title, "Missing Title");
    EXPECT_EQ(h.platform.messages[0].icon, Platform::Icon::Exclamation);
    EXPECT_TRUE(add.txtTitle->hasFocus());
    EXPECT_TRUE(add.isVisible());

    add.txtTitle->setText("Binoculars");
    add.txtUrl->setText(" \t ");
    QTest::mouseClick(add.cmdLink, Qt::LeftButton);
    ASSERT_EQ(h.platform.messages.size(), 2);
    EXPECT_EQ(h.platform.messages[1].title, "Missing URL");
    EXPECT_FALSE(h.platform.messages[1].text.isEmpty());
    EXPECT_EQ(h.platform.messages[1].icon, Platform::Icon::Exclamation);
    EXPECT_TRUE(add.txtUrl->hasFocus());
    EXPECT_TRUE(add.isVisible());
    EXPECT_EQ(add.txtTitle->text(), "Binoculars");
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links1").toInt(), 1);
    EXPECT_EQ(titles(w), (QStringList{}));
}

TEST(AddLink, UnderATopicThenGoCopyAndDeleteAtOnceWhateverTheTitleHolds)
{
    Harness h(links);
    frmURL w(h.ctx, frmURL::Mode::Topics, h.w.get());
    pickTopic(w, "Optics");
    ASSERT_TRUE(addLink(h, w, "  Binoculars  ", "www.optics.example.org/bino "));
    EXPECT_EQ(h.scalar("SELECT Subject || '|' || Title || '|' || URL FROM Links1 WHERE Title = ?", {"  Binoculars  "})
                  .toString(),
              "Optics|  Binoculars  |www.optics.example.org/bino ")
        << "stored exactly as typed";
    EXPECT_EQ(titles(w), (QStringList{"  Binoculars  ", "Mirrors"}));
    EXPECT_EQ(w.lstURL->currentRow(), 0);

    w.cmdGo_Click();
    EXPECT_EQ(h.platform.browsed, (QStringList{"https://www.optics.example.org/bino"}));
    w.cmdCopy_Click();
    EXPECT_EQ(h.platform.clipboard, "www.optics.example.org/bino ");
    w.cmdDelete_Click();
    EXPECT_EQ(titles(w), (QStringList{"Mirrors"}));
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links1").toInt(), 1);
    EXPECT_TRUE(h.platform.messages.size() == 1 && h.platform.messages[0].title == "Delete Web Link");

    // Titles with quotes and pattern characters work.
    h.platform.browsed.clear();
    const QString quoted = QStringLiteral("The \"best\" scopes");
    const QString pattern = QStringLiteral("*#[a] scopes");
    ASSERT_TRUE(addLink(h, w, quoted, "http://quoted.example.org"));
    ASSERT_TRUE(addLink(h, w, pattern, "http://pattern.example.org"));
    ASSERT_EQ(titles(w), (QStringList{pattern, "Mirrors", quoted}));

    w.lstURL->setCurrentRow(2);
    w.cmdCopy_Click();
    EXPECT_EQ(h.platform.clipboard, "http://quoted.example.org");
    w.cmdGo_Click();
    w.lstURL->setCurrentRow(0);
    w.cmdGo_Click();
    EXPECT_EQ(h.platform.browsed, (QStringList{"http://quoted.example.org", "http://pattern.example.org"}));
    w.lstURL->setCurrentRow(2);
    w.cmdDelete_Click();
    EXPECT_EQ(titles(w), (QStringList{pattern, "Mirrors"}));
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links1 WHERE Title = ?", {quoted}).toInt(), 0);
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links1 WHERE Title = ?", {pattern}).toInt(), 1);
    EXPECT_EQ(h.platform.messages.size(), 2) << "only the delete questions";
}

TEST(AddLink, ForTheBirdOnShowInItsAlphabeticalPlaceAndAFirstLink)
{
    Harness h(links);
    const QIcon before = h.page().icon(0)->icon();
    frmURL w(h.ctx, frmURL::Mode::CurrentBird, h.w.get());
    ASSERT_TRUE(addLink(h, w, "Migration map", "http://map.example.org"));
    EXPECT_EQ(titles(w), (QStringList{"Goose facts", "Migration map", "Zoo geese"}));
    EXPECT_EQ(w.lstURL->currentRow(), 0);
    EXPECT_EQ(h.scalar("SELECT Bird_ID FROM Links WHERE Title = 'Migration map'").toInt(), kGoose);
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links1").toInt(), 1);
    w.lstURL->setCurrentRow(1);
    w.cmdCopy_Click();
    EXPECT_EQ(h.platform.clipboard, "http://map.example.org");
    EXPECT_EQ(h.page().icon(0)->icon().cacheKey(), before.cacheKey()) << "the page's icon waits for the next showing";

    // The first link of a bird without links.
    h.run(cmd::mnuViewNext); // Wood Duck: no links
    EXPECT_TRUE(h.page().icon(0)->icon().isNull());
    frmURL duck(h.ctx, frmURL::Mode::CurrentBird, h.w.get());
    ASSERT_TRUE(addLink(h, duck, "Wood duck boxes", "http://boxes.example.org"));
    EXPECT_EQ(titles(duck), (QStringList{"Wood duck boxes"}));
    EXPECT_TRUE(duck.cmdGo->isEnabled());
    EXPECT_TRUE(h.page().icon(0)->icon().isNull()) << "unchanged until the bird is shown again";
    h.run(cmd::mnuViewFirst);
    h.run(cmd::mnuViewNext);
    EXPECT_FALSE(h.page().icon(0)->icon().isNull());
}

TEST(AddLink, ThroughTheAddButtonAndCancel)
{
    Harness h(links);
    frmURL w(h.ctx, frmURL::Mode::Topics, h.w.get());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    pickTopic(w, "Optics");
    // Fills the dialog the Add button opens, then presses Link or Cancel.
    const auto addTripods = [&w](bool link) {
        QTimer::singleShot(0, [link] {
            if (auto* d = qobject_cast<frmWeblink*>(QApplication::activeModalWidget())) {
                d->txtTitle->setText("Tripods");
                d->txtUrl->setText("http://tripods.example.org");
                QTest::mouseClick(link ? d->cmdLink : d->cmdClose, Qt::LeftButton);
            }
        });
        QTest::mouseClick(w.cmdAdd, Qt::LeftButton);
    };
    addTripods(false);
    EXPECT_EQ(titles(w), (QStringList{"Mirrors"}));
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Links1").toInt(), 1) << "Cancel stores nothing";

    addTripods(true);
    EXPECT_EQ(titles(w), (QStringList{"Mirrors", "Tripods"}));
    EXPECT_EQ(w.lstURL->currentRow(), 0);
    EXPECT_EQ(h.scalar("SELECT Subject FROM Links1 WHERE Title = 'Tripods'").toString(), "Optics");
}
