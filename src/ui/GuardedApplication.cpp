#include "GuardedApplication.h"

#include "Guard.h"

#include <cstdio>

namespace fl {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

QString GuardedApplication::escapedFailureText()
{
    return QStringLiteral("Featherlog met an error it did not expect and has carried on. If something looks "
                          "wrong, close Featherlog and start it again; your saved data is safe.");
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportEscaped(std::current_exception());
    }
    return false;
}

void GuardedApplication::reportEscaped(const std::exception_ptr& error) noexcept
{
    QString message;
    try {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            message = userMessage(e).text;
        } catch (...) {
            message = QStringLiteral("An unexpected error occurred.");
        }
        std::fprintf(stderr, "featherlog: an error reached the event loop: %s\n", qUtf8Printable(message));
        // One message box at a time: an error met again while it is up (say, in painting the
        // window behind it) is not shown once more.
        if (m_platform && !m_telling) {
            m_telling = true;
            runGuarded(*m_platform, escapedFailureText(), [&] { std::rethrow_exception(error); });
            m_telling = false;
        }
        if (m_observer) m_observer(message);
    } catch (...) {
        m_telling = false;
        // Nothing more can be told; the program carries on.
    }
}

} // namespace fl
