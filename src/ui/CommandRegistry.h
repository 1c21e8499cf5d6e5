#pragma once

#include <QHash>
#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;

namespace fl {

class Platform;

// The program's commands, one QAction each, keyed by the name of its menu item
// ("mnuSearchRegion"). The menu item and its toolbar button are the same action, so they
// share their enabled state. A command without a handler stays disabled, whatever it is
// asked, so that nothing on screen looks usable and does nothing. Handlers run through the
// guard: a failure is shown and the window carries on.
class CommandRegistry : public QObject {
    Q_OBJECT
public:
    explicit CommandRegistry(Platform& platform, QObject* parent = nullptr);

    // Creates the action of a command. `caption` is the menu text with its "&" marks.
    QAction* add(const QString& name, const QString& caption, const QKeySequence& shortcut = {});
    // The action of a command; null for a name that was never added.
    QAction* action(const QString& name) const;
    // Every command's name, in the order they were added.
    QStringList names() const { return m_order; }

    void setHandler(const QString& name, std::function<void()> handler);
    bool hasHandler(const QString& name) const;

    // Asks for the command to be enabled or disabled. It is enabled only while it has a handler.
    void setEnabled(const QString& name, bool enabled);
    bool isEnabled(const QString& name) const;

    // Runs a command's handler (through the guard), whether or not it is enabled. An unknown
    // name, or a command without a handler, does nothing.
    void run(const QString& name);
    // The command whose handler is running (the innermost one), empty when none runs: the
    // dialogs it shows belong to it.
    QString running() const { return m_running.isEmpty() ? QString() : m_running.last(); }

    // Toolbar buttons are known by their keys ("Back"); a key names the command it runs.
    void setToolbarKey(const QString& key, const QString& name);
    // The command of a toolbar key, compared exactly; empty for any other key.
    QString commandOfKey(const QString& key) const;
    QStringList toolbarKeys() const { return m_keyOrder; }

private:
    struct Entry {
        QAction* action = nullptr;
        std::function<void()> handler;
        bool wanted = true;
    };
    void apply(Entry& e);

    Platform& m_platform;
    QHash<QString, Entry> m_entries;
    QStringList m_order;
    QHash<QString, QString> m_keys;
    QStringList m_running;
    QStringList m_keyOrder;
};

} // namespace fl
