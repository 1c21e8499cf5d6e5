#pragma once

#include <QString>
#include <memory>

namespace fl {

struct Context;
class CDAudio;

// Readies the CD device for the run and connects Play CD Song, the stop timer and the exit step.
void registerCdSongCommands(Context& ctx);
// The CD audio object of the run (null before registration), and a replacement for it.
CDAudio* cdAudio(Context& ctx);
void setCdAudio(Context& ctx, std::unique_ptr<CDAudio> cd);

// Plays the CD song of the species on show from the bird-song disc: checks once per run
// that the disc is the right one, seeks to the song and arms the main window's Timer1.
void mnuFilePlayCD_Click(Context& ctx);
// Timer1: the song has played for its length.
void Timer1_Timer(Context& ctx);

// The published disc's length as the device reports it.
inline const QString kSongDiscLength = QStringLiteral("74:06:39");

// Seconds as whole milliseconds, an exact half going to the even number; CdError when
// the result does not fit in 32 bits.
int toMilliseconds(float seconds);

} // namespace fl
