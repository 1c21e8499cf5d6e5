#include "CdSongs.h"

#include "CDAudio.h"
#include "CdError.h"
#include "platform/Platform.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"

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

namespace {

// The CD audio object of the run: readied when the program starts, closed at exit. It lives
// beside the main window, which knows nothing of the device.
class CdHolder : public QObject {
public:
    explicit CdHolder(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("cd")); }
    std::unique_ptr<CDAudio> cd;
};

CdHolder* holderOf(Context& ctx)
{
    return ctx.main->dialogParent()->findChild<CdHolder*>(QStringLiteral("cd"), Qt::FindDirectChildrenOnly);
}

} // namespace

CDAudio* cdAudio(Context& ctx)
{
    CdHolder* h = holderOf(ctx);
    return h ? h->cd.get() : nullptr;
}

void setCdAudio(Context& ctx, std::unique_ptr<CDAudio> cd)
{
    CdHolder* h = holderOf(ctx);
    if (!h) h = new CdHolder(ctx.main->dialogParent());
    h->cd = std::move(cd);
}

void registerCdSongCommands(Context& ctx)
{
    auto cd = std::make_unique<CDAudio>(ctx.platform.cdDevice(), ctx.platform);
    cd->ReadyDevice();
    setCdAudio(ctx, std::move(cd));
    ctx.main->commands().setHandler(QStringLiteral("mnuFilePlayCD"), [&ctx] { mnuFilePlayCD_Click(ctx); });
    connectGuarded(ctx.main->cdTimer(), &QTimer::timeout, ctx.main->dialogParent(),
                   ctx.platform, QStringLiteral("The CD could not be stopped."),
                   [&ctx] { Timer1_Timer(ctx); });
    ctx.main->addExitStep([&ctx] {
        if (CDAudio* device = cdAudio(ctx)) {
            device->StopPlay();
            device->UnloadAll();
        }
    });
}

void mnuFilePlayCD_Click(Context& ctx)
{
    MainWindow& w = *ctx.main;
    try {
        CDAudio* device = cdAudio(ctx);
        if (!device) throw CdError(CdError::InvalidValue, "The CD device is not ready");
        CDAudio& cd = *device;
        const MainWindow::CdSong song = w.cdSongOnShow();
        QString length = cd.GetCDLength().left(8);
        // No disc: it may have come since the device was opened (a disc put in the drive, an
        // image copied into the CD folder), so the device is opened again and asked once more.
        if (replyText(length).isEmpty()) {
            cd.ReadyDevice();
            length = cd.GetCDLength().left(8);
        }
        if (length != kSongDiscLength && w.cdCheckDue()) {
            const auto answer = ctx.platform.messageBox(QStringLiteral("Are you sure the Heronsong CD is in the player?"),
                                                        QStringLiteral("Check CD"), Platform::Buttons::YesNo,
                                                        Platform::Icon::Question);
            if (answer != Platform::Answer::Yes) return;
        }
        short track = song.track;
        cd.SeekCDtoX(track);
        std::int32_t start = toMilliseconds(song.start);
        cd.FastForward(start);
        const int interval = toMilliseconds(song.duration);
        // The timer takes no negative length.
        if (interval < 0) throw CdError(CdError::InvalidValue, "Invalid property value");
        w.cdTimer()->setInterval(interval);
        w.cdTimer()->start();
        w.focusSpeciesList();
        w.setCdCheckDue(false);
    } catch (const CdError& e) {
        ctx.platform.messageBox(QStringLiteral("Error playing song. Check CD in player. Error Number ")
                                    + QString::number(e.number()),
                                QStringLiteral("CD Problem"), Platform::Buttons::Ok, Platform::Icon::None);
    }
}

void Timer1_Timer(Context& ctx)
{
    ctx.main->cdTimer()->stop();
    try {
        if (CDAudio* cd = cdAudio(ctx)) cd->StopPlay();
    } catch (const std::exception&) {
        // The device keeps no state that a failed stop could spoil; the next play stops first.
    }
}

} // namespace fl
