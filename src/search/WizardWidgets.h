#pragma once

#include "ui/RowTableModel.h"

#include <QFrame>
#include <QPixmap>
#include <QTableView>
#include <functional>

namespace fl {

// A picture of a kind of bird that can take the keyboard focus (by click or Tab); it shows
// a single border while it is the chosen one.
class BirdTypePicture : public QFrame {
    Q_OBJECT
public:
    explicit BirdTypePicture(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return m_picture; }
    void setBorder(bool on);
    bool hasBorder() const { return frameShape() == QFrame::Box; }

    std::function<void()> onFocus;
    std::function<void()> onDoubleClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    QSize sizeHint() const override;

private:
    QPixmap m_picture;
};

// The families grid: its columns are aligned as their headers say, and the descriptions wrap.
class FamilyGridModel : public RowTableModel {
    Q_OBJECT
public:
    explicit FamilyGridModel(QObject* parent = nullptr);
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
};

// The families grid view: the arrow keys move the row and choose it, Space chooses the row the
// keyboard is on, Enter shows the species of the chosen row.
class FamilyGrid : public QTableView {
    Q_OBJECT
public:
    explicit FamilyGrid(QWidget* parent = nullptr);

    std::function<void()> onRowChosen; // by the keyboard
    std::function<void()> onEnter;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace fl
