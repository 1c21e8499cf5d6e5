#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QTimer;

namespace fl {

struct Context;
class CDAudio;

// Plays the CD song of the species on show from the bird-song disc. It follows the species on
// show: while the CD option is on, it reads the species' row of cdSong and enables Play CD Song
// when there is one. It owns the CD audio device of the run (readied when made, stopped and
// closed at exit) and the timer that stops a song after its length.
class CdSongPlayer : public QObject {
    Q_OBJECT
public:
    // The CD song of the species on show.
    struct Song {
        short track = 0;
        float start = 0;    // seconds into the track
        float duration = 0; // seconds
    };

    // Made as a child of the main window, which must exist.
    CdSongPlayer(Context& ctx, std::unique_ptr<CDAudio> cd);
    ~CdSongPlayer() override;

    // Play CD Song: checks once per run that the disc is the right one, seeks to the song and
    // starts the stop timer.
    void play();
    // The stop timer: the song has played for its length.
    void stopSong();
    // At exit: the timer and the disc stop, the device closes.
    void close();

    // The device; replaced, for instance by one that reads a disc image.
    CDAudio* device() const { return m_cd.get(); }
    void setDevice(std::unique_ptr<CDAudio> cd);

    Song song() const { return m_song; }
    // Whether the disc is still to be checked before the first CD song plays.
    bool checkDue() const { return m_checkDue; }
    QTimer* timer() const { return m_timer; }

private:
    // Reads the CD song of species `id` while the option is on.
    void follow(int id);

    Context& m_ctx;
    std::unique_ptr<CDAudio> m_cd;
    QTimer* m_timer = nullptr;
    Song m_song;
    bool m_checkDue = true;
};

// Makes the player of the run and connects Play CD Song and the exit step to it.
CdSongPlayer& registerCdSongCommands(Context& ctx);

// The published disc's length as the device reports it.
inline const QString kSongDiscLength = QStringLiteral("74:06:39");

// Seconds as whole milliseconds, an exact half going to the even number; CdError when
// the result does not fit in 32 bits.
int toMilliseconds(float seconds);

} // namespace fl
