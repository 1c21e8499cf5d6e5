#include "media/CDAudio.h"
#include "media/CdError.h"
#include "platform/ScriptedPlatform.h"

#include <gtest/gtest.h>
#include <limits>

using namespace fl;

namespace {

struct Rig {
    ScriptedPlatform platform;
    ScriptedCdDevice& device = platform.scriptedCd;
    CDAudio cd{device, platform};

    QStringList commands() const { return device.commands(); }
    QList<int> capacities() const
    {
        QList<int> list;
        for (const auto& s : device.sent) list << s.replyCapacity;
        return list;
    }
};

const QString kProblem = QStringLiteral("There is a problem playing the song from the CD. Check CD in player.");

} // namespace

// What each operation does on a disc is tested against the program's own device
// (CdInterpreterTest); here, that only the questions hand the device a buffer for its reply.
TEST(CDAudio, OnlyQuestionsPassABufferForTheReply)
{
    Rig r;
    short seven = 7;
    r.cd.SetTrack(seven);
    r.cd.StartPlay();
    r.cd.StopPlay();
    r.cd.PausePlay();
    r.cd.EjectCD();
    r.cd.CloseCD();
    r.cd.UnloadAll();
    r.cd.SetCDPlayerReady();
    r.cd.SetFormat_tmsf();
    r.cd.SetFormat_milliseconds();
    r.cd.ReadyDevice();
    r.cd.SeekCDtoX(seven);
    const int commands = int(r.device.sent.size());
    EXPECT_EQ(r.capacities(), QList<int>(commands, 0));

    r.device.sent.clear();
    r.cd.GetCDLength();
    r.cd.GetTrackLength(seven);
    r.cd.CheckIfPlaying();
    EXPECT_EQ(r.capacities(), QList<int>(3, CDAudio::StatusReply));
}

TEST(CDAudio, FastForwardPlaysOrSeeksFromTheNewPositionOrReportsNoDisc)
{
    Rig r;
    r.device.replies["status cd position wait"] = "600000";
    r.device.replies["status cd mode"] = "playing";
    std::int32_t spd = 12500;
    r.cd.FastForward(spd);
    EXPECT_EQ(r.commands(), (QStringList{"set cd time format milliseconds", "status cd position wait", "status cd mode",
                                         "play cd from 612500", "set cd time format tmsf wait"}));
    EXPECT_EQ(r.capacities(), (QList<int>{0, 40, 30, 0, 0}));
    EXPECT_TRUE(r.platform.messages.isEmpty());

    r.device.sent.clear();
    r.device.replies["status cd mode"] = "stopped";
    r.cd.FastForward(spd);
    EXPECT_EQ(r.commands().value(3), "seek cd to 612500");
    EXPECT_EQ(r.commands().value(4), "set cd time format tmsf wait");

    r.device.sent.clear();
    r.device.replies["status cd mode"] = "playing";
    std::int32_t zero = 0;
    r.cd.FastForward(zero);
    EXPECT_EQ(r.commands().value(3), "play cd from 600000") << "no move replays from where the disc is";

    // Without a disc: reported once, and the format stays at milliseconds.
    r.device.replies.clear();
    r.device.sent.clear();
    EXPECT_NO_THROW(r.cd.FastForward(spd));
    ASSERT_EQ(r.platform.messages.size(), 1);
    const auto& m = r.platform.messages.front();
    EXPECT_EQ(m.text, kProblem);
    EXPECT_EQ(m.title, "CD Problem");
    EXPECT_EQ(m.buttons, Platform::Buttons::OkCancel);
    EXPECT_EQ(m.icon, Platform::Icon::Information);
    EXPECT_EQ(r.commands(), (QStringList{"set cd time format milliseconds", "status cd position wait", "status cd mode"}))
        << "nothing moves and the format stays at milliseconds";

    r.device.sent.clear();
    r.device.replies["status cd position wait"] = "12:03";
    r.cd.FastForward(spd);
    EXPECT_EQ(r.platform.messages.size(), 2) << "a reply that is not a number";
    EXPECT_EQ(r.commands().size(), 3);
}

TEST(CDAudio, MovesPastTheLongRangeOverflow)
{
    Rig r;
    r.device.replies["status cd position wait"] = "2147480000";
    r.device.replies["status cd mode"] = "playing";
    std::int32_t spd = 12500;
    r.cd.FastForward(spd);
    EXPECT_EQ(r.platform.messages.size(), 1);
    EXPECT_EQ(r.commands().size(), 3) << "no play and no return to tmsf";

    r.device.sent.clear();
    std::int32_t fit = 3647;
    r.cd.FastForward(fit);
    EXPECT_EQ(r.commands().value(3), "play cd from 2147483647") << "the largest position still fits";

    r.device.sent.clear();
    std::int32_t back = -12500; // rewinding by a negative amount moves forward
    try {
        r.cd.ReWind(back);
        ADD_FAILURE() << "ReWind must pass the overflow to its caller";
    } catch (const CdError& e) {
        EXPECT_EQ(e.number(), CdError::Overflow);
    }
    EXPECT_EQ(r.platform.messages.size(), 1) << "ReWind shows nothing itself";
    EXPECT_EQ(r.commands().size(), 3);

    r.device.replies["status cd position wait"] = "600000";
    r.device.sent.clear();
    r.cd.ReWind(spd);
    EXPECT_EQ(r.commands().value(3), "play cd from 587500");
    EXPECT_EQ(r.commands().value(4), "set cd time format tmsf wait");

    r.device.replies["status cd position wait"] = "";
    EXPECT_THROW(r.cd.ReWind(spd), CdError);
}

TEST(CDAudio, OnlyThePlayingModeCountsAsPlayingAndLengthsComeBackAsTheWholeBuffer)
{
    Rig r;
    r.device.replies["status cd mode"] = "playing";
    EXPECT_EQ(r.cd.CheckIfPlaying(), 1);
    for (const char* mode : {"paused", "stopped", "seeking", "not ready", "open", "", "Playing", "playin"}) {
        r.device.replies["status cd mode"] = QString::fromLatin1(mode);
        EXPECT_EQ(r.cd.CheckIfPlaying(), 0) << mode;
    }

    // Lengths come back as the whole buffer.
    r.device.replies["status cd length wait"] = "74:06:39";
    const QString length = r.cd.GetCDLength();
    EXPECT_EQ(length.size(), 30);
    EXPECT_EQ(length.left(8), "74:06:39");
    EXPECT_EQ(length.mid(8), QString(22, QChar(0)));
    EXPECT_NE(length, "74:06:39") << "callers must compare the leading characters only";

    r.device.replies.clear();
    EXPECT_EQ(r.cd.GetCDLength(), QString(30, QChar(0))) << "no disc: all zero characters, no failure";
    short track = 3;
    EXPECT_EQ(r.cd.GetTrackLength(track), QString(30, QChar(0)));

    r.device.replies["status cd length wait"] = QString(40, u'9');
    EXPECT_EQ(r.cd.GetCDLength(), QString(29, u'9') + QChar(0)) << "the reply ends inside the buffer";
}

TEST(CDAudio, NumberRepliesAreReadOrFailToTheCaller)
{
    Rig r;
    r.device.replies["status cd number of tracks wait"] = "12";
    EXPECT_EQ(r.cd.GetNumTracks(), 12);
    r.device.replies["status cd number of tracks wait"] = "5";
    EXPECT_EQ(r.cd.GetNumTracks(), 5);
    r.device.replies["status cd number of tracks wait"] = "123";
    EXPECT_EQ(r.cd.GetNumTracks(), 12) << "only the first two characters count";
    r.device.replies.remove("status cd number of tracks wait");
    EXPECT_THROW(r.cd.GetNumTracks(), CdError);

    r.device.replies["status cd position"] = "02:03:45:10";
    short track = 0, min = 0, sec = 0;
    r.cd.GetCDPosition(track, min, sec);
    EXPECT_EQ(track, 2);
    EXPECT_EQ(min, 3);
    EXPECT_EQ(sec, 45);
    r.device.replies["status cd position"] = "";
    EXPECT_THROW(r.cd.GetCDPosition(track, min, sec), CdError);

    r.device.replies["status cd media present"] = "true";
    EXPECT_NE(r.cd.CheckCD(), 0);
    r.device.replies["status cd media present"] = "false";
    EXPECT_EQ(r.cd.CheckCD(), 0);
    r.device.replies["status cd media present"] = "";
    EXPECT_THROW(r.cd.CheckCD(), CdError);
}

TEST(CDAudio, WholeNumbersAreReadStrictly)
{
    EXPECT_EQ(readWholeNumber(" 42 ", 0, 100), 42);
    EXPECT_EQ(readWholeNumber("-7", -10, 10), -7);
    EXPECT_THROW(readWholeNumber("4x", 0, 100), CdError);
    EXPECT_THROW(readWholeNumber("-", -10, 10), CdError);
    try {
        readWholeNumber("40000", std::numeric_limits<short>::min(), std::numeric_limits<short>::max());
        ADD_FAILURE();
    } catch (const CdError& e) {
        EXPECT_EQ(e.number(), CdError::Overflow);
    }
    EXPECT_THROW(readWholeNumber("99999999999999999999999", 0, 1), CdError);
    EXPECT_EQ(replyText(QStringLiteral("ab") + QChar(0) + QStringLiteral("cd")), "ab");
}
