#include "Guard.h"

#include "db/ErrorText.h"
#include "platform/Platform.h"
#include "records/Backup.h"

#include <exception>

namespace fl {

namespace {

void report(Platform& platform, const QString& what, const UserMessage& message) noexcept
{
    try {
        QString text = what;
        if (!message.text.isEmpty()) text += (text.isEmpty() ? QString() : QStringLiteral("\n\n")) + message.text;
        platform.detailedMessageBox(text, message.details, QStringLiteral("Featherlog"), Platform::Buttons::Ok,
                                    Platform::Icon::Exclamation);
    } catch (...) {
        // Nothing more can be shown; the window carries on.
    }
}

} // namespace

UserMessage userMessage(const std::exception& e)
{
    if (const auto* d = dynamic_cast<const db::DbError*>(&e)) {
        const QString plain = db::plainDatabaseError(*d);
        if (!plain.isEmpty()) return {plain, d->message()};
        return {d->message(), {}};
    }
    if (const auto* b = dynamic_cast<const BackupError*>(&e)) return {b->message(), b->details()};
    return {QString::fromUtf8(e.what()), {}};
}

bool runGuarded(Platform& platform, const QString& what, const std::function<void()>& action) noexcept
{
    try {
        action();
        return true;
    } catch (const std::exception& e) {
        UserMessage m;
        try {
            m = userMessage(e);
        } catch (...) {
            m.text = QStringLiteral("An unexpected error occurred.");
        }
        report(platform, what, m);
    } catch (...) {
        report(platform, what, {QStringLiteral("An unexpected error occurred."), {}});
    }
    return false;
}

} // namespace fl
