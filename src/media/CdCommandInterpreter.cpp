#include "CdCommandInterpreter.h"

#include "state/AppFolder.h"
#include "CdDisc.h"
#include "CdPlayback.h"

namespace fl {

namespace {

constexpr qint64 kFramesPerSecond = 44100;
constexpr qint64 kSectorFrames = CdDisc::SectorFrames;

QString twoDigits(qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

// Sectors as minutes, seconds and sectors ("74:06:39").
QString msf(qint64 sectors)
{
    return twoDigits(sectors / (75 * 60)) + u':' + twoDigits(sectors / 75 % 60) + u':' + twoDigits(sectors % 75);
}

std::optional<qint64> wholeNumber(const QString& text)
{
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return n;
}

} // namespace

CdCommandInterpreter::CdCommandInterpreter(QString dataFolder) : CdCommandInterpreter(std::move(dataFolder), Options{}) {}

CdCommandInterpreter::CdCommandInterpreter(QString dataFolder, Options options)
    : m_dataFolder(std::move(dataFolder)), m_options(std::move(options))
{
}

CdCommandInterpreter::~CdCommandInterpreter() { close(); }

QString CdCommandInterpreter::send(const QString& command, int replyCapacity)
{
    QStringList words = command.toLower().split(u' ', Qt::SkipEmptyParts);
    // Every command here completes before it returns, so waiting changes nothing.
    words.removeAll(QStringLiteral("wait"));
    const QString reply = run(words);
    return replyCapacity > 0 ? reply.left(replyCapacity - 1) : QString();
}

QString CdCommandInterpreter::run(QStringList words)
{
    if (words.size() >= 4 && words[0] == u"open" && words[1] == u"cdaudio" && words[2] == u"alias" && words[3] == u"cd") {
        for (qsizetype i = 4; i < words.size(); ++i)
            if (words[i] != u"shareable") return {};
        open();
        return {};
    }
    if (words == QStringList{QStringLiteral("close"), QStringLiteral("all")}) {
        close();
        return {};
    }
    if (words.size() < 2 || words[1] != u"cd" || !m_disc) return {};
    const QString verb = words[0];
    words.remove(0, 2);
    if (verb == u"close" && words.isEmpty()) close();
    else if (verb == u"play") play(words);
    else if (verb == u"seek") seek(words);
    else if (verb == u"stop" && words.isEmpty()) halt(false);
    else if (verb == u"pause" && words.isEmpty()) halt(true);
    else if (verb == u"status") return status(words);
    else if (verb == u"set" && words.size() == 3 && words[0] == u"time" && words[1] == u"format") {
        if (words[2] == u"tmsf") m_milliseconds = false;
        else if (words[2] == u"milliseconds" || words[2] == u"ms") m_milliseconds = true;
    } else if (verb == u"set" && words.size() == 2 && words[0] == u"door") {
        if (words[1] == u"open") {
            halt(false);
            m_disc->openDoor();
        } else if (words[1] == u"closed") {
            m_disc->closeDoor();
        }
    }
    return {};
}

void CdCommandInterpreter::open()
{
    if (m_disc) return; // the alias is taken
    // The drive when it holds a disc; otherwise the disc image, if there is one; otherwise the
    // empty drive, which notices a disc put in later.
    std::unique_ptr<CdDisc> drive = m_options.useDrive ? CdDisc::openDrive() : nullptr;
    if (drive && !drive->toc().empty()) m_disc = std::move(drive);
    else m_disc = CdDisc::openImage(resolvePath(m_dataFolder, QStringLiteral("CD")));
    if (!m_disc) m_disc = std::move(drive);
    if (!m_disc) return;
    m_milliseconds = false;
    m_paused = false;
    const CdToc toc = m_disc->toc();
    m_position = toc.empty() ? 0 : qint64(toc.starts.front()) * kSectorFrames;
}

void CdCommandInterpreter::close()
{
    m_playback.reset();
    m_disc.reset();
}

qint64 CdCommandInterpreter::position()
{
    if (m_playback) {
        m_position = m_playback->position();
        if (m_playback->finished()) m_playback.reset();
    }
    return m_position;
}

void CdCommandInterpreter::halt(bool pause)
{
    position();
    m_playback.reset();
    m_paused = pause;
}

std::optional<qint64> CdCommandInterpreter::parsePosition(const QString& text, const CdToc& toc) const
{
    qint64 frames = 0;
    if (m_milliseconds) {
        const auto ms = wholeNumber(text);
        if (!ms || *ms < 0) return std::nullopt;
        frames = *ms * kFramesPerSecond / 1000;
    } else {
        const QStringList parts = text.split(u':');
        if (parts.size() > 4) return std::nullopt;
        qint64 values[4] = {0, 0, 0, 0};
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const auto n = wholeNumber(parts[i]);
            if (!n || *n < 0) return std::nullopt;
            values[i] = *n;
        }
        if (values[0] > 99 || !toc.hasTrack(int(values[0]))) return std::nullopt;
        frames = (toc.start(int(values[0])) + (values[1] * 60 + values[2]) * 75 + values[3]) * kSectorFrames;
    }
    if (frames < qint64(toc.starts.front()) * kSectorFrames || frames > qint64(toc.leadout) * kSectorFrames)
        return std::nullopt;
    return frames;
}

void CdCommandInterpreter::play(const QStringList& args)
{
    const CdToc toc = m_disc->toc();
    if (toc.empty()) return;
    qint64 from = position();
    qint64 to = qint64(toc.leadout) * kSectorFrames;
    for (qsizetype i = 0; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return;
        const auto p = parsePosition(args[i + 1], toc);
        if (!p) return;
        if (args[i] == u"from") from = *p;
        else if (args[i] == u"to") to = *p;
        else return;
    }
    if (from >= to) return;
    m_playback.reset();
    m_position = from;
    m_paused = false;
    m_playback = std::make_unique<CdPlayback>(*m_disc, m_options.sink, from, to);
}

void CdCommandInterpreter::seek(const QStringList& args)
{
    const CdToc toc = m_disc->toc();
    if (toc.empty() || args.size() != 2 || args[0] != u"to") return;
    std::optional<qint64> p;
    if (args[1] == u"start") p = qint64(toc.starts.front()) * kSectorFrames;
    else if (args[1] == u"end") p = qint64(toc.leadout) * kSectorFrames;
    else p = parsePosition(args[1], toc);
    if (!p) return;
    halt(false);
    m_position = *p;
}

QString CdCommandInterpreter::length(qint64 sectors) const
{
    return m_milliseconds ? QString::number(sectors * 1000 / 75) : msf(sectors);
}

QString CdCommandInterpreter::status(const QStringList& what)
{
    const CdToc toc = m_disc->toc();
    if (what == QStringList{QStringLiteral("media"), QStringLiteral("present")})
        return toc.empty() ? QStringLiteral("false") : QStringLiteral("true");
    if (what == QStringList{QStringLiteral("mode")}) {
        if (toc.empty()) return QStringLiteral("not ready");
        position();
        return m_playback ? QStringLiteral("playing") : m_paused ? QStringLiteral("paused") : QStringLiteral("stopped");
    }
    if (toc.empty()) return {};
    if (what == QStringList{QStringLiteral("number"), QStringLiteral("of"), QStringLiteral("tracks")})
        return QString::number(toc.starts.size());
    if (what == QStringList{QStringLiteral("length")}) return length(toc.leadout - toc.starts.front());
    if (what.size() == 3 && what[0] == u"length" && what[1] == u"track") {
        const auto track = wholeNumber(what[2]);
        if (!track || !toc.hasTrack(int(*track))) return {};
        return length(toc.end(int(*track)) - toc.start(int(*track)));
    }
    if (what == QStringList{QStringLiteral("position")}) {
        const qint64 frames = position();
        if (m_milliseconds) return QString::number(frames * 1000 / kFramesPerSecond);
        const int track = std::max(toc.firstTrack, toc.trackAt(int(frames / kSectorFrames)));
        const qint64 within = frames / kSectorFrames - toc.start(track);
        return twoDigits(track) + u':' + msf(within);
    }
    return {};
}

} // namespace fl
