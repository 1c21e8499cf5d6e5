#include "Silhouettes.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

static void initSilhouetteResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(silhouettes);
        return true;
    }();
    (void)done;
}

namespace fl {

namespace {
QString pathOf(int number) { return QStringLiteral(":/silhouettes/%1.svg").arg(number); }
} // namespace

bool hasSilhouette(int number)
{
    initSilhouetteResources();
    return QFile::exists(pathOf(number));
}

QPixmap silhouette(int number)
{
    if (!hasSilhouette(number)) return {};
    QSvgRenderer renderer(pathOf(number));
    if (!renderer.isValid()) return {};
    QPixmap pm(renderer.defaultSize());
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    renderer.render(&p);
    return pm;
}

} // namespace fl
