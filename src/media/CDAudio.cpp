#include "CDAudio.h"

#include "CdError.h"
#include "platform/CdDevice.h"
#include "platform/Platform.h"

#include <algorithm>
#include <limits>

namespace fl {

namespace {

// A number with a sign position: a blank in front of a number that is not negative.
QString withSign(std::int64_t n) { return n < 0 ? QString::number(n) : u' ' + QString::number(n); }

QString plain(std::int64_t n) { return QString::number(n); }

short readShort(const QString& text)
{
    return short(readWholeNumber(text, std::numeric_limits<short>::min(), std::numeric_limits<short>::max()));
}

constexpr std::int64_t kLongMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kLongMax = std::numeric_limits<std::int32_t>::max();

} // namespace

QString replyText(const QString& buffer)
{
    const qsizetype end = buffer.indexOf(QChar(0));
    return end < 0 ? buffer : buffer.left(end);
}

std::int64_t readWholeNumber(const QString& text, std::int64_t min, std::int64_t max)
{
    const QString t = text.trimmed();
    if (t.compare(u"true", Qt::CaseInsensitive) == 0) return -1;
    if (t.compare(u"false", Qt::CaseInsensitive) == 0) return 0;
    qsizetype i = 0;
    const bool negative = t.startsWith(u'-');
    if (negative || t.startsWith(u'+')) ++i;
    if (i >= t.size()) throw CdError(CdError::TypeMismatch, "Type mismatch");
    std::int64_t value = 0;
    bool overflow = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c < u'0' || c > u'9') throw CdError(CdError::TypeMismatch, "Type mismatch");
        if (value > (std::numeric_limits<std::int64_t>::max() - 9) / 10) overflow = true;
        else value = value * 10 + (c.unicode() - u'0');
    }
    if (negative) value = -value;
    if (overflow || value < min || value > max) throw CdError(CdError::Overflow, "Overflow");
    return value;
}

CDAudio::CDAudio(CdDevice& device, Platform& platform) : m_device(device), m_platform(platform) {}

void CDAudio::command(const QString& text) { m_device.send(text, 0); }

QString CDAudio::query(const QString& text, int capacity)
{
    QString buffer(capacity, QChar(0));
    const QString reply = m_device.send(text, capacity);
    const qsizetype n = std::min<qsizetype>(reply.size(), capacity - 1);
    for (qsizetype i = 0; i < n; ++i) buffer[i] = reply[i];
    return buffer;
}

void CDAudio::StartPlay() { command(QStringLiteral("play cd")); }

void CDAudio::SetTrack(short& Track) { command(QStringLiteral("seek cd to ") + withSign(Track)); }

void CDAudio::StopPlay() { command(QStringLiteral("stop cd wait")); }

void CDAudio::PausePlay() { command(QStringLiteral("pause cd")); }

void CDAudio::EjectCD() { command(QStringLiteral("set cd door open")); }

void CDAudio::CloseCD() { command(QStringLiteral("set cd door closed")); }

void CDAudio::UnloadAll() { command(QStringLiteral("close all")); }

void CDAudio::SetCDPlayerReady() { command(QStringLiteral("open cdaudio alias cd wait shareable")); }

void CDAudio::SetFormat_tmsf() { command(QStringLiteral("set cd time format tmsf wait")); }

void CDAudio::SetFormat_milliseconds() { command(QStringLiteral("set cd time format milliseconds")); }

short CDAudio::CheckCD()
{
    return readShort(replyText(query(QStringLiteral("status cd media present"), StatusReply)));
}

short CDAudio::GetNumTracks()
{
    return readShort(replyText(query(QStringLiteral("status cd number of tracks wait"), StatusReply)).left(2));
}

QString CDAudio::GetCDLength() { return query(QStringLiteral("status cd length wait"), StatusReply); }

QString CDAudio::GetTrackLength(short& TrackNum)
{
    return query(QStringLiteral("status cd length track ") + plain(TrackNum), StatusReply);
}

void CDAudio::GetCDPosition(short& Track, short& Min, short& Sec)
{
    const QString reply = replyText(query(QStringLiteral("status cd position"), StatusReply));
    Track = readShort(reply.mid(0, 2));
    Min = readShort(reply.mid(3, 2));
    Sec = readShort(reply.mid(6, 2));
}

short CDAudio::CheckIfPlaying()
{
    const QString reply = replyText(query(QStringLiteral("status cd mode"), StatusReply));
    return reply.left(7) == u"playing" ? 1 : 0;
}

void CDAudio::SeekCDtoX(short& Track)
{
    StopPlay();
    SetTrack(Track);
    StartPlay();
}

void CDAudio::ReadyDevice()
{
    UnloadAll();
    SetCDPlayerReady();
    SetFormat_tmsf();
}

void CDAudio::move(std::int64_t delta)
{
    SetFormat_milliseconds();
    const QString position = replyText(query(QStringLiteral("status cd position wait"), PositionReply));
    const bool playing = CheckIfPlaying() == 1;
    const std::int64_t target = readWholeNumber(position, kLongMin, kLongMax) + delta;
    if (target < kLongMin || target > kLongMax) throw CdError(CdError::Overflow, "Overflow");
    command((playing ? QStringLiteral("play cd from ") : QStringLiteral("seek cd to ")) + plain(target));
    SetFormat_tmsf();
}

void CDAudio::FastForward(std::int32_t& Spd)
{
    try {
        move(Spd);
    } catch (const std::exception&) {
        m_platform.messageBox(QStringLiteral("There is a problem playing the song from the CD. Check CD in player."),
                              QStringLiteral("CD Problem"), Platform::Buttons::OkCancel, Platform::Icon::Information);
    }
}

void CDAudio::ReWind(std::int32_t& Spd) { move(-std::int64_t(Spd)); }

} // namespace fl
