#include "app/logo/branding.h"

#include "app/locations.h"
#include "app/uir.h"
#include "ui/ui.h"

namespace {

struct BrandLine {
  const char* text;
  int top;
  int left;
  int pointSize;
};

// The supplier's lines are neutral placeholders: the product is sold under the supplier's own name.
const BrandLine kLines[] = {
    {"CHROMIK4-ANA-Scope V1.2", 29, 323, 19},
    {"Colour Sensor Supplier", 6, 15, 11},
    {"Tel. +00 (0)000 000000", 22, 15, 11},
    {"www.sensor-supplier.example", 36, 15, 11},
};

}  // namespace

void DrawBranding() {
  const int m = Panels.Mainp;
  for (const BrandLine& line : kLines) {
    int id = NewCtrl(m, CTRL_TEXT_MSG, "", line.top, line.left);
    if (id < 0) continue;
    SetCtrlAttribute(m, id, ATTR_TEXT_FONT, "NIDialogMetaFont");
    SetCtrlAttribute(m, id, ATTR_TEXT_BGCOLOR, VAL_TRANSPARENT);
    SetCtrlAttribute(m, id, ATTR_TEXT_COLOR, 0xFFFFFF);
    SetCtrlAttribute(m, id, ATTR_TEXT_POINT_SIZE, line.pointSize);
    SetCtrlVal(m, id, line.text);
  }
  SetCtrlAttribute(m, MAINP_BAND, ATTR_FRAME_COLOR, 0x0080FF);
  SetCtrlAttribute(m, MAINP_LOGO, ATTR_TOP, 6);
  SetCtrlAttribute(m, MAINP_LOGO, ATTR_LEFT, 325);
  DisplayImageFile(m, MAINP_LOGO, ProgramDataFile(LOGO_FILE).c_str());
  SetCtrlAttribute(m, MAINP_LOGO, ATTR_VISIBLE, 1);
}
