#include "HelpKey.h"

#include "HelpBook.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace fl {

HelpKey::HelpKey(Platform& platform, RunningCommand runningCommand, QObject* parent)
    : QObject(parent), m_platform(platform), m_runningCommand(std::move(runningCommand))
{
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return false;
    // The key event passes up through the parents of the focus widget; the first one ends it.
    try {
        const QString command = m_runningCommand ? m_runningCommand() : QString();
        m_platform.showHelp(help::topicForWindow(widget->window()->objectName(), command));
    } catch (...) {
        // Nothing may leave an event handler; a help window that cannot open shows nothing.
    }
    return true;
}

HelpKey* installHelpKey(Platform& platform, HelpKey::RunningCommand runningCommand)
{
    auto* filter = new HelpKey(platform, std::move(runningCommand), qApp);
    qApp->installEventFilter(filter);
    return filter;
}

} // namespace fl
