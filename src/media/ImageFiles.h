#pragma once

#include <QString>

namespace fl {

// Whether `path` names a file that lies directly in `folder`; the folders are compared
// ignoring letter case ("Images" and "IMAGES" are the same folder).
bool liesDirectlyIn(const QString& path, const QString& folder);

// Whether `path` is a file whose content is a picture the program can show.
bool isPictureFile(const QString& path);

// Copies `source` into `folder` (created when missing) and returns the copy's file name:
// the source's own name, or, when that name is taken in any letter case, the name with a
// number added ("robin-1.jpg"). An existing file is never overwritten. Throws when the copy
// cannot be made.
QString copyUnderFreeName(const QString& source, const QString& folder);

} // namespace fl
