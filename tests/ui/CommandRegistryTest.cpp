#include "platform/ScriptedPlatform.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"

#include <QAction>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace fl;

TEST(CommandRegistry, CommandWithoutHandlerStaysDisabled)
{
    ScriptedPlatform platform;
    CommandRegistry c(platform);
    QAction* a = c.add("mnuThing", "&Thing", QKeySequence("Ctrl+T"));
    EXPECT_EQ(a->objectName(), "mnuThing");
    EXPECT_EQ(a->shortcut(), QKeySequence("Ctrl+T"));
    EXPECT_FALSE(a->isEnabled()) << "no handler yet";
    c.setEnabled("mnuThing", true);
    EXPECT_FALSE(a->isEnabled()) << "asking does not enable a command that cannot run";

    int runs = 0;
    c.setHandler("mnuThing", [&runs] { ++runs; });
    EXPECT_TRUE(a->isEnabled());
    c.setEnabled("mnuThing", false);
    EXPECT_FALSE(c.isEnabled("mnuThing"));
    c.setHandler("mnuThing", [&runs] { runs += 10; });
    EXPECT_FALSE(a->isEnabled()) << "a new handler keeps the state the command was given";

    a->trigger();
    EXPECT_EQ(runs, 0) << "a disabled action does not run";
    c.run("mnuThing");
    EXPECT_EQ(runs, 10) << "code may run a disabled command";
    c.setEnabled("mnuThing", true);
    a->trigger();
    EXPECT_EQ(runs, 20);

    c.run("mnuUnknown"); // nothing to run, nothing happens
    EXPECT_EQ(c.action("mnuUnknown"), nullptr);
}

TEST(CommandRegistry, ToolbarKeysAreComparedExactly)
{
    ScriptedPlatform platform;
    CommandRegistry c(platform);
    c.add("mnuViewNext", "&Next Bird");
    c.setToolbarKey("Next", "mnuViewNext");
    EXPECT_EQ(c.commandOfKey("Next"), "mnuViewNext");
    EXPECT_EQ(c.commandOfKey("next"), "");
    EXPECT_EQ(c.commandOfKey("Next "), "");
    EXPECT_EQ(c.toolbarKeys(), QStringList{"Next"});
}

TEST(CommandRegistry, FailingHandlerIsReportedAndNothingEscapes)
{
    ScriptedPlatform platform;
    CommandRegistry c(platform);
    QAction* a = c.add("mnuSearchBird", "Find All &Birds");
    c.setHandler("mnuSearchBird", [] { throw std::runtime_error("disk I/O error"); });
    EXPECT_NO_THROW(a->trigger());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Featherlog could not complete \"Find All Birds\".\n\ndisk I/O error");
    EXPECT_EQ(platform.messages[0].icon, Platform::Icon::Exclamation);
    EXPECT_TRUE(a->isEnabled()) << "the command can be tried again";

    c.setHandler("mnuSearchBird", [] { throw 42; });
    EXPECT_NO_THROW(c.run("mnuSearchBird"));
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[1].text.startsWith("Featherlog could not complete"));
}

TEST(CommandRegistry, TheRunningCommandIsKnownWhileItRunsEvenWhenItFails)
{
    ScriptedPlatform platform;
    CommandRegistry c(platform);
    c.add("mnuEditList", "&Region Checklists");
    c.add("mnuFileImage", "Add New &Image");
    QStringList seen;
    c.setHandler("mnuFileImage", [&] {
        seen << c.running();
        throw std::runtime_error("no folder");
    });
    c.setHandler("mnuEditList", [&] {
        seen << c.running();
        c.run("mnuFileImage"); // a command run from within another
        seen << c.running();
    });
    EXPECT_EQ(c.running(), "");
    c.run("mnuEditList");
    EXPECT_EQ(seen, (QStringList{"mnuEditList", "mnuFileImage", "mnuEditList"}));
    EXPECT_EQ(c.running(), "") << "none runs once they are done, the failed one included";
}

TEST(Guard, SlotPassesSignalArgumentsAndReportsFailure)
{
    ScriptedPlatform platform;
    int seen = 0;
    auto slot = guarded(platform, QStringLiteral("The row could not be shown."), [&seen](int row) {
        if (row < 0) throw std::runtime_error("no such row");
        seen = row;
    });
    slot(7);
    EXPECT_EQ(seen, 7);
    EXPECT_TRUE(platform.messages.empty());
    slot(-1);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "The row could not be shown.\n\nno such row");
    EXPECT_FALSE(runGuarded(platform, {}, [] { throw std::runtime_error("plain"); }));
    EXPECT_EQ(platform.messages.back().text, "plain") << "without a sentence, the error's own message";
}
