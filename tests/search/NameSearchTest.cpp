#include "Harness.h"

#include "search/frmName.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

// Runs a find with `text`; returns whether the dialog closed.
bool find(Harness& h, const QString& text)
{
    frmName d(h.ctx, h.w.get());
    d.txtName->setText(text);
    d.cmdFind_Click();
    return d.result() == QDialog::Accepted;
}

} // namespace

TEST(NameSearch, MenuCommandAnyCaseAnyPositionInTheSortOrder)
{
    Harness h;
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<frmName*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle(), "Search By Name");
        QTest::keyClicks(d->txtName, "robin");
        QTest::keyClick(d->txtName, Qt::Key_Return);
    });
    h.run(cmd::mnuSearchName);
    EXPECT_EQ(h.names(), QStringList{"American Robin"});
    EXPECT_EQ(h.shown(), "American Robin");

    ASSERT_TRUE(find(h, "THRUSH"));
    EXPECT_EQ(h.names(), (QStringList{"Wood Thrush", "Hermit Thrush"}));
    EXPECT_EQ(h.shown(), "Wood Thrush");
    EXPECT_EQ(h.panel("Hits"), "Search Results : 1 of 2");
    EXPECT_EQ(h.panel("Type"), "Find : A Bird Name");
    EXPECT_EQ(h.state.searchType, "A Bird Name");
    ASSERT_TRUE(find(h, "wood"));
    EXPECT_EQ(h.names(), (QStringList{"Wood Duck", "Wood Thrush"}));
    ASSERT_TRUE(find(h, "ARBLE"));
    EXPECT_EQ(h.names().size(), 4);
    ASSERT_TRUE(find(h, ""));
    EXPECT_EQ(h.names().size(), 12) << "an empty text finds the whole region";

    // Sorted by name when that is the order chosen.
    h.state.qrySort = kSortByName;
    ASSERT_TRUE(find(h, "w"));
    EXPECT_EQ(h.names().first(), "Bay-breasted Warbler");
    EXPECT_EQ(h.names().last(), "Yellow Warbler");
}

TEST(NameSearch, RegionRestrictsAndNoMatchKeepsTheDialog)
{
    Harness h([](test::TestFolder& f) { f.exec("UPDATE Options SET Reg_ID = 2, regname = 'Ontario'"); });
    EXPECT_EQ(h.names().size(), 6);
    frmName d(h.ctx, h.w.get());
    d.txtName->setText("warbler");
    d.cmdFind_Click();
    EXPECT_NE(d.result(), QDialog::Accepted);
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text, "Could not find any birds containing that text.");
    EXPECT_EQ(h.platform.messages[0].title, "Search Not Successfull");
    EXPECT_EQ(d.txtName->text(), "warbler");
    EXPECT_EQ(h.names().size(), 6) << "the main list is unchanged";
    h.state.Reg_ID = 0;
    d.cmdFind_Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(h.names().size(), 4);
}

TEST(NameSearch, QuotesAndPatternCharactersMatchThemselves)
{
    Harness h([](test::TestFolder& f) {
        f.exec("INSERT INTO Birds VALUES (20, 'Odd \"Quote\" [*]? #1 Bird', 'x', 'Odd.', 3, 0, 200, '', 0, NULL, NULL)");
        f.exec("INSERT INTO Checklists VALUES (20, 1, 'R', '')");
    });
    for (const char* text : {"\"quote\"", "[*]", "*", "?", "#1", "\"", "[", "]?"}) {
        ASSERT_TRUE(find(h, text)) << text;
        EXPECT_EQ(h.names(), QStringList{"Odd \"Quote\" [*]? #1 Bird"}) << text;
    }
    EXPECT_FALSE(find(h, "#2"));
    EXPECT_FALSE(find(h, "O?d"));
    EXPECT_EQ(h.scalar("SELECT count(*) FROM Birds").toInt(), 13);
}

