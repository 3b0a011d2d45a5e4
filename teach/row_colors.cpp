#include "teach/row_colors.h"

#include <algorithm>
#include <string>

#include "app/uir.h"
#include "ui/ui.h"

namespace {

constexpr std::int32_t kCycle[15] = {0xFF0000, 0x80FF00, 0x0000FF, 0x000000, 0xFF80C0, 0xFFFF00, 0x808000, 0x800080,
                                     0x80FFFF, 0xFF0080, 0x400080, 0xFF00FF, 0x008000, 0x408080, 0x800000};

std::string SectionName(int row) { return "TABLE ATTR OF TEACH VECTOR " + std::to_string(row); }

}  // namespace

const std::int32_t DefaultRowColors[45] = {
    kCycle[0], kCycle[1], kCycle[2], kCycle[3], kCycle[4], kCycle[5], kCycle[6], kCycle[7], kCycle[8],
    kCycle[9], kCycle[10], kCycle[11], kCycle[12], kCycle[13], kCycle[14],
    kCycle[0], kCycle[1], kCycle[2], kCycle[3], kCycle[4], kCycle[5], kCycle[6], kCycle[7], kCycle[8],
    kCycle[9], kCycle[10], kCycle[11], kCycle[12], kCycle[13], kCycle[14],
    kCycle[0], kCycle[1], kCycle[2], kCycle[3], kCycle[4], kCycle[5], kCycle[6], kCycle[7], kCycle[8],
    kCycle[9], kCycle[10], kCycle[11], kCycle[12], kCycle[13], kCycle[14]};

std::int32_t RowColors[TEACH_ROWS] = {};
std::int32_t RowColorMode = 0;

void PaintRow(int row, std::int32_t color) {
  if (row < 0 || row >= TEACH_ROWS) return;
  SetTableCellAttribute(Panels.Page[PAGE_TEACH], TEACH_TABLE, {row + 1, 6}, ATTR_TEXT_BGCOLOR, color);
  SetTableCellAttribute(Panels.Page[PAGE_TABLE_ATTR], ATTR_SPEC_TABLE, {row + 1, 2}, ATTR_TEXT_BGCOLOR, color);
  SetTableCellAttribute(Panels.Page[PAGE_GROUP_HOLD], GROUP_TABLE, {row + 1, 2}, ATTR_TEXT_BGCOLOR, color);
  SetTableCellAttribute(Panels.Page[PAGE_GROUP_HOLD], HOLD_TABLE, {row + 2, 2}, ATTR_TEXT_BGCOLOR, color);
}

void PaintRowsFromRowColors() {
  for (int r = 0; r < TEACH_ROWS; ++r) PaintRow(r, RowColors[r]);
}

void WriteTableAttributeSections(IniDocument* doc) {
  const int attr = Panels.Page[PAGE_TABLE_ATTR];
  for (int r = 0; r < TEACH_ROWS; ++r) {
    int color = RowColors[r];
    if (GetTableCellAttribute(attr, ATTR_SPEC_TABLE, {r + 1, 2}, ATTR_TEXT_BGCOLOR, &color) == 0) RowColors[r] = color;
    std::string rowText;
    GetTableCellVal(attr, ATTR_SPEC_TABLE, {r + 1, 1}, &rowText);
    const std::string section = SectionName(r);
    IniPutInt(doc, section, "Row color", RowColors[r]);
    IniPutString(doc, section, "Row specification", rowText);
  }
}

void ReadTableAttributeSections(const IniDocument& doc, bool report) {
  std::string text = "Following teach vectors could not be read \nand where set to default value:\n\n";
  bool missing = false;
  const int attr = Panels.Page[PAGE_TABLE_ATTR];
  for (int r = 0; r < TEACH_ROWS; ++r) {
    const std::string section = SectionName(r);
    long color = 0;
    // A colour has 24 bits: a value beyond them is no colour, like a value that is no number.
    if (IniGetInt(doc, section, "Row color", &color) && color >= 0 && color <= 0xFFFFFF) {
      RowColors[r] = static_cast<std::int32_t>(color);
    } else {
      RowColors[r] = DefaultRowColors[r];
      text += section + "\n";
      missing = true;
    }
    std::string rowText;
    IniGetString(doc, section, "Row specification", &rowText);
    if (rowText.size() > ROW_TEXT_LIMIT) rowText.resize(ROW_TEXT_LIMIT);
    SetTableCellVal(attr, ATTR_SPEC_TABLE, {r + 1, 1}, rowText.c_str());
  }
  if (report && missing) MessagePopup("Attention!", text.c_str());
}
