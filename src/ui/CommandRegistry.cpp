#include "CommandRegistry.h"

#include "Guard.h"

#include <QAction>
#include <QtGlobal>
#include <algorithm>
#include <iterator>

namespace fl {

namespace {

CommandRegistry::MisuseHandler& misuseHandler()
{
    static CommandRegistry::MisuseHandler handler;
    return handler;
}

bool isKnown(CommandId id) { return std::find(std::begin(cmd::kAll), std::end(cmd::kAll), id) != std::end(cmd::kAll); }

} // namespace

CommandRegistry::MisuseHandler CommandRegistry::setMisuseHandler(MisuseHandler handler)
{
    MisuseHandler previous = std::move(misuseHandler());
    misuseHandler() = std::move(handler);
    return previous;
}

void CommandRegistry::misuse(const QString& problem)
{
    if (const MisuseHandler& handler = misuseHandler()) {
        handler(problem);
        return;
    }
    qWarning("Command registry: %s", qUtf8Printable(problem));
    Q_ASSERT_X(false, "CommandRegistry", qUtf8Printable(problem));
}

CommandRegistry::CommandRegistry(Platform& platform, QObject* parent) : QObject(parent), m_platform(platform) {}

CommandRegistry::Entry* CommandRegistry::find(CommandId id, const char* use)
{
    const auto it = m_entries.find(id.name());
    if (it != m_entries.end()) return &*it;
    misuse(QStringLiteral("%1 of the unknown command %2").arg(QString::fromLatin1(use), id.name()));
    return nullptr;
}

const CommandRegistry::Entry* CommandRegistry::find(CommandId id, const char* use) const
{
    return const_cast<CommandRegistry*>(this)->find(id, use);
}

QAction* CommandRegistry::add(CommandId id, const QString& caption, const QKeySequence& shortcut)
{
    const QString name = id.name();
    if (!isKnown(id)) misuse(QStringLiteral("%1 is not a command of the program").arg(name));
    if (m_entries.contains(name)) {
        misuse(QStringLiteral("the command %1 is added twice").arg(name));
        return m_entries[name].action;
    }
    Entry& e = m_entries[name];
    e.action = new QAction(caption, this);
    e.action->setObjectName(name);
    m_order << id;
    // run() tells the user of a failure of the command itself, naming it.
    connectGuarded(e.action, &QAction::triggered, this, m_platform, QStringLiteral("The command could not be run."),
                   [this, id] { run(id); });
    if (!shortcut.isEmpty()) {
        e.action->setShortcut(shortcut);
        e.action->setShortcutContext(Qt::WindowShortcut);
    }
    apply(e);
    return e.action;
}

QAction* CommandRegistry::action(CommandId id) const
{
    const Entry* e = find(id, "the action");
    return e ? e->action : nullptr;
}

void CommandRegistry::setHandler(CommandId id, std::function<void()> handler)
{
    Entry* e = find(id, "a handler");
    if (!e) return;
    if (e->handler) {
        misuse(QStringLiteral("the command %1 is given a second handler").arg(id.name()));
        return;
    }
    e->handler = std::move(handler);
    apply(*e);
}

void CommandRegistry::replaceHandler(CommandId id, std::function<void()> handler)
{
    Entry* e = find(id, "a handler");
    if (!e) return;
    e->handler = std::move(handler);
    apply(*e);
}

bool CommandRegistry::hasHandler(CommandId id) const
{
    const Entry* e = find(id, "the handler");
    return e && bool(e->handler);
}

void CommandRegistry::setEnabled(CommandId id, bool enabled)
{
    Entry* e = find(id, "the state");
    if (!e) return;
    e->wanted = enabled;
    apply(*e);
}

bool CommandRegistry::isEnabled(CommandId id) const
{
    const Entry* e = find(id, "the state");
    return e && e->action->isEnabled();
}

void CommandRegistry::apply(Entry& e) { e.action->setEnabled(e.wanted && bool(e.handler)); }

void CommandRegistry::run(CommandId id)
{
    const Entry* e = find(id, "running");
    if (!e || !e->handler) return;
    // A copy: the handler may replace itself while it runs.
    const std::function<void()> handler = e->handler;
    QString caption = e->action->text();
    caption.remove(u'&');
    m_running.append(id);
    runGuarded(m_platform, QStringLiteral("Featherlog could not complete \"%1\".").arg(caption), handler);
    m_running.removeLast();
}

void CommandRegistry::setToolbarKey(const QString& key, CommandId id)
{
    if (!find(id, "a toolbar key")) return;
    if (m_keys.contains(key)) {
        misuse(QStringLiteral("the toolbar key %1 is given twice").arg(key));
        return;
    }
    m_keyOrder << key;
    m_keys.insert(key, id);
}

std::optional<CommandId> CommandRegistry::commandOfKey(const QString& key) const
{
    const auto it = m_keys.constFind(key);
    if (it == m_keys.constEnd()) return std::nullopt;
    return *it;
}

} // namespace fl
