#include "Harness.h"

#include "links/frmURL.h"
#include "platform/QtPlatform.h"
#include "platform/UrlOpener.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

// A stand-in for the desktop's opener: a shell script named xdg-open in a folder of its own
// that notes the address it was given in "asked", then does `body`.
struct StubOpener {
    QTemporaryDir dir;
    explicit StubOpener(const QString& body)
    {
        QFile f(path());
        f.open(QIODevice::WriteOnly);
        f.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > \"%1\"\n%2\n").arg(asked(), body).toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString path() const { return dir.filePath("xdg-open"); }
    QString asked() const { return dir.filePath("asked"); }
    QString askedFor() const
    {
        QFile f(asked());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

// The desktop's opener is found on the PATH, where the stub comes first while this lives.
struct OnPath {
    QByteArray before = qgetenv("PATH");
    explicit OnPath(const StubOpener& stub) { qputenv("PATH", QFile::encodeName(stub.dir.path()) + ":" + before); }
    ~OnPath() { qputenv("PATH", before); }
};

// The scripted platform, with the real way of opening addresses.
struct RealBrowserPlatform : ScriptedPlatform {
    QtPlatform qt;
    bool openInBrowser(const QString& url) override
    {
        browsed << url;
        return qt.openInBrowser(url);
    }
};

} // namespace

TEST(BrowserOpener, AnOpenerThatStartsAndThenFailsIsAFailure)
{
    StubOpener stub("exit 3");
    OnPath path(stub);
    QtPlatform qt;
    EXPECT_FALSE(qt.openInBrowser("https://ebird.org/region/US-NJ-009"));
    EXPECT_EQ(stub.askedFor(), "https://ebird.org/region/US-NJ-009") << "the opener did run";
}

TEST(BrowserOpener, AnOpenerThatSucceedsOpensTheAddressAsGiven)
{
    StubOpener stub("exit 0");
    OnPath path(stub);
    QtPlatform qt;
    EXPECT_TRUE(qt.openInBrowser("https://www.allaboutbirds.org/guide/Wood_Thrush/sounds?x=a b"));
    EXPECT_EQ(stub.askedFor(), "https://www.allaboutbirds.org/guide/Wood_Thrush/sounds?x=a%20b");
}

// An opener that stays with the browser it started counts as opened once the time limit has
// passed, and it is left running.
TEST(BrowserOpener, AnOpenerStillRunningAfterTheLimitIsLeftToRun)
{
    StubOpener stub("sleep 1\ntouch \"$0.done\"");
    QtPlatform qt;
    qt.setUrlOpener(stub.path(), 200);
    EXPECT_TRUE(qt.openInBrowser("https://ebird.org"));
    EXPECT_FALSE(QFile::exists(stub.path() + ".done")) << "returned while the opener still runs";
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(stub.path() + ".done"); }, 10000))
        << "the opener was not stopped";
}

TEST(BrowserOpener, StatusesAndMissingPrograms)
{
    const struct {
        const char* body;
        OpenerResult expected;
    } cases[] = {
        {"exit 0", OpenerResult::Opened},  {"exit 1", OpenerResult::Failed},
        {"exit 3", OpenerResult::Failed},  {"exit 4", OpenerResult::Failed},
        {"kill -9 $$", OpenerResult::Failed},
    };
    for (const auto& c : cases) {
        StubOpener stub(c.body);
        EXPECT_EQ(runOpener(stub.path(), {"https://ebird.org"}, 10000), c.expected) << c.body;
    }
    QTemporaryDir empty;
    EXPECT_EQ(runOpener(empty.filePath("no-such-opener"), {"https://ebird.org"}, 10000), OpenerResult::Failed);
}

// Go in the Web Links window with an opener that fails shows the message about the browser.
TEST(BrowserOpener, GoShowsTheBrowserMessageWhenTheOpenerFails)
{
    StubOpener stub("exit 3");
    OnPath path(stub);
    test::TestFolder folder;
    folder.exec("INSERT INTO Links1 VALUES ('Bird Photos', 'Macaulay Library', 'https://www.macaulaylibrary.org')");
    AppState state;
    state.dataFolder = folder.path();
    openAndLoadOptions(state);
    RealBrowserPlatform platform;
    Context ctx{state, platform, nullptr};
    auto main = createMainWindow(ctx);
    main->Form_Load();
    frmURL w(ctx, main.get());
    ASSERT_EQ(w.lstURL->count(), 1);
    w.cmdGo_Click();
    EXPECT_EQ(platform.browsed, QStringList{"https://www.macaulaylibrary.org"});
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, "Can not open Explorer");
    EXPECT_EQ(platform.messages[0].text, "The program cannot access Internet Explorer. Use the 'Copy URL' button to "
                                         "copy the URL to the clipboard, then  manually paste it into your browser.");
    main->close();
}
