#include "platform/ScriptedPlatform.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"

#include <QAction>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace fl;

TEST(CommandRegistry, CommandWithoutHandlerStaysDisabled)
{
    ScriptedPlatform platform;
    CommandRegistry c(platform);
    QAction* a = c.add(cmd::mnuFileImage, "Add New &Image", QKeySequence("Ctrl+I"));
    EXPECT_EQ(a->objectName(), "mnuFileImage");
    EXPECT_EQ(a->shortcut(), QKeySequence("Ctrl+I"));
    EXPECT_FALSE(a->isEnabled()) << "no handler yet";
    c.setEnabled(cmd::mnuFileImage, true);
    EXPECT_FALSE(a->isEnabled()) << "asking does not enable a command that cannot run";

    int runs = 0;
    c.setHandler(cmd::mnuFileImage, [&runs] { ++runs; });
    EXPECT_TRUE(a->isEnabled());
    c.setEnabled(cmd::mnuFileImage, false);
    EXPECT_FALSE(c.isEnabled(cmd::mnuFileImage));
    c.replaceHandler(cmd::mnuFileImage, [&runs] { runs += 10; });
    EXPECT_FALSE(a->isEnabled()) << "a new handler keeps the state the command was given";

    a->trigger();
    EXPECT_EQ(runs, 0) << "a disabled action does not run";
    c.run(cmd::mnuFileImage);
    EXPECT_EQ(runs, 10) << "code may run a disabled command";
    c.setEnabled(cmd::mnuFileImage, true);
    a->trigger();
    EXPECT_EQ(runs, 20);
}

namespace {
// Collects what the registry calls a misuse while it lives, instead of failing the test.
struct MisuseLog {
    QStringList problems;
    CommandRegistry::MisuseHandler previous;
    MisuseLog() { previous = CommandRegistry::setMisuseHandler([this](const QString& p) { problems << p; }); }
    ~MisuseLog() { CommandRegistry::setMisuseHandler(previous); }
};
} // namespace

TEST(CommandRegistry, UnknownAndDuplicateIdsAreToldAndChangeNothingAndKeysAreExact)
{
    ScriptedPlatform platform;
    CommandRegistry c(platform);
    c.add(cmd::mnuViewNext, "&Next Bird");
    int runs = 0;
    c.setHandler(cmd::mnuViewNext, [&runs] { ++runs; });
    c.setToolbarKey("Next", cmd::mnuViewNext);

    const struct {
        const char* what;
        std::function<void()> use;
    } misuses[] = {
        {"a handler for a command never added", [&] { c.setHandler(cmd::mnuViewLast, [&runs] { runs += 100; }); }},
        {"the state of a command never added", [&] { c.setEnabled(cmd::mnuViewLast, true); }},
        {"running a command never added", [&] { c.run(cmd::mnuViewLast); }},
        {"the action of a command never added", [&] { EXPECT_EQ(c.action(cmd::mnuViewLast), nullptr); }},
        {"an id the program does not have", [&] { c.add(CommandId("mnuViewNxet"), "&Next"); }},
        {"a command added twice", [&] { c.add(cmd::mnuViewNext, "&Next Bird"); }},
        {"a second handler", [&] { c.setHandler(cmd::mnuViewNext, [&runs] { runs += 100; }); }},
        {"a toolbar key given twice", [&] { c.setToolbarKey("Next", cmd::mnuViewNext); }},
        {"a toolbar key for a command never added", [&] { c.setToolbarKey("Last", cmd::mnuViewLast); }},
    };
    for (const auto& m : misuses) {
        MisuseLog log;
        m.use();
        EXPECT_EQ(log.problems.size(), 1) << m.what;
    }
    // The command as it was given first.
    c.run(cmd::mnuViewNext);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(c.commandOfKey("Next"), cmd::mnuViewNext);
    EXPECT_FALSE(c.commandOfKey("Last").has_value());
    EXPECT_EQ(c.ids().count(cmd::mnuViewNext), 1);
    // Toolbar keys are compared exactly.
    EXPECT_FALSE(c.commandOfKey("next").has_value());
    EXPECT_FALSE(c.commandOfKey("Next ").has_value());
    EXPECT_EQ(c.toolbarKeys(), QStringList{"Next"});
}

TEST(CommandRegistry, FailingHandlerIsReportedAndNothingEscapes)
{
    ScriptedPlatform platform;
    CommandRegistry c(platform);
    QAction* a = c.add(cmd::mnuSearchBird, "Find All &Birds");
    c.setHandler(cmd::mnuSearchBird, [] { throw std::runtime_error("disk I/O error"); });
    EXPECT_NO_THROW(a->trigger());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Featherlog could not complete \"Find All Birds\".\n\ndisk I/O error");
    EXPECT_EQ(platform.messages[0].icon, Platform::Icon::Exclamation);
    EXPECT_TRUE(a->isEnabled()) << "the command can be tried again";

    c.replaceHandler(cmd::mnuSearchBird, [] { throw 42; });
    EXPECT_NO_THROW(c.run(cmd::mnuSearchBird));
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[1].text.startsWith("Featherlog could not complete"));
}

TEST(CommandRegistry, TheRunningCommandIsKnownWhileItRunsEvenWhenItFails)
{
    ScriptedPlatform platform;
    CommandRegistry c(platform);
    c.add(cmd::mnuEditList, "&Region Checklists");
    c.add(cmd::mnuFileImage, "Add New &Image");
    QStringList seen;
    auto running = [&c] { return c.running() ? c.running()->name() : QStringLiteral("none"); };
    c.setHandler(cmd::mnuFileImage, [&] {
        seen << running();
        throw std::runtime_error("no folder");
    });
    c.setHandler(cmd::mnuEditList, [&] {
        seen << running();
        c.run(cmd::mnuFileImage); // a command run from within another
        seen << running();
    });
    EXPECT_FALSE(c.running().has_value());
    c.run(cmd::mnuEditList);
    EXPECT_EQ(seen, (QStringList{"mnuEditList", "mnuFileImage", "mnuEditList"}));
    EXPECT_FALSE(c.running().has_value()) << "none runs once they are done, the failed one included";
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
