#include "teach/table_attributes.h"

#include <string>

#include "app/help.h"
#include "app/program_state.h"
#include "app/uir.h"
#include "parameters/ini.h"
#include "parameters/parameter_file.h"
#include "teach/region_plot.h"
#include "teach/row_colors.h"
#include "ui/ui.h"

namespace {

constexpr const char* kGeneral = "GENERAL INFO";
constexpr const char* kFileType = "Table Attributes";
constexpr const char* kVersion = "CHROMIK4-ANA-Scope V1.2";

int Page() { return Panels.Page[PAGE_TABLE_ATTR]; }

int HelpInInfo(int panel, int control, int event) {
  if (event == EVENT_RIGHT_CLICK) ShowHelp(panel, control, "Info");
  return 0;
}

bool Proceed(bool matches, const char* question) {
  if (matches || ConfirmPopup("ATTENTION!", question) == 1) return true;
  MessagePopup("ATTENTION!", "No parameter where read!");
  return false;
}

}  // namespace

void ApplyRowColorMode() {
  int mode = 0;
  GetCtrlVal(Page(), ATTR_PAGE_MODE, &mode);
  RowColorMode = mode != 0 ? 1 : 0;
  for (int id : {ATTR_PAGE_ROW, ATTR_PAGE_COLOR, ATTR_PAGE_SET}) SetCtrlAttribute(Page(), id, ATTR_DIMMED, RowColorMode);
  SetCtrlAttribute(Panels.Datap, DATAP_COLORBOX, ATTR_VISIBLE, RowColorMode);
}

void AssignRowColor() {
  int row = 0, color = 0;
  GetCtrlVal(Page(), ATTR_PAGE_ROW, &row);
  GetCtrlVal(Page(), ATTR_PAGE_COLOR, &color);
  if (row < 0 || row >= TEACH_ROWS) return;
  PaintRow(row, color);
  RowColors[row] = color;
  PlotTeachRegions();
}

void ResetRowColors() {
  if (ConfirmPopupNoDefault("ATTENTION!", "Do you really want to reset the table?") != 1) return;
  for (int r = 0; r < TEACH_ROWS; ++r) {
    PaintRow(r, DefaultRowColors[r]);
    SetTableCellVal(Page(), ATTR_SPEC_TABLE, {r + 1, 1}, "");
    RowColors[r] = DefaultRowColors[r];
  }
  PlotTeachRegions();
}

int SaveTableAttributes() {
  const std::string path = ChooseSettingsFile(&State.TableAttributesPath, "TableAttributes.ini", "TableAttributes", false);
  if (path.empty()) return -1;
  IniDocument doc;
  IniPutString(&doc, kGeneral, "FILE TYPE:", kFileType);
  IniPutString(&doc, kGeneral, "SCOPE VERSION:", kVersion);
  WriteTableAttributeSections(&doc);
  if (IniWriteFile(doc, path) != 1) {
    // Saying nothing would let the operator believe the attributes were saved.
    const std::string text = "The table attributes file could not be written:\n" + path +
                             "\n\nThe table attributes were not saved; an existing file is unchanged.";
    MessagePopup("ATTENTION!", text.c_str());
    return -1;
  }
  return 1;
}

int LoadTableAttributes() {
  const std::string path = ChooseSettingsFile(&State.TableAttributesPath, "TableAttributes.ini", "TableAttributes", true);
  if (path.empty()) return -1;
  IniDocument doc;
  IniReadFile(path, &doc);  // an unreadable file has no entries: the type question comes first
  if (!Proceed(GeneralInfoText(doc, "FILE TYPE:") == kFileType,
               "Selected file is not a table attributes file! \nDo you want to proceed anyway?") ||
      !Proceed(GeneralInfoText(doc, "SCOPE VERSION:") == kVersion,
               "Selected file and scope version do not match! \nDo you want to proceed anyway?")) {
    return -1;
  }
  ReadTableAttributeSections(doc, true);
  PaintRowsFromRowColors();
  PlotTeachRegions();
  return 1;
}

// [SECTION] Callbacks of the table attributes page

int CBF_EditSetColor(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ApplyRowColorMode();
  return HelpInInfo(panel, control, event);
}

int CBF_EditRow(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ApplyRowColorMode();
  return HelpInInfo(panel, control, event);
}

int CBF_EditColorNumericRow(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ApplyRowColorMode();
  return HelpInInfo(panel, control, event);
}

int CBF_ButtonSetRowColor(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) AssignRowColor();
  return HelpInInfo(panel, control, event);
}

int CBF_ButtonSaveArray(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) SaveTableAttributes();
  return HelpInInfo(panel, control, event);
}

int CBF_ButtonGetArray(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) LoadTableAttributes();
  return HelpInInfo(panel, control, event);
}

int CBF_ButtonTableAttrReset(int panel, int control, int event, void*, int, int) {
  if (event == EVENT_COMMIT) ResetRowColors();
  return HelpInInfo(panel, control, event);
}
