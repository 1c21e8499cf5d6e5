#include "DiscImage.h"
#include "Harness.h"

#include "media/CDAudio.h"
#include "media/CdCommandInterpreter.h"
#include "media/CdError.h"
#include "media/CdSongPlayer.h"

#include <QTest>
#include <QTimer>
#include <functional>
#include <stdexcept>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

const QString kCheck = QStringLiteral("Are you sure the Heronsong CD is in the player?");

// The CD option on, and CD songs for the Canada Goose (shown first) and the American Robin.
std::unique_ptr<Harness> withCdSongs(double gooseDuration = 3.25)
{
    return std::make_unique<Harness>([&](test::TestFolder& f) {
        f.exec("UPDATE Options SET SongCD = 1");
        f.exec("INSERT INTO cdSong (Bird_ID, Track, start, duration) VALUES (3, 5, 12.5, ?)", {gooseDuration});
        f.exec("INSERT INTO cdSong (Bird_ID, Track, start, duration) VALUES (4, 7, 0, 10)");
    });
}

// The published disc in the drive, playing.
void songDisc(ScriptedCdDevice& cd)
{
    cd.replies["status cd length wait"] = "74:06:39";
    cd.replies["status cd position wait"] = "600000";
    cd.replies["status cd mode"] = "playing";
}

void show(Harness& h, const char* name)
{
    h.page().list()->setCurrentIndex(h.page().list()->findText(QString::fromLatin1(name)));
    ASSERT_EQ(h.shown(), QString::fromLatin1(name));
}

CdSongPlayer& player(Harness& h)
{
    auto* p = h.w->findChild<CdSongPlayer*>();
    if (!p) throw std::logic_error("no CD song player");
    return *p;
}

QStringList sentSince(const ScriptedCdDevice& cd, qsizetype from) { return cd.commands().mid(from); }

// What the device receives when CDAudio carries out `operations` with the published disc in:
// the expectations are written as the operations a song is played by, not as their strings.
QStringList sentBy(const std::function<void(CDAudio&)>& operations)
{
    ScriptedPlatform platform;
    songDisc(platform.scriptedCd);
    CDAudio cd(platform.scriptedCd, platform);
    operations(cd);
    return platform.scriptedCd.commands();
}

const QStringList kReady = sentBy([](CDAudio& audio) { audio.ReadyDevice(); });

// The song of `track` from `startMs` into it, once the disc has been checked.
QStringList songCommands(short track, std::int32_t startMs)
{
    return sentBy([&](CDAudio& cd) {
        cd.GetCDLength();
        cd.SeekCDtoX(track);
        cd.FastForward(startMs);
    });
}

} // namespace

TEST(CdSongPlayback, LoadingReadiesTheDeviceAPlayWithoutADiscIsReportedAndExitClosesIt)
{
    auto h = withCdSongs();
    EXPECT_EQ(h->platform.scriptedCd.commands(), kReady);
    EXPECT_TRUE(player(*h).checkDue());
    EXPECT_TRUE(h->enabled(cmd::mnuFilePlayCD));
    EXPECT_TRUE(h->buttonEnabled("CDSong"));
    EXPECT_FALSE(player(*h).timer()->isActive());

    // Without a disc the problem is reported and the timer still runs.
    h->run(cmd::mnuFilePlayCD); // no replies at all; the question is answered Yes
    ASSERT_EQ(h->platform.messages.size(), 2);
    EXPECT_EQ(h->platform.messages[0].text, kCheck);
    EXPECT_EQ(h->platform.messages[1].title, "CD Problem");
    EXPECT_EQ(h->platform.messages[1].text, "There is a problem playing the song from the CD. Check CD in player.");
    EXPECT_TRUE(player(*h).timer()->isActive());
    EXPECT_FALSE(player(*h).checkDue());

    const qsizetype before = h->platform.scriptedCd.sent.size();
    h->w->close();
    EXPECT_EQ(sentSince(h->platform.scriptedCd, before), sentBy([](CDAudio& audio) {
                  audio.StopPlay();
                  audio.UnloadAll();
              }));
}

TEST(CdSongPlayback, AnotherDiscIsQuestionedUntilTheFirstPlay)
{
    auto h = withCdSongs();
    ScriptedCdDevice& cd = h->platform.scriptedCd;
    songDisc(cd);
    cd.replies["status cd length wait"] = "52:10:01";

    h->platform.answers.push_back(Platform::Answer::No);
    h->run(cmd::mnuFilePlayCD);
    ASSERT_EQ(h->platform.messages.size(), 1);
    EXPECT_EQ(h->platform.messages[0].text, kCheck);
    EXPECT_EQ(h->platform.messages[0].title, "Check CD");
    EXPECT_EQ(h->platform.messages[0].buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(h->platform.messages[0].icon, Platform::Icon::Question);
    EXPECT_EQ(sentSince(cd, kReady.size()), sentBy([](CDAudio& audio) { audio.GetCDLength(); })) << "No plays nothing";
    EXPECT_FALSE(player(*h).timer()->isActive());
    EXPECT_TRUE(player(*h).checkDue());

    h->platform.answers.push_back(Platform::Answer::Yes);
    h->run(cmd::mnuFilePlayCD);
    EXPECT_EQ(h->platform.messages.size(), 2) << "asked again after a No";
    qsizetype before = kReady.size() + 1;
    EXPECT_EQ(sentSince(cd, before), songCommands(5, 12500));
    EXPECT_TRUE(player(*h).timer()->isActive());
    EXPECT_FALSE(player(*h).checkDue());

    before = cd.sent.size();
    h->run(cmd::mnuFilePlayCD);
    EXPECT_EQ(h->platform.messages.size(), 2) << "never asked again in this run";
    EXPECT_EQ(sentSince(cd, before), songCommands(5, 12500));
}

TEST(CdSongPlayback, TheTimerStopsTheDiscAfterTheSong)
{
    auto h = withCdSongs(0.05);
    ScriptedCdDevice& cd = h->platform.scriptedCd;
    songDisc(cd);
    h->run(cmd::mnuFilePlayCD);
    EXPECT_EQ(player(*h).timer()->interval(), 50);
    const qsizetype before = cd.sent.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player(*h).timer()->isActive(); }, 5000));
    EXPECT_EQ(sentSince(cd, before), sentBy([](CDAudio& audio) { audio.StopPlay(); }));
}

TEST(CdSongPlayback, ALengthTheTimerCannotTakeEndsTheCommand)
{
    auto h = withCdSongs(3.0e9);
    songDisc(h->platform.scriptedCd);
    h->run(cmd::mnuFilePlayCD);
    ASSERT_EQ(h->platform.messages.size(), 1);
    const auto& m = h->platform.messages[0];
    EXPECT_EQ(m.text, "Error playing song. Check CD in player. Error Number 6");
    EXPECT_EQ(m.title, "CD Problem");
    EXPECT_EQ(m.buttons, Platform::Buttons::Ok);
    EXPECT_EQ(m.icon, Platform::Icon::None);
    EXPECT_FALSE(player(*h).timer()->isActive());
    EXPECT_TRUE(player(*h).checkDue()) << "the check stays due";
}

TEST(CdSongPlayback, TheCommandFollowsTheSpeciesOnlyWhileTheOptionIsOn)
{
    Harness h([](test::TestFolder& f) { f.exec("INSERT INTO cdSong VALUES (2, 7, 12.5, 30)"); });
    h.stubCommands({cmd::mnuFilePlayCD});
    h.run(cmd::mnuViewNext);
    EXPECT_FALSE(h.enabled(cmd::mnuFilePlayCD)) << "the option is off: the command keeps its state";
    h.state.SongCD = true;
    h.run(cmd::mnuViewFirst);
    EXPECT_FALSE(h.enabled(cmd::mnuFilePlayCD));
    h.run(cmd::mnuViewNext);
    EXPECT_TRUE(h.enabled(cmd::mnuFilePlayCD));
    EXPECT_TRUE(h.buttonEnabled("CDSong"));
    EXPECT_EQ(player(h).song().track, 7);
    EXPECT_FLOAT_EQ(player(h).song().start, 12.5f);
    EXPECT_FLOAT_EQ(player(h).song().duration, 30.0f);
    h.state.SongCD = false;
    h.run(cmd::mnuViewFirst);
    EXPECT_TRUE(h.enabled(cmd::mnuFilePlayCD)) << "switched off: left as it was";
}

TEST(CdSongPlayback, HalfMillisecondsRoundToEven)
{
    EXPECT_EQ(toMilliseconds(12.5f), 12500);
    EXPECT_EQ(toMilliseconds(0.0f), 0);
    EXPECT_EQ(toMilliseconds(0.0005f), 0);   // 0.5 ms
    EXPECT_EQ(toMilliseconds(0.0015f), 2);   // 1.5 ms
    EXPECT_EQ(toMilliseconds(1.2344f), 1234);
    EXPECT_THROW(toMilliseconds(3.0e6f), CdError);
}

// A disc image in the CD folder plays, whether it was there at start or was copied in while the
// program runs: finding no disc, the command opens the device again before it asks about the disc.
class DiscImageSong : public ::testing::TestWithParam<bool> {};

TEST_P(DiscImageSong, PlaysTrackTwoFromItsStart)
{
    const bool atStart = GetParam();
    test::SinkRecorder recorder;
    QByteArray pcm;
    Harness h([&](test::TestFolder& f) {
        f.exec("UPDATE Options SET SongCD = 1");
        f.exec("INSERT INTO cdSong (Bird_ID, Track, start, duration) VALUES (3, 2, 1.5, 0.5)");
        if (atStart) pcm = test::writeDiscImage(f.path() + "/CD", {2, 4});
    });
    // The harness has already readied the scripted device; this run uses the real one.
    CdCommandInterpreter device(h.folder.path(), {false, recorder.factory()});
    h.platform.cd = &device;
    player(h).setDevice(std::make_unique<CDAudio>(device, h.platform));
    player(h).device()->ReadyDevice();
    if (!atStart) {
        ASSERT_EQ(device.send("status cd length wait", 30), "") << "at start: no drive, no image";
        pcm = test::writeDiscImage(h.folder.path() + "/CD", {2, 4});
    }
    h.platform.answers.push_back(Platform::Answer::Yes); // not the published disc
    h.run(cmd::mnuFilePlayCD); // the output holds every sample until the command has run
    ASSERT_EQ(h.platform.messages.size(), 1) << "only the disc check, no problem playing";
    EXPECT_EQ(h.platform.messages[0].text, kCheck);
    EXPECT_EQ(device.send("status cd length wait", 30), "00:06:00") << "the image is open";
    recorder.setLimit(44100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !player(h).timer()->isActive(); }, 5000));
    EXPECT_EQ(device.send("status cd mode", 30), "stopped");
    ASSERT_EQ(recorder.count(), 2u);
    const QByteArray song = recorder.stream(1);
    ASSERT_GE(song.size(), 4);
    EXPECT_TRUE(song == pcm.mid(int(3.5 * 176400), song.size())) << "track 2 from 1.5 s";
    h.w->close();
    player(h).setDevice(nullptr);
}

INSTANTIATE_TEST_SUITE_P(CdSongPlayback, DiscImageSong, ::testing::Values(true, false),
                         [](const auto& p) {
                             return p.param ? "ThereAtStart" : "CopiedInWhileRunning";
                         });

// The right disc plays without a question. With a disc in place the device is not opened again;
// without one, it is, each time.
TEST(CdSongPlayback, TheRightDiscPlaysAndOnlyAMissingDiscOpensTheDeviceAgain)
{
    auto h = withCdSongs();
    ScriptedCdDevice& cd = h->platform.scriptedCd;
    songDisc(cd);
    h->run(cmd::mnuFilePlayCD);
    EXPECT_TRUE(h->platform.messages.isEmpty());
    // The device was opened at start only.
    EXPECT_EQ(sentSince(cd, kReady.size()), songCommands(5, 12500)) << "track 5, then 12.5 s on";
    EXPECT_TRUE(player(*h).timer()->isActive());
    EXPECT_EQ(player(*h).timer()->interval(), 3250);
    EXPECT_FALSE(player(*h).checkDue());

    // A second song stops the first and takes its own length.
    show(*h, "American Robin");
    EXPECT_EQ(player(*h).song().track, 7);
    qsizetype before = cd.sent.size();
    h->w->Toolbar1_ButtonClick("CDSong");
    EXPECT_EQ(sentSince(cd, before), songCommands(7, 0)) << "a start of 0 replays from the track start";
    EXPECT_EQ(player(*h).timer()->interval(), 10000);

    // The disc gone: the device is opened again.
    cd.replies.clear();
    before = cd.sent.size();
    h->run(cmd::mnuFilePlayCD);
    const QStringList length = sentBy([](CDAudio& audio) { audio.GetCDLength(); });
    EXPECT_EQ(sentSince(cd, before).mid(0, 2 * length.size() + kReady.size()), length + kReady + length);
}
