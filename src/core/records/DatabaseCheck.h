#pragma once

#include <QDateTime>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>

namespace fl {

struct AppState;

// A backup that passed its check.
struct GoodBackup {
    QString path;
    QDateTime written; // when the file was last written
};

// The newest backup in the Backups folder of `dataFolder` that opens and passes the quick
// check: the automatic backups, the copies kept before a restore and those made by hand,
// newest first by the time the file was written. Nothing when there is none; gives up when
// `stop` turns true.
std::optional<GoodBackup> newestGoodBackup(const QString& dataFolder, const std::atomic<bool>* stop = nullptr);

// What the check of the database found.
struct DamageFinding {
    QString report;                  // the engine's report
    std::optional<GoodBackup> backup; // the newest good backup, if there is one
};

// Checks the open database of `state` on a thread of its own (the quick check), and when it
// is damaged, looks for the newest good backup too; then calls `found` on the application's
// main thread, through its event loop (not at all for a sound database, or when the database
// was closed before the check ended). `found` runs straight from the event loop, so it must
// let nothing escape (the windows give one that reports through the guard).
void startDamageCheck(AppState& state, std::function<void(const DamageFinding&)> found);

} // namespace fl
