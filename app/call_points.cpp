#include "app/call_points.h"

#include "app/Chromik4ANAv12.h"
#include "app/help.h"

void ShowRecordFilePath() {}
void ShowPanelIdOnRecorderPage() {}
void ArrangeRecorderPage() {}
void DimRecorderButtons(int) {}
