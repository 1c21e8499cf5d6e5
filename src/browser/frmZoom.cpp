#include "frmZoom.h"

#include "ui/ImageList.h"

#include <QLabel>
#include <QScreen>

namespace fl {

frmZoom::frmZoom(const QString& birdName, const QString& title, const QPixmap& picture, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmZoom"));
    setWindowIcon(ImageList1::icon(18));
    setWindowTitle(birdName + QStringLiteral("  (") + title + u')');
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->hide();
    Picture1->setPixmap(picture);
    Picture1->resize(picture.size());
    Picture1->move(0, 0);
    const QSize screen = (parent && parent->screen() ? parent->screen() : QWidget::screen())->size();
    const int w = std::min(picture.width(), screen.width());
    // The frame's title bar is outside the client area here; the extra height keeps the
    // whole picture in view when the window is as tall as the picture allows.
    const int h = std::min(picture.height(), screen.height());
    resize(w, h);
    Picture1->show();
}

} // namespace fl
