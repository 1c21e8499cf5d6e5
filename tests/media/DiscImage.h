#pragma once

#include "media/PcmSink.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtMath>
#include <cstdint>
#include <mutex>
#include <vector>

namespace fl::test {

// Writes a small audio disc image: `name`.cue with `name`.bin in `folder`, one track per
// entry of `seconds`. Track k holds a tone of 220 * k Hz in the left channel; the right
// channel counts the frames from the start of the disc (modulo 32768), so that any shift
// of the samples shows.
inline QByteArray writeDiscImage(const QString& folder, const std::vector<int>& seconds,
                                 const QString& name = QStringLiteral("disc"))
{
    QDir().mkpath(folder);
    QByteArray pcm;
    QString cue = QStringLiteral("FILE \"%1.bin\" BINARY\n").arg(name);
    qint64 frame = 0;
    for (size_t t = 0; t < seconds.size(); ++t) {
        const qint64 startSector = frame / 588;
        cue += QStringLiteral("  TRACK %1 AUDIO\n    INDEX 01 %2:%3:%4\n")
                   .arg(t + 1, 2, 10, QLatin1Char('0'))
                   .arg(startSector / 75 / 60, 2, 10, QLatin1Char('0'))
                   .arg(startSector / 75 % 60, 2, 10, QLatin1Char('0'))
                   .arg(startSector % 75, 2, 10, QLatin1Char('0'));
        const double pitch = 220.0 * double(t + 1);
        for (qint64 i = 0; i < qint64(seconds[t]) * 44100; ++i, ++frame) {
            const auto left = std::int16_t(std::lround(12000.0 * std::sin(2.0 * M_PI * pitch * double(i) / 44100.0)));
            const auto right = std::int16_t(frame % 32768);
            const char bytes[4] = {char(left & 0xff), char((left >> 8) & 0xff), char(right & 0xff),
                                   char((right >> 8) & 0xff)};
            pcm.append(bytes, 4);
        }
    }
    QFile bin(QDir(folder).filePath(name + QStringLiteral(".bin")));
    bin.open(QIODevice::WriteOnly);
    bin.write(pcm);
    QFile sheet(QDir(folder).filePath(name + QStringLiteral(".cue")));
    sheet.open(QIODevice::WriteOnly);
    sheet.write(cue.toLatin1());
    return pcm;
}

// Stands in for the audio output: keeps what each playback wrote, taking at most `limit`
// bytes per playback (0 holds every playback at its start).
struct SinkRecorder {
    std::mutex mutex;
    std::vector<QByteArray> streams;
    qint64 limit = 0;

    void setLimit(qint64 bytes)
    {
        std::lock_guard lock(mutex);
        limit = bytes;
    }
    size_t count()
    {
        std::lock_guard lock(mutex);
        return streams.size();
    }
    QByteArray stream(size_t i)
    {
        std::lock_guard lock(mutex);
        return i < streams.size() ? streams[i] : QByteArray();
    }

    PcmSinkFactory factory()
    {
        return [this]() -> std::unique_ptr<PcmSink> {
            std::lock_guard lock(mutex);
            streams.emplace_back();
            return std::make_unique<Sink>(*this, streams.size() - 1);
        };
    }

private:
    class Sink : public PcmSink {
    public:
        Sink(SinkRecorder& r, size_t index) : m_r(r), m_index(index) {}
        qint64 write(const char* data, qint64 length) override
        {
            std::lock_guard lock(m_r.mutex);
            QByteArray& s = m_r.streams[m_index];
            const qint64 n = std::max<qint64>(0, std::min(length, m_r.limit - s.size()));
            s.append(data, n);
            return n;
        }
        bool drained() override { return true; }
        void stop() override {}

    private:
        SinkRecorder& m_r;
        size_t m_index;
    };
};

} // namespace fl::test
