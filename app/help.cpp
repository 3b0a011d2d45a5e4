#include "app/help.h"

#include <string>

#include "ui/ui.h"

void SetHelp(int panel, int control, const char* text) { SetCtrlAttribute(panel, control, ATTR_TOOLTIP_TEXT, text); }

void ShowHelp(int panel, int control, const char* title) {
  std::string text;
  if (GetCtrlAttribute(panel, control, ATTR_TOOLTIP_TEXT, &text) < 0 || text.empty()) return;
  MessagePopup(title, text.c_str());
}

int HelpOnRightClick(int panel, int control, int event) {
  if (event == EVENT_RIGHT_CLICK) ShowHelp(panel, control);
  return 0;
}
