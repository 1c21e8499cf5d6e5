#include "ImageList.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

// The icon pictures are compiled into the windows library; a static library has to
// register its resources itself.
static void initIconResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)done;
}

namespace fl {

namespace ImageList1 {

QPixmap pixmap(int number, int size)
{
    initIconResources();
    const QString path = QStringLiteral(":/icons/%1.svg").arg(number);
    if (!QFile::exists(path)) return {};
    QSvgRenderer renderer(path);
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    renderer.render(&p);
    return pm;
}

QIcon icon(int number)
{
    // Drawn once: the bird page sets the same few icons for every species.
    static QHash<int, QIcon> drawn;
    const auto known = drawn.constFind(number);
    if (known != drawn.constEnd()) return *known;
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        const QPixmap pm = pixmap(number, size);
        if (pm.isNull()) return {};
        icon.addPixmap(pm);
    }
    drawn.insert(number, icon);
    return icon;
}

} // namespace ImageList1

int twipsToPixels(int twips, int dpi) { return int(std::lround(double(twips) * dpi / 1440.0)); }
int pixelsToTwips(int pixels, int dpi) { return int(std::lround(double(pixels) * 1440.0 / dpi)); }

} // namespace fl
