#pragma once

#include <QString>
#include <functional>
#include <memory>

class QMediaPlayer;
class QAudioOutput;

namespace fl {

// Plays one sound file at a time in the background through Qt Multimedia. A file that is
// missing or cannot be played, or a computer without audio output, gives the default
// sound instead, once per play.
class SongPlayer {
public:
    // `defaultSound` plays the system's default sound. `hasAudioOutput` tells whether an
    // audio output exists; without it Qt Multimedia's list of outputs is asked.
    explicit SongPlayer(std::function<void()> defaultSound, std::function<bool()> hasAudioOutput = {});
    ~SongPlayer();
    SongPlayer(const SongPlayer&) = delete;
    SongPlayer& operator=(const SongPlayer&) = delete;

    // Stops the sound that plays and starts `path`; returns at once.
    void play(const QString& path);
    void stop();
    bool isPlaying() const;

private:
    // Stops and gives the default sound; called from the player's signals, so it lets
    // nothing escape.
    void fail() noexcept;

    std::function<void()> m_defaultSound;
    std::function<bool()> m_hasAudioOutput;
    std::unique_ptr<QAudioOutput> m_output;
    std::unique_ptr<QMediaPlayer> m_player;
    bool m_failed = false;
};

} // namespace fl
