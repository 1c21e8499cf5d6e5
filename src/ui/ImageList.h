#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace fl {

// The program's numbered icon pictures (toolbar buttons, clickable icons, window icons).
namespace ImageList1 {
QIcon icon(int number);
QPixmap pixmap(int number, int size = 32);
} // namespace ImageList1

// Converts twips (1440 to the inch) to pixels at a widget's dots per inch, and back.
int twipsToPixels(int twips, int dpi);
int pixelsToTwips(int pixels, int dpi);

} // namespace fl
