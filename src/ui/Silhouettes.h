#pragma once

#include <QPixmap>

namespace fl {

// The numbered silhouette pictures of kinds of birds (101 to 180; there is no 107), drawn
// at their own size. An unknown number gives a null picture.
QPixmap silhouette(int number);
// Whether a picture with that number exists.
bool hasSilhouette(int number);

} // namespace fl
