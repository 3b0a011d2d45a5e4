// The access-code popup that opens the offset page, and the big displays' own events.
#include <string>

#include "app/Chromik4ANAv12.h"
#include "ui/ui.h"

namespace {

constexpr const char* kAccessCode = "quartz";

void OpenAccessCodePopup() {
  SetCtrlVal(Panels.Passwordp, PASSWORDP_STRING, "");
  InstallPopup(Panels.Passwordp);
}

void CheckAccessCode() {
  std::string code;
  GetCtrlVal(Panels.Passwordp, PASSWORDP_STRING, &code);
  if (code != kAccessCode) {
    MessagePopup("ATTENTION!", "Wrong password. \nPlease try again.");
    SetCtrlVal(Panels.Passwordp, PASSWORDP_STRING, "");
    return;
  }
  SetTabPageAttribute(Panels.Mainp, MAINP_TAB, PAGE_OFFSET, ATTR_VISIBLE, 1);
  SetActiveTabPage(Panels.Mainp, MAINP_TAB, PAGE_OFFSET);
  RemovePopup(Panels.Passwordp);
}

}  // namespace

int CBF_DecoCalibrate1(int, int, int event, void*, int, int) {
  if (event == EVENT_RIGHT_DOUBLE_CLICK) OpenAccessCodePopup();
  return 0;
}

int CBF_StringEnterPW(int, int, int event, void*, int, int) {
  if (event == EVENT_COMMIT) CheckAccessCode();
  return 0;
}

int CBF_PASSWORDP(int panel, int event, void*, int, int) {
  if (event == EVENT_CLOSE) RemovePopup(panel);
  return 0;
}

// A right click on the big number or on the identification line closes the panel, as
// one on the panel's background does.
int CBF_BigDisplayPart(int panel, int, int event, void*, int, int) {
  if (event == EVENT_RIGHT_CLICK) HidePanel(panel);
  return 0;
}

int CBF_COLBIGP(int panel, int event, void*, int, int) {
  if (event == EVENT_RIGHT_CLICK || event == EVENT_CLOSE) HidePanel(panel);
  return 0;
}

int CBF_GRPBIGP(int panel, int event, void*, int, int) {
  if (event == EVENT_RIGHT_CLICK || event == EVENT_CLOSE) HidePanel(panel);
  return 0;
}
