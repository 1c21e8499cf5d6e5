// A failing disk while the description is stored: the user's text must survive and the
// window must stay on the species it belongs to.

#include "FaultVfs.h"
#include "Harness.h"

#include <QComboBox>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace fl;
using test::FaultVfs;
using test::Harness;

TEST(FailedStore, TypedDescriptionStaysWhenItCannotBeStoredWhicheverWayTheSpeciesChanges)
{
    Harness h({}, FaultVfs::name());
    ASSERT_EQ(h.shown(), "Canada Goose");
    h.page().description()->setFocus();
    h.page().description()->moveCursor(QTextCursor::End);
    QTest::keyClicks(h.page().description(), " Seen at the lake.");
    const QString typed = h.page().description()->toPlainText();
    ASSERT_TRUE(typed.endsWith("Seen at the lake."));

    FaultVfs::arm(FaultVfs::Kind::Write, 1, true); // every write fails from now on
    EXPECT_NO_THROW(h.run(cmd::mnuViewNext));
    FaultVfs::disarm();

    ASSERT_EQ(h.platform.messages.size(), 1u);
    EXPECT_TRUE(h.platform.messages[0].text.startsWith("The changes to the description could not be stored.\n\n"))
        << qPrintable(h.platform.messages[0].text);
    EXPECT_EQ(h.shown(), "Canada Goose") << "the page stays on the species the text belongs to";
    EXPECT_EQ(h.page().list()->currentText(), "Canada Goose") << "and so does the list";
    EXPECT_EQ(h.page().description()->toPlainText(), typed) << "nothing typed is lost";
    EXPECT_FALSE(h.scalar("SELECT Data FROM Birds WHERE Name = 'Canada Goose'").toString().endsWith("lake."));

    // With the disk back, moving on stores the text exactly once and shows the next species.
    h.run(cmd::mnuViewNext);
    EXPECT_EQ(h.platform.messages.size(), 1u);
    EXPECT_EQ(h.shown(), "Wood Duck");
    EXPECT_EQ(h.scalar("SELECT Data FROM Birds WHERE Name = 'Canada Goose'").toString(), typed);

    // Choosing another species from the list keeps the text too.
    h.page().description()->setFocus();
    QTest::keyClicks(h.page().description(), "x");
    const QString duck = h.page().description()->toPlainText();
    FaultVfs::arm(FaultVfs::Kind::Write, 1, true);
    h.page().list()->setCurrentIndex(5); // as a choice in the drop-down does
    FaultVfs::disarm();
    EXPECT_EQ(h.page().list()->currentIndex(), 1);
    EXPECT_EQ(h.shown(), "Wood Duck");
    EXPECT_EQ(h.page().description()->toPlainText(), duck);
    EXPECT_EQ(h.platform.messages.size(), 2u);
}
