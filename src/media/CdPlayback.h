#pragma once

#include "PcmSink.h"

#include <QtGlobal>
#include <memory>

namespace fl {

class CdDisc;

// Plays a stretch of a disc on a thread of its own: reads its audio sectors and writes the
// samples to a sink made on that thread (by default on the default audio output). Positions count stereo frames (1/44100 s) from
// the start of the disc.
class CdPlayback {
public:
    CdPlayback(CdDisc& disc, PcmSinkFactory sinkFactory, qint64 from, qint64 to);
    // Stops playing and waits for the thread.
    ~CdPlayback();
    CdPlayback(const CdPlayback&) = delete;
    CdPlayback& operator=(const CdPlayback&) = delete;

    // Where playing has got to: the frames handed to the sink so far.
    qint64 position() const;
    // True once the stretch has played to its end (or the disc could not be read).
    bool finished() const;

private:
    class Worker;
    std::unique_ptr<Worker> m_worker;
};

} // namespace fl
