#include "CdPlayback.h"

#include "CdDisc.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <vector>

namespace fl {

namespace {
constexpr int kChunkSectors = 8;
constexpr int kFrameBytes = 4;
} // namespace

class CdPlayback::Worker : public QThread {
public:
    Worker(CdDisc& disc, PcmSinkFactory factory, qint64 from, qint64 to)
        : m_disc(disc), m_factory(std::move(factory)), m_from(from), m_to(to), m_position(from)
    {
    }

    std::atomic<bool> stopRequested{false};
    std::atomic<bool> done{false};
    qint64 position() const { return m_position.load(); }

protected:
    void run() override
    {
        std::unique_ptr<PcmSink> sink = m_factory();
        play(*sink);
        if (stopRequested) sink->stop();
        sink.reset();
        done = true;
    }

private:
    void idle()
    {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }

    void play(PcmSink& sink)
    {
        std::vector<char> buffer(size_t(kChunkSectors) * CdDisc::SectorBytes);
        qint64 bytes = m_from * kFrameBytes; // from the start of the disc
        const qint64 end = m_to * kFrameBytes;
        while (!stopRequested && bytes < end) {
            const qint64 sector = bytes / CdDisc::SectorBytes;
            const qint64 skip = bytes % CdDisc::SectorBytes;
            const qint64 count = std::min<qint64>(kChunkSectors, (end - sector * CdDisc::SectorBytes
                                                                   + CdDisc::SectorBytes - 1) / CdDisc::SectorBytes);
            if (!m_disc.readAudio(int(sector), int(count), buffer.data())) return;
            const qint64 available = std::min(count * CdDisc::SectorBytes, end - sector * CdDisc::SectorBytes);
            qint64 offset = skip;
            while (!stopRequested && offset < available) {
                const qint64 n = sink.write(buffer.data() + offset, available - offset);
                if (n > 0) {
                    offset += n;
                    bytes += n;
                    m_position = bytes / kFrameBytes;
                } else if (sink.failed()) {
                    return;
                } else {
                    idle();
                }
            }
        }
        while (!stopRequested && !sink.drained() && !sink.failed()) idle();
    }

    CdDisc& m_disc;
    PcmSinkFactory m_factory;
    qint64 m_from;
    qint64 m_to;
    std::atomic<qint64> m_position;
};

CdPlayback::CdPlayback(CdDisc& disc, PcmSinkFactory sinkFactory, qint64 from, qint64 to)
    : m_worker(std::make_unique<Worker>(disc, sinkFactory ? std::move(sinkFactory) : defaultAudioOutput(), from, to))
{
    m_worker->start();
}

CdPlayback::~CdPlayback()
{
    m_worker->stopRequested = true;
    m_worker->wait();
}

qint64 CdPlayback::position() const { return m_worker->position(); }

bool CdPlayback::finished() const { return m_worker->done; }

} // namespace fl
