#pragma once

#include "CommandIds.h"

#include <QHash>
#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QAction;

namespace fl {

class Platform;

// The program's commands, one QAction each, under its typed id (CommandIds.h). The menu item
// and its toolbar button are the same action, so they share their enabled state. A command
// without a handler stays disabled, whatever it is asked, so that nothing on screen looks
// usable and does nothing. Handlers run through the guard: a failure is shown and the window
// carries on.
//
// The registry knows only the ids it was given with add(). Using any other id, adding an id
// that is not one of the program's or adding one twice, giving a command a second handler or
// a toolbar key twice is a fault in the program: it is told through the misuse handler, which
// warns (and stops a debug build; the tests make it fail the test), and the first use stands.
class CommandRegistry : public QObject {
    Q_OBJECT
public:
    explicit CommandRegistry(Platform& platform, QObject* parent = nullptr);

    // Creates the action of a command. `caption` is the menu text with its "&" marks.
    QAction* add(CommandId id, const QString& caption, const QKeySequence& shortcut = {});
    // The action of a command; null (and a misuse) for an id that was never added.
    QAction* action(CommandId id) const;
    // Whether the command was added.
    bool contains(CommandId id) const { return m_entries.contains(id.name()); }
    // Every command's id, in the order they were added.
    QList<CommandId> ids() const { return m_order; }

    // Gives a command its handler; a command has one handler.
    void setHandler(CommandId id, std::function<void()> handler);
    // Puts another handler in place of the one the command has (the tests watch commands so).
    void replaceHandler(CommandId id, std::function<void()> handler);
    bool hasHandler(CommandId id) const;

    // Asks for the command to be enabled or disabled. It is enabled only while it has a handler.
    void setEnabled(CommandId id, bool enabled);
    bool isEnabled(CommandId id) const;

    // Runs a command's handler (through the guard), whether or not it is enabled. A command
    // without a handler does nothing.
    void run(CommandId id);
    // The command whose handler is running (the innermost one), nothing when none runs: the
    // dialogs it shows belong to it.
    std::optional<CommandId> running() const
    {
        return m_running.isEmpty() ? std::nullopt : std::optional<CommandId>(m_running.last());
    }

    // Toolbar buttons are known by their keys ("Back"); a key names the command it runs.
    void setToolbarKey(const QString& key, CommandId id);
    // The command of a toolbar key, compared exactly; nothing for any other key.
    std::optional<CommandId> commandOfKey(const QString& key) const;
    QStringList toolbarKeys() const { return m_keyOrder; }

    // What is done with a misuse: by default a warning, and a stop in a debug build.
    using MisuseHandler = std::function<void(const QString& problem)>;
    // Sets the handler for every registry; returns the one it replaces. An empty one restores
    // the default.
    static MisuseHandler setMisuseHandler(MisuseHandler handler);

private:
    struct Entry {
        QAction* action = nullptr;
        std::function<void()> handler;
        bool wanted = true;
    };
    void apply(Entry& e);
    Entry* find(CommandId id, const char* use);
    const Entry* find(CommandId id, const char* use) const;
    static void misuse(const QString& problem);

    Platform& m_platform;
    QHash<QString, Entry> m_entries;
    QList<CommandId> m_order;
    QHash<QString, CommandId> m_keys;
    QList<CommandId> m_running;
    QStringList m_keyOrder;
};

} // namespace fl
