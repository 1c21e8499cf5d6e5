#pragma once

#include <QString>

namespace fl {

// `folder` + "/" + `name`, where each part of `name` that already exists on disk in another
// letter case ("Images" for "images") is given its spelling on disk. A part that does not
// exist keeps the spelling asked for.
QString resolvePath(const QString& folder, const QString& name);

// Plain join of a folder and a relative name.
QString joinPath(const QString& folder, const QString& name);

} // namespace fl
