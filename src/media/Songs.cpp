#include "Songs.h"

#include "state/AppFolder.h"
#include "state/AppState.h"
#include "platform/Platform.h"
#include "ui/CommandRegistry.h"
#include "ui/Context.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QFileInfo>

namespace fl {

namespace {

void showSongCommands(MainWindow& w, bool hasSong)
{
    CommandRegistry& c = w.commands();
    c.setEnabled(QStringLiteral("mnuFilePlay"), hasSong);
    c.setEnabled(QStringLiteral("mnuFileSong"), !hasSong);
    c.setEnabled(QStringLiteral("mnuFileSongDelete"), hasSong);
}

} // namespace

QString songPath(const QString& dataFolder, const QString& song)
{
    return resolvePath(dataFolder, QStringLiteral("songs/") + song);
}

void mnuFilePlay_Click(Context& ctx)
{
    AppState& s = ctx.state;
    const QString song = s.rsBird.field(QStringLiteral("song")).toString();
    ctx.platform.playSound(songPath(s.dataFolder, song));
    if (ctx.main) ctx.main->focusSpeciesList();
}

void mnuFileSong_Click(Context& ctx)
{
    AppState& s = ctx.state;
    try {
        const QString folder = resolvePath(s.dataFolder, QStringLiteral("Songs"));
        const QString chosen = ctx.platform.openFileDialog(QStringLiteral("Link a Song File"), folder,
                                                           QStringLiteral("Wave Files(*.wav)|*.wav|All Files(*.*)|*.*"));
        if (chosen.isNull()) return; // cancelled
        if (chosen.isEmpty()) {
            ctx.platform.messageBox(QStringLiteral("You must select a File to Link."), QStringLiteral("Missing File Name"),
                                    Platform::Buttons::Ok, Platform::Icon::Exclamation);
            return;
        }
        const QString name = QFileInfo(chosen).fileName();
        const QString expectedPath = joinPath(joinPath(s.dataFolder, QStringLiteral("Songs")), name);
        if (QDir::cleanPath(QDir::fromNativeSeparators(chosen)).toUpper() != QDir::cleanPath(expectedPath).toUpper()) {
            ctx.platform.messageBox(
                QStringLiteral("The Song file must come from the Songs folder in the main application."),
                QStringLiteral("Wrong Folder"), Platform::Buttons::Ok, Platform::Icon::Exclamation);
            return;
        }
        s.rsBird.edit();
        s.rsBird.setField(QStringLiteral("song"), name);
        s.rsBird.update();
        s.rsBird.setBookmark(s.rsBird.lastModified());
        if (ctx.main) showSongCommands(*ctx.main, true);
    } catch (const std::exception&) {
        // A failure ends the command where it happened, without a message; an edit begun
        // on the species' row is dropped.
        if (s.rsBird.isOpen()) s.rsBird.cancelUpdate();
    }
}

void mnuFileSongDelete_Click(Context& ctx)
{
    AppState& s = ctx.state;
    const QString song = s.rsBird.field(QStringLiteral("song")).toString();
    const auto answer = ctx.platform.messageBox(QStringLiteral("Do you really want to remove the song file ") + song
                                                    + QStringLiteral(" from the database?"),
                                                QStringLiteral("Remove Song"), Platform::Buttons::YesNo,
                                                Platform::Icon::Question);
    if (answer != Platform::Answer::Yes) return;
    s.rsBird.edit();
    s.rsBird.setField(QStringLiteral("song"), QStringLiteral(""));
    s.rsBird.update();
    if (ctx.main) showSongCommands(*ctx.main, false);
}

} // namespace fl

namespace fl {

void registerSongCommands(Context& ctx)
{
    CommandRegistry& c = ctx.main->commands();
    c.setHandler(QStringLiteral("mnuFilePlay"), [&ctx] { mnuFilePlay_Click(ctx); });
    c.setHandler(QStringLiteral("mnuFileSong"), [&ctx] { mnuFileSong_Click(ctx); });
    c.setHandler(QStringLiteral("mnuFileSongDelete"), [&ctx] { mnuFileSongDelete_Click(ctx); });
}

} // namespace fl
