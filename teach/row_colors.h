// Row indicator colours and row specifications of the teach table, and their
// sections in the settings and table attributes files.
#pragma once

#include <cstdint>

#include "parameters/ini.h"

constexpr int TEACH_ROWS = 31;

extern std::int32_t RowColors[TEACH_ROWS];            // 0xRRGGBB per teach row 0..30
extern const std::int32_t DefaultRowColors[45];      // 15 colours repeated three times; row r takes entry r

// How rows get their colour: 0 = by hand on the table attributes page, 1 = automatically
// from the colour measured when the row is taught.
extern std::int32_t RowColorMode;

constexpr int ROW_TEXT_LIMIT = 99;           // characters of a row specification taken from a file

// Paints row r's four indicator cells (teach, row specification, group and hold tables) in `color`.
void PaintRow(int row, std::int32_t color);
// Paints rows 0..30 from RowColors.
void PaintRowsFromRowColors();
// Puts the 31 "TABLE ATTR OF TEACH VECTOR n" sections into `doc`, taking the colours from the
// specification table's indicator cells into RowColors first.
void WriteTableAttributeSections(IniDocument* doc);
// Reads the 31 sections from `doc` into RowColors and the specification table; a missing colour
// takes its default and, with `report`, is listed in an "Attention!" popup. The cells are not painted.
void ReadTableAttributeSections(const IniDocument& doc, bool report);
