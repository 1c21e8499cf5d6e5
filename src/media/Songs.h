#pragma once

#include <QString>

namespace fl {

struct Context;

// Connects Play Song, Add New Song and Remove Current Song.
void registerSongCommands(Context& ctx);

// The recorded song of the species on show: a sound file in the folder "Songs" of the
// data folder, named by the species' `song` field.
void mnuFilePlay_Click(Context& ctx);
void mnuFileSong_Click(Context& ctx);
void mnuFileSongDelete_Click(Context& ctx);

// The file that plays for a stored song name.
QString songPath(const QString& dataFolder, const QString& song);

} // namespace fl
