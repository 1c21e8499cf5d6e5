#pragma once

#include "state/AppState.h"
#include "state/Startup.h"
#include "TestDatabase.h"
#include "browser/frmDisplay.h"
#include "platform/ScriptedPlatform.h"
#include "app/Wiring.h"
#include "ui/Context.h"

#include <QComboBox>
#include <QLabel>
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

    QStringList names() const
    {
        QStringList list;
        for (int i = 0; i < w->cmbNames->count(); ++i) list << w->cmbNames->itemText(i);
        return list;
    }
    QString shown() const { return w->lblName[0]->text(); }
    QString panel(const char* key) const { return w->panelText(QString::fromLatin1(key)); }
    db::Database& db() { return state.db(); }
    QVariant scalar(const QString& sql, const QVariantList& params = {}) { return db().scalar(sql, params); }
    void run(const char* item) { w->runCommand(QString::fromLatin1(item)); }
    // Gives the commands that no window handles yet a handler that does nothing, so that a
    // test can see the states the main window asks for them (a command without a handler
    // stays disabled).
    void stubCommands(std::initializer_list<const char*> items)
    {
        for (const char* item : items)
            if (!w->commands().hasHandler(QString::fromLatin1(item))) w->setCommand(QString::fromLatin1(item), [] {});
    }
    bool enabled(const char* item) const { return w->menuItem(QString::fromLatin1(item))->isEnabled(); }
    bool buttonEnabled(const char* key) const { return w->toolButton(QString::fromLatin1(key))->isEnabled(); }
    QStringList messageTexts() const
    {
        QStringList t;
        for (const auto& m : platform.messages) t << m.text;
        return t;
    }
};

} // namespace fl::test
