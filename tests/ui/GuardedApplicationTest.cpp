#include "platform/ScriptedPlatform.h"
#include "ui/GuardedApplication.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace fl;

namespace {

const QEvent::Type kBreak = QEvent::Type(QEvent::User + 1);
const QEvent::Type kWork = QEvent::Type(QEvent::User + 2);

// An object whose event handler fails, as one with a fault of ours would.
class Breakable : public QObject {
public:
    int worked = 0;
    bool event(QEvent* e) override
    {
        if (e->type() == kBreak) throw std::runtime_error("the handler broke");
        if (e->type() == kWork) {
            ++worked;
            return true;
        }
        return QObject::event(e);
    }
};

// Puts the application's platform and observer in place for a test and back afterwards.
struct Watch {
    GuardedApplication* app = qobject_cast<GuardedApplication*>(QCoreApplication::instance());
    QStringList escaped;
    std::function<void(const QString&)> before;
    explicit Watch(Platform* platform)
    {
        if (!app) return;
        app->setPlatform(platform);
        before = app->setObserver([this](const QString& m) { escaped << m; });
    }
    ~Watch()
    {
        if (!app) return;
        app->setPlatform(nullptr);
        app->setObserver(before);
    }
};

} // namespace

TEST(GuardedApplication, AnErrorEscapingAnEventHandlerIsToldAndTheProgramCarriesOn)
{
    Breakable target;
    {
        // Without a platform (before the program's exists) the failure is caught all the same.
        Watch watch(nullptr);
        ASSERT_NE(watch.app, nullptr)
            << "the widget tests run under the program's application object";
        QEvent broken(kBreak);
        EXPECT_FALSE(QCoreApplication::sendEvent(&target, &broken));
        EXPECT_EQ(watch.escaped, QStringList{"the handler broke"});
    }
    ScriptedPlatform platform;
    Watch watch(&platform);

    QEvent broken(kBreak);
    EXPECT_FALSE(QCoreApplication::sendEvent(&target, &broken));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, GuardedApplication::escapedFailureText() + "\n\nthe handler broke");
    EXPECT_EQ(platform.messages[0].icon, Platform::Icon::Exclamation);
    EXPECT_EQ(watch.escaped, QStringList{"the handler broke"});

    // From the event loop: a posted event and a timer's call, neither of them guarded.
    QCoreApplication::postEvent(&target, new QEvent(kBreak));
    QCoreApplication::postEvent(&target, new QEvent(kWork));
    QTimer::singleShot(0, &target, [] { throw std::logic_error("a timer's call broke"); });
    QTimer::singleShot(0, &target, [&target] { ++target.worked; });
    QTest::qWait(20);
    EXPECT_EQ(target.worked, 2) << "what came after the failures still ran";
    ASSERT_EQ(platform.messages.size(), 3u);
    EXPECT_EQ(watch.escaped, (QStringList{"the handler broke", "the handler broke", "a timer's call broke"}));

    QEvent fine(kWork);
    EXPECT_TRUE(QCoreApplication::sendEvent(&target, &fine));
    EXPECT_EQ(target.worked, 3);
}

// A failure met again while its message is up (say, in painting the window behind the
// message box) is not told in a second message box over the first.
TEST(GuardedApplication, AnErrorWhileTheMessageIsUpIsNotToldOverIt)
{
    Breakable target;
    struct Repainting : ScriptedPlatform {
        Breakable* target = nullptr;
        Answer detailedMessageBox(const QString& text, const QString& details, const QString& title, Buttons buttons,
                                  Icon icon) override
        {
            QEvent again(kBreak);
            QCoreApplication::sendEvent(target, &again); // while the box is up
            return ScriptedPlatform::detailedMessageBox(text, details, title, buttons, icon);
        }
    } platform;
    platform.target = &target;
    Watch watch(&platform);
    ASSERT_NE(watch.app, nullptr);

    QEvent broken(kBreak);
    QCoreApplication::sendEvent(&target, &broken);
    EXPECT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(watch.escaped.size(), 2) << "both were caught";
    QCoreApplication::sendEvent(&target, &broken);
    EXPECT_EQ(platform.messages.size(), 2u) << "once the box is closed, the next failure is told again";
}
