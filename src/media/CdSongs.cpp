#include "CdSongs.h"

#include "CDAudio.h"
#include "CdError.h"
#include "browser/frmDisplay.h"
#include "platform/Platform.h"
#include "ui/Context.h"

#include <QComboBox>
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

void mnuFilePlayCD_Click(Context& ctx)
{
    frmDisplay& w = *ctx.main;
    try {
        if (!w.cd) throw CdError(CdError::InvalidValue, "The CD device is not ready");
        CDAudio& cd = *w.cd;
        const QString length = cd.GetCDLength().left(8);
        if (length != kSongDiscLength && w.checkCD) {
            const auto answer = ctx.platform.messageBox(QStringLiteral("Are you sure the Heronsong CD is in the player?"),
                                                        QStringLiteral("Check CD"), Platform::Buttons::YesNo,
                                                        Platform::Icon::Question);
            if (answer != Platform::Answer::Yes) return;
        }
        short track = w.cdTrack;
        cd.SeekCDtoX(track);
        std::int32_t start = toMilliseconds(w.cdStart);
        cd.FastForward(start);
        const int interval = toMilliseconds(w.cdDuration);
        // The timer takes no negative length.
        if (interval < 0) throw CdError(CdError::InvalidValue, "Invalid property value");
        w.Timer1->setInterval(interval);
        w.Timer1->start();
        w.cmbNames->setFocus();
        w.checkCD = false;
    } catch (const CdError& e) {
        ctx.platform.messageBox(QStringLiteral("Error playing song. Check CD in player. Error Number ")
                                    + QString::number(e.number()),
                                QStringLiteral("CD Problem"), Platform::Buttons::Ok, Platform::Icon::None);
    }
}

void Timer1_Timer(Context& ctx)
{
    frmDisplay& w = *ctx.main;
    w.Timer1->stop();
    try {
        if (w.cd) w.cd->StopPlay();
    } catch (const std::exception&) {
        // The device keeps no state that a failed stop could spoil; the next play stops first.
    }
}

} // namespace fl
