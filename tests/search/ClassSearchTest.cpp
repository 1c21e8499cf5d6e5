#include "Harness.h"

#include "search/SmallIcons.h"
#include "search/frmClass.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

// The fixture with a third order sorted first, the warblers sorted before the thrushes, and
// the warblers split into two subfamilies (the yellowthroat in none).
void taxonomy(test::TestFolder& f)
{
    f.exec("INSERT INTO Orders VALUES (3, 'Loons', 'Gaviiformes', 0, 'Diving birds.')");
    f.exec("INSERT INTO Families VALUES (4, 3, 'Loons', 'Gaviidae', 1, 0, 'Loon text.', 'Dagger bills', 0)");
    f.exec("UPDATE Families SET Sortorder = 1 WHERE Fam_ID = 3");
    f.exec("UPDATE Families SET Sortorder = 5 WHERE Fam_ID = 2");
    f.exec("INSERT INTO subFamilies VALUES (1, 3, 'Tree Warblers', 'Setophagini', 'Tree text.', 'Bright', 178)");
    f.exec("INSERT INTO subFamilies VALUES (2, 3, 'Ground Warblers', 'Seiurini', 'Ground text.', 'Walks', 0)");
    f.exec("UPDATE Birds SET subFam_ID = 1 WHERE ID IN (7, 10, 11, 12)");
    f.exec("UPDATE Birds SET subFam_ID = 2 WHERE ID = 8");
}

QStringList texts(QTreeWidgetItem* parent)
{
    QStringList t;
    for (int i = 0; i < parent->childCount(); ++i) t << parent->child(i)->text(0);
    return t;
}

QTreeWidgetItem* node(frmClass& d, const QString& text)
{
    const auto found = d.TrView->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

// Chooses a node by clicking it, as the user does.
void click(frmClass& d, QTreeWidgetItem* item)
{
    ASSERT_NE(item, nullptr);
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) p->setExpanded(true);
    d.TrView->scrollToItem(item);
    QTest::mouseClick(d.TrView->viewport(), Qt::LeftButton, {}, d.TrView->visualItemRect(item).center());
}

// Finds the species of the node named `text` in a dialog of its own; true when it closes.
bool find(Harness& h, const char* text)
{
    frmClass d(h.ctx, h.w.get());
    d.TrView->setCurrentItem(node(d, text));
    d.cmdFind_Click();
    return d.result() == QDialog::Accepted;
}

} // namespace

TEST(ClassTree, OrdersFamiliesAndSubfamiliesInTheirOrderShowTheirTextsWhenChosen)
{
    Harness h(taxonomy);
    frmClass d(h.ctx, h.w.get());
    EXPECT_EQ(d.windowTitle(), "Search By Classification");
    ASSERT_EQ(d.TrView->topLevelItemCount(), 1);
    QTreeWidgetItem* root = d.TrView->topLevelItem(0);
    EXPECT_EQ(root->text(0), "Orders and Families of Birds");
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(texts(root), (QStringList{"Loons", "Waterfowl", "Perching Birds"}));
    EXPECT_EQ(texts(root->child(2)), (QStringList{"Wood-Warblers", "Thrushes"}));
    EXPECT_EQ(texts(root->child(2)->child(0)), (QStringList{"Tree Warblers", "Ground Warblers"}));
    EXPECT_FALSE(root->child(1)->isExpanded());
    // Keys, tags and pictures of each level; every key gives its row's id back.
    const struct {
        const char* text;
        const char* key;
        const char* tag;
        const char* image;
        const char* idQuery;
    } expected[] = {
        {"Perching Birds", "2IDO", "Orders", "closed", "SELECT Order_ID FROM Orders WHERE Name = 'Perching Birds'"},
        {"Thrushes", "2IDF", "Families", "smlBook", "SELECT Fam_ID FROM Families WHERE Family = 'Thrushes'"},
        {"Ground Warblers", "2IDS", "subFamilies", "smlBook",
         "SELECT subFam_ID FROM subFamilies WHERE Name = 'Ground Warblers'"},
    };
    for (const auto& e : expected) {
        QTreeWidgetItem* item = node(d, e.text);
        ASSERT_NE(item, nullptr) << e.text;
        const QString key = item->data(0, frmClass::KeyRole).toString();
        EXPECT_EQ(key, e.key);
        EXPECT_EQ(item->data(0, frmClass::TagRole).toString(), e.tag);
        EXPECT_EQ(item->data(0, frmClass::ImageRole).toString(), e.image);
        EXPECT_FALSE(item->icon(0).isNull());
        EXPECT_EQ(nodeIdOfKey(key), h.scalar(e.idQuery).toString());
    }
    EXPECT_EQ(root->data(0, frmClass::ImageRole).toString(), "closed");
    EXPECT_EQ(nodeIdOfKey("120IDS"), "120");
    for (const char* key : {"closed", "cylinder", "smlBook"}) EXPECT_FALSE(imlSmallIcons(key).isNull()) << key;
    EXPECT_TRUE(imlSmallIcons("open").isNull());

    // Choosing nodes shows their names, texts and pictures.
    d.show();
    click(d, node(d, "Thrushes"));
    EXPECT_EQ(d.lblCaption[0]->text(), "Thrushes");
    EXPECT_EQ(d.lblCaption[1]->text(), "Family: Turdidae");
    EXPECT_EQ(d.txtCaption->toPlainText(), "Thrushes.");
    EXPECT_TRUE(d.txtCaption->isEnabled());
    EXPECT_TRUE(d.cmdSave->isEnabled());
    EXPECT_FALSE(d.pic1->pixmap().isNull());
    EXPECT_EQ(d.nodeTable, "Families");
    EXPECT_EQ(d.nodeId, "2");

    click(d, node(d, "Perching Birds"));
    EXPECT_EQ(d.lblCaption[1]->text(), "Order: Passeriformes");
    EXPECT_TRUE(d.pic1->pixmap().isNull()) << "an order shows no picture although its families have them";

    click(d, node(d, "Tree Warblers"));
    EXPECT_EQ(d.lblCaption[1]->text(), "Subfamily: Setophagini");
    EXPECT_FALSE(d.pic1->pixmap().isNull());
    click(d, node(d, "Ground Warblers"));
    EXPECT_TRUE(d.pic1->pixmap().isNull()) << "a subfamily without a picture clears the last one";
    EXPECT_EQ(d.nodeTable, "subFamilies");

    // The root switches editing off but keeps the last choice as the target of Find.
    click(d, node(d, "Thrushes"));
    click(d, d.rootNode);
    EXPECT_FALSE(d.txtCaption->isEnabled());
    EXPECT_FALSE(d.cmdSave->isEnabled());
    EXPECT_EQ(d.lblCaption[0]->text(), "Thrushes");
    EXPECT_EQ(d.nodeTable, "Families");
    QTest::mouseClick(d.cmdFind, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(h.names(), (QStringList{"Wood Thrush", "Hermit Thrush", "American Robin"}));
}

TEST(ClassTree, StartsWithNothingChosenAndColoursTheText)
{
    Harness h([](test::TestFolder& f) { f.exec("UPDATE Options SET wincolor = 1"); });
    frmClass d(h.ctx, h.w.get());
    EXPECT_EQ(d.lblCaption[0]->text(), "Name");
    EXPECT_EQ(d.lblCaption[1]->text(), "Family");
    EXPECT_FALSE(d.cmdSave->isEnabled());
    EXPECT_FALSE(d.txtCaption->isEnabled());
    EXPECT_TRUE(d.nodeTable.isEmpty());
    EXPECT_EQ(d.txtCaption->palette().color(QPalette::Base), QColor(255, 255, 192));
    EXPECT_FALSE(d.windowIcon().isNull());
    // Find before any choice does nothing at all.
    const QStringList before = h.names();
    d.cmdFind_Click();
    EXPECT_TRUE(h.platform.messages.isEmpty());
    EXPECT_EQ(h.names(), before);
    EXPECT_NE(d.result(), QDialog::Accepted);

    h.state.wincolor = false;
    frmClass plain(h.ctx, h.w.get());
    EXPECT_EQ(plain.txtCaption->palette().color(QPalette::Base), QColor(255, 255, 255));
}

TEST(ClassTree, ClickingTheChosenNodeAgainReadsItsStoredTextAndSavedTextShowsAgain)
{
    Harness h(taxonomy);
    frmClass d(h.ctx, h.w.get());
    d.show();
    click(d, node(d, "Thrushes"));
    d.txtCaption->setPlainText("Words not saved.");
    click(d, node(d, "Thrushes"));
    EXPECT_EQ(d.txtCaption->toPlainText(), "Thrushes.") << "the node's stored text replaces the unsaved edit";

    // Text stored meanwhile shows on the next click of the node.
    h.db().execute("UPDATE Families SET Caption = 'Spotted breasts.' WHERE Fam_ID = 2");
    click(d, node(d, "Thrushes"));
    EXPECT_EQ(d.txtCaption->toPlainText(), "Spotted breasts.");

    // A node the keyboard reached runs its choice again when clicked.
    d.TrView->setCurrentItem(node(d, "Loons"));
    ASSERT_EQ(d.lblCaption[0]->text(), "Loons");
    d.txtCaption->setPlainText("Changed.");
    click(d, node(d, "Loons"));
    EXPECT_EQ(d.txtCaption->toPlainText(), "Diving birds.");

    // Clicking the root again keeps editing off.
    click(d, d.rootNode);
    click(d, d.rootNode);
    EXPECT_FALSE(d.txtCaption->isEnabled());
    EXPECT_EQ(d.lblCaption[0]->text(), "Loons");

    // Saved text shows again.
    click(d, node(d, "Wood-Warblers"));
    d.txtCaption->selectAll();
    QTest::keyClicks(d.txtCaption, "Busy little birds");
    QTest::mouseClick(d.cmdSave, Qt::LeftButton);
    EXPECT_TRUE(d.isVisible()) << "saving keeps the dialog open";
    click(d, node(d, "Thrushes"));
    EXPECT_EQ(d.txtCaption->toPlainText(), "Spotted breasts.");
    click(d, node(d, "Wood-Warblers"));
    EXPECT_EQ(d.txtCaption->toPlainText(), "Busy little birds");
    EXPECT_EQ(h.scalar("SELECT Caption FROM Families WHERE Fam_ID = 3").toString(), "Busy little birds");
    EXPECT_EQ(h.scalar("SELECT Caption FROM Families WHERE Fam_ID = 2").toString(), "Spotted breasts.");

    // A subfamily's and an order's text go to their own tables; an edit left unsaved is lost.
    click(d, node(d, "Ground Warblers"));
    d.txtCaption->setPlainText("Walk on the forest floor.");
    d.cmdSave_Click();
    click(d, node(d, "Loons"));
    d.txtCaption->setPlainText("Not saved.");
    d.cmdCancel_Click();
    EXPECT_EQ(h.scalar("SELECT Caption FROM subFamilies WHERE subFam_ID = 2").toString(), "Walk on the forest floor.");
    EXPECT_EQ(h.scalar("SELECT Caption FROM Orders WHERE Order_ID = 3").toString(), "Diving birds.");
}

TEST(ClassFind, FamilySubfamilyAndOrderInTheRegion)
{
    Harness h(taxonomy);
    ASSERT_TRUE(find(h, "Wood-Warblers"));
    EXPECT_EQ(h.names(), (QStringList{"Yellow Warbler", "Ovenbird", "Common Yellowthroat", "Kirtland's Warbler",
                                      "Palm Warbler", "Bay-breasted Warbler"}))
        << "a family finds the species of all its subfamilies and those in none";
    EXPECT_EQ(h.shown(), "Yellow Warbler");
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 6");
    EXPECT_EQ(h.panel("Type"), "Find : By Class");
    EXPECT_EQ(h.state.searchType, "All Birds") << "the list title is not changed";

    ASSERT_TRUE(find(h, "Tree Warblers"));
    EXPECT_EQ(h.names(), (QStringList{"Yellow Warbler", "Kirtland's Warbler", "Palm Warbler", "Bay-breasted Warbler"}));
    ASSERT_TRUE(find(h, "Ground Warblers"));
    EXPECT_EQ(h.names(), QStringList{"Ovenbird"});
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 1");
    ASSERT_TRUE(find(h, "Perching Birds"));
    EXPECT_EQ(h.names().size(), 9);
    EXPECT_EQ(h.names().first(), "Wood Thrush");

    // Sorted by name when that is the order chosen.
    h.state.qrySort = kSortByName;
    ASSERT_TRUE(find(h, "Waterfowl"));
    EXPECT_EQ(h.names(), (QStringList{"Canada Goose", "Mallard", "Wood Duck"}));
    EXPECT_TRUE(h.platform.messages.isEmpty());
}

TEST(ClassFind, NothingInTheRegionKeepsTheDialogAndTheList)
{
    Harness h([](test::TestFolder& f) {
        taxonomy(f);
        f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario', regType = 'State'");
    });
    const QStringList before = h.names();
    const QString type = h.panel("Type");
    frmClass d(h.ctx, h.w.get());
    d.show();
    click(d, node(d, "Wood-Warblers"));
    QTest::mouseClick(d.cmdFind, Qt::LeftButton);
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text,
              "The selected order or family does not have any species in the current region");
    EXPECT_EQ(h.platform.messages[0].title, "Unsuccessful Search");
    EXPECT_EQ(h.platform.messages[0].buttons, Platform::Buttons::Ok);
    EXPECT_TRUE(d.isVisible());
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(h.names(), before);
    EXPECT_EQ(h.panel("Type"), type);
    // Another choice in the same dialog then succeeds and closes it.
    click(d, node(d, "Thrushes"));
    QTest::mouseClick(d.cmdFind, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(h.names().size(), 3);
}

TEST(ClassFind, WorldListsFromTheWholeList)
{
    Harness h([](test::TestFolder& f) {
        taxonomy(f);
        // A species on no checklist at all is found under World only.
        f.exec("INSERT INTO Birds VALUES (13, 'Cerulean Warbler', 'Setophaga cerulea', 'Sky blue.', 3, 1, 115, '', 0, NULL, NULL)");
        f.exec("UPDATE Options SET Reg_ID = 0, regname = 'World', regType = 'World'");
    });
    EXPECT_EQ(h.state.Reg_ID, 0);
    ASSERT_TRUE(find(h, "Tree Warblers"));
    EXPECT_EQ(h.names(), (QStringList{"Yellow Warbler", "Kirtland's Warbler", "Palm Warbler", "Cerulean Warbler",
                                      "Bay-breasted Warbler"}));
    ASSERT_TRUE(find(h, "Wood-Warblers"));
    EXPECT_EQ(h.names().size(), 7);
    ASSERT_TRUE(find(h, "Perching Birds"));
    EXPECT_EQ(h.names().size(), 10);
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 10");
    EXPECT_EQ(h.panel("Type"), "Find : By Class");
    // A family without species still reports that it has none.
    EXPECT_FALSE(find(h, "Loons"));
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].title, "Unsuccessful Search");
    EXPECT_EQ(h.names().size(), 10);
}

// The command's shortcut and toolbar button are the documented table's (MainWindow tests).
TEST(ClassFind, MenuCommandOpensTheDialogModallyEnterFindsAndEscCloses)
{
    Harness h(taxonomy);
    bool seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* d = qobject_cast<frmClass*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        seen = true;
        click(*d, node(*d, "Ground Warblers"));
        QTest::keyClick(d->TrView, Qt::Key_Return); // Find is the default button
    });
    h.run(cmd::mnuSearchClass);
    EXPECT_TRUE(seen);
    EXPECT_EQ(h.names(), QStringList{"Ovenbird"});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Esc closes it without a change.
    seen = false;
    QTimer::singleShot(0, [&seen] {
        auto* d = qobject_cast<frmClass*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        seen = true;
        QTest::keyClick(d, Qt::Key_Escape);
    });
    h.run(cmd::mnuSearchClass);
    EXPECT_TRUE(seen);
    EXPECT_EQ(h.names(), QStringList{"Ovenbird"});
}
