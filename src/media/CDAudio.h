#pragma once

#include <QString>
#include <cstdint>

namespace fl {

class CdDevice;
class Platform;

// Drives the audio CD device opened under the alias "cd" by fixed command strings, and
// reads its replies as numbers, flags or texts. It keeps no state of its own: whether the
// device is open, its time format, position and mode live in the device.
//
// Replies that cannot be read as numbers raise CdError (FastForward reports its own
// failures instead). Commands the device cannot carry out simply have no effect.
class CDAudio {
public:
    // Lengths of the reply buffers.
    static constexpr int StatusReply = 30;
    static constexpr int PositionReply = 40;

    CDAudio(CdDevice& device, Platform& platform);

    void StartPlay();
    void SetTrack(short& Track);
    void StopPlay();
    void PausePlay();
    void EjectCD();
    void CloseCD();
    void UnloadAll();
    void SetCDPlayerReady();
    void SetFormat_tmsf();
    void SetFormat_milliseconds();
    short CheckCD();
    short GetNumTracks();
    // The whole 30-character reply buffer: the reply followed by zero characters.
    QString GetCDLength();
    QString GetTrackLength(short& TrackNum);
    void GetCDPosition(short& Track, short& Min, short& Sec);
    // 1 while the disc plays, else 0.
    short CheckIfPlaying();
    void SeekCDtoX(short& Track);
    void ReadyDevice();
    void FastForward(std::int32_t& Spd);
    void ReWind(std::int32_t& Spd);

private:
    void command(const QString& text);
    // The reply buffer of `capacity` characters after sending `text`.
    QString query(const QString& text, int capacity);
    // The new position after moving by `delta` ms (shared by FastForward and ReWind).
    void move(std::int64_t delta);

    CdDevice& m_device;
    Platform& m_platform;
};

// The text up to the first zero character of a reply buffer.
QString replyText(const QString& buffer);
// A reply read as a whole number: blanks around it, an optional sign and decimal digits;
// the words "true" and "false" read as -1 and 0. Anything else is a type mismatch, and a
// number outside [min, max] an overflow (CdError).
std::int64_t readWholeNumber(const QString& text, std::int64_t min, std::int64_t max);

} // namespace fl
