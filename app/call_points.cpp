#include "app/call_points.h"

#include "app/Chromik4ANAv12.h"
#include "app/help.h"

void ShowRecordFilePath() {}
void ShowPanelIdOnRecorderPage() {}
void ShowRawValues() {}
void ArrangeRecorderPage() {}
void DimOffsetButtons(int) {}
void DimRecorderButtons(int) {}

// Writing the hardware initial file comes with the calibration pages; the button explains itself already.
int CBF_ButtonGenHwInfoFile(int panel, int control, int event, void*, int, int) {
  return HelpOnRightClick(panel, control, event);
}
