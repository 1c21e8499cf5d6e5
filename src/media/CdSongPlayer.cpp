#include "CdSongPlayer.h"

#include "CDAudio.h"
#include "CdError.h"
#include "platform/Platform.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"
#include "state/AppState.h"
#include "state/SpeciesOnShow.h"

#include <QObject>
#include <QWidget>
#include <QTimer>
#include <cfenv>
#include <cmath>
#include <limits>

namespace fl {

int toMilliseconds(float seconds)
{
    const float ms = seconds * 1000.0f;
    if (!std::isfinite(ms)) throw CdError(CdError::Overflow, "Overflow");
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(double(ms));
    std::fesetround(previous);
    if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max())
        throw CdError(CdError::Overflow, "Overflow");
    return int(rounded);
}

CdSongPlayer::CdSongPlayer(Context& ctx, std::unique_ptr<CDAudio> cd)
    : QObject(ctx.main->dialogParent()), m_ctx(ctx), m_cd(std::move(cd)), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("cdSongPlayer"));
    m_timer->setObjectName(QStringLiteral("Timer1"));
    connectGuarded(m_timer, &QTimer::timeout, this, ctx.platform, QStringLiteral("The CD could not be stopped."),
                   [this] { stopSong(); });
    connectGuarded(&ctx.main->species(), &SpeciesOnShow::speciesChanged, this, ctx.platform,
                   QStringLiteral("The CD song of this bird could not be read."), [this](int id) { follow(id); });
}

CdSongPlayer::~CdSongPlayer() = default;

void CdSongPlayer::setDevice(std::unique_ptr<CDAudio> cd) { m_cd = std::move(cd); }

void CdSongPlayer::follow(int id)
{
    if (!m_ctx.state.SongCD) return; // the command stays as the page left it
    CommandRegistry& commands = m_ctx.main->commands();
    if (id <= 0) {
        commands.setEnabled(cmd::mnuFilePlayCD, false);
        return;
    }
    // The row's values are read at once: the set is not kept, so nothing holds the database
    // when it is closed or replaced.
    auto rs = m_ctx.state.db().openRecordset(QStringLiteral("Select * from cdSong where Bird_ID = ?"),
                                             db::RecordsetKind::Dynaset, {id});
    commands.setEnabled(cmd::mnuFilePlayCD, !rs.eof());
    if (rs.eof()) return;
    m_song.track = short(rs.field(QStringLiteral("Track")).toInt());
    m_song.start = rs.field(QStringLiteral("start")).toFloat();
    m_song.duration = rs.field(QStringLiteral("duration")).toFloat();
}

CdSongPlayer& registerCdSongCommands(Context& ctx)
{
    auto cd = std::make_unique<CDAudio>(ctx.platform.cdDevice(), ctx.platform);
    cd->ReadyDevice();
    auto* player = new CdSongPlayer(ctx, std::move(cd));
    ctx.main->commands().setHandler(cmd::mnuFilePlayCD, [player] { player->play(); });
    ctx.main->addExitStep([player] { player->close(); });
    return *player;
}

void CdSongPlayer::close()
{
    m_timer->stop();
    if (!m_cd) return;
    m_cd->StopPlay();
    m_cd->UnloadAll();
}

void CdSongPlayer::play()
{
    try {
        if (!m_cd) throw CdError(CdError::InvalidValue, "The CD device is not ready");
        CDAudio& cd = *m_cd;
        QString length = cd.GetCDLength().left(8);
        // No disc: it may have come since the device was opened (a disc put in the drive, an
        // image copied into the CD folder), so the device is opened again and asked once more.
        if (replyText(length).isEmpty()) {
            cd.ReadyDevice();
            length = cd.GetCDLength().left(8);
        }
        if (length != kSongDiscLength && m_checkDue) {
            const auto answer = m_ctx.platform.messageBox(QStringLiteral("Are you sure the Heronsong CD is in the player?"),
                                                          QStringLiteral("Check CD"), Platform::Buttons::YesNo,
                                                          Platform::Icon::Question);
            if (answer != Platform::Answer::Yes) return;
        }
        short track = m_song.track;
        cd.SeekCDtoX(track);
        std::int32_t start = toMilliseconds(m_song.start);
        cd.FastForward(start);
        const int interval = toMilliseconds(m_song.duration);
        // The timer takes no negative length.
        if (interval < 0) throw CdError(CdError::InvalidValue, "Invalid property value");
        m_timer->setInterval(interval);
        m_timer->start();
        m_ctx.main->focusSpeciesList();
        m_checkDue = false;
    } catch (const CdError& e) {
        m_ctx.platform.messageBox(QStringLiteral("Error playing song. Check CD in player. Error Number ")
                                      + QString::number(e.number()),
                                  QStringLiteral("CD Problem"), Platform::Buttons::Ok, Platform::Icon::None);
    }
}

void CdSongPlayer::stopSong()
{
    m_timer->stop();
    try {
        if (m_cd) m_cd->StopPlay();
    } catch (const std::exception&) {
        // The device keeps no state that a failed stop could spoil; the next play stops first.
    }
}

} // namespace fl
