#include "PcmSink.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>

namespace fl {

namespace {

constexpr int kBytesPerSecond = 44100 * 4;

class AudioSink : public PcmSink {
public:
    AudioSink(const QAudioDevice& device, const QAudioFormat& format) : m_sink(device, format)
    {
        m_sink.setBufferSize(kBytesPerSecond / 2);
        m_io = m_sink.start();
    }
    ~AudioSink() override { m_sink.stop(); }
    bool ok() const { return m_io && m_sink.error() == QAudio::NoError; }

    qint64 write(const char* data, qint64 length) override
    {
        const qint64 n = std::min<qint64>(length, m_sink.bytesFree());
        if (n <= 0) return 0;
        const qint64 written = m_io->write(data, n);
        return written < 0 ? 0 : written;
    }
    bool drained() override
    {
        return m_sink.state() != QAudio::ActiveState || m_sink.bytesFree() >= m_sink.bufferSize();
    }
    void stop() override
    {
        m_sink.reset();
        m_sink.stop();
    }
    bool failed() override
    {
        return m_sink.error() == QAudio::OpenError || m_sink.error() == QAudio::FatalError;
    }

private:
    QAudioSink m_sink;
    QIODevice* m_io = nullptr;
};

// Takes samples as fast as they would play, and forgets them.
class PacedSink : public PcmSink {
public:
    PacedSink() { m_clock.start(); }
    qint64 write(const char*, qint64 length) override
    {
        const qint64 due = m_clock.elapsed() * kBytesPerSecond / 1000 + kBytesPerSecond / 10 - m_taken;
        const qint64 n = std::max<qint64>(0, std::min(length, due)) & ~qint64(3);
        m_taken += n;
        return n;
    }
    bool drained() override { return m_clock.elapsed() * kBytesPerSecond / 1000 >= m_taken; }
    void stop() override {}

private:
    QElapsedTimer m_clock;
    qint64 m_taken = 0;
};

} // namespace

PcmSinkFactory defaultAudioOutput()
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    return [device]() -> std::unique_ptr<PcmSink> {
        if (!device.isNull()) {
            QAudioFormat format;
            format.setSampleRate(44100);
            format.setChannelCount(2);
            format.setSampleFormat(QAudioFormat::Int16);
            if (device.isFormatSupported(format)) {
                auto sink = std::make_unique<AudioSink>(device, format);
                if (sink->ok()) return sink;
            }
        }
        return std::make_unique<PacedSink>();
    };
}

} // namespace fl
