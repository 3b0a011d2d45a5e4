// Editing a table on the Qt face: a double click or F2 opens a cell, Enter commits
// it as the runtime's cell edit, an indicator column stays closed, a drag selects a
// rectangle and a right click opens the control's own menu.
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include "ui/model.h"
#include "ui/qt/qt_test_support.h"

namespace {

using qt_test::Entry;
using qt_test::Log;

class TableEdit : public qt_test::QtFaceTest {
 protected:
  void SetUp() override {
    QtFaceTest::SetUp();
    panel = NewPanel(0, "TEACH", 50, 50, 300, 360);
    table = NewCtrlWithId(panel, 2, CTRL_TABLE, "TEACH TABLE", 20, 10, 250, 330);
    SetTableSize(panel, table, 6, 3);
    SetTableColumnAttribute(panel, table, 3, ATTR_CELL_TYPE, VAL_CELL_STRING);
    SetTableColumnAttribute(panel, table, 3, ATTR_CTRL_MODE, VAL_INDICATOR);
    for (int col = 1; col <= 2; ++col) {
      SetTableColumnAttribute(panel, table, col, ATTR_MIN_VALUE, 0.0);
      SetTableColumnAttribute(panel, table, col, ATTR_MAX_VALUE, 65535.0);
    }
    SetCtrlCallback(panel, table, qt_test::LogCtrl, nullptr);
    DisplayPanel(panel);
    Show();
    ui::qt::PanelWidgetOf(panel)->activateWindow();
    Settle();
    view = dynamic_cast<QTableView*>(ui::qt::ControlWidget(panel, table));
    ASSERT_NE(view, nullptr);
  }
  QPoint Centre(int row, int column) { return view->visualRect(view->model()->index(row, column)).center(); }
  // What the window system sends for a double click: press, release, double click, release
  // (QTest::mouseDClick alone sends only the third).
  void DoubleClickCell(int row, int column) {
    const QPoint at = Centre(row, column);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
  }
  QLineEdit* Editor() { return view->viewport()->findChild<QLineEdit*>(); }
  double Cell(int row, int column) {
    double v = -1;
    GetTableCellVal(panel, table, {row, column}, &v);
    return v;
  }
  // Types into the open editor and commits with Enter.
  void TypeAndEnter(const QString& text) {
    QLineEdit* e = Editor();
    ASSERT_NE(e, nullptr);
    e->selectAll();
    QTest::keyClicks(e, text);
    QTest::keyClick(e, Qt::Key_Return);
    Dispatch();
  }
  int panel = 0, table = 0;
  QTableView* view = nullptr;
};

TEST_F(TableEdit, DoubleClickOpensTheCellAndEnterCommitsIt) {
  DoubleClickCell(2, 1);
  ASSERT_NE(Editor(), nullptr);
  TypeAndEnter("345");
  EXPECT_EQ(Cell(3, 2), 345.0);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_NE(std::find(Log().begin(), Log().end(), Entry(table, EVENT_VAL_CHANGED, 3, 2)), Log().end());
  EXPECT_NE(std::find(Log().begin(), Log().end(), Entry(table, EVENT_COMMIT, 3, 2)), Log().end());
}

TEST_F(TableEdit, F2OpensTheCurrentCellAndANumberOutOfRangeIsCoerced) {
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, Centre(4, 0));
  Dispatch();
  Show();
  view->setFocus();
  QTest::keyClick(view, Qt::Key_F2);
  ASSERT_NE(Editor(), nullptr);
  TypeAndEnter("70000");
  EXPECT_EQ(Cell(5, 1), 65535.0);
}

TEST_F(TableEdit, TheIndicatorColumnDoesNotOpen) {
  DoubleClickCell(1, 2);
  EXPECT_EQ(Editor(), nullptr);
}

TEST_F(TableEdit, WhatTheOperatorTypesSurvivesAModelChangeElsewhere) {
  DoubleClickCell(0, 0);
  ASSERT_NE(Editor(), nullptr);
  Editor()->setText("12");
  // The program repaints another cell while the editor is open (a row colour, a taught row).
  SetTableCellVal(panel, table, {6, 2}, 99.0);
  SetTableCellAttribute(panel, table, {1, 3}, ATTR_TEXT_BGCOLOR, 0x00FF00);
  Show();
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(Editor()->text(), "12");
  QTest::keyClick(Editor(), Qt::Key_Return);
  Dispatch();
  EXPECT_EQ(Cell(1, 1), 12.0);
  EXPECT_EQ(Cell(6, 2), 99.0);
}

int g_chosen = 0;
void Chosen(int, int, int item, void*) { g_chosen = item; }

TEST_F(TableEdit, DragSelectsARectangleAndRightClickOffersTheMenuOverIt) {
  QTest::mousePress(view->viewport(), Qt::LeftButton, {}, Centre(1, 0));
  QTest::mouseMove(view->viewport(), Centre(3, 1));
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, Centre(3, 1));
  Dispatch();
  TableRect sel{};
  GetTableSelection(panel, table, &sel);
  EXPECT_EQ((std::vector<int>{sel.top, sel.left, sel.height, sel.width}), (std::vector<int>{2, 1, 3, 2}));

  g_chosen = 0;
  NewCtrlMenuItem(panel, table, "Help", Chosen, nullptr);
  NewCtrlMenuSeparator(panel, table);
  int reset = NewCtrlMenuItem(panel, table, "Reset selection", Chosen, nullptr);
  Show();
  QTest::mouseClick(view->viewport(), Qt::RightButton, {}, Centre(2, 1));
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 3);
  EXPECT_TRUE(menu->actions()[1]->isSeparator());
  menu->actions()[2]->trigger();
  menu->close();
  Dispatch();
  EXPECT_EQ(g_chosen, reset);
  GetTableSelection(panel, table, &sel);  // the right click left the selection alone
  EXPECT_EQ((std::vector<int>{sel.top, sel.left, sel.height, sel.width}), (std::vector<int>{2, 1, 3, 2}));
}

}  // namespace
