#pragma once

#include <QString>

namespace fl::info {

// The texts of the about, credits and splash windows, kept in one place.
QString productName();
// The version of this build, as the build system gives it.
QString version();
// "Version 0.1"
QString versionLine();
// The copyright line and the licence it is given under (the LICENSE file of the sources).
QString copyrightLine();
QString licenceNotice();
// Where users reach the people who make the program.
QString contactLine();
// Where this copy keeps the user's data.
QString dataFolderLine(const QString& folder);

// The credits, one paragraph each.
QString creditsThanks();
QString creditsTaxonomy();
QString creditsTexts();
QString creditsCodes();
QString creditsMedia();

} // namespace fl::info
