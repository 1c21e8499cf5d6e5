#include "DiscImage.h"

#include "media/CDAudio.h"
#include "media/CdCommandInterpreter.h"
#include "platform/ScriptedPlatform.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

using namespace fl;
using test::SinkRecorder;

namespace {

constexpr qint64 kSecond = 44100 * 4; // bytes

// An application folder with a disc image of three tracks (3 s, 20 s, 2 s) in "CD".
struct Disc {
    QTemporaryDir app;
    QByteArray pcm;
    SinkRecorder recorder;
    std::unique_ptr<CdCommandInterpreter> device;

    explicit Disc(const QString& folder = QStringLiteral("CD"), std::vector<int> tracks = {3, 20, 2})
    {
        pcm = test::writeDiscImage(app.filePath(folder), tracks);
        device = std::make_unique<CdCommandInterpreter>(app.path(),
                                                        CdCommandInterpreter::Options{false, recorder.factory()});
    }
    QString ask(const char* command) { return device->send(QString::fromLatin1(command), 30); }
    void tell(const char* command) { device->send(QString::fromLatin1(command), 0); }
};

bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 10000); }

} // namespace

TEST(CdInterpreter, AnswersFromTheTableOfContentsAndCarriesOutEveryOperationOfCDAudio)
{
    Disc d(QStringLiteral("cd")); // the image folder is found whatever its capitals
    EXPECT_EQ(d.ask("status cd media present"), "") << "not open yet";
    d.tell("open cdaudio alias cd wait shareable");
    d.tell("set cd time format tmsf wait");
    EXPECT_EQ(d.ask("status cd media present"), "true");
    EXPECT_EQ(d.ask("status cd number of tracks wait"), "3");
    EXPECT_EQ(d.ask("status cd length wait"), "00:25:00");
    EXPECT_EQ(d.ask("status cd length track 2"), "00:20:00");
    EXPECT_EQ(d.ask("status cd length track 3"), "00:02:00");
    EXPECT_EQ(d.ask("status cd length track 4"), "");
    EXPECT_EQ(d.ask("status cd position"), "01:00:00:00");
    EXPECT_EQ(d.ask("status cd mode"), "stopped");

    d.tell("seek cd to  2");
    EXPECT_EQ(d.ask("status cd position"), "02:00:00:00");
    d.tell("set cd time format milliseconds");
    EXPECT_EQ(d.ask("status cd position wait"), "3000");
    EXPECT_EQ(d.ask("status cd length wait"), "25000");
    d.tell("seek cd to 16750");
    d.tell("set cd time format tmsf wait");
    EXPECT_EQ(d.ask("status cd position"), "02:00:13:56") << "13.75 s into track 2 is 13 s and 56 sectors";

    d.tell("seek cd to 9");
    d.tell("eject cd");
    d.tell("status");
    EXPECT_EQ(d.ask("status cd position"), "02:00:13:56") << "a missing track and unknown commands change nothing";
    EXPECT_EQ(d.ask("status cd volume"), "");
    EXPECT_EQ(d.device->send("status cd length wait", 6), "00:25") << "the reply fits the caller's buffer";

    d.tell("close all");
    EXPECT_EQ(d.ask("status cd mode"), "");
    EXPECT_EQ(d.ask("status cd length wait"), "");

    // Every operation of CDAudio, carried out on the image by the program's own device. The
    // playbacks are held at their start: the disc plays until told otherwise.
    ScriptedPlatform platform;
    CDAudio cd(*d.device, platform);
    cd.ReadyDevice();
    EXPECT_EQ(cd.CheckCD(), -1) << "a disc is in";
    EXPECT_EQ(cd.GetNumTracks(), 3);
    EXPECT_EQ(replyText(cd.GetCDLength()), "00:25:00") << "minutes:seconds:frames once ready";
    short two = 2, three = 3, track = 0, min = -1, sec = -1;
    EXPECT_EQ(replyText(cd.GetTrackLength(two)), "00:20:00");

    cd.SetTrack(three);
    cd.GetCDPosition(track, min, sec);
    EXPECT_EQ(track, 3);
    EXPECT_EQ(cd.CheckIfPlaying(), 0) << "setting the track does not play it";
    cd.StartPlay();
    EXPECT_EQ(cd.CheckIfPlaying(), 1);
    ASSERT_TRUE(waitFor([&] { return d.recorder.count() == 1u; }));
    cd.PausePlay();
    EXPECT_EQ(cd.CheckIfPlaying(), 0);
    EXPECT_EQ(d.ask("status cd mode"), "paused");
    cd.StopPlay();
    EXPECT_EQ(d.ask("status cd mode"), "stopped");

    cd.SeekCDtoX(two);
    EXPECT_EQ(cd.CheckIfPlaying(), 1) << "seeking to a track plays it";
    cd.GetCDPosition(track, min, sec);
    EXPECT_EQ(std::tuple(track, min, sec), std::tuple(short(2), short(0), short(0)));
    ASSERT_TRUE(waitFor([&] { return d.recorder.count() == 2u; }));

    cd.SetFormat_milliseconds();
    EXPECT_EQ(replyText(cd.GetCDLength()), "25000");
    cd.SetFormat_tmsf();
    EXPECT_EQ(replyText(cd.GetCDLength()), "00:25:00");

    cd.EjectCD();
    EXPECT_EQ(cd.CheckIfPlaying(), 0) << "opening the door stops the disc";
    cd.CloseCD();
    EXPECT_EQ(cd.GetNumTracks(), 3);

    cd.UnloadAll();
    EXPECT_EQ(d.ask("status cd mode"), "") << "the device is closed";
    cd.SetCDPlayerReady();
    EXPECT_EQ(d.ask("status cd mode"), "stopped") << "and open again";
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST(CdInterpreter, ReadsASheetWhoseBinFileHasAnotherName)
{
    Disc d;
    const QString folder = d.app.filePath("CD");
    ASSERT_TRUE(QFile::rename(folder + "/disc.bin", folder + "/Heronsong Eastern.BIN"));
    QFile sheet(folder + "/disc.cue");
    ASSERT_TRUE(sheet.open(QIODevice::ReadWrite));
    const QByteArray text = sheet.readAll().replace("disc.bin", "heronsong eastern.bin");
    sheet.resize(0);
    sheet.write(text);
    sheet.close();
    d.tell("open cdaudio alias cd wait shareable");
    EXPECT_EQ(d.ask("status cd length track 2"), "00:20:00");
    d.recorder.setLimit(kSecond / 10);
    d.tell("play cd from 3");
    ASSERT_TRUE(waitFor([&] { return d.recorder.stream(0).size() == kSecond / 10; }));
    EXPECT_TRUE(d.recorder.stream(0) == d.pcm.mid(23 * kSecond, kSecond / 10));
}

TEST(CdInterpreter, WithoutADiscEveryCommandIsIgnored)
{
    QTemporaryDir app;
    SinkRecorder recorder;
    CdCommandInterpreter device(app.path(), {false, recorder.factory()});
    ScriptedPlatform platform;
    CDAudio cd(device, platform);
    cd.ReadyDevice();
    short track = 2;
    cd.SeekCDtoX(track);
    EXPECT_EQ(cd.GetCDLength(), QString(30, QChar(0)));
    EXPECT_EQ(cd.CheckIfPlaying(), 0);
    std::int32_t spd = 12500;
    cd.FastForward(spd);
    EXPECT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(recorder.count(), 0u) << "nothing played";
}

TEST(CdInterpreter, PlaysTheAskedStretchSampleForSample)
{
    Disc d;
    ScriptedPlatform platform;
    CDAudio cd(*d.device, platform);
    cd.ReadyDevice();
    // Track 2 from 12.5 s for 3 s, as a CD song plays it.
    short track = 2;
    cd.SeekCDtoX(track);
    std::int32_t start = 12500;
    cd.FastForward(start);
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_EQ(cd.CheckIfPlaying(), 1);
    ASSERT_TRUE(waitFor([&] { return d.recorder.count() == 2u; }))
        << "the play from the track start, then the play from the song";
    d.recorder.setLimit(3 * kSecond);
    ASSERT_TRUE(waitFor([&] { return d.recorder.stream(1).size() == 3 * kSecond; }));
    EXPECT_EQ(cd.CheckIfPlaying(), 1) << "the disc plays on until it is stopped";
    cd.StopPlay();
    EXPECT_EQ(cd.CheckIfPlaying(), 0);
    EXPECT_EQ(d.ask("status cd mode"), "stopped");

    EXPECT_TRUE(d.recorder.stream(0).isEmpty());
    const qint64 from = (3 + 12.5) * kSecond;
    const QByteArray played = d.recorder.stream(1);
    EXPECT_TRUE(played == d.pcm.mid(from, 3 * kSecond)) << "exactly the samples of track 2 from 12.5 s";
    d.tell("set cd time format milliseconds");
    EXPECT_EQ(d.ask("status cd position"), "18500") << "stopped where it had got to";
}

TEST(CdInterpreter, PlayingStopsAtTheEndOfTheDisc)
{
    Disc d;
    d.recorder.setLimit(100 * kSecond);
    d.tell("open cdaudio alias cd wait shareable");
    d.tell("seek cd to  3");
    d.tell("play cd");
    ASSERT_TRUE(waitFor([&] { return d.ask("status cd mode") == "stopped"; }));
    EXPECT_TRUE(d.recorder.stream(0) == d.pcm.mid(23 * kSecond)) << "the whole last track";
    EXPECT_EQ(d.ask("status cd position"), "03:00:02:00");
    d.tell("play cd");
    EXPECT_EQ(d.ask("status cd mode"), "stopped") << "nothing is left to play";
}

TEST(CdInterpreter, PauseAndPlayAgainGoOnFromThePause)
{
    Disc d;
    d.recorder.setLimit(kSecond / 2);
    d.tell("open cdaudio alias cd wait shareable");
    d.tell("play cd");
    ASSERT_TRUE(waitFor([&] { return d.recorder.stream(0).size() == kSecond / 2; }));
    d.tell("pause cd");
    EXPECT_EQ(d.ask("status cd mode"), "paused");
    EXPECT_EQ(d.ask("status cd position"), "01:00:00:37") << "half a second in (37.5 sectors)";
    d.tell("play cd");
    ASSERT_TRUE(waitFor([&] { return d.recorder.stream(1).size() == kSecond / 2; }));
    d.tell("stop cd wait");
    EXPECT_TRUE(d.recorder.stream(0) + d.recorder.stream(1) == d.pcm.left(kSecond)) << "no gap and no repeat";
}

TEST(CdInterpreter, ANewPlayOrTheDoorEndsThePlayBefore)
{
    Disc d;
    d.recorder.setLimit(kSecond / 10);
    d.tell("open cdaudio alias cd wait shareable");
    d.tell("play cd");
    d.tell("set cd time format milliseconds");
    d.tell("play cd from 3500");
    ASSERT_TRUE(waitFor([&] { return d.recorder.count() == 2u && d.recorder.stream(1).size() == kSecond / 10; }));
    EXPECT_EQ(d.ask("status cd position"), "3600") << "only the second play moves on";
    EXPECT_TRUE(d.recorder.stream(1) == d.pcm.mid(int(3.5 * kSecond), kSecond / 10));

    d.tell("play cd from 26000"); // off the disc
    d.tell("play cd from 1000 to 500");
    d.tell("seek cd to -5");
    EXPECT_EQ(d.ask("status cd mode"), "playing") << "positions off the disc change nothing";
    EXPECT_EQ(d.recorder.count(), 2u);

    d.tell("set cd door open"); // a disc image has no door, but playing stops all the same
    EXPECT_EQ(d.ask("status cd mode"), "stopped");
    d.tell("set cd door closed");
    EXPECT_EQ(d.ask("status cd media present"), "true");
    d.tell("close cd");
    EXPECT_EQ(d.ask("status cd media present"), "");
}
