// Steps whose subsystems are still being built; each function moves to its
// subsystem when that subsystem lands.
#pragma once

void ShowRecordFilePath();        // record file path on the recorder page
void ShowPanelIdOnRecorderPage(); // identification text on the recorder page
// Dimming of the pages whose action buttons are still being built.
void DimRecorderButtons(int dimmed);     // recording mode, start, start triggered, and one more
