// Tables and context menus of the retained model.
#include <algorithm>
#include <cmath>

#include "ui/model.h"
#include "ui/runtime_internal.h"

using namespace ui;

namespace {

TableData* FindTable(int panel, int control, Control** owner = nullptr) {
  Control* c = FindControl(panel, control);
  if (!c || !c->table) return nullptr;
  if (owner) *owner = c;
  return c->table.get();
}

bool CellInside(const TableData& t, TableCell cell) {
  return cell.row >= 1 && cell.row <= t.rows && cell.column >= 1 && cell.column <= t.columns;
}

}  // namespace

// [SECTION] Tables

int SetTableSize(int panel, int control, int rows, int columns) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (rows < 0 || columns < 0 || rows > 100000 || columns > 1000) return UIE_BAD_INDEX;
  TableData fresh;
  fresh.rows = rows;
  fresh.columns = columns;
  fresh.cells.resize(static_cast<std::size_t>(rows) * columns);
  fresh.columnInfo.resize(columns);
  fresh.rowLabelColor.assign(rows, 0x000000);
  // Keep what fits of the old contents.
  for (int r = 1; r <= std::min(rows, t->rows); ++r) {
    for (int col = 1; col <= std::min(columns, t->columns); ++col) fresh.Cell(r, col) = t->Cell(r, col);
    fresh.rowLabelColor[r - 1] = t->rowLabelColor[r - 1];
  }
  for (int col = 0; col < std::min(columns, t->columns); ++col) fresh.columnInfo[col] = t->columnInfo[col];
  *t = std::move(fresh);
  Touch(*c);
  return UI_OK;
}

int SetTableCellVal(int panel, int control, TableCell cell, double value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell) || std::isnan(value)) return UIE_BAD_INDEX;
  const ColumnData& col = t->columnInfo[cell.column - 1];
  if (col.cellType != VAL_CELL_NUMERIC) return UIE_BAD_ATTRIBUTE;
  value = std::clamp(value, col.minValue, col.maxValue);
  CellData& d = t->Cell(cell.row, cell.column);
  if (d.num != value) {
    d.num = value;
    Touch(*c);
  }
  ++d.valueSets;
  ValueSet(*c);
  return UI_OK;
}

int SetTableCellVal(int panel, int control, TableCell cell, const char* value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell)) return UIE_BAD_INDEX;
  if (t->columnInfo[cell.column - 1].cellType != VAL_CELL_STRING) return UIE_BAD_ATTRIBUTE;
  CellData& d = t->Cell(cell.row, cell.column);
  std::string text = value ? value : "";
  if (d.text != text) {
    d.text = std::move(text);
    Touch(*c);
  }
  ++d.valueSets;
  ValueSet(*c);
  return UI_OK;
}

int GetTableCellVal(int panel, int control, TableCell cell, double* value) {
  TableData* t = FindTable(panel, control);
  if (!t || !value) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell)) return UIE_BAD_INDEX;
  if (t->columnInfo[cell.column - 1].cellType != VAL_CELL_NUMERIC) return UIE_BAD_ATTRIBUTE;
  *value = t->Cell(cell.row, cell.column).num;
  return UI_OK;
}

int GetTableCellVal(int panel, int control, TableCell cell, int* value) {
  double d = 0;
  int r = GetTableCellVal(panel, control, cell, &d);
  if (r < 0 || !value) return r;
  *value = static_cast<int>(std::llround(std::clamp(d, -2147483648.0, 2147483647.0)));
  return UI_OK;
}

int GetTableCellVal(int panel, int control, TableCell cell, unsigned short* value) {
  double d = 0;
  int r = GetTableCellVal(panel, control, cell, &d);
  if (r < 0 || !value) return r;
  *value = static_cast<unsigned short>(std::llround(std::clamp(d, 0.0, 65535.0)));
  return UI_OK;
}

int GetTableCellVal(int panel, int control, TableCell cell, std::string* value) {
  TableData* t = FindTable(panel, control);
  if (!t || !value) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell)) return UIE_BAD_INDEX;
  if (t->columnInfo[cell.column - 1].cellType != VAL_CELL_STRING) return UIE_BAD_ATTRIBUTE;
  *value = t->Cell(cell.row, cell.column).text;
  return UI_OK;
}

int SetTableCellAttribute(int panel, int control, TableCell cell, Attr attr, int value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell)) return UIE_BAD_INDEX;
  CellData& d = t->Cell(cell.row, cell.column);
  int* field = nullptr;
  if (attr == ATTR_TEXT_BGCOLOR) field = &d.bgColor;
  else if (attr == ATTR_TEXT_COLOR) field = &d.textColor;
  else if (attr == ATTR_TEXT_ITALIC) field = &d.italic;
  else return UIE_BAD_ATTRIBUTE;
  if (attr == ATTR_TEXT_ITALIC) value = value ? 1 : 0;
  if (*field != value) {
    *field = value;
    Touch(*c);
  }
  return UI_OK;
}

int GetTableCellAttribute(int panel, int control, TableCell cell, Attr attr, int* value) {
  TableData* t = FindTable(panel, control);
  if (!t || !value) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell)) return UIE_BAD_INDEX;
  const CellData& d = t->Cell(cell.row, cell.column);
  if (attr == ATTR_TEXT_BGCOLOR) *value = d.bgColor;
  else if (attr == ATTR_TEXT_COLOR) *value = d.textColor;
  else if (attr == ATTR_TEXT_ITALIC) *value = d.italic;
  else return UIE_BAD_ATTRIBUTE;
  return UI_OK;
}

int SetTableCellRangeAttribute(int panel, int control, TableRect range, Attr attr, int value) {
  TableData* t = FindTable(panel, control);
  if (!t) return UIE_BAD_CONTROL;
  if (range.height < 1 || range.width < 1) return UIE_BAD_INDEX;
  TableCell last{range.top + range.height - 1, range.left + range.width - 1};
  if (!CellInside(*t, {range.top, range.left}) || !CellInside(*t, last)) return UIE_BAD_INDEX;
  for (int r = range.top; r <= last.row; ++r) {
    for (int col = range.left; col <= last.column; ++col) {
      int res = SetTableCellAttribute(panel, control, {r, col}, attr, value);
      if (res < 0) return res;
    }
  }
  return UI_OK;
}

int SetTableColumnAttribute(int panel, int control, int column, Attr attr, int value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (column < 1 || column > t->columns) return UIE_BAD_INDEX;
  ColumnData& col = t->columnInfo[column - 1];
  switch (attr) {
    case ATTR_COLUMN_IN_USE: col.inUse = value ? 1 : 0; break;
    case ATTR_CELL_TYPE: col.cellType = value == VAL_CELL_STRING ? VAL_CELL_STRING : VAL_CELL_NUMERIC; break;
    case ATTR_COLUMN_WIDTH: col.width = std::max(value, 0); break;
    case ATTR_CTRL_MODE: col.indicator = value == VAL_INDICATOR ? 1 : 0; break;
    case ATTR_PRECISION: col.precision = std::clamp(value, 0, 15); break;
    case ATTR_MIN_VALUE: col.minValue = value; break;
    case ATTR_MAX_VALUE: col.maxValue = value; break;
    default: return UIE_BAD_ATTRIBUTE;
  }
  Touch(*c);
  return UI_OK;
}

int SetTableColumnAttribute(int panel, int control, int column, Attr attr, double value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (column < 1 || column > t->columns) return UIE_BAD_INDEX;
  ColumnData& col = t->columnInfo[column - 1];
  if (attr == ATTR_MIN_VALUE) col.minValue = value;
  else if (attr == ATTR_MAX_VALUE) col.maxValue = value;
  else return SetTableColumnAttribute(panel, control, column, attr, static_cast<int>(value));
  Touch(*c);
  return UI_OK;
}

int SetTableColumnAttribute(int panel, int control, int column, Attr attr, const char* value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (column < 1 || column > t->columns) return UIE_BAD_INDEX;
  if (attr != ATTR_LABEL_TEXT) return UIE_BAD_ATTRIBUTE;
  std::string text = value ? value : "";
  if (t->columnInfo[column - 1].title != text) {
    t->columnInfo[column - 1].title = text;
    Touch(*c);
  }
  return UI_OK;
}

int GetTableColumnAttribute(int panel, int control, int column, Attr attr, int* value) {
  TableData* t = FindTable(panel, control);
  if (!t || !value) return UIE_BAD_CONTROL;
  if (column < 1 || column > t->columns) return UIE_BAD_INDEX;
  const ColumnData& col = t->columnInfo[column - 1];
  switch (attr) {
    case ATTR_COLUMN_IN_USE: *value = col.inUse; break;
    case ATTR_CELL_TYPE: *value = col.cellType; break;
    case ATTR_COLUMN_WIDTH: *value = col.width; break;
    case ATTR_CTRL_MODE: *value = col.indicator ? VAL_INDICATOR : VAL_NORMAL; break;
    case ATTR_PRECISION: *value = col.precision; break;
    default: return UIE_BAD_ATTRIBUTE;
  }
  return UI_OK;
}

int GetTableColumnAttribute(int panel, int control, int column, Attr attr, std::string* value) {
  TableData* t = FindTable(panel, control);
  if (!t || !value) return UIE_BAD_CONTROL;
  if (column < 1 || column > t->columns) return UIE_BAD_INDEX;
  if (attr != ATTR_LABEL_TEXT) return UIE_BAD_ATTRIBUTE;
  *value = t->columnInfo[column - 1].title;
  return UI_OK;
}

int SetTableRowAttribute(int panel, int control, int row, Attr attr, int value) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (row < 1 || row > t->rows) return UIE_BAD_INDEX;
  if (attr != ATTR_ROW_LABEL_COLOR) return UIE_BAD_ATTRIBUTE;
  if (t->rowLabelColor[row - 1] != value) {
    t->rowLabelColor[row - 1] = value;
    Touch(*c);
  }
  return UI_OK;
}

int GetTableRowAttribute(int panel, int control, int row, Attr attr, int* value) {
  TableData* t = FindTable(panel, control);
  if (!t || !value) return UIE_BAD_CONTROL;
  if (row < 1 || row > t->rows) return UIE_BAD_INDEX;
  if (attr != ATTR_ROW_LABEL_COLOR) return UIE_BAD_ATTRIBUTE;
  *value = t->rowLabelColor[row - 1];
  return UI_OK;
}

int SetActiveTableCell(int panel, int control, TableCell cell) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (!CellInside(*t, cell)) return UIE_BAD_INDEX;
  t->active = cell;
  Touch(*c);
  return UI_OK;
}

int GetActiveTableCell(int panel, int control, TableCell* cell) {
  TableData* t = FindTable(panel, control);
  if (!t || !cell) return UIE_BAD_CONTROL;
  *cell = t->active;
  return UI_OK;
}

int SetTableSelection(int panel, int control, TableRect range) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (range.top < 1 || range.left < 1 || range.height < 1 || range.width < 1) {
    range = TableRect{0, 0, 0, 0};  // no selection
  } else {
    // Clip to the table, as a drag past the edge would.
    range.height = std::min(range.height, t->rows - range.top + 1);
    range.width = std::min(range.width, t->columns - range.left + 1);
    if (range.height < 1 || range.width < 1) range = TableRect{0, 0, 0, 0};
  }
  t->selection = range;
  Touch(*c);
  return UI_OK;
}

int GetTableSelection(int panel, int control, TableRect* range) {
  TableData* t = FindTable(panel, control);
  if (!t || !range) return UIE_BAD_CONTROL;
  *range = t->selection;
  return UI_OK;
}

int SetTableTopRow(int panel, int control, int row) {
  Control* c = nullptr;
  TableData* t = FindTable(panel, control, &c);
  if (!t) return UIE_BAD_CONTROL;
  if (row < 1 || row > std::max(t->rows, 1)) return UIE_BAD_INDEX;
  t->topRow = row;
  Touch(*c);
  return UI_OK;
}

int GetTableTopRow(int panel, int control, int* row) {
  TableData* t = FindTable(panel, control);
  if (!t || !row) return UIE_BAD_CONTROL;
  *row = t->topRow;
  return UI_OK;
}

// [SECTION] Context menus

int NewCtrlMenuItem(int panel, int control, const char* label, MenuItemCallbackPtr callback, void* callbackData) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  MenuItemData item;
  item.id = c->nextMenuItemId++;
  item.label = label ? label : "";
  item.callback = callback;
  item.callbackData = callbackData;
  c->menu.push_back(item);
  Touch(*c);
  return item.id;
}

int NewCtrlMenuSeparator(int panel, int control) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  MenuItemData item;
  item.id = c->nextMenuItemId++;
  item.separator = true;
  c->menu.push_back(item);
  Touch(*c);
  return item.id;
}

int SetCtrlMenuItemDimmed(int panel, int control, int menuItem, int dimmed) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  for (auto& item : c->menu) {
    if (item.id == menuItem) {
      item.dimmed = dimmed ? 1 : 0;
      Touch(*c);
      return UI_OK;
    }
  }
  return UIE_BAD_INDEX;
}

int GetCtrlMenuItemDimmed(int panel, int control, int menuItem, int* dimmed) {
  Control* c = FindControl(panel, control);
  if (!c || !dimmed) return UIE_BAD_CONTROL;
  for (auto& item : c->menu) {
    if (item.id == menuItem) {
      *dimmed = item.dimmed;
      return UI_OK;
    }
  }
  return UIE_BAD_INDEX;
}

int HideBuiltInCtrlMenuItems(int panel, int control) {
  Control* c = FindControl(panel, control);
  if (!c) return UIE_BAD_CONTROL;
  c->builtInMenuHidden = true;
  Touch(*c);
  return UI_OK;
}
