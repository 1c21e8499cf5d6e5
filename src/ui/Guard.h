#pragma once

#include <QString>
#include <functional>
#include <type_traits>
#include <utility>

namespace fl {

class Platform;

// Runs `action`; when it fails, shows `what` (a plain sentence naming what could not be
// done) followed by the error's own message, and returns false. Nothing escapes it, so the
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

} // namespace fl
