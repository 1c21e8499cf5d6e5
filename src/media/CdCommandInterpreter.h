#pragma once

#include "PcmSink.h"
#include "platform/CdDevice.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace fl {

class CdDisc;
class CdPlayback;
struct CdToc;

// The CD audio device of the running program. It carries out the command strings that
// CDAudio sends:
//   open cdaudio alias cd [wait] [shareable]   close all | close cd
//   play cd [from P] [to P]   seek cd to P   stop cd   pause cd
//   set cd time format tmsf|milliseconds       set cd door open|closed
//   status cd media present | number of tracks | length [track N] | position | mode
// where any command may end in "wait". Opening takes the computer's CD drive when it holds
// a disc, otherwise the disc image (CUE sheet and BIN file) in the folder "CD" of the
// data folder, otherwise the empty drive; opening again looks again. Positions P are a track
// number (or track:min:sec:frame) in tmsf
// format and milliseconds from the start of the disc in milliseconds format. The status
// queries answer from the disc's table of contents; playing reads the audio sectors on a
// thread of its own and writes them to the default audio output. A command that cannot be
// carried out (unknown, device not open, no disc, position off the disc) has no effect and
// an empty reply.
class CdCommandInterpreter : public CdDevice {
public:
    struct Options {
        bool useDrive = true;     // false: only the disc image is looked for
        PcmSinkFactory sink = {}; // where the samples go; the default audio output if empty
    };

    explicit CdCommandInterpreter(QString dataFolder);
    CdCommandInterpreter(QString dataFolder, Options options);
    ~CdCommandInterpreter() override;

    QString send(const QString& command, int replyCapacity) override;

private:
    QString run(QStringList words);
    QString status(const QStringList& what);
    void open();
    void close();
    void play(const QStringList& args);
    void seek(const QStringList& args);
    void halt(bool pause);
    // Where the disc is: the playing position, or where it was left.
    qint64 position();
    // A position argument in the current time format, as frames from the start of the disc.
    std::optional<qint64> parsePosition(const QString& text, const CdToc& toc) const;
    QString length(qint64 frames) const;

    QString m_dataFolder;
    Options m_options;
    std::unique_ptr<CdDisc> m_disc;
    std::unique_ptr<CdPlayback> m_playback;
    bool m_milliseconds = false;
    bool m_paused = false;
    qint64 m_position = 0;
};

} // namespace fl
