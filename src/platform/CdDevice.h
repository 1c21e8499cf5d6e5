#pragma once

#include <QString>

namespace fl {

// The computer's audio CD device, driven by command strings ("play cd", "status cd mode").
// A command that the device cannot carry out (no drive, no disc, not open, unknown)
// has no effect and gets an empty reply.
class CdDevice {
public:
    virtual ~CdDevice() = default;

    // Carries out `command` and returns its reply text. The caller's reply buffer holds
    // `replyCapacity` characters including the closing zero, so at most replyCapacity - 1
    // of the reply are kept; a capacity of 0 means the caller wants no reply.
    virtual QString send(const QString& command, int replyCapacity) = 0;
};

// A device for a computer without any: every command has no effect.
class NoCdDevice : public CdDevice {
public:
    QString send(const QString&, int) override { return {}; }
};

} // namespace fl
