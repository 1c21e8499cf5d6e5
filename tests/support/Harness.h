#pragma once

#include "state/AppState.h"
#include "state/Startup.h"
#include "MainWindowPage.h"
#include "TestDatabase.h"
#include "browser/frmDisplay.h"
#include "platform/ScriptedPlatform.h"
#include "app/Wiring.h"
#include "ui/Context.h"

#include <functional>
#include <initializer_list>
#include <memory>

namespace fl::test {

// The program as it runs, on a test folder and a scripted platform.
struct Harness {
    TestFolder folder;
    AppState state;
    ScriptedPlatform platform;
    Context ctx{state, platform, nullptr};
    std::unique_ptr<frmDisplay> w;

    // `prepare` runs on the database before the program opens it; `vfs` names the engine file
    // layer the program opens it through (FaultVfs::name() to make writes fail on demand).
    explicit Harness(const std::function<void(TestFolder&)>& prepare = {}, const QString& vfs = {})
    {
        if (prepare) prepare(folder);
        state.dataFolder = folder.path();
        state.shareFolder = folder.path();
        openAndLoadOptions(state, vfs);
        w = createMainWindow(ctx);
        w->Form_Load();
    }
    ~Harness()
    {
        if (w) w->close();
    }

    // The main window's parts.
    MainWindowPage page() const { return MainWindowPage(w.get()); }
    QStringList names() const { return page().names(); }
    QString shown() const { return page().birdName(); }
    QString panel(const char* key) const { return w->panelText(QString::fromLatin1(key)); }
    db::Database& db() { return state.db(); }
    QVariant scalar(const QString& sql, const QVariantList& params = {}) { return db().scalar(sql, params); }
    void run(CommandId item) { w->runCommand(item); }
    // Gives the commands that no window handles a handler that does nothing, so that a test
    // can see the states the main window asks for them (a command without a handler stays
    // disabled).
    void stubCommands(std::initializer_list<CommandId> items)
    {
        for (CommandId item : items)
            if (!w->commands().hasHandler(item)) w->commands().setHandler(item, [] {});
    }
    // Puts `handler` in place of the command's own handler.
    void watchCommand(CommandId item, std::function<void()> handler)
    {
        w->commands().replaceHandler(item, std::move(handler));
    }
    bool enabled(CommandId item) const { return w->menuItem(item)->isEnabled(); }
    bool buttonEnabled(const char* key) const { return w->toolButton(QString::fromLatin1(key))->isEnabled(); }
    QStringList messageTexts() const
    {
        QStringList t;
        for (const auto& m : platform.messages) t << m.text;
        return t;
    }
};

} // namespace fl::test
