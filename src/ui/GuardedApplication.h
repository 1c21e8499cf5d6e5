#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>
#include <utility>

namespace fl {

class Platform;

// The program's application object, and the last line of defence of the guard. Every path
// from a signal, a timer or a menu into our code goes through the guard (Guard.h); should an
// exception escape an event handler all the same, it is caught here, on its way into Qt's
// event loop: the user is told (once at a time), the standard error output gets a line, and
// the program carries on rather than ending with the user's work.
class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv);

    // The platform that tells the user; none (the default) leaves only the line on the
    // standard error output. It must outlive its use here: set it back to none before it goes.
    void setPlatform(Platform* platform) { m_platform = platform; }
    // Called with the message of each failure that escaped, after it was told (the tests
    // count them, and fail a test in which one escaped).
    // Returns the observer it replaces.
    std::function<void(const QString& message)> setObserver(std::function<void(const QString& message)> observer)
    {
        return std::exchange(m_observer, std::move(observer));
    }

    bool notify(QObject* receiver, QEvent* event) override;

    // What the user is told, above the error's own message.
    static QString escapedFailureText();

private:
    void reportEscaped(const std::exception_ptr& error) noexcept;

    Platform* m_platform = nullptr;
    std::function<void(const QString&)> m_observer;
    bool m_telling = false;
};

} // namespace fl
