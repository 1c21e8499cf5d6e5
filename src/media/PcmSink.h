#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>

namespace fl {

// Where CD audio goes: 44.1 kHz, 16-bit little-endian stereo samples. A sink is made,
// used and destroyed on the thread that plays the disc.
class PcmSink {
public:
    virtual ~PcmSink() = default;
    // Takes up to `length` bytes and returns how many it took (0 while it is full).
    virtual qint64 write(const char* data, qint64 length) = 0;
    // True once everything written has been played.
    virtual bool drained() = 0;
    // Drops what is still waiting to be played.
    virtual void stop() = 0;
    // True when the output has gone (a device unplugged): playing ends.
    virtual bool failed() { return false; }
};

using PcmSinkFactory = std::function<std::unique_ptr<PcmSink>()>;

// A factory of sinks on the default audio output through QAudioSink, looked up now (on the
// calling thread). A computer without an output gets sinks that take the samples at the
// pace they would play, so the disc keeps its time all the same.
PcmSinkFactory defaultAudioOutput();

} // namespace fl
