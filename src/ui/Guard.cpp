#include "Guard.h"

#include "platform/Platform.h"

#include <exception>

namespace fl {

namespace {

void report(Platform& platform, const QString& what, const QString& message) noexcept
{
    try {
        QString text = what;
        if (!message.isEmpty()) text += (text.isEmpty() ? QString() : QStringLiteral("\n\n")) + message;
        platform.messageBox(text, QStringLiteral("Featherlog"), Platform::Buttons::Ok, Platform::Icon::Exclamation);
    } catch (...) {
        // Nothing more can be shown; the window carries on.
    }
}

} // namespace

bool runGuarded(Platform& platform, const QString& what, const std::function<void()>& action) noexcept
{
    try {
        action();
        return true;
    } catch (const std::exception& e) {
        report(platform, what, QString::fromUtf8(e.what()));
    } catch (...) {
        report(platform, what, QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

} // namespace fl
