#pragma once

#include <QObject>
#include <QString>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace fl {

class Platform;

// A failure as the user is told of it: plain sentences, and the details (the engine's own
// report, the statement it concerns) behind the message box's details button.
struct UserMessage {
    QString text;
    QString details;
};
// A database failure in plain words with what to do (a damaged file, a full disk ...), a
// backup's failure with its details, anything else by its own message.
UserMessage userMessage(const std::exception& e);

// Runs `action`; when it fails, shows `what` (a plain sentence naming what could not be
// done) followed by the error's message (see userMessage()), and returns false. Nothing escapes it, so the
// window that called it stays usable. Every path from a widget signal, a timer or a menu
// into the program goes through here.
bool runGuarded(Platform& platform, const QString& what, const std::function<void()>& action) noexcept;

// A slot for connect() that runs `f` through the guard. `f` takes the signal's arguments,
// or none.
template <class F>
auto guarded(Platform& platform, QString what, F f)
{
    return [&platform, what = std::move(what), f = std::move(f)](auto&&... args) {
        runGuarded(platform, what, [&] {
            if constexpr (std::is_invocable_v<const F&, decltype(args)...>) f(std::forward<decltype(args)>(args)...);
            else f();
        });
    };
}

// Connects `signal` of `sender` to `f` through the guard: `f` (taking the signal's arguments,
// or none) runs while `context` lives, and when it fails the user is shown `what` and the
// error, and nothing escapes into Qt. This is how a signal reaches our code; scripts/check-guards
// fails the tests on a connection that calls anything else but a Qt slot.
template <class Sender, class Signal, class F>
QMetaObject::Connection connectGuarded(const Sender* sender, Signal signal, const QObject* context,
                                       Platform& platform, QString what, F f,
                                       Qt::ConnectionType type = Qt::AutoConnection)
{
    return QObject::connect(sender, signal, context, guarded(platform, std::move(what), std::move(f)), type);
}

} // namespace fl
