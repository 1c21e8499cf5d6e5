#include "SmallIcons.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The pictures are compiled into this static library, which has to register them itself.
static void initSmallIconResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(smallicons);
        return true;
    }();
    (void)done;
}

namespace fl {

QIcon imlSmallIcons(const QString& key)
{
    static QHash<QString, QIcon> drawn;
    const auto known = drawn.constFind(key);
    if (known != drawn.constEnd()) return *known;
    initSmallIconResources();
    const QString path = QStringLiteral(":/smallicons/%1.svg").arg(key);
    if (!QFile::exists(path)) return {};
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) return {};
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        renderer.render(&p);
        p.end();
        icon.addPixmap(pm);
    }
    drawn.insert(key, icon);
    return icon;
}

} // namespace fl
