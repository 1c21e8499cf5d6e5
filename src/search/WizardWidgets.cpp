#include "WizardWidgets.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

namespace fl {

BirdTypePicture::BirdTypePicture(QWidget* parent) : QFrame(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void BirdTypePicture::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    updateGeometry();
    update();
}

void BirdTypePicture::setBorder(bool on) { setFrameShape(on ? QFrame::Box : QFrame::NoFrame); }

QSize BirdTypePicture::sizeHint() const { return QSize(110, 105); }

void BirdTypePicture::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_picture.isNull()) return;
    const QRect area = contentsRect().adjusted(2, 2, -2, -2);
    const QPixmap shown = m_picture.size().width() > area.width() || m_picture.size().height() > area.height()
        ? m_picture.scaled(area.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)
        : m_picture;
    QPainter p(this);
    p.drawPixmap(area.x() + (area.width() - shown.width()) / 2, area.y() + (area.height() - shown.height()) / 2, shown);
}

void BirdTypePicture::focusInEvent(QFocusEvent* event)
{
    QFrame::focusInEvent(event);
    if (onFocus) onFocus();
}

void BirdTypePicture::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (onDoubleClick) onDoubleClick();
}

FamilyGridModel::FamilyGridModel(QObject* parent)
    : RowTableModel({QStringLiteral("    "), QStringLiteral("Sub_ID "), QStringLiteral("Fam_ID"), QStringLiteral("Name  "),
                     QStringLiteral("Image "), QStringLiteral("Description")},
                    parent)
{
    setHiddenColumns({0, 1, 2});
    setPictureColumn(4);
}

namespace {
// "^" centres a column, "<" aligns it left.
Qt::Alignment alignmentOf(int column)
{
    switch (column) {
    case 1:
    case 3:
    case 5: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}
} // namespace

QVariant FamilyGridModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::TextAlignmentRole && index.isValid()) return QVariant::fromValue(alignmentOf(index.column()));
    return RowTableModel::data(index, role);
}

QVariant FamilyGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal)
        return QVariant::fromValue(alignmentOf(section));
    return RowTableModel::headerData(section, orientation, role);
}

FamilyGrid::FamilyGrid(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(true);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
}

void FamilyGrid::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        if (currentIndex().isValid() && onEnter) onEnter();
        return;
    case Qt::Key_Space:
        event->accept();
        if (currentIndex().isValid() && onRowChosen) onRowChosen();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End: {
        const int before = currentIndex().row();
        QTableView::keyPressEvent(event);
        if (currentIndex().isValid() && currentIndex().row() != before && onRowChosen) onRowChosen();
        return;
    }
    default: QTableView::keyPressEvent(event);
    }
}

} // namespace fl
