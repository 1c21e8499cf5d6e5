#include "Harness.h"

#include "media/Songs.h"
#include "platform/SongPlayer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace fl;
using test::Harness;

namespace {

const QString kFilter = QStringLiteral("Wave Files(*.wav)|*.wav|All Files(*.*)|*.*");
const QString kWrongFolder = QStringLiteral("The Song file must come from the Songs folder in the main application.");

void show(Harness& h, const char* name)
{
    const int i = h.page().list()->findText(QString::fromLatin1(name));
    ASSERT_GE(i, 0) << name;
    h.page().list()->setCurrentIndex(i);
    ASSERT_EQ(h.shown(), QString::fromLatin1(name));
}

QVariant storedSong(Harness& h, const char* name)
{
    return h.scalar("SELECT song FROM Birds WHERE Name = ?", {QString::fromLatin1(name)});
}

// The song commands' states: Play menu item, Play button, Add, Remove.
std::vector<bool> songStates(Harness& h)
{
    return {h.enabled(cmd::mnuFilePlay), h.buttonEnabled("Play"), h.enabled(cmd::mnuFileSong),
            h.enabled(cmd::mnuFileSongDelete)};
}
const std::vector<bool> kWithSong = {true, true, false, true};
const std::vector<bool> kWithoutSong = {false, false, true, false};

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("RIFF");
}

} // namespace

TEST(RecordedSongs, LinkingAFileFromTheSongsFolderInAnyCapitalsStoresItsBareName)
{
    Harness h;
    QDir(h.folder.path()).mkdir("Songs");
    show(h, "Mallard");
    EXPECT_EQ(songStates(h), kWithoutSong);
    const QString file = h.folder.path() + "/Songs/mallard.wav";
    touch(file);
    h.platform.files.push_back(file);
    h.run(cmd::mnuFileSong);

    ASSERT_EQ(h.platform.fileDialogs.size(), 1);
    EXPECT_EQ(h.platform.fileDialogs[0].title, "Link a Song File");
    EXPECT_EQ(h.platform.fileDialogs[0].folder, h.folder.path() + "/Songs");
    EXPECT_EQ(h.platform.fileDialogs[0].filter, kFilter);
    EXPECT_TRUE(h.platform.messages.isEmpty());
    EXPECT_EQ(storedSong(h, "Mallard").toString(), "mallard.wav");
    EXPECT_EQ(songStates(h), kWithSong);
    EXPECT_EQ(h.w->species().name(), "Mallard") << "the row stays current";

    h.run(cmd::mnuFilePlay);
    EXPECT_EQ(h.platform.sounds, QStringList{file});

    // Other capitals of the folder are accepted.
    show(h, "Wood Duck"); // song is null
    EXPECT_EQ(songStates(h), kWithoutSong);
    h.platform.files.push_back(h.folder.path() + "/SONGS/Duck's Call.WAV");
    h.run(cmd::mnuFileSong);
    EXPECT_TRUE(h.platform.messages.isEmpty());
    EXPECT_EQ(storedSong(h, "Wood Duck").toString(), "Duck's Call.WAV") << "a quote in the name is stored as it is";
    EXPECT_EQ(songStates(h), kWithSong);
}

TEST(RecordedSongs, TheDialogOpensInTheSongsFolderAndRefusesFilesOutsideIt)
{
    Harness h;
    QDir(h.folder.path()).mkdir("songs");
    show(h, "Mallard");
    h.run(cmd::mnuFileSong); // cancelled: no file queued
    ASSERT_EQ(h.platform.fileDialogs.size(), 1);
    EXPECT_EQ(h.platform.fileDialogs[0].folder, h.folder.path() + "/songs") << "whatever its capitals";
    EXPECT_TRUE(h.platform.messages.isEmpty()) << "a cancel changes nothing and says nothing";
    EXPECT_EQ(songStates(h), kWithoutSong);
    EXPECT_EQ(storedSong(h, "Mallard").toString(), "");

    // Files outside it are refused.
    QTemporaryDir elsewhere;
    const QStringList refused = {h.folder.path() + "/Songs/old/mallard.wav", elsewhere.path() + "/mallard.wav",
                                 h.folder.path() + "/mallard.wav", h.folder.path() + "/Songs2/mallard.wav"};
    for (const QString& file : refused) {
        h.platform.messages.clear();
        h.platform.files.push_back(file);
        h.run(cmd::mnuFileSong);
        ASSERT_EQ(h.platform.messages.size(), 1) << qPrintable(file);
        EXPECT_EQ(h.platform.messages[0].text, kWrongFolder);
        EXPECT_EQ(h.platform.messages[0].title, "Wrong Folder");
        EXPECT_EQ(h.platform.messages[0].icon, Platform::Icon::Exclamation);
        EXPECT_EQ(h.platform.messages[0].buttons, Platform::Buttons::Ok);
        EXPECT_EQ(storedSong(h, "Mallard").toString(), "") << qPrintable(file);
        EXPECT_EQ(songStates(h), kWithoutSong);
    }

    // A dialog closed without a file asks for one.
    h.platform.messages.clear();
    h.platform.files.push_back(QStringLiteral(""));
    h.run(cmd::mnuFileSong);
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text, "You must select a File to Link.");
    EXPECT_EQ(h.platform.messages[0].title, "Missing File Name");
    EXPECT_EQ(h.platform.messages[0].icon, Platform::Icon::Exclamation);
    EXPECT_EQ(songStates(h), kWithoutSong);
}

TEST(RecordedSongs, PlayBuildsThePathFromTheSongsFolderAndExitStopsTheSong)
{
    Harness h;
    EXPECT_EQ(h.shown(), "Canada Goose");
    EXPECT_EQ(songStates(h), kWithSong);
    h.run(cmd::mnuFilePlay);
    EXPECT_EQ(h.platform.sounds, QStringList{h.folder.path() + "/songs/canada.wav"}) << "no folder on disk yet";

    QDir(h.folder.path()).mkdir("Songs");
    touch(h.folder.path() + "/Songs/Canada.WAV");
    h.w->Toolbar1_ButtonClick("Play");
    EXPECT_EQ(h.platform.sounds.value(1), h.folder.path() + "/Songs/Canada.WAV") << "the files on disk, any capitals";
    EXPECT_EQ(songPath(h.folder.path(), "robin.wav"), h.folder.path() + "/Songs/robin.wav");

    // Exit stops the song.
    EXPECT_EQ(h.platform.soundStops, 0);
    h.w->close();
    EXPECT_EQ(h.platform.soundStops, 1);
}

TEST(RecordedSongs, RemovingStoresEmptyTextAndKeepsTheFile)
{
    Harness h;
    const QString file = h.folder.path() + "/Songs/canada.wav";
    touch(file);
    h.platform.answers.push_back(Platform::Answer::No);
    h.run(cmd::mnuFileSongDelete);
    ASSERT_EQ(h.platform.messages.size(), 1);
    EXPECT_EQ(h.platform.messages[0].text, "Do you really want to remove the song file canada.wav from the database?");
    EXPECT_EQ(h.platform.messages[0].title, "Remove Song");
    EXPECT_EQ(h.platform.messages[0].buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(h.platform.messages[0].icon, Platform::Icon::Question);
    EXPECT_EQ(storedSong(h, "Canada Goose").toString(), "canada.wav") << "No changes nothing";
    EXPECT_EQ(songStates(h), kWithSong);

    h.platform.answers.push_back(Platform::Answer::Yes);
    h.run(cmd::mnuFileSongDelete);
    const QVariant stored = storedSong(h, "Canada Goose");
    EXPECT_FALSE(stored.isNull()) << "empty text, not null";
    EXPECT_EQ(stored.toString(), "");
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(songStates(h), kWithoutSong);

    show(h, "Wood Duck");
    show(h, "Canada Goose");
    EXPECT_EQ(songStates(h), kWithoutSong) << "the page treats the empty name like no song";
}

TEST(SongPlayer, WhatCannotPlayGivesTheDefaultSoundOnce)
{
    int beeps = 0;
    QTemporaryDir dir;
    const QString wave = dir.filePath("song.wav");
    touch(wave);
    {
        SongPlayer player([&] { ++beeps; }, [] { return false; });
        player.play(dir.filePath("missing.wav"));
        EXPECT_EQ(beeps, 1);
        player.play(wave);
        EXPECT_EQ(beeps, 2) << "no audio output";
        EXPECT_FALSE(player.isPlaying());
    }
    {
        SongPlayer player([&] { ++beeps; }, [] { return true; });
        player.play(dir.filePath("missing.wav"));
        EXPECT_EQ(beeps, 3);
        QFile junk(dir.filePath("junk.wav"));
        junk.open(QIODevice::WriteOnly);
        junk.write(QByteArray(4000, '\x5a'));
        junk.close();
        player.play(junk.fileName());
        EXPECT_TRUE(QTest::qWaitFor([&] { return beeps == 4; }, 15000)) << "a file that is no sound";
        QTest::qWait(200);
        EXPECT_EQ(beeps, 4);
    }
}
