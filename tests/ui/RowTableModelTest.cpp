#include "ui/RowTableModel.h"

#include <QTableView>
#include <gtest/gtest.h>

using namespace fl;

TEST(RowTableModel, RowsCellsAndPrefixSearch)
{
    RowTableModel m({"ID", "Name", "Status"});
    m.setRows({{1, "Mallard", "C"}, {2, "Wood Duck"}, {3, "wood Thrush", "U"}});
    EXPECT_EQ(m.rowCount(), 3);
    EXPECT_EQ(m.columnCount(), 3);
    EXPECT_EQ(m.data(m.index(0, 1)).toString(), "Mallard");
    EXPECT_FALSE(m.data(m.index(1, 2)).isValid()) << "a short row reads as empty cells";
    EXPECT_EQ(m.headerData(2, Qt::Horizontal).toString(), "Status");

    EXPECT_EQ(m.findPrefix(1, "wood"), 1);
    EXPECT_EQ(m.findPrefix(1, "Wood T"), 2) << "case is ignored";
    EXPECT_EQ(m.findPrefix(1, "wood", 2), 2);
    EXPECT_EQ(m.findPrefix(1, "Teal"), -1);
    EXPECT_EQ(m.findPrefix(1, ""), -1);

    m.setCell(1, 2, "R");
    EXPECT_EQ(m.cell(1, 2).toString(), "R");
    m.removeRowAt(0);
    EXPECT_EQ(m.rowCount(), 2);
    EXPECT_EQ(m.cell(0, 1).toString(), "Wood Duck");
    m.appendRow({4, "Canvasback", "C"});
    EXPECT_EQ(m.cell(2, 0).toInt(), 4);
    m.removeRowAt(7); // out of range: nothing happens
    EXPECT_EQ(m.rowCount(), 3);
}

TEST(RowTableModel, HiddenKeyColumnsAndPictures)
{
    RowTableModel m({"Family", "Fam_ID", "Picture"});
    m.setHiddenColumns({1});
    m.setPictureColumn(2);
    m.setRows({{"Anatidae", 5, {}}, {"Turdidae", 9, {}}});
    QPixmap duck(20, 10);
    duck.fill(Qt::black);
    m.setPicture(0, duck);
    m.setPictureText(0, "Anatidae");
    EXPECT_EQ(m.data(m.index(0, 2), Qt::DecorationRole).value<QPixmap>().size(), QSize(20, 10));
    EXPECT_EQ(m.data(m.index(0, 2), Qt::AccessibleTextRole).toString(), "Anatidae");
    EXPECT_TRUE(m.data(m.index(1, 2), Qt::DecorationRole).value<QPixmap>().isNull());

    QTableView view;
    view.setModel(&m);
    m.applyTo(&view);
    EXPECT_FALSE(view.isColumnHidden(0));
    EXPECT_TRUE(view.isColumnHidden(1));
    EXPECT_FALSE(view.isColumnHidden(2));
    EXPECT_EQ(m.cell(1, 1).toInt(), 9) << "a hidden column still holds its key";
}
