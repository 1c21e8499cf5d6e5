#include "CommandRegistry.h"

#include "Guard.h"

#include <QAction>

namespace fl {

CommandRegistry::CommandRegistry(Platform& platform, QObject* parent) : QObject(parent), m_platform(platform) {}

QAction* CommandRegistry::add(const QString& name, const QString& caption, const QKeySequence& shortcut)
{
    Entry& e = m_entries[name];
    if (!e.action) {
        e.action = new QAction(caption, this);
        e.action->setObjectName(name);
        m_order << name;
        // run() tells the user of a failure of the command itself, naming it.
        connectGuarded(e.action, &QAction::triggered, this, m_platform,
                       QStringLiteral("The command could not be run."), [this, name] { run(name); });
    }
    e.action->setText(caption);
    if (!shortcut.isEmpty()) {
        e.action->setShortcut(shortcut);
        e.action->setShortcutContext(Qt::WindowShortcut);
    }
    apply(e);
    return e.action;
}

QAction* CommandRegistry::action(const QString& name) const
{
    const auto it = m_entries.constFind(name);
    return it == m_entries.constEnd() ? nullptr : it->action;
}

void CommandRegistry::setHandler(const QString& name, std::function<void()> handler)
{
    const auto it = m_entries.find(name);
    if (it == m_entries.end()) return;
    it->handler = std::move(handler);
    apply(*it);
}

bool CommandRegistry::hasHandler(const QString& name) const
{
    const auto it = m_entries.constFind(name);
    return it != m_entries.constEnd() && bool(it->handler);
}

void CommandRegistry::setEnabled(const QString& name, bool enabled)
{
    const auto it = m_entries.find(name);
    if (it == m_entries.end()) return;
    it->wanted = enabled;
    apply(*it);
}

bool CommandRegistry::isEnabled(const QString& name) const
{
    const QAction* a = action(name);
    return a && a->isEnabled();
}

void CommandRegistry::apply(Entry& e) { e.action->setEnabled(e.wanted && bool(e.handler)); }

void CommandRegistry::run(const QString& name)
{
    const auto it = m_entries.constFind(name);
    if (it == m_entries.constEnd() || !it->handler) return;
    // A copy: the handler may replace itself while it runs.
    const std::function<void()> handler = it->handler;
    QString caption = it->action->text();
    caption.remove(u'&');
    m_running.append(name);
    runGuarded(m_platform, QStringLiteral("Featherlog could not complete \"%1\".").arg(caption), handler);
    m_running.removeLast();
}

void CommandRegistry::setToolbarKey(const QString& key, const QString& name)
{
    if (!m_keys.contains(key)) m_keyOrder << key;
    m_keys.insert(key, name);
}

QString CommandRegistry::commandOfKey(const QString& key) const { return m_keys.value(key); }

} // namespace fl
